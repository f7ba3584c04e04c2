// Round scale ticks: the steps a reader can use (1, 2, 5 x 10^n), the values inside the range and
// their printed form.
#include <cmath>
#include <limits>

#include <gtest/gtest.h>

#include "core/AxisTicks.h"

using namespace pw;

TEST(AxisTicks, StepsAreOneTwoOrFiveTimesAPowerOfTen) {
    struct Case {
        double span;
        int maxTicks;
        double step;
    };
    const Case cases[] = {
        {15.0, 10, 2.0},   // a 15 m pile: ticks every 2 m, not every 1.5 m
        {14.9, 10, 2.0},   {10.0, 10, 1.0}, {10.0001, 10, 2.0}, {3.2, 8, 0.5},
        {0.9, 5, 0.2},     {2500.0, 5, 500.0}, {1000.0, 5, 200.0}, {7.0, 1, 10.0},
        {0.0, 5, 0.0},     {-3.0, 5, 0.0}, {5.0, 0, 0.0},
        {std::numeric_limits<double>::infinity(), 5, 0.0},
        {std::numeric_limits<double>::quiet_NaN(), 5, 0.0},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(RoundTickStep(c.span, c.maxTicks), c.step) << c.span << " / " << c.maxTicks;
}

TEST(AxisTicks, TicksAreTheStepsMultiplesInsideTheRange) {
    const std::vector<double> depth = RoundTicks(0.0, 15.0, 10);
    ASSERT_EQ(depth.size(), 8u);
    for (std::size_t i = 0; i < depth.size(); ++i) EXPECT_NEAR(depth[i], 2.0 * static_cast<double>(i), 1e-12);

    // Both ends count when they fall on a tick, even after rounding in the range's arithmetic.
    const std::vector<double> tenths = RoundTicks(0.1 + 0.2, 0.9, 6);
    ASSERT_FALSE(tenths.empty());
    EXPECT_NEAR(tenths.front(), 0.3, 1e-12);
    EXPECT_NEAR(tenths.back(), 0.9, 1e-12);

    const std::vector<double> hz = RoundTicks(125.0, 2480.0, 5);
    ASSERT_EQ(hz.size(), 4u); // 500, 1000, 1500, 2000: a range that does not start on a tick
    EXPECT_DOUBLE_EQ(hz.front(), 500.0);
    EXPECT_DOUBLE_EQ(hz.back(), 2000.0);

    EXPECT_TRUE(RoundTicks(5.0, 5.0, 5).empty());
    EXPECT_TRUE(RoundTicks(5.0, 1.0, 5).empty());
    EXPECT_TRUE(RoundTicks(0.0, std::numeric_limits<double>::infinity(), 5).empty());
}

TEST(AxisTicks, LabelsHaveTheDecimalsOfTheStep) {
    struct Case {
        double value, step;
        const char* text;
    };
    const Case cases[] = {
        {2.0, 2.0, "2"},     {12.0, 2.0, "12"},  {2.5, 0.5, "2.5"},  {0.25, 0.05, "0.25"},
        {1000, 500, "1000"}, {-1e-17, 0.2, "0"}, {0.6000000001, 0.2, "0.6"}, {1.0, 0.2, "1"},
    };
    for (const Case& c : cases) EXPECT_EQ(TickLabel(c.value, c.step), c.text) << c.value;
}
