// Small helpers shared by the dsp tests: seeded random traces and the error measure the fast code is
// held to (every output within 1e-6 of the reference's peak magnitude).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <vector>

namespace pw::testing {

inline std::vector<float> RandomTrace(std::size_t n, std::uint32_t seed, float amplitude = 1.0f) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(-amplitude, amplitude);
    std::vector<float> x(n);
    for (float& v : x)
        v = dist(gen);
    return x;
}

// Largest |fast - reference| divided by the reference's peak magnitude (0 when both are all zero).
inline double RelativeError(const std::vector<float>& fast, const std::vector<float>& reference) {
    double peak = 0.0, worst = 0.0;
    for (std::size_t i = 0; i < reference.size(); ++i) {
        peak = std::max(peak, std::fabs(static_cast<double>(reference[i])));
        worst = std::max(worst, std::fabs(static_cast<double>(fast[i]) - reference[i]));
    }
    return peak == 0.0 ? worst : worst / peak;
}

inline constexpr double kTolerance = 1e-6;

} // namespace pw::testing
