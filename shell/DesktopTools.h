// The desktop's calculator and the web address the help menu opens.
#pragma once

#include <QString>
#include <QStringList>

namespace pw {

// The calculators looked for, in order of preference.
const QStringList& CalculatorNames();
QString FindCalculator(); // path of the first installed calculator, empty when there is none
// "Settings/WebSite" when set, else the project's home page named at build time; empty when neither
// is configured (the menu item is hidden then).
QString WebSiteAddress();

} // namespace pw
