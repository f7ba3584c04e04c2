// A small seeded random source whose numbers are the same with every compiler and library (the
// standard distributions are not), so a seeded sample site comes out the same everywhere.
#pragma once

#include <cmath>
#include <cstdint>
#include <numbers>

namespace pw {

class CSimRandom {
public:
    explicit CSimRandom(uint64_t seed) : m_nState(seed) {}

    // splitmix64.
    uint64_t Next() {
        uint64_t z = (m_nState += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    // Uniform in [0, 1).
    double Uniform() { return static_cast<double>(Next() >> 11) * 0x1.0p-53; }
    double Uniform(double lo, double hi) { return lo + (hi - lo) * Uniform(); }
    // Whole number in [lo, hi].
    int Integer(int lo, int hi) { return lo + static_cast<int>(Uniform() * (hi - lo + 1)); }
    // Standard normal (Box-Muller; the second value is thrown away to keep the state simple).
    double Gauss() {
        const double u1 = 1. - Uniform(); // (0, 1]: log stays finite
        const double u2 = Uniform();
        return std::sqrt(-2. * std::log(u1)) * std::cos(2. * std::numbers::pi * u2);
    }

private:
    uint64_t m_nState;
};

} // namespace pw
