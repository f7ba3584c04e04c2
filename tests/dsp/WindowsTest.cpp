#include "dsp/Windows.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <ostream>

namespace {

// Five-point windows worked out by hand from the textbook formulas with h = 2π/5 (N, not N - 1, in the
// denominator), so w[0] is 0 for most kinds and the last value is not.
struct FivePointCase {
    int kind;
    std::array<float, 5> values;
};

void PrintTo(const FivePointCase& c, std::ostream* os) {
    *os << "kind" << c.kind;
}

class FivePointWindows : public ::testing::TestWithParam<FivePointCase> {};

TEST_P(FivePointWindows, MatchHandComputedValues) {
    const auto& c = GetParam();
    std::array<float, 6> w;
    w.fill(-7.0f);
    ASSERT_TRUE(pw::MakeWindow(w, 5, c.kind));
    for (int i = 0; i < 5; ++i)
        EXPECT_NEAR(w[i], c.values[i], 5e-4) << "kind " << c.kind << " i " << i;
    EXPECT_EQ(w[5], -7.0f) << "wrote past n";
}

INSTANTIATE_TEST_SUITE_P(
    AllKinds, FivePointWindows,
    ::testing::Values(FivePointCase{pw::kWindowRectangular, {1, 1, 1, 1, 1}},
                      FivePointCase{pw::kWindowTriangular, {0, 0.4f, 0.8f, 0.8f, 0.4f}},
                      FivePointCase{pw::kWindowSine, {0, 0.5878f, 0.9511f, 0.9511f, 0.5878f}},
                      FivePointCase{pw::kWindowHann, {0, 0.3455f, 0.9045f, 0.9045f, 0.3455f}},
                      FivePointCase{pw::kWindowHamming, {0.08f, 0.3979f, 0.9121f, 0.9121f, 0.3979f}},
                      FivePointCase{pw::kWindowBlackman, {0, 0.2008f, 0.8492f, 0.8492f, 0.2008f}},
                      FivePointCase{pw::kWindowBohman, {0, 0.1791f, 0.8343f, 0.8343f, 0.1791f}}));

// The window kind and length come from files: none of these may write anything.
struct RefusedCase {
    int n;
    int kind;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << "n" << c.n << "_kind" << c.kind;
}

class RefusedWindows : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedWindows, WriteNothing) {
    std::array<float, 8> w;
    w.fill(-7.0f);
    EXPECT_FALSE(pw::MakeWindow(w, GetParam().n, GetParam().kind));
    for (float v : w)
        EXPECT_EQ(v, -7.0f);
}

INSTANTIATE_TEST_SUITE_P(Hostile, RefusedWindows,
                         ::testing::Values(RefusedCase{5, 0}, RefusedCase{5, 8}, RefusedCase{5, -1},
                                           RefusedCase{5, 1 << 30}, RefusedCase{0, 4}, RefusedCase{-3, 4},
                                           RefusedCase{9, 4}));

} // namespace
