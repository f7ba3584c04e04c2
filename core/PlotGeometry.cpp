// Index arithmetic of the plots (see PlotGeometry.h).
#include "core/PlotGeometry.h"

#include <algorithm>

namespace pw {

int PlotStep(const CPileRecord& rec) {
    return std::clamp<int>(rec.m_nStep, 1, kSamples);
}

int PlotHeadSample(const CPileRecord& rec) {
    return std::clamp<int>(rec.m_nHeadSample, 0, kSamples - 1);
}

int PlotPostCut(const CPileRecord& rec) {
    return std::clamp<int>(rec.m_nPostCut, 0, kSamples);
}

int PlotPreZero(const CPileRecord& rec) {
    return std::clamp<int>(rec.m_nPreZero, 0, kSamples);
}

int PlotHeadPoint(const CPileRecord& rec) {
    return PlotHeadSample(rec) / PlotStep(rec);
}

int PlotHeadColumn(const CPileRecord& rec) {
    return PlotHeadPoint(rec) + rec.m_nShiftX;
}

TraceColumns TracePolyline(int width, int offset, int step, int postCut) {
    TraceColumns c;
    c.nStep = std::clamp(step, 1, kSamples);
    c.nOffset = offset;
    const long long limit = kSamples - std::clamp(postCut, 0, kSamples);
    // Segment i is drawn while (i - offset) * step + step < limit, i.e. i - offset < (limit - step) / step
    // rounded up; with limit <= step there is none.
    const long long room = limit - c.nStep;
    const long long segments = room > 0 ? (room + c.nStep - 1) / c.nStep : 0;
    const long long first = std::max<long long>(offset, -1);
    const long long end = std::min<long long>(width, static_cast<long long>(offset) + segments);
    c.nFirst = static_cast<int>(first);
    c.nEnd = static_cast<int>(std::max(first, end));
    return c;
}

TraceColumns TracePolyline(const CPileRecord& rec, int width) {
    return TracePolyline(width, rec.m_nShiftX, PlotStep(rec), PlotPostCut(rec));
}

int TrainSegments(int areaWidth, int postCut) {
    const int columns = std::clamp(areaWidth, 0, kSamples);
    const int limit = kSamples - std::clamp(postCut, 0, kSamples);
    return std::max(0, std::min(columns, limit - 1));
}

int SpectrumLineCount(int width, int binWidth) {
    if (width < 0 || binWidth < 1) return 0;
    return std::min(width / binWidth + 1, kSamples);
}

} // namespace pw
