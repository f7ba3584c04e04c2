// Font names of the program mapped to installed fonts, Simplified Chinese forms asked for explicitly.
#pragma once

#include <QFont>

namespace pw {

void InstallFontSubstitutions(); // "宋体", "Arial", "楷体_GB2312" -> installed families
QFont SongTiFont(int points);    // the estimate bar's 10-point "宋体"

} // namespace pw
