// Single-trace, three-trace and wave-train layouts (see CLayoutRenderer.h).
#include "view/CLayoutRenderer.h"

#include <algorithm>

#include "core/CDEVAzazDoc.h"
#include "view/CTracePlotter.h"
#include "view/TraceGeometry.h"

namespace pw {
namespace {

TraceOptions OptionsOf(const CDEVAzazDoc& doc, const ViewState& state) {
    TraceOptions o;
    o.nPolarity = doc.m_Display.m_bInvert ? -1 : 1;
    o.bVariableArea = doc.m_Display.m_bVariableArea != 0;
    o.bScaleMarks = doc.m_bScale != 0;
    o.bLegends = false; // legends belong to paper and pictures
    o.bZoomRect = doc.m_nToolCode == 5;
    o.ZoomRect = QRect(QPoint(state.m_nDragX0, state.m_nDragY0), QPoint(state.m_nDragX1, state.m_nDragY1));
    return o;
}

} // namespace

int CLayoutRenderer::EffectiveThird() const {
    const int n = m_Doc.GetPileCount();
    return std::clamp(m_State.m_nThird, 1, std::max(1, std::min(3, n)));
}

void CLayoutRenderer::Render(QPainter& painter, QSize client, int scrollY, bool screen) {
    const int wc = client.width(), hc = client.height();
    painter.fillRect(QRect(0, 0, wc + 200, hc), kColorBackground);
    CPileRecord* cur = m_Doc.GetCurrentPile();
    if (!cur) return; // no current pile: nothing but the background

    CPlotCanvas canvas(painter, m_Fonts, PlotScale{}, screen);
    CTracePlotter plotter(canvas);
    const TraceOptions opt = OptionsOf(m_Doc, m_State);

    switch (m_Doc.m_Display.m_nLayout) {
    case 0: {
        const TraceBox box{10, 10, wc - 20, hc - 120};
        plotter.PlotTrace(box, *cur, opt);
        plotter.DrawMarks(box, *cur, opt);
        canvas.Frame(10, hc - 110, wc - 20, 100);
        plotter.DrawParamSummary(wc, hc, *cur);
        if (screen) canvas.FillRect(20, 20, 12, 12, kColorIndicator);
        break;
    }
    case 1: {
        const int n = m_Doc.GetPileCount();
        const int third = EffectiveThird();
        const double t = ThirdHeight(hc);
        const std::array<int, 3> rows =
            ThreeRowPiles(third, n, cur->m_nPileNo, m_Doc.m_nPrevPile, m_Doc.m_nNextPile);
        for (int r = 0; r < 3; ++r) {
            CPileRecord* rec = rows[r] > 0 ? m_Doc.FindPile(rows[r]) : nullptr;
            if (!rec) continue;
            const TraceBox box{10, ThirdTop(hc, r + 1), wc - 120, static_cast<int>(t)};
            plotter.PlotTrace(box, *rec, opt);
            plotter.DrawMarks(box, *rec, opt);
        }
        canvas.Frame(wc - 110, 10, 100, hc - 20);
        plotter.DrawParamColumn(wc, hc, *cur);
        if (screen) canvas.FillRect(20, 20 + static_cast<int>((third - 1) * t), 12, 12, kColorIndicator);
        break;
    }
    case 2: {
        const int n = m_Doc.GetPileCount();
        const TrainArea area = WaveTrainArea(wc, m_State.m_nTopMargin, n);
        m_State.m_nTrainX0 = area.nX0;
        m_State.m_nTrainY0 = area.nY0;
        m_State.m_nTrainX1 = area.nX1;
        m_State.m_nTrainY1 = area.nY1;
        painter.save();
        painter.translate(0, -scrollY);
        plotter.DrawWaveTrain(m_Doc, area, opt.nPolarity, opt.bVariableArea, scrollY, scrollY + hc);
        painter.restore();
        break;
    }
    default:
        // The amplitude and power spectrum layouts are drawn by the spectrum display, not by this
        // renderer: they share only the white background.
        break;
    }
}

CursorSpan CLayoutRenderer::CursorExtent(QSize client) const {
    const int hc = client.height();
    switch (m_Doc.m_Display.m_nLayout) {
    case 0:
        return {10, hc - 110};
    case 1: {
        const int t = (hc - 20) / 3;
        const int u = 2 * (hc - 20) / 3;
        switch (EffectiveThird()) {
        case 1:
            return {10, t + 10};
        case 2:
            return {t + 10, u + 10};
        default:
            return {u + 10, hc - 10};
        }
    }
    case 2:
        return {m_State.m_nTrainY0, m_State.m_nTrainY1};
    default:
        return {10, hc - 10};
    }
}

} // namespace pw
