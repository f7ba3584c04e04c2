// Arithmetic of the trace layouts (see TraceGeometry.h).
#include "view/TraceGeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

#include "core/CPileRecord.h"
#include "core/PlotGeometry.h"

namespace pw {

TraceRange FindTraceRange(const float* trace, int count, int step) {
    TraceRange r;
    if (step < 1) step = 1;
    const int n = std::min(count, kSamples / step);
    for (int i = 0; i < n; ++i) {
        const float v = trace[i * step];
        if (v > r.fMax)
            r.fMax = v;
        else if (v < r.fMin)
            r.fMin = v;
    }
    return r;
}

int AmplitudeHalfRange(int boxHeight) {
    // |(h - 300) / 2| alone nearly vanishes for boxes about 300 high (an 800 x 560 window, the three
    // rows of a maximised one): never less than an eighth of the box. Equal for h <= 240 and h >= 400.
    return std::max(std::abs((boxHeight - 300) / 2), boxHeight / 8);
}

double AmplitudeScale(int boxHeight, double peak) {
    const int half = AmplitudeHalfRange(boxHeight);
    if (!(peak > 0.0) || !std::isfinite(peak)) return 0.0; // flat trace: drawn on its zero line
    return half / peak;
}

int ToCoord(double v, int fallback) {
    if (!std::isfinite(v)) return fallback;
    // Far outside any page in twips, yet small enough that sums of two stay inside int.
    constexpr double kFar = 1.0e8;
    return static_cast<int>(std::clamp(v, -kFar, kFar));
}

int SampleY(int zeroY, int yScale, double v, int polarity, double zoomFactor, double scale) {
    return ToCoord(zeroY - yScale * v * polarity * zoomFactor * scale, zeroY);
}

int HeadColumn(const CPileRecord& rec) {
    return PlotHeadColumn(rec);
}

bool ToeColumn(const CPileRecord& rec, int& column) {
    const auto toe = rec.ToePoint();
    if (!toe) return false;
    column = HeadColumn(rec) + *toe;
    return true;
}

std::array<int, 3> ThreeRowPiles(int third, int n, int cur, int prev, int next) {
    if (n <= 0 || cur <= 0) return {0, 0, 0};
    // With fewer than three piles the document keeps no neighbours: the other pile is both.
    const int other = n == 2 ? (cur == 1 ? 2 : 1) : 0;
    if (prev <= 0) prev = other;
    if (next <= 0) next = other;
    std::array<int, 3> rows{};
    switch (std::clamp(third, 1, std::min(3, n))) {
    case 1:
        rows = {cur, next, next == n ? 1 : next + 1};
        break;
    case 2:
        rows = {prev, cur, next};
        break;
    default:
        rows = {prev == 1 ? n : prev - 1, prev, cur};
        break;
    }
    if (n < 2) rows[1] = 0;
    if (n < 3) rows[2] = 0;
    return rows;
}

RowChoice ChooseRow(int y, int clientHeight, int n) {
    const int t = (clientHeight - 20) / 3;
    const int u = 2 * (clientHeight - 20) / 3;
    if (y > 10 && y < t + 10) return {1, false};
    if (y >= t + 10 && y < u + 10) return n > 1 ? RowChoice{2, false} : RowChoice{0, true};
    if (y > u + 10 && y < clientHeight - 10) return n >= 3 ? RowChoice{3, false} : RowChoice{0, true};
    return {};
}

TrainArea WaveTrainArea(int clientWidth, int topMargin, int n) {
    TrainArea a;
    a.nX0 = 40;
    a.nX1 = clientWidth - 60;
    // A row's trace swings up to one row height above its row: the first row starts that far down.
    a.nY0 = topMargin + kTrainHeadroom;
    a.nY1 = n * 30 + kTrainHeadroom;
    a.nRowHeight = n > 0 ? (a.nY1 - a.nY0) / n : 0;
    return a;
}

TrainRow WaveTrainRow(const TrainArea& area, int n, int k, TraceRange range, int yScale) {
    TrainRow row;
    const double span = std::fabs(static_cast<double>(range.fMax) - range.fMin);
    // A flat trace (max = min) would get an infinite scale: it lies on its zero line instead.
    if (n > 0 && span > 0 && std::isfinite(span)) row.fScale = std::abs(area.nY1 - area.nY0) / span / n;
    const int rowTop = area.nY0 + (k - 1) * area.nRowHeight;
    row.nZeroY = ToCoord(range.fMax * yScale * row.fScale + rowTop, rowTop);
    return row;
}

} // namespace pw
