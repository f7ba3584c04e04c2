// Round tick values for the plots' scales (depth in metres, frequency in Hz): steps of 1, 2 or 5
// times a power of ten, so a reader can use the scale without a calculator.
#pragma once

#include <string>
#include <vector>

namespace pw {

// The round step (1, 2 or 5 x 10^n) that puts at most maxTicks ticks on a span of `span` units.
// A span that is not a positive finite number, or maxTicks < 1, gives 0.
double RoundTickStep(double span, int maxTicks);

// The multiples of RoundTickStep(hi - lo, maxTicks) inside [lo, hi] (ends included within a
// millionth of a step), in increasing order. Empty when the range is empty or not finite.
std::vector<double> RoundTicks(double lo, double hi, int maxTicks);

// A tick value as printed: at most the decimals the step needs, without trailing zeros ("2", "2.5",
// "0.25", "1" on a scale of tenths), never "-0".
std::string TickLabel(double value, double step);

} // namespace pw
