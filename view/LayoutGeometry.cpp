// Geometry of the layouts (see LayoutGeometry.h).
#include "view/LayoutGeometry.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/CDEVAzazDoc.h"
#include "core/PlotGeometry.h"
#include "dsp/Spectrum.h"
#include "view/ViewState.h"

namespace pw {

int EffectiveThird(int third, int pileCount) {
    return std::clamp(third, 1, std::max(1, std::min(3, pileCount)));
}

ViewGeometry GeometryOf(const CDEVAzazDoc& doc, const ViewState& state, int width, int height) {
    ViewGeometry g;
    g.eLayout = LayoutOf(doc.m_Display.m_nLayout);
    g.nWidth = width;
    g.nHeight = height;
    g.nThird = EffectiveThird(state.m_nThird, doc.GetPileCount());
    g.nTrainX0 = state.m_nTrainX0;
    g.nTrainY0 = state.m_nTrainY0;
    g.nTrainX1 = state.m_nTrainX1;
    g.nTrainY1 = state.m_nTrainY1;
    return g;
}

CursorSpan CursorExtent(const ViewGeometry& g) {
    const int hc = g.nHeight;
    switch (g.eLayout) {
    case Layout::Single:
        return {10, hc - 110};
    case Layout::ThreeTraces: {
        const int t = (hc - 20) / 3;
        const int u = 2 * (hc - 20) / 3;
        switch (g.nThird) {
        case 1:
            return {10, t + 10};
        case 2:
            return {t + 10, u + 10};
        default:
            return {u + 10, hc - 10};
        }
    }
    case Layout::WaveTrain:
        return {g.nTrainY0, g.nTrainY1};
    default:
        return {10, hc - 10};
    }
}

ViewRect CursorArea(const ViewGeometry& g) {
    const int wc = g.nWidth, hc = g.nHeight;
    switch (g.eLayout) {
    case Layout::Single:
        return {10, 10, wc - 10, hc - 110};
    case Layout::ThreeTraces: {
        const CursorSpan span = CursorExtent(g);
        return {10, span.nTop, wc - 110, span.nBottom};
    }
    case Layout::WaveTrain:
        return {g.nTrainX0, -1000000000, g.nTrainX1, 1000000000};
    default:
        return {10, 10, wc - 10, hc - 10};
    }
}

ViewRect SpectrumBox(int width, int height) {
    return {10, 10, 10 + width - 20, 10 + height - 20};
}

int HitTest(Layout layout, const CPileRecord& rec, int cursorX) {
    if (IsSpectrumLayout(layout)) return rec.FindMark(cursorX - 10);
    if (!IsMarkerLayout(layout)) return kMarkNone;
    const int r = cursorX - 10 - PlotHeadColumn(rec);
    const int hit = rec.ClassifyPoint(r);
    return hit != -1 ? hit : rec.FindDefectNearPoint(r);
}

std::optional<double> ColumnFrequency(const CPileRecord& rec, int column, int binWidth) {
    const auto df = BinWidth(4096, rec.m_fSampleInterval);
    if (!df || binWidth < 1) return std::nullopt;
    return column * *df / binWidth;
}

std::optional<MarkSpacing> SpectrumMarkSpacing(const CPileRecord& rec, int binWidth) {
    const int n = std::clamp<int>(rec.m_nMarkCount, 0, kMaxMarks);
    if (n < 2) return std::nullopt;
    std::vector<double> f;
    for (int i = 0; i < n; ++i) {
        const auto freq = ColumnFrequency(rec, rec.m_nMarks[i], binWidth);
        if (!freq) return std::nullopt;
        f.push_back(*freq);
    }
    std::sort(f.begin(), f.end());
    MarkSpacing out;
    out.fSpacing = (f.back() - f.front()) / (n - 1);
    if (out.fSpacing > 0 && rec.m_nWaveSpeed > 0) out.fLength = rec.m_nWaveSpeed / (2 * out.fSpacing);
    return out;
}

std::string PileLabel(const CPileRecord& rec) {
    const std::string name = rec.GetPileName();
    return name.empty() ? "#" + std::to_string(rec.m_nPileNo) : name;
}

} // namespace pw
