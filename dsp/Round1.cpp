// One-decimal rounding with halves away from zero.
#include "dsp/Round1.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace pw {

std::string Round1Text(double value) {
    char buf[400];
    if (std::isfinite(value)) {
        // A binary value lies exactly halfway between two tenths only when 4·value is an odd integer
        // (value = m/4, m odd): 1.25, 12.25, 0.75 ... Those are the only cases where "%.1f" may round
        // the wrong way, so nudge them away from zero before formatting.
        const double q = value * 4.0;
        if (std::fabs(q) < 9.0e15 && q == std::trunc(q) && std::fmod(std::fabs(q), 2.0) == 1.0) {
            const double tenths = std::floor(std::fabs(value) * 10.0 + 0.5); // exact: 10·m/4 + 0.5 is exact
            std::snprintf(buf, sizeof buf, "%s%.0f.%d", value < 0 ? "-" : "", std::floor(tenths / 10.0),
                          static_cast<int>(std::fmod(tenths, 10.0)));
            return buf;
        }
    }
    std::snprintf(buf, sizeof buf, "%.1f", value);
    return buf;
}

double Round1(double value) { return std::strtod(Round1Text(value).c_str(), nullptr); }

} // namespace pw
