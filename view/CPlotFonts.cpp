// Face mapping and the eight prebuilt fonts of the waveform view.
#include "view/CPlotFonts.h"

#include <algorithm>

#include <QFontDatabase>
#include <QStringList>

namespace pw {
namespace {

// Families tried in order; each list ends in a Simplified Chinese family so that Chinese text inside
// a Latin face (the paper legends are "Arial") still gets its characters in their Chinese forms.
QStringList FamiliesOf(const QString& face) {
    if (face == kFaceArial)
        return {QStringLiteral("Liberation Sans"), QStringLiteral("Nimbus Sans"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("Noto Sans CJK SC")};
    if (face == kFaceKai)
        return {QStringLiteral("AR PL UKai CN"), QStringLiteral("AR PL KaitiM GB"),
                QStringLiteral("Noto Serif CJK SC"), QStringLiteral("Noto Sans CJK SC")};
    // "宋体" and anything unknown: a serif Chinese face.
    return {QStringLiteral("Noto Serif CJK SC"), QStringLiteral("AR PL UMing CN"),
            QStringLiteral("Noto Sans CJK SC")};
}

// Only the installed families: an absent first family would otherwise make fontconfig substitute a
// face of its own choosing before the later entries are tried.
QStringList InstalledFamilies(const QString& face) {
    static const QStringList installed = QFontDatabase::families();
    QStringList out;
    for (const QString& f : FamiliesOf(face))
        if (installed.contains(f)) out << f;
    if (out.isEmpty()) out << FamiliesOf(face).front();
    return out;
}

} // namespace

QFont MakeFaceFont(const QString& face, int weight) {
    QFont font;
    font.setFamilies(InstalledFamilies(face));
    font.setStyleStrategy(QFont::PreferAntialias);
    font.setHintingPreference(QFont::PreferFullHinting);
    if (weight > 0)
        font.setWeight(static_cast<QFont::Weight>(std::clamp(weight < 100 ? 100 : weight, 100, 900)));
    return font;
}

PlotFont MakePlotFont(const QString& face, int height, int escapement, int weight) {
    PlotFont f;
    f.m_Font = MakeFaceFont(face, weight);
    f.m_nHeight = height;
    f.m_nEscapement = escapement;
    return f;
}

CPlotFonts::CPlotFonts()
    : m_Fonts{MakePlotFont(kFaceSong, 12, 0),   MakePlotFont(kFaceSong, 210, 0),
              MakePlotFont(kFaceArial, 16, 0),  MakePlotFont(kFaceArial, 240, 0),
              MakePlotFont(kFaceKai, 20, 0),    MakePlotFont(kFaceKai, 300, 0),
              MakePlotFont(kFaceSong, 12, 900), MakePlotFont(kFaceSong, 180, -900)} {}

} // namespace pw
