// The report's pictures drawn offscreen by the view's plotting routines, as PNG bytes.
#include <QBuffer>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>

#include <memory>

#include "cli/ReportCommands.h"
#include "core/CDEVAzazDoc.h"
#include "core/CommandIds.h"
#include "view/CLayoutRenderer.h"
#include "view/CPlotFonts.h"

namespace pw::cli {
namespace {

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

} // namespace

report::PictureSource MakePictureSource(std::vector<CPileRecord>& piles, const std::string& layout) {
    EnsureGuiApplication();
    // A document of its own, so drawing never changes the records the report was made from.
    auto doc = std::make_shared<CDEVAzazDoc>();
    doc->m_Piles = piles;
    doc->SetLayout(layout == "amplitude" ? cmd::kAmplitudeSpectrum
                   : layout == "power"   ? cmd::kPowerSpectrum
                                         : cmd::kSingleTrace);
    auto fonts = std::make_shared<CPlotFonts>();
    return [doc, fonts](int pileIndex, report::CPicture& out) {
        if (pileIndex < 0 || pileIndex >= doc->GetPileCount()) return false;
        doc->SetCurrentPile(pileIndex);
        ViewState state;
        CLayoutRenderer renderer(*doc, state, *fonts);
        QImage image(state.m_nExportWidth + 20, state.m_nExportHeight + 60, QImage::Format_RGB32);
        QPainter painter(&image);
        renderer.Render(painter, image.size(), 0, false);
        painter.end();
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        if (!image.save(&buffer, "PNG")) return false;
        out.m_Png.assign(buffer.data().begin(), buffer.data().end());
        out.m_nWidth = image.width();
        out.m_nHeight = image.height();
        return true;
    };
}

} // namespace pw::cli
