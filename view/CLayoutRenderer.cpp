// Background and the choice of the layout's painter (see CLayoutRenderer.h).
#include "view/CLayoutRenderer.h"

#include "core/CDEVAzazDoc.h"
#include "view/CPlotCanvas.h"

namespace pw {

CLayoutRenderer::CLayoutRenderer(CDEVAzazDoc& doc, ViewState& state, const CPlotFonts& fonts)
    : m_Doc(doc), m_State(state), m_Single(doc, state, fonts), m_Three(doc, state, fonts),
      m_Train(doc, state, fonts), m_Amplitude(doc, state, fonts, Layout::AmplitudeSpectrum),
      m_Power(doc, state, fonts, Layout::PowerSpectrum) {}

CLayoutPainter& CLayoutRenderer::Painter() const {
    switch (LayoutOf(m_Doc.m_Display.m_nLayout)) {
    case Layout::ThreeTraces:
        return m_Three;
    case Layout::WaveTrain:
        return m_Train;
    case Layout::AmplitudeSpectrum:
        return m_Amplitude;
    case Layout::PowerSpectrum:
        return m_Power;
    default:
        return m_Single;
    }
}

int CLayoutRenderer::EffectiveThird() const {
    return pw::EffectiveThird(m_State.m_nThird, m_Doc.GetPileCount());
}

void CLayoutRenderer::Render(QPainter& painter, QSize client, int scrollY, bool screen) {
    painter.fillRect(QRect(0, 0, client.width() + 200, client.height()), kColorBackground);
    if (!m_Doc.GetCurrentPile()) return; // no current pile: nothing but the background
    Painter().Render(painter, client, scrollY, screen);
}

CursorSpan CLayoutRenderer::CursorExtent(QSize client) const {
    return Painter().CursorExtent(client);
}

} // namespace pw
