// The trace plotting routines shared by screen, printer, preview and pictures: one trace in its box,
// its head/toe/scale marks and defects, the parameter summary and column, and the wave train.
#pragma once

#include <array>

#include <QRect>
#include <QString>

#include "view/CPlotCanvas.h"
#include "view/TraceGeometry.h"

namespace pw {

class CDEVAzazDoc;
class CPileRecord;
struct CTraceLabels;

// A trace box: origin in logical units, width in columns and height in plot units (both multiplied
// by the x and y scale when drawn).
struct TraceBox {
    int nX = 10;
    int nY = 10;
    int nW = 0;
    int nH = 0;
};

struct TraceOptions {
    int nPolarity = 1;          // -1 when the display is inverted
    bool bVariableArea = false; // fill the positive half-waves with vertical lines
    bool bScaleMarks = true;    // the "刻度" option: scale axis, T1/T2, gain curve, ticks
    bool bZoomRect = false;     // the local-zoom tool is active: draw its rectangle
    QRect ZoomRect;             // corners (x0, y0) and (x1, y1) as the mouse gave them
};

// What the plot of one trace worked out (for the marks, the tools and the tests).
struct TracePlacement {
    int nStep = 1;
    int nZeroY = 0;     // y of the trace's zero line
    int nMiddleY = 0;   // y of the box's middle line
    double fScale = 0;  // amplitude scale (0 for a flat trace)
    int nEndSample = 0; // last sample index the polyline reached (-1: nothing drawn)
};

// The ten parameter texts of a pile in the order of the parameter column: length, speed, gain,
// filter passes, high-pass, low-pass, pre-zero, post-cut, vertical shift, rotation.
std::array<QString, 10> ParameterTexts(const CPileRecord& rec);

class CTracePlotter {
public:
    explicit CTracePlotter(CPlotCanvas& canvas) : m_Canvas(canvas) {}

    // Frame, middle line, the trace (and its variable area), the defect lines and the local-zoom
    // rectangle, clipped to the box. trace is the record's processed trace at its step (kSamples
    // values); the caller chose the step (the screen fits it to the box first).
    TracePlacement PlotTrace(const TraceBox& box, const CPileRecord& rec, const float* trace,
                             const TraceOptions& opt);
    // Head and toe lines over the box height; with the scale option the axis, T1/T2, gain curve and
    // the depth scale's round ticks with their depths and unit; "#n" and the defect labels. The texts
    // go where the label layout puts them (none overlaps another or leaves the box), all clipped to
    // the box.
    void DrawMarks(const TraceBox& box, const CPileRecord& rec, const TraceOptions& opt);
    void DrawMarks(const TraceBox& box, const CPileRecord& rec, const TraceOptions& opt,
                   const CTraceLabels& labels);
    // Defect lines (their labels come with the marks).
    void DrawDefects(const TraceBox& box, const CPileRecord& rec);
    // Bottom band of the single-trace layout (rows at client height - 90, - 70, - 50).
    void DrawParamSummary(int clientWidth, int clientHeight, const CPileRecord& rec);
    // Right band of the three-trace layout.
    void DrawParamColumn(int clientWidth, int clientHeight, const CPileRecord& rec);
    // Every pile of the project, one row each, for the rows whose drawing reaches [visibleTop,
    // visibleBottom) (logical units); the others are neither fitted nor drawn. The drawn ones get
    // their step fitted to the train's width through the document.
    void DrawWaveTrain(CDEVAzazDoc& doc, const TrainArea& area, int polarity, bool variableArea,
                       int visibleTop, int visibleBottom);

private:
    CPlotCanvas& m_Canvas;
};

} // namespace pw
