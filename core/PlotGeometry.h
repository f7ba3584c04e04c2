// Index arithmetic of every plot of a record: which samples a trace polyline, the wave train and the
// spectrum curve read, and the record fields they use, held inside the ranges a trace can have. A
// file may hold any value in these fields; the record keeps it (a save writes back what was read),
// only the plots take it clamped. No drawing here: the fuzzer and the view share it.
#pragma once

#include "core/CPileRecord.h"

namespace pw {

// Samples per display point as the plots take it: 1..1024.
int PlotStep(const CPileRecord& rec);
// Head offset in samples: 0..1023.
int PlotHeadSample(const CPileRecord& rec);
// Trailing samples cut off: 0..1024.
int PlotPostCut(const CPileRecord& rec);
// Pre-zero count: 0..1024.
int PlotPreZero(const CPileRecord& rec);
// Head in display points: head sample / step, both as the plots take them. Every command that
// measures from the head (defects, pre-zero, post-cut, head, toe) uses this, so a head a file stored
// outside the trace is read where it is drawn and the depth the user reads is the depth stored.
int PlotHeadPoint(const CPileRecord& rec);
// Head column from the trace box's left edge: head point + horizontal offset.
int PlotHeadColumn(const CPileRecord& rec);

// The polyline of one trace in a box `width` columns wide: for each column i with nFirst <= i < nEnd a
// segment from sample SampleOfColumn(i) at x = i to SampleOfColumn(i) + nStep at x = i + 1. Columns
// start at the horizontal offset; the last segment ends before 1024 - post-cut. Every sample index
// it names lies in 0..1023. Columns left of the box (a negative offset) are skipped but one, so the
// line still enters the box from its left edge.
struct TraceColumns {
    int nFirst = 0;
    int nEnd = 0; // nFirst == nEnd: nothing to draw
    int nOffset = 0;
    int nStep = 1;
    int SampleOfColumn(int column) const { return (column - nOffset) * nStep; }
    int Count() const { return nEnd - nFirst; }
};
TraceColumns TracePolyline(int width, int offset, int step, int postCut);
TraceColumns TracePolyline(const CPileRecord& rec, int width);

// The wave train draws one sample per column: segment i (0 <= i < count) joins samples i and i + 1,
// for the first min(area width, 1024) columns, while i + 1 < 1024 - post-cut.
int TrainSegments(int areaWidth, int postCut);

// Spectrum lines a box `width` columns wide shows at `binWidth` columns per line: lines 0 .. count - 1
// with count = width / binWidth + 1, never more than the 1024 lines a spectrum has.
int SpectrumLineCount(int width, int binWidth);

} // namespace pw
