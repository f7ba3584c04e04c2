#include "dsp/Round1.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

struct Round1Case {
    double value;
    const char* text;
};

class Round1Cases : public ::testing::TestWithParam<Round1Case> {};

TEST_P(Round1Cases, RoundsToNearestTenthHalvesAwayFromZero) {
    const auto& c = GetParam();
    EXPECT_EQ(pw::Round1Text(c.value), c.text) << c.value;
    EXPECT_DOUBLE_EQ(pw::Round1(c.value), std::strtod(c.text, nullptr));
}

// 12.25 and 1.25 are exact halves in binary: glibc's "%.1f" would give 12.2 and 1.2.
// 12.34f and 12.36f are the stored lengths a project file may hold.
INSTANTIATE_TEST_SUITE_P(Values, Round1Cases,
                         ::testing::Values(Round1Case{12.25, "12.3"}, Round1Case{1.25, "1.3"},
                                           Round1Case{0.75, "0.8"}, Round1Case{-1.25, "-1.3"},
                                           Round1Case{-0.25, "-0.3"}, Round1Case{0.25, "0.3"},
                                           Round1Case{12.34f, "12.3"}, Round1Case{12.36f, "12.4"},
                                           Round1Case{12.35f, "12.4"}, Round1Case{0.05, "0.1"},
                                           Round1Case{4.0, "4.0"}, Round1Case{0.0, "0.0"},
                                           Round1Case{1e20, "100000000000000000000.0"}));

TEST(Round1, NonFiniteValuesPassThrough) {
    EXPECT_TRUE(std::isnan(pw::Round1(NAN)));
    EXPECT_EQ(pw::Round1(INFINITY), INFINITY);
    EXPECT_EQ(pw::Round1(-INFINITY), -INFINITY);
}

} // namespace
