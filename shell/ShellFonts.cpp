// With a C locale Qt would pick the Japanese forms of shared CJK characters from Noto CJK; naming the
// SC families first keeps the Simplified Chinese forms.
#include "shell/ShellFonts.h"

#include <QApplication>
#include <QStringList>

namespace pw {

void InstallFontSubstitutions() {
    QFont::insertSubstitutions(QStringLiteral("宋体"),
                               {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
                                QStringLiteral("Noto Sans CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("楷体_GB2312"),
                               {QStringLiteral("AR PL UKai CN"), QStringLiteral("Noto Serif CJK SC")});
    QFont::insertSubstitutions(QStringLiteral("Arial"),
                               {QStringLiteral("Liberation Sans"), QStringLiteral("DejaVu Sans"),
                                QStringLiteral("Noto Sans CJK SC")});
}

QFont SongTiFont(int points) {
    QFont font;
    font.setFamilies(
        {QStringLiteral("宋体"), QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")});
    font.setPointSize(points);
    return font;
}

QFont InterfaceFont() {
    QFont font = QApplication::font();
    font.setFamilies({QStringLiteral("Noto Sans CJK SC"), QStringLiteral("WenQuanYi Micro Hei"),
                      QStringLiteral("AR PL UMing CN"), QStringLiteral("Noto Serif CJK SC")});
    return font;
}

void InstallInterfaceFont() {
    QApplication::setFont(InterfaceFont());
}

} // namespace pw
