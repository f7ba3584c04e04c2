// The view's fonts: the three faces the plots ask for ("宋体", "Arial", "楷体_GB2312") mapped to installed
// families, and the eight prebuilt screen fonts. Heights are in logical units of the paint device.
#pragma once

#include <QFont>
#include <QString>

namespace pw {

// A face as the plots name it, with its height (cell height, logical units), escapement (tenths of a
// degree, counter-clockwise) and weight (0 = normal, else 1..1000 as a font weight).
struct PlotFont {
    QFont m_Font;
    int m_nHeight = 12;
    int m_nEscapement = 0;
};

// A QFont for a face the plots name. Asks for the Simplified Chinese families by name: with a C
// locale fontconfig would otherwise pick the Japanese forms of shared characters.
QFont MakeFaceFont(const QString& face, int weight = 0);
PlotFont MakePlotFont(const QString& face, int height, int escapement, int weight = 0);

// The face names the plots use.
inline const QString kFaceSong = QStringLiteral("宋体");
inline const QString kFaceArial = QStringLiteral("Arial");
inline const QString kFaceKai = QStringLiteral("楷体_GB2312");

class CPlotFonts {
public:
    CPlotFonts();
    // 0 "宋体" 12; 1 "宋体" 210; 2 "Arial" 16; 3 "Arial" 240; 4 "楷体_GB2312" 20; 5 "楷体_GB2312" 300;
    // 6 "宋体" 12 at 90°; 7 "宋体" 180 at -90°. The screen text styles use 0, 2, 4 and 6.
    const PlotFont& At(int index) const { return m_Fonts[index]; }

private:
    PlotFont m_Fonts[8];
};

} // namespace pw
