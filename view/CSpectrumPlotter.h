// The spectrum of one pile in a box: frame, a title naming the kind and the pile, the frequency range
// analysed, the curve scaled so its largest line stays inside the box, a frequency axis with round
// ticks in Hz, the spectrum marks with their frequencies and, with two or more marks, their mean
// spacing and the length it implies. Origin, size and scales come from the caller (screen, the
// printed trace/spectrum pair, the spectrum picture).
#pragma once

#include <vector>

#include "view/CPlotCanvas.h"
#include "view/CTracePlotter.h"

namespace pw {

class CPileRecord;

// What a drawing of the spectrum worked out (for the tests). Heights are logical units measured
// downwards from the box's top edge, whichever way the device's y axis points.
struct SpectrumPlacement {
    float fMax = 0;    // largest spectrum line
    double fScale = 0; // logical units per unit of spectrum (0: an all-zero spectrum, drawn on the axis)
    int nLines = 0;    // spectrum lines the curve runs through
    double fTopDepth = 0;  // where the largest line reaches
    double fAxisDepth = 0; // the frequency axis: the curve's zero
    double fRangeEnd = 0;  // Hz at the last line drawn (the range analysed starts at 0 Hz)
    std::vector<double> Ticks;       // the axis' tick values, Hz
    std::vector<double> LabelledTicks; // the ticks whose value is written (none overlaps another)
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
