// The spectrum of one pile in a box: frame, the curve scaled to its largest line, the spectrum marks
// with their frequencies, and the labels. Origin, size and scales come from the caller (screen, the
// printed trace/spectrum pair, the spectrum picture).
#pragma once

#include "view/CPlotCanvas.h"
#include "view/CTracePlotter.h"

namespace pw {

class CPileRecord;

// What a drawing of the spectrum worked out (for the tests).
struct SpectrumPlacement {
    float fMax = 0;    // largest spectrum line
    double fScale = 0; // plot units per unit of spectrum (0: an all-zero spectrum, drawn on the bottom)
    int nLines = 0;    // spectrum lines the curve runs through
};

class CSpectrumPlotter {
public:
    explicit CSpectrumPlotter(CPlotCanvas& canvas) : m_Canvas(canvas) {}

    // The spectrum of trace, the record's processed trace (kSamples values). kind: 0 amplitude,
    // 1 power. binWidth: columns per spectrum line. markStyle: the text style of the marks'
    // frequencies (vertical; the printed page turns it the other way).
    SpectrumPlacement Draw(const TraceBox& box, const CPileRecord& rec, const float* trace, int kind,
                           int binWidth = 5, int markStyle = kTextVertical);

private:
    CPlotCanvas& m_Canvas;
};

} // namespace pw
