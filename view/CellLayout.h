// Where the texts of a trace box and of a printed cell go, worked out by measuring them: the
// information box's lines, T1 and T2, the pile's "#n", the depth scale's round ticks and labels and the
// defect labels. Plain code returning rectangles (no drawing), so tests check that none overlaps
// another or leaves its box; the plotter draws exactly what it returns.
//
// Coordinates are a box's own: x in logical units from its left edge, y in logical units downwards
// from its top edge, whichever way the page's y axis points.
#pragma once

#include <functional>
#include <optional>
#include <vector>

#include <QPoint>
#include <QRect>
#include <QString>

#include "core/CPileRecord.h"
#include "core/CellTexts.h"
#include "core/PrintSettings.h"
#include "view/CTracePlotter.h"

namespace pw {

class CPlotCanvas;

// Width in logical units of a text at a font height in logical units.
using TextWidthFn = std::function<double(const QString& text, int height)>;

// The line box of a text whose cell's top left is at y, at font height h: from 0.3 h above y to
// 1.15 h below it. The faces' own ascent and descent (the Chinese face's are the tallest), so two
// boxes that do not overlap hold glyphs that do not touch, and a PDF's word boxes agree.
int TextTop(int y, int height);
int TextBottom(int y, int height);
// The line box of horizontal text with its cell's top left at (x, y); and the distance from one
// line's top to the next so that their boxes do not overlap.
QRect HorizontalTextRect(int x, int y, double width, int height);
int LinePitch(int height);

// A text where it goes: its cell's top left (before rotation), its font height and the rectangle its
// line box covers.
struct CPlacedText {
    QString strText;
    QPoint At;
    int nHeight = 0;
    QRect Rect;
    bool bVertical = false; // written in the vertical style
};

// --- the information box ---

// Width of the information box of a cell cellW units wide: a fifth of the cell, or more when the
// lines need it: what their fullest wordings need at the nominal height, up to 3/10 of the cell, and
// their shortest at the smallest allowed height, up to 2/5.
int InfoBoxWidth(const std::vector<CInfoLine>& lines, int cellW, int nominal, int minHeight,
                 const TextWidthFn& width);

// The information box's lines laid out in box: the largest font height from nominal down to minHeight
// at which every line fits in its fullest wording, spread down the box. A line that does not fit at
// minHeight takes its longest wording that does; when even then the box cannot hold them all, the
// lines of highest drop rank are left out. A line never leaves the box and never overlaps another.
struct CInfoBoxLayout {
    int nHeight = 0;
    std::vector<CPlacedText> m_Lines;
    int nDropped = 0; // lines left out for want of room
};
CInfoBoxLayout LayoutInfoBox(const std::vector<CInfoLine>& lines, const QRect& box, int nominal, int minHeight,
                             const TextWidthFn& width);

// --- the texts of a trace box ---

struct CTraceLabelInput {
    int nW = 0, nH = 0;        // the trace box, logical units
    int nHeadX = 0;            // head line
    std::optional<int> nToeX;  // toe line (none when the record cannot convert)
    double fLength = 0;        // pile length, m: the depth at the toe
    bool bScale = true;        // the scale option: T1, T2 and the depth scale
    QString strNumber;         // "#n"
    int nTextHeight = 12;      // T1, T2, "#n" and the tick labels
    struct Defect {
        int nX = 0;            // the defect line
        QString strText;       // "缩径 5.20m"
    };
    std::vector<Defect> m_Defects;
    bool bDefectsUpward = true; // vertical labels read upwards (screen, pictures) or downwards (paper)
    int nDefectHeight = 12;
    int nLineWidth = 1;         // the head, toe and defect lines, which T1, T2 and "#n" keep clear of
    int nVisibleH = -1;         // texts go only this far down the box (-1: all of it)
};

struct CTraceLabels {
    int nAxisY = 0;                              // the scale axis
    int nMajorRise = 0, nMinorRise = 0;          // tick heights above the axis
    std::optional<CPlacedText> T1, T2, Number;
    std::vector<int> m_MajorTicks, m_MinorTicks; // x of the depth scale's ticks
    std::vector<CPlacedText> m_TickLabels;       // round depths, then the unit "m"
    std::vector<CPlacedText> m_DefectLabels;     // vertical labels (At is the rotated text's origin)
    int nSkipped = 0;                            // labels left out rather than overlapped
    // Every placed text's rectangle, for the overlap checks.
    std::vector<QRect> Rects() const;
};

// Places T1 and T2 beside the head and toe lines (left of them, else right), the depth scale's round ticks (1, 2 or 5 x 10^n m)
// with their labels under the axis and the unit "m" after them (a label that would overlap another or
// leave the box is skipped), "#n" where it collides with none of them nor a line, and the defect labels beside
// their lines (on the other side, or in the other half of the box, when the first place is taken;
// written across beside the line, clear of the other lines, when the box is too low for them to stand;
// skipped when no place is free). plainWidth measures T1, T2, "#n" and the ticks; verticalWidth the
// defect labels.
CTraceLabels LayoutTraceLabels(const CTraceLabelInput& in, const TextWidthFn& plainWidth,
                               const TextWidthFn& verticalWidth);

// The texts of rec's trace box as the canvas draws them (its scales, fonts and device); rec is drawn
// at its own step.
CTraceLabelInput TraceLabelInputOf(const CPlotCanvas& canvas, const TraceBox& box, const CPileRecord& rec,
                                   bool scaleMarks);
CTraceLabels TraceLabelsOf(const CPlotCanvas& canvas, const TraceBox& box, const CPileRecord& rec,
                           bool scaleMarks);

// --- a printed cell (pages, preview, pictures and the report's pictures) ---

// A printed cell w x h plot units at the canvas's scales: the trace box on the left, the information
// box to its right (a fifth of the cell or what its lines need), the record as drawn (a copy at the
// step fitted to the trace box: the whole pile shows), and every text, in the cell's coordinates.
struct CCellLayout {
    int nCellW = 0, nCellH = 0; // logical units
    int nTraceColumns = 0;      // trace box width in columns
    QRect TraceBox, InfoBox;
    CPileRecord Drawn;          // the record at the step fitted to the trace box
    CInfoBoxLayout Info;
    CTraceLabels Labels; // in the trace box's coordinates, which are the cell's
};
// visibleH: only this much of the cell's height shows (the cell below a picture's spectrum); its
// texts go there.
CCellLayout LayoutPrintedCell(const CPlotCanvas& canvas, int w, int h, const CPileRecord& rec,
                              const CPrintSettings& settings, bool scaleMarks, int visibleH = -1);

} // namespace pw
