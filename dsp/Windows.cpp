// The seven FIR design windows.
#include "dsp/Windows.h"

#include <cmath>
#include <cstddef>

namespace pw {

bool MakeWindow(std::span<float> w, int n, int kind) {
    if (kind < kWindowRectangular || kind > kWindowBohman || n <= 0 || static_cast<std::size_t>(n) > w.size())
        return false;
    // π is held in single precision and h = 2π/n is a float: the stored windows have always been
    // computed this way, and the design below must see the same values.
    const float pi = static_cast<float>(4.0 * std::atan(1.0));
    const float nf = static_cast<float>(n);
    const float h = 2.0f * pi / nf;
    for (int i = 0; i < n; ++i) {
        const double hi = static_cast<double>(h) * i;
        double v = 1.0;
        switch (kind) {
        case kWindowTriangular:
            v = 1.0 - std::fabs(1.0 - 2.0 * i / nf);
            break;
        case kWindowSine:
            v = std::sin(hi * 0.5);
            break;
        case kWindowHann:
            v = (1.0 - std::cos(hi)) * 0.5;
            break;
        case kWindowHamming:
            v = 0.54 - 0.46 * std::cos(hi);
            break;
        case kWindowBlackman:
            v = 0.42 - 0.5 * std::cos(hi) + 0.08 * std::cos(2.0 * hi);
            break;
        case kWindowBohman:
            v = std::fabs(std::sin(hi)) / pi - (1.0 - std::fabs(i - nf / 2.0) * 2.0 / nf) * std::cos(hi);
            break;
        default: // rectangular
            break;
        }
        w[i] = static_cast<float>(v);
    }
    return true;
}

} // namespace pw
