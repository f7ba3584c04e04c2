// Font names of the program mapped to installed fonts, Simplified Chinese forms asked for explicitly.
#pragma once

#include <QFont>

namespace pw {

void InstallFontSubstitutions(); // "宋体", "Arial", "楷体_GB2312" -> installed families
QFont SongTiFont(int points);    // the estimate bar's 10-point "宋体"
// The interface font: Simplified Chinese sans first, so menus, lists, status panes and message boxes
// never fall back to a calligraphic face or to Japanese glyph forms.
QFont InterfaceFont();
void InstallInterfaceFont(); // QApplication::setFont(InterfaceFont())

} // namespace pw
