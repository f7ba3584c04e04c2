#include "dsp/Conversions.h"

#include <gtest/gtest.h>
#include <limits>
#include <ostream>

namespace {

// step 1, dt 20 µs, c 4000 m/s, L 10 m: 25 points per metre, toe at 250.
constexpr pw::TraceScale kScale{1, 20.0f, 4000, 10.0f};

TEST(Conversions, WorkedExamples) {
    EXPECT_EQ(*pw::DepthOfPoint(kScale, 100), 4.0);
    EXPECT_EQ(*pw::PointOfDepth(kScale, 10.0), 250);
    EXPECT_EQ(*pw::ToePoint(kScale), 250);
    EXPECT_EQ(*pw::SpeedFromLength(kScale, 12.0), 4800);
    EXPECT_EQ(*pw::LengthFromSpeed(kScale, 3000.0), 7.5);
    EXPECT_EQ(*pw::SpeedFromToePoint(kScale, 250), 4000);
    // The factor is the single-precision 0.001, so 5 ms comes out a little above 5.
    EXPECT_EQ(*pw::TimeOfPoint(kScale, 250), 5000.0 * static_cast<double>(0.001f));
    EXPECT_EQ(static_cast<double>(*pw::PointsPerMetre(kScale)), 25.0);
}

TEST(Conversions, DepthsRoundHalvesAwayFromZero) {
    const pw::TraceScale s{1, 20.0f, 2500, 10.0f}; // 0.025 m per point
    EXPECT_EQ(*pw::DepthOfPoint(s, 5), 0.1);
    EXPECT_EQ(*pw::DepthOfPoint(s, 3), 0.1);  // 0.075 -> 0.1
    EXPECT_EQ(*pw::DepthOfPoint(s, 10), 0.3); // 0.25 -> 0.3, where "%.1f" gives 0.2
    EXPECT_EQ(*pw::DepthOfPoint(s, -10), -0.3);
}

// Values straight from a damaged file: every conversion that would divide by zero, or produce NaN,
// infinity or an int overflow, is refused.
struct HostileCase {
    const char* what;
    pw::TraceScale scale;
    bool scaleUsable; // step, dt and c are fine; only the length-based conversions must refuse
};

void PrintTo(const HostileCase& c, std::ostream* os) {
    *os << c.what;
}

class HostileScales : public ::testing::TestWithParam<HostileCase> {};

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

TEST_P(HostileScales, AreRefusedWhereTheyWouldDivideOrOverflow) {
    const pw::TraceScale& s = GetParam().scale;
    const char* what = GetParam().what;
    if (!GetParam().scaleUsable) {
        EXPECT_FALSE(pw::PointsPerMetre(s)) << what;
        EXPECT_FALSE(pw::PointOfDepth(s, 10.0)) << what;
    }
    EXPECT_FALSE(pw::ToePoint(s)) << what;
    EXPECT_FALSE(pw::SpeedFromLength(s, 12.0)) << what;
    EXPECT_FALSE(pw::LengthFromSpeed(s, 3000.0)) << what;
}

INSTANTIATE_TEST_SUITE_P(Hostile, HostileScales,
                         ::testing::Values(HostileCase{"dt 0", {1, 0.0f, 4000, 10}, false},
                                           HostileCase{"dt NaN", {1, kNaN, 4000, 10}, false},
                                           HostileCase{"dt infinite", {1, kInf, 4000, 10}, false},
                                           HostileCase{"speed 0", {1, 20.0f, 0, 10}, false},
                                           HostileCase{"step 0", {0, 20.0f, 4000, 10}, false},
                                           HostileCase{"length NaN", {1, 20.0f, 4000, kNaN}, true},
                                           HostileCase{"length infinite", {1, 20.0f, 4000, kInf}, true},
                                           HostileCase{"toe beyond int", {1, 1e-30f, 1, 1e30f}, true}));

TEST(Conversions, ZeroDivisorsAndOverflowInSingleCalls) {
    EXPECT_FALSE(pw::SpeedFromToePoint(kScale, 0));                                 // toe at the head
    EXPECT_FALSE(pw::SpeedFromLength(pw::TraceScale{1, 20.0f, 4000, 0.01f}, 12.0)); // toe point 0
    EXPECT_FALSE(pw::SpeedFromToePoint(pw::TraceScale{1, 20.0f, 4000, 1e30f}, 1));  // beyond int
    EXPECT_FALSE(pw::PointOfDepth(kScale, std::numeric_limits<double>::quiet_NaN()));
    EXPECT_FALSE(pw::DepthOfPoint(pw::TraceScale{1, kInf, 4000, 10}, 1));
    EXPECT_FALSE(pw::TimeOfPoint(pw::TraceScale{1, kNaN, 4000, 10}, 1));
    EXPECT_EQ(*pw::DepthOfPoint(pw::TraceScale{1, 20.0f, 0, 10}, 100), 0.0); // a product, not a divisor
}

} // namespace
