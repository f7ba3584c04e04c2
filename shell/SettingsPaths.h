// Where the settings files live: the user's configuration folder, ~/.config/pilewave on Linux.
#pragma once

#include <QString>

namespace pw {

QString SettingsFolder();    // created when a settings file is first written
QString PrintSettingsPath(); // <folder>/set.ini
// The report settings files ReportSet<n>.ini lie in SettingsFolder() as well.

} // namespace pw
