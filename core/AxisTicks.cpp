// Round tick steps and values for the plots' scales.
#include "core/AxisTicks.h"

#include <cmath>
#include <cstdio>

namespace pw {

double RoundTickStep(double span, int maxTicks) {
    if (!std::isfinite(span) || span <= 0 || maxTicks < 1) return 0;
    const double raw = span / maxTicks;
    const double decade = std::pow(10.0, std::floor(std::log10(raw)));
    // The smallest of 1, 2, 5, 10 times the decade that is not below the raw step.
    for (const double m : {1.0, 2.0, 5.0, 10.0})
        if (m * decade >= raw * (1 - 1e-9)) return m * decade;
    return 10 * decade;
}

std::vector<double> RoundTicks(double lo, double hi, int maxTicks) {
    std::vector<double> ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi <= lo) return ticks;
    const double step = RoundTickStep(hi - lo, maxTicks);
    if (step <= 0) return ticks;
    const double eps = step * 1e-6;
    const long long first = static_cast<long long>(std::ceil((lo - eps) / step));
    const long long last = static_cast<long long>(std::floor((hi + eps) / step));
    for (long long k = first; k <= last; ++k) ticks.push_back(static_cast<double>(k) * step);
    return ticks;
}

std::string TickLabel(double value, double step) {
    int decimals = 0;
    if (step > 0 && std::isfinite(step))
        while (decimals < 6 && std::fabs(step * std::pow(10.0, decimals) -
                                         std::round(step * std::pow(10.0, decimals))) > 1e-6)
            ++decimals;
    if (std::fabs(value) < step * 1e-6) value = 0; // never "-0"
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", decimals, value);
    std::string text = buf;
    // A tick on a coarser multiple needs fewer decimals: 0, 0.2, 0.4 … 1, 1.2.
    if (text.find('.') != std::string::npos) {
        while (text.back() == '0') text.pop_back();
        if (text.back() == '.') text.pop_back();
    }
    return text;
}

} // namespace pw
