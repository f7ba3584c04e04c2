// Offscreen pictures of a pile through the layout renderer of the waveform view.
#include "view/CPilePicture.h"

#include <QBuffer>
#include <QPainter>

#include "core/CDEVAzazDoc.h"
#include "core/CommandIds.h"
#include "view/CLayoutRenderer.h"
#include "view/CPlotFonts.h"

namespace pw {

QImage RenderPilePicture(const CPileRecord& rec, PictureLayout layout) {
    // A document of its own holding a copy of the record: the step fitted for the picture and the
    // trace rebuilt for it stay out of the project.
    CDEVAzazDoc doc;
    doc.m_Piles.push_back(rec);
    doc.m_Piles.back().m_nPileNo = 1;
    doc.SetSelection({1});
    doc.SetLayout(layout == PictureLayout::Amplitude ? cmd::kAmplitudeSpectrum
                  : layout == PictureLayout::Power   ? cmd::kPowerSpectrum
                                                     : cmd::kSingleTrace);
    static const CPlotFonts fonts;
    ViewState state;
    CLayoutRenderer renderer(doc, state, fonts);
    QImage image(state.m_nExportWidth + 20, state.m_nExportHeight + 60, QImage::Format_RGB32);
    QPainter painter(&image);
    renderer.Render(painter, image.size(), 0, false);
    painter.end();
    return image;
}

std::vector<uint8_t> PilePicturePng(const CPileRecord& rec, PictureLayout layout, int* width, int* height) {
    const QImage image = RenderPilePicture(rec, layout);
    if (image.isNull()) return {};
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    if (!image.save(&buffer, "PNG")) return {};
    if (width) *width = image.width();
    if (height) *height = image.height();
    return std::vector<uint8_t>(buffer.data().begin(), buffer.data().end());
}

} // namespace pw
