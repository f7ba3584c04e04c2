// The desktop's calculator and the maker's web address (a setting).
#pragma once

#include <QString>

namespace pw {

QString FindCalculator(); // path of the first installed calculator, empty when there is none
QString WebSiteAddress(); // "Settings/WebSite", with the program's default

} // namespace pw
