// The trace layouts: single trace with its parameter band, three traces with the parameter column,
// and the wave train of every pile.
#include <array>

#include "core/CDEVAzazDoc.h"
#include "view/CLayoutPainter.h"
#include "view/CTracePlotter.h"
#include "view/TraceGeometry.h"

namespace pw {
namespace {

TraceOptions OptionsOf(const CDEVAzazDoc& doc, const ViewState& state) {
    TraceOptions o;
    o.nPolarity = doc.m_Display.m_bInvert ? -1 : 1;
    o.bVariableArea = doc.m_Display.m_bVariableArea != 0;
    o.bScaleMarks = doc.m_bScale != 0;
    o.bZoomRect = doc.m_nToolCode == 5;
    o.ZoomRect = QRect(QPoint(state.m_nDragX0, state.m_nDragY0), QPoint(state.m_nDragX1, state.m_nDragY1));
    return o;
}

} // namespace

void CSingleTracePainter::Render(QPainter& painter, QSize client, int /*scrollY*/, bool screen) {
    CPileRecord* cur = m_Doc.GetCurrentPile();
    if (!cur) return;
    const int wc = client.width(), hc = client.height();
    CPlotCanvas canvas(painter, m_Fonts, PlotScale{}, screen);
    CTracePlotter plotter(canvas);
    const TraceOptions opt = OptionsOf(m_Doc, m_State);
    const TraceBox box{10, 10, wc - 20, hc - 120};
    plotter.PlotTrace(box, *cur, m_Doc.FitScreenStep(*cur, box.nW), opt);
    plotter.DrawMarks(box, *cur, opt);
    canvas.Frame(10, hc - 110, wc - 20, 100);
    plotter.DrawParamSummary(wc, hc, *cur);
    if (screen) canvas.FillRect(20, 20, 12, 12, kColorIndicator);
}

void CThreeTracePainter::Render(QPainter& painter, QSize client, int /*scrollY*/, bool screen) {
    CPileRecord* cur = m_Doc.GetCurrentPile();
    if (!cur) return;
    const int wc = client.width(), hc = client.height();
    CPlotCanvas canvas(painter, m_Fonts, PlotScale{}, screen);
    CTracePlotter plotter(canvas);
    const TraceOptions opt = OptionsOf(m_Doc, m_State);
    const int n = m_Doc.GetPileCount();
    const int third = EffectiveThird(m_State.m_nThird, n);
    const double t = ThirdHeight(hc);
    const std::array<int, 3> rows =
        ThreeRowPiles(third, n, cur->m_nPileNo, m_Doc.m_nPrevPile, m_Doc.m_nNextPile);
    for (int r = 0; r < 3; ++r) {
        CPileRecord* rec = rows[r] > 0 ? m_Doc.FindPile(rows[r]) : nullptr;
        if (!rec) continue;
        const TraceBox box{10, ThirdTop(hc, r + 1), wc - 120, static_cast<int>(t)};
        plotter.PlotTrace(box, *rec, m_Doc.FitScreenStep(*rec, box.nW), opt);
        plotter.DrawMarks(box, *rec, opt);
    }
    canvas.Frame(wc - 110, 10, 100, hc - 20);
    plotter.DrawParamColumn(wc, hc, *cur);
    if (screen) canvas.FillRect(20, 20 + static_cast<int>((third - 1) * t), 12, 12, kColorIndicator);
}

void CWaveTrainPainter::Render(QPainter& painter, QSize client, int scrollY, bool screen) {
    if (!m_Doc.GetCurrentPile()) return;
    const int wc = client.width(), hc = client.height();
    CPlotCanvas canvas(painter, m_Fonts, PlotScale{}, screen);
    CTracePlotter plotter(canvas);
    const TraceOptions opt = OptionsOf(m_Doc, m_State);
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
}

} // namespace pw
