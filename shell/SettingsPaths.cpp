// The settings folder: the generic configuration location (XDG_CONFIG_HOME) with the program's own
// folder name, independent of the organisation and application names the recent-file list uses.
#include "shell/SettingsPaths.h"

#include <QStandardPaths>

#include "core/PrintSettings.h"

namespace pw {

QString SettingsFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/pilewave");
}

QString PrintSettingsPath() {
    return SettingsFolder() + QLatin1Char('/') + QString::fromLatin1(kPrintSettingsFileName);
}

} // namespace pw
