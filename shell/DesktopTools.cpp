// Calculator lookup on PATH and the web address the help menu opens.
#include "shell/DesktopTools.h"

#include <QSettings>
#include <QStandardPaths>

#include "PilewaveVersion.h"

namespace pw {

const QStringList& CalculatorNames() {
    static const QStringList names = {QStringLiteral("gnome-calculator"), QStringLiteral("kcalc"),
                                      QStringLiteral("galculator"),       QStringLiteral("mate-calc"),
                                      QStringLiteral("qalculate-qt"),     QStringLiteral("qalculate-gtk"),
                                      QStringLiteral("xcalc")};
    return names;
}

QString FindCalculator() {
    for (const QString& name : CalculatorNames()) {
        const QString path = QStandardPaths::findExecutable(name);
        if (!path.isEmpty()) return path;
    }
    return {};
}

QString WebSiteAddress() {
    // A distributor's own address in the settings file wins; otherwise the home page the build names.
    const QString configured = QSettings().value(QStringLiteral("Settings/WebSite")).toString().trimmed();
    return configured.isEmpty() ? QStringLiteral(PILEWAVE_HOMEPAGE).trimmed() : configured;
}

} // namespace pw
