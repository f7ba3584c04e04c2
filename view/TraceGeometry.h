// The plain arithmetic of the trace layouts: amplitude scale, zero line and sample heights, head and
// toe columns, which piles fill the three rows, which row a press chooses, the wave-train area and
// the scroll height. No drawing here, so tests and the tools reach it without a window.
#pragma once

#include <array>

#include "core/ViewLayout.h"

namespace pw {

class CPileRecord;

// Largest and smallest of trace[0], trace[step], ... (min(count, 1024 / step) of them), both starting
// at 0. A sample that raises the maximum is not also tested against the minimum.
struct TraceRange {
    float fMax = 0.f;
    float fMin = 0.f;
};
TraceRange FindTraceRange(const float* trace, int count, int step);

// Units the largest sample reaches from the zero line in a box h units high: the larger of
// |(h - 300) / 2| and h / 8 (integer divisions). A box under 300 units keeps a positive range, and
// one near 300 never shrinks its trace to a few pixels.
int AmplitudeHalfRange(int boxHeight);
// Pixels per unit of amplitude: the half-range / peak. 0 for a flat trace (peak 0), which then lies
// on its zero line.
double AmplitudeScale(int boxHeight, double peak);
inline double ZoomFactor(int zoomLevel) {
    return 1.0 + 0.1 * zoomLevel;
}

// The zero line of a trace box: top + (h / 2 - vertical shift) * y scale.
inline int ZeroLineY(int top, int boxHeight, int shiftY, int yScale) {
    return top + (boxHeight / 2 - shiftY) * yScale;
}

// y of a sample: zero line - y scale * v * polarity * zoom factor * amplitude scale, truncated. Values
// that are not finite lie on the zero line; huge ones are held far outside any box.
int SampleY(int zeroY, int yScale, double v, int polarity, double zoomFactor, double scale);

// Turns a coordinate computed in floating point into an int the painter can take.
int ToCoord(double v, int fallback);

// Head column from the box's left edge (head sample / step + horizontal offset) and the toe column
// (head column + the columns of the pile length; nothing when the record cannot convert).
int HeadColumn(const CPileRecord& rec);
bool ToeColumn(const CPileRecord& rec, int& column);

// Pile numbers of the three rows (top, middle, bottom) for current third 1..3, pile count n, current
// pile and its neighbours in list order; 0 for a row that stays empty (middle needs n > 1, bottom n > 2).
// Neighbours of -1 (the document keeps none with fewer than three piles) are the other pile.
std::array<int, 3> ThreeRowPiles(int third, int n, int cur, int prev, int next);

// Row a left press at height y chooses in the three-trace layout of client height hc with n piles:
// nRow 1..3, or 0 when the press lies on no row; bStop when the press ends there (a row that needs
// more piles than there are), with no tool action after it.
struct RowChoice {
    int nRow = 0;
    bool bStop = false;
};
RowChoice ChooseRow(int y, int clientHeight, int n);

// Rows of the three-trace layout: third height t = (hc - 20) / 3 as a real number, truncated when used.
inline double ThirdHeight(int clientHeight) {
    return (clientHeight - 20) / 3.0;
}
inline int ThirdTop(int clientHeight, int row) {
    return 10 + static_cast<int>((row - 1) * ThirdHeight(clientHeight));
}

// Room above the first row of the wave train and below the last: a trace swings up to a row height
// beyond its row.
inline constexpr int kTrainHeadroom = 30;

// The wave-train area: x from 40 to client width - 60, y from the top margin to n * 30 (both moved
// down by the headroom), one row of (y1 - y0) / n units per pile.
struct TrainArea {
    int nX0 = 40, nY0 = 10, nX1 = 0, nY1 = 0, nRowHeight = 0;
};
TrainArea WaveTrainArea(int clientWidth, int topMargin, int n);

// Zero line of pile k (1-based) in the wave train and its amplitude scale.
struct TrainRow {
    int nZeroY = 0;
    double fScale = 0.0;
};
TrainRow WaveTrainRow(const TrainArea& area, int n, int k, TraceRange range, int yScale);

// Height the view scrolls over: n * 30 and the headroom above and below in the wave train, the client
// height in every other layout.
inline int ScrollHeight(Layout layout, int n, int clientHeight) {
    return layout == Layout::WaveTrain ? n * 30 + 2 * kTrainHeadroom : clientHeight;
}

} // namespace pw
