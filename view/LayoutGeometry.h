// Where things are in each layout of the waveform view, without drawing: the layout kinds, the area in
// which the pointer carries the cursor, the cursor line's vertical span, the spectrum box, and what a
// cursor column hits (head, toe, a defect, a spectrum mark). Plain code: the marker editor, the
// painters and the tests all ask here.
#pragma once

#include <optional>
#include <string>

#include "core/ViewLayout.h"

namespace pw {

class CDEVAzazDoc;
class CPileRecord;
struct ViewState;

// Marker codes of the hit test: the head, the toe, else a defect or spectrum mark index 0..9.
inline constexpr int kMarkNone = -1;
inline constexpr int kMarkHead = 1000;
inline constexpr int kMarkToe = 1001;

// A rectangle with both edges inside, client coordinates.
struct ViewRect {
    int nLeft = 0, nTop = 0, nRight = 0, nBottom = 0;
    bool Contains(int x, int y) const { return x >= nLeft && x <= nRight && y >= nTop && y <= nBottom; }
    bool ContainsX(int x) const { return x >= nLeft && x <= nRight; }
};

// Vertical extent of the cursor line, client coordinates of the layout.
struct CursorSpan {
    int nTop = 0;
    int nBottom = 0;
};

// What the geometry depends on: the layout, the client size, the current third (as drawn) and the
// wave-train area of the last paint.
struct ViewGeometry {
    Layout eLayout = Layout::Single;
    int nWidth = 0, nHeight = 0;
    int nThird = 2;
    int nTrainX0 = 40, nTrainY0 = 10, nTrainX1 = 0, nTrainY1 = 0;
};
ViewGeometry GeometryOf(const CDEVAzazDoc& doc, const ViewState& state, int width, int height);

// The current third the three-trace layout uses: the stored one within the rows n piles fill.
int EffectiveThird(int third, int pileCount);

// Where a pointer move carries the cursor: single trace (10, 10)-(Wc - 10, Hc - 110); three traces
// x 10..Wc - 110 within the current third; wave train x0..x1 at any height; spectra (10, 10)-(Wc - 10,
// Hc - 10).
ViewRect CursorArea(const ViewGeometry& g);
CursorSpan CursorExtent(const ViewGeometry& g);

// The spectrum box of the screen: (10, 10), Wc - 20 columns by Hc - 20.
ViewRect SpectrumBox(int width, int height);

// What the cursor at client x hits on the current pile: head, toe or a defect on the trace layouts
// (|column from the head| < 4, |column - toe| < 4, a defect within four columns' worth of depth), a
// spectrum mark within 4 columns on the spectrum layouts, nothing in the wave train.
int HitTest(Layout layout, const CPileRecord& rec, int cursorX);

// Frequency of spectrum box column `column` (Hz): column x line spacing / bin width.
std::optional<double> ColumnFrequency(const CPileRecord& rec, int column, int binWidth = 5);

// The mean spacing of the spectrum marks sorted by frequency, (f_max - f_min) / (n - 1), and the pile
// length it implies at the pile's wave speed, c / (2 spacing). nullopt with fewer than two marks or no
// frequency axis; fLength is nullopt when the spacing is zero or there is no wave speed.
struct MarkSpacing {
    double fSpacing = 0;
    std::optional<double> fLength;
};
std::optional<MarkSpacing> SpectrumMarkSpacing(const CPileRecord& rec, int binWidth = 5);

// The pile as a plot names it: its pile number as written ("C-21"), or its place in the project when
// it has none.
std::string PileLabel(const CPileRecord& rec);

} // namespace pw
