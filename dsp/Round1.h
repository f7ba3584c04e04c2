// One-decimal rounding of depths and lengths: the exact stored value rounded to the nearest tenth,
// halves away from zero.
#pragma once

#include <string>

namespace pw {

// Do NOT replace with snprintf("%.1f"): glibc rounds an exact half to even (12.25 -> "12.2"),
// while lengths and depths round halves away from zero (12.25 -> 12.3, 1.25 -> 1.3).
std::string Round1Text(double value);

// Round1Text read back as a number (NaN and infinities pass through).
double Round1(double value);

} // namespace pw
