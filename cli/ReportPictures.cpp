// The report's pictures drawn offscreen by the view's plotting routines, as PNG bytes.
#include <QGuiApplication>

#include "cli/ReportCommands.h"
#include "view/CPilePicture.h"

namespace pw::cli {

// The CLI has no window: the offscreen platform gives the painter its fonts.
void EnsureGuiApplication() {
    if (QGuiApplication::instance()) return;
    qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "pilewave-cli";
    static char* argv[] = {name, nullptr};
    // Lives until the process ends: destroyed among the static destructors it would outlive Qt's own.
    new QGuiApplication(argc, argv);
}

report::PictureSource MakePictureSource(std::vector<CPileRecord>& piles, const std::string& layout) {
    EnsureGuiApplication();
    const PictureLayout kind = layout == "amplitude" ? PictureLayout::Amplitude
                               : layout == "power"   ? PictureLayout::Power
                                                     : PictureLayout::Single;
    return [&piles, kind](int pileIndex, report::CPicture& out) {
        if (pileIndex < 0 || pileIndex >= static_cast<int>(piles.size())) return false;
        out.m_Png = PilePicturePng(piles[static_cast<std::size_t>(pileIndex)], kind, &out.m_nWidth, &out.m_nHeight);
        return !out.m_Png.empty();
    };
}

} // namespace pw::cli
