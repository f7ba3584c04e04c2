// Physics of the wave model: echo times, echo signs, the clean trace of a rod, shaft damping.
#include <cmath>
#include <gtest/gtest.h>
#include <numbers>
#include <ostream>
#include <string>
#include <vector>

#include "core/PileTypes.h"
#include "sim/PileSimulator.h"

namespace {

using namespace pw;

constexpr double kAmplitude = 100.;

// A pile without soil: only impedance changes and the toe return waves.
CPileDescription BarePile(float length, float speed, float fixity = 0.f) {
    CPileDescription p;
    p.fLength = length;
    p.fWaveSpeed = speed;
    p.fShaftDamping = 0.f;
    p.fSoilCorner = 0.f;
    p.fToeFixity = fixity;
    return p;
}

CBlowDescription CleanBlow(float dt, float durationMs, int head = 50) {
    CBlowDescription b;
    b.fSampleInterval = dt;
    b.fDuration = durationMs;
    b.fAmplitude = static_cast<float>(kAmplitude);
    b.fNoise = 0.f;
    b.nHeadSample = head;
    return b;
}

// The half-sine blow as head velocity, t in µs after the hammer touched.
double Blow(double t, double durationUs) {
    return t >= 0. && t <= durationUs ? kAmplitude * std::sin(std::numbers::pi * t / durationUs) : 0.;
}

// First sample at or after from whose magnitude exceeds level, or -1.
int Onset(const std::vector<double>& v, int from, double level) {
    for (int k = std::max(from, 0); k < static_cast<int>(v.size()); ++k)
        if (std::abs(v[k]) > level) return k;
    return -1;
}

// Sample of the largest magnitude in [from, to).
int PeakIn(const std::vector<double>& v, int from, int to) {
    int best = from;
    for (int k = from; k < to && k < static_cast<int>(v.size()); ++k)
        if (std::abs(v[k]) > std::abs(v[best])) best = k;
    return best;
}

// Without soil and defects the head sees the blow, then every 2L/c the blow again: a free toe sends
// it back doubled (the free head doubles the velocity of every returning wave), a fixed toe doubled
// with alternating sign, a toe matched to the pile (fixity 0.5) not at all. In general the k-th echo
// is 2·(1 - 2f)^k times the blow.
struct CRodCase {
    float length, speed, dt, durationMs, fixity;
};

void PrintTo(const CRodCase& c, std::ostream* os) {
    *os << c.length << " m at " << c.speed << " m/s, " << c.dt << " us, blow " << c.durationMs
        << " ms, toe fixity " << c.fixity;
}

class RodTrace : public ::testing::TestWithParam<CRodCase> {};

TEST_P(RodTrace, IsTheBlowAndItsToeEchoes) {
    const CRodCase c = GetParam();
    const int head = 40;
    const std::vector<double> v =
        SimulateHeadVelocity(BarePile(c.length, c.speed, c.fixity), CleanBlow(c.dt, c.durationMs, head));
    const double roundTrip = 2e6 * c.length / c.speed; // µs
    const double reflection = 1. - 2. * c.fixity;      // velocity seen at the head per round trip, halved
    for (int k = 0; k < head; ++k)
        ASSERT_EQ(v[k], 0.) << k;
    double worst = 0.;
    int worstAt = 0;
    for (int k = head; k < kSamples; ++k) {
        const double t = (k - head) * static_cast<double>(c.dt);
        double expected = Blow(t, c.durationMs * 1000.);
        for (int echo = 1; echo * roundTrip <= t; ++echo)
            expected += 2. * std::pow(reflection, echo) * Blow(t - echo * roundTrip, c.durationMs * 1000.);
        if (std::abs(v[k] - expected) > worst) {
            worst = std::abs(v[k] - expected);
            worstAt = k;
        }
    }
    // The toe lies within half a cell (a quarter sample) of its depth: each echo may be early or late
    // by that much, which on the steepest slope of the doubled blow is a few per cent of the blow.
    const double slope = 2. * kAmplitude * std::numbers::pi / (c.durationMs * 1000.) * c.dt; // per sample
    EXPECT_LT(worst, 0.5 * slope * 3) << "at sample " << worstAt;
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RodTrace,
    ::testing::Values(CRodCase{12.f, 3800.f, 20.f, 1.0f, 0.f}, CRodCase{12.f, 3800.f, 20.f, 1.0f, 1.f},
                      CRodCase{12.f, 3800.f, 20.f, 1.0f, 0.5f}, CRodCase{6.f, 3600.f, 10.f, 0.5f, 0.25f},
                      CRodCase{25.f, 4000.f, 25.f, 2.0f, 0.f}, CRodCase{30.f, 3650.f, 25.f, 1.5f, 0.8f}));

// The toe echo arrives 2L/c after the blow, for any length, speed and sampling interval.
struct CToeCase {
    float length, speed, dt;
};

void PrintTo(const CToeCase& c, std::ostream* os) {
    *os << c.length << " m at " << c.speed << " m/s, " << c.dt << " us";
}

class ToeEcho : public ::testing::TestWithParam<CToeCase> {};

TEST_P(ToeEcho, ArrivesTwoLOverC) {
    const CToeCase c = GetParam();
    const int head = 50;
    const float duration = 0.6f;
    const std::vector<double> v =
        SimulateHeadVelocity(BarePile(c.length, c.speed), CleanBlow(c.dt, duration, head));
    const double arrival = head + 2e6 * c.length / c.speed / c.dt; // samples
    const int blowEnd = head + static_cast<int>(std::ceil(duration * 1000. / c.dt)) + 1;
    const int onset = Onset(v, blowEnd, 0.01 * kAmplitude);
    ASSERT_GE(onset, 0);
    EXPECT_NEAR(onset, arrival, 1.5);
    EXPECT_GT(v[onset], 0.); // a free toe returns the blow's sign
}

INSTANTIATE_TEST_SUITE_P(Cases, ToeEcho,
                         ::testing::Values(CToeCase{6.f, 3600.f, 10.f}, CToeCase{9.5f, 3950.f, 10.f},
                                           CToeCase{12.f, 3800.f, 20.f}, CToeCase{18.5f, 3700.f, 20.f},
                                           CToeCase{24.f, 4000.f, 25.f}, CToeCase{30.f, 3600.f, 25.f}));

// A fall of impedance (necking and its relatives) sends back a wave of the blow's sign, a rise
// (bulging, enlarged base) one of the opposite sign, each 2z/c after the blow.
struct CDefectCase {
    int type;
    float depth, extent; // extent 0: the kind's usual extent
    int sign;
};

void PrintTo(const CDefectCase& c, std::ostream* os) {
    *os << DefectTypeText(c.type) << " at " << c.depth << " m";
}

class DefectEcho : public ::testing::TestWithParam<CDefectCase> {};

TEST_P(DefectEcho, HasTheSignOfTheImpedanceChangeAtTwoZOverC) {
    const CDefectCase c = GetParam();
    const float length = 20.f, speed = 3800.f, dt = 20.f;
    CPileDescription pile = BarePile(length, speed, 0.5f); // no toe echo to confuse things
    CSimDefect d;
    d.nType = c.type;
    d.fDepth = c.depth;
    d.fExtent = c.extent;
    float extent = 0.f;
    ASSERT_TRUE(DefectDefaults(c.type, d.fSeverity, extent));
    pile.defects.push_back(d);
    const int head = 50;
    const float duration = 0.5f;
    const std::vector<double> v = SimulateHeadVelocity(pile, CleanBlow(dt, duration, head));
    const double arrival = head + 2e6 * c.depth / speed / dt;
    const int blowEnd = head + static_cast<int>(std::ceil(duration * 1000. / dt)) + 1;
    const int onset = Onset(v, blowEnd, 0.02 * kAmplitude);
    ASSERT_GE(onset, 0);
    EXPECT_NEAR(onset, arrival, 1.5);
    EXPECT_EQ(v[onset] > 0. ? 1 : -1, c.sign);
    // The first lobe peaks half a blow after the onset when the section is longer than the blow.
    if (c.extent * 2e6 / speed > duration * 1000.) {
        const int peak = PeakIn(v, onset, onset + static_cast<int>(duration * 1000. / dt));
        EXPECT_NEAR(peak, arrival + duration * 500. / dt, 1.5);
    }
}

INSTANTIATE_TEST_SUITE_P(Kinds, DefectEcho,
                         ::testing::Values(CDefectCase{2, 5.5f, 3.f, +1},   // 缩径
                                           CDefectCase{1, 5.5f, 3.f, -1},   // 扩径
                                           CDefectCase{2, 9.f, 0.f, +1},    // 缩径, usual extent
                                           CDefectCase{1, 12.f, 0.f, -1},   // 扩径, usual extent
                                           CDefectCase{3, 7.f, 0.f, +1},    // 断桩
                                           CDefectCase{4, 4.f, 0.f, +1},    // 裂纹
                                           CDefectCase{5, 8.5f, 0.f, +1},   // 夹泥
                                           CDefectCase{6, 6.f, 0.f, +1},    // 离析
                                           CDefectCase{7, 17.f, 0.f, -1})); // 扩底, down to the toe

// Shaft damping takes energy from every wave: the toe echo shrinks as the damping grows, roughly as
// exp(-2·α·L) over the round trip.
TEST(ShaftDamping, WeakensTheToeEcho) {
    const float length = 15.f, speed = 3800.f, dt = 20.f, duration = 0.8f;
    const int head = 50;
    const double arrival = head + 2e6 * length / speed / dt;
    const int from = static_cast<int>(arrival), to = from + static_cast<int>(duration * 1000. / dt) + 2;
    double previous = 0.;
    double undamped = 0.;
    for (const float alpha : {0.f, 0.01f, 0.02f, 0.04f, 0.08f}) {
        CPileDescription pile = BarePile(length, speed);
        pile.fShaftDamping = alpha;
        const std::vector<double> v = SimulateHeadVelocity(pile, CleanBlow(dt, duration, head));
        // Measured from the level just before the echo: the shaft's own returns have moved it.
        const double echo = v[PeakIn(v, from, to)] - v[from - 1];
        if (alpha == 0.f) {
            undamped = echo;
        } else {
            EXPECT_LT(echo, previous) << alpha;
            EXPECT_NEAR(echo / undamped, std::exp(-2. * alpha * length), 0.1) << alpha;
        }
        previous = echo;
    }
}

// Soil resists the moving pile: after the blow the head velocity swings below zero before the toe
// echo, as the shaft returns opposite-sign waves all along its length.
TEST(ShaftDamping, PullsTheTraceBelowZeroAfterTheBlow) {
    CPileDescription pile = BarePile(20.f, 3800.f);
    pile.fShaftDamping = 0.04f;
    pile.fSoilCorner = 60.f;
    const int head = 50;
    const std::vector<double> v = SimulateHeadVelocity(pile, CleanBlow(20.f, 1.f, head));
    const int toe = head + static_cast<int>(2e6 * 20. / 3800. / 20.);
    double lowest = 0.;
    for (int k = head + 50; k < toe; ++k)
        lowest = std::min(lowest, v[k]);
    EXPECT_LT(lowest, -0.05 * kAmplitude);
}

} // namespace
