// Calculator lookup on PATH and the web address setting.
#include "shell/DesktopTools.h"

#include <QSettings>
#include <QStandardPaths>

namespace pw {

QString FindCalculator() {
    for (const char* name : {"gnome-calculator", "kcalc", "galculator", "mate-calc", "xcalc"}) {
        const QString path = QStandardPaths::findExecutable(QString::fromLatin1(name));
        if (!path.isEmpty()) return path;
    }
    return {};
}

QString WebSiteAddress() {
    // Distributors put their own address into the settings file; this default is the project's page.
    return QSettings()
        .value(QStringLiteral("Settings/WebSite"), QStringLiteral("https://pilewave.example.org/"))
        .toString();
}

} // namespace pw
