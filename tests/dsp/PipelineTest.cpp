#include "dsp/Pipeline.h"
#include "LiteralReference.h"
#include "TestSignals.h"
#include "dsp/Samples.h"

#include <array>
#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <vector>

namespace {

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

using Trace = std::vector<float>;

Trace Ramp(std::size_t n = pw::kTraceSamples) {
    Trace x(n);
    for (std::size_t i = 0; i < n; ++i)
        x[i] = 1.0f + static_cast<float>(i % 37) * 0.25f;
    return x;
}

struct Scratch {
    std::array<float, pw::kTraceSamples> coef{}, window{}, work{};
    pw::FirBuffers Buffers() { return {coef, window, work}; }
};

TEST(RemoveDC, SubtractsTheMeanOfTheFirstFiveSamples) {
    Trace x = {1, 2, 3, 4, 5, 10, -10};
    ASSERT_TRUE(pw::RemoveDC(x));
    EXPECT_EQ(x, (Trace{-2, -1, 0, 1, 2, 7, -13}));
    Trace tooShort = {1, 2, 3, 4};
    EXPECT_FALSE(pw::RemoveDC(tooShort));
    EXPECT_EQ(tooShort, (Trace{1, 2, 3, 4}));
}

// Pre-zero and post-cut counts come from files: negative counts do nothing, oversized ones clear all.
struct ZeroCase {
    int lead, trail;
    int firstKept, lastKept; // kept samples are [firstKept, lastKept)
};

void PrintTo(const ZeroCase& c, std::ostream* os) {
    *os << "lead" << c.lead << "_trail" << c.trail;
}

class ZeroRanges : public ::testing::TestWithParam<ZeroCase> {};

TEST_P(ZeroRanges, ClampToTheTrace) {
    const auto& c = GetParam();
    Trace x(pw::kTraceSamples, 1.0f);
    pw::ZeroLeading(x, c.lead);
    pw::ZeroTrailing(x, c.trail);
    for (int i = 0; i < pw::kTraceSamples; ++i)
        ASSERT_EQ(x[i], i >= c.firstKept && i < c.lastKept ? 1.0f : 0.0f) << i;
}

INSTANTIATE_TEST_SUITE_P(Counts, ZeroRanges,
                         ::testing::Values(ZeroCase{10, 20, 10, 1004}, ZeroCase{0, 0, 0, 1024},
                                           ZeroCase{-5, -32768, 0, 1024}, ZeroCase{1024, 0, 1024, 1024},
                                           ZeroCase{32767, 32767, 0, 0}, ZeroCase{1, 1, 1, 1023}));

// Segments are display points; only every step-th sample is touched, and nothing outside the trace.
struct SegmentCase {
    int from, to;
    float factor;
    int step;
    bool accepted;
    std::vector<int> touched;
};

void PrintTo(const SegmentCase& c, std::ostream* os) {
    *os << "from" << c.from << "_to" << c.to << "_factor" << c.factor << "_step" << c.step;
}

class Segments : public ::testing::TestWithParam<SegmentCase> {};

TEST_P(Segments, ScaleOnlyTheDrawnSamplesInRange) {
    const auto& c = GetParam();
    Trace x(20, 1.0f);
    EXPECT_EQ(pw::ApplySegment(x, c.from, c.to, c.factor, c.step), c.accepted);
    Trace expected(20, 1.0f);
    for (int i : c.touched)
        expected[i] = c.factor + 1.0f;
    EXPECT_EQ(x, expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, Segments,
    ::testing::Values(SegmentCase{2, 5, 1.0f, 3, true, {6, 9, 12}},
                      SegmentCase{0, 3, 0.5f, 1, true, {0, 1, 2}},
                      SegmentCase{5, 2, 1.0f, 1, true, {}},           // from >= to: nothing
                      SegmentCase{-3, 2, 1.0f, 4, true, {0, 4}},      // negative from clipped
                      SegmentCase{5, 32767, 2.0f, 3, true, {15, 18}}, // beyond the trace clipped
                      SegmentCase{0, 3, 1.0f, 0, false, {}},          // step 0 refused
                      SegmentCase{0, 3, 1.0f, -2, false, {}}, SegmentCase{0, 3, kNaN, 1, false, {}},
                      SegmentCase{0, 3, kInf, 1, false, {}}));

// The running sum against the quadratic long double formula, including spans shorter than the trace.
class Trapezoid : public ::testing::TestWithParam<int> {};

TEST_P(Trapezoid, MatchesTheQuadraticFormula) {
    const Trace x = pw::testing::RandomTrace(pw::kTraceSamples, 21, 50.0f);
    const Trace expected = pw::reference::RunningTrapezoid(x, GetParam());
    Trace y = x;
    std::array<float, pw::kTraceSamples> work{};
    ASSERT_TRUE(pw::RunningTrapezoid(y, GetParam(), work));
    EXPECT_LT(pw::testing::RelativeError(y, expected), pw::testing::kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Spans, Trapezoid, ::testing::Values(1024, 5000, 50, 1));

TEST(RunningTrapezoidHostile, SpanBelowOneAndShortWorkAreRefused) {
    const Trace x = Ramp();
    std::array<float, pw::kTraceSamples> work{};
    std::array<float, 10> shortWork{};
    for (int span : {0, -1, std::numeric_limits<int>::min()}) {
        Trace y = x;
        EXPECT_FALSE(pw::RunningTrapezoid(y, span, work)) << span;
        EXPECT_EQ(y, x);
    }
    Trace y = x;
    EXPECT_FALSE(pw::RunningTrapezoid(y, 1024, shortWork));
    EXPECT_EQ(y, x);
}

// Gain ramps on a trace of ones, so each sample shows its factor.
struct GainCase {
    const char* what;
    int mode;
    long long start, end;
    double g;
    bool accepted;
    std::vector<std::pair<int, double>> probes; // index, expected factor
};

void PrintTo(const GainCase& c, std::ostream* os) {
    *os << c.what;
}

class Gain : public ::testing::TestWithParam<GainCase> {};

TEST_P(Gain, ScalesAlongTheRamp) {
    const auto& c = GetParam();
    Trace x(100, 1.0f);
    EXPECT_EQ(pw::ApplyGain(x, c.mode, c.start, c.end, c.g), c.accepted) << c.what;
    for (auto [i, factor] : c.probes)
        EXPECT_NEAR(x[i], factor, 1e-5) << c.what << " sample " << i;
}

INSTANTIATE_TEST_SUITE_P(
    Ramps, Gain,
    ::testing::Values(
        GainCase{"exponential",
                 0,
                 10,
                 60,
                 2.0,
                 true,
                 {{9, 1}, {10, 1}, {35, std::sqrt(2.0)}, {59, std::pow(2.0, 49.0 / 50)}, {60, 2}, {99, 2}}},
        GainCase{
            "linear", 1, 10, 60, 2.0, true, {{9, 1}, {10, 1}, {35, 2}, {59, 1 + 2.0 * 49 / 50}, {60, 2}}},
        GainCase{"end before start", 0, 60, 10, 2.0, true, {{9, 1}, {10, 2}, {70, 2}}},
        GainCase{"start before the trace",
                 0,
                 -50,
                 50,
                 4.0,
                 true,
                 {{0, 2}, {49, std::pow(4.0, 99.0 / 100)}, {50, 4}}},
        GainCase{"end beyond the trace", 1, 0, 1000000000000000000, 2.0, true, {{99, 1 + 2e-16 * 99}}},
        GainCase{"start beyond the trace", 0, 500, 900, 2.0, true, {{99, 1}}},
        GainCase{"zero gain", 0, 10, 60, 0.0, false, {{99, 1}}},
        GainCase{"negative gain", 0, 10, 60, -2.0, false, {{99, 1}}},
        GainCase{"NaN gain", 0, 10, 60, std::nan(""), false, {{99, 1}}},
        GainCase{"infinite gain", 1, 10, 60, HUGE_VAL, false, {{99, 1}}}));

TEST(GainRangeOf, ConvertsDepthsToSampleIndices) {
    // step 2, head point 10, dt 20 µs, c 4000 m/s: ppm = 2e6 / (4000·20·2) = 12.5 points per metre.
    const auto range = pw::GainRangeOf(2, 10, 20.0f, 4000, 1.0f, 10.0f, 1024);
    ASSERT_TRUE(range);
    EXPECT_EQ(range->start, 2 * (10 + 12));
    EXPECT_EQ(range->end, 2 * (10 + 125));
    EXPECT_EQ(pw::GainRangeOf(2, 10, 20.0f, 4000, 1.0f, 100.0f, 1024)->end, 1024); // capped at n
    // Absurd but finite numbers: clamped, never an overflowing conversion.
    const auto huge = pw::GainRangeOf(32767, 32767, 1e-30f, 1, 1e30f, 1e30f, 1024);
    ASSERT_TRUE(huge);
    EXPECT_EQ(huge->start, 1000000000000000LL);
    EXPECT_EQ(huge->end, 1024);
}

struct BadRangeCase {
    int step;
    float dt;
    int speed;
    float delay, length;
};

void PrintTo(const BadRangeCase& c, std::ostream* os) {
    *os << "step" << c.step << "_dt" << c.dt << "_c" << c.speed << "_delay" << c.delay << "_L" << c.length;
}

class GainRangeHostile : public ::testing::TestWithParam<BadRangeCase> {};

TEST_P(GainRangeHostile, IsRefused) {
    const auto& c = GetParam();
    EXPECT_FALSE(pw::GainRangeOf(c.step, 0, c.dt, c.speed, c.delay, c.length, 1024));
    std::array<int, 64> curve{};
    EXPECT_EQ(pw::GainCurve(curve, c.step, c.dt, c.speed, c.delay, c.length, 2.0f, 0), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, GainRangeHostile,
    ::testing::Values(BadRangeCase{1, 0.0f, 4000, 0, 10}, BadRangeCase{1, -20.0f, 4000, 0, 10},
                      BadRangeCase{1, kNaN, 4000, 0, 10}, BadRangeCase{1, kInf, 4000, 0, 10},
                      BadRangeCase{1, 20.0f, 0, 0, 10}, BadRangeCase{1, 20.0f, -4000, 0, 10},
                      BadRangeCase{0, 20.0f, 4000, 0, 10}, BadRangeCase{1, 20.0f, 4000, kNaN, 10},
                      BadRangeCase{1, 20.0f, 4000, 0, kInf}));

TEST(GainCurve, ClimbsFromTheDelayToTheToe) {
    // step 1, dt 20, c 4000: ppm 25; delay 1 m -> count 25, L 10 m -> end 250.
    std::array<int, 300> curve{};
    ASSERT_EQ(pw::GainCurve(curve, 1, 20.0f, 4000, 1.0f, 10.0f, 4.0f, 1), 250);
    EXPECT_EQ(curve[24], 0);
    EXPECT_EQ(curve[25], 0);
    EXPECT_EQ(curve[137], 9); // 20 · 112.5/225 would be 10; 112/225 truncates to 9
    EXPECT_EQ(curve[249], 19);
    ASSERT_EQ(pw::GainCurve(curve, 1, 20.0f, 4000, 1.0f, 10.0f, 4.0f, 0), 250);
    EXPECT_EQ(curve[25], 5);   // exp(0) · 20/4
    EXPECT_EQ(curve[249], 19); // 4^(224/225) · 5
    ASSERT_EQ(pw::GainCurve(curve, 1, 20.0f, 4000, 1.0f, 10.0f, 1.0f, 0), 250);
    EXPECT_EQ(curve[200], 0); // no gain: flat zero up to the toe
    std::array<int, 100> shortCurve{};
    EXPECT_EQ(pw::GainCurve(shortCurve, 1, 20.0f, 4000, 1.0f, 10.0f, 4.0f, 0), 100); // never past out
}

TEST(Rotate, AddsRTimesIOver1024) {
    Trace x(pw::kTraceSamples, 0.0f);
    pw::Rotate(x, 100);
    EXPECT_FLOAT_EQ(x[1023], 100.0f * 1023 / 1024);
    EXPECT_EQ(x[0], 0.0f);
    pw::Rotate(x, -100);
    EXPECT_NEAR(x[1023], 0.0f, 1e-5);
}

// The whole chain on a record-like parameter set (dt 20 µs, c 4000 m/s, L 10 m, step 1, head 50).
pw::PipelineParams Neutral() {
    pw::PipelineParams p;
    p.nStep = 1;
    p.nHeadPoint = 50;
    p.fPileLength = 10.0f;
    p.nWaveSpeed = 4000;
    p.fSampleInterval = 20.0f;
    return p;
}

TEST(RunPipeline, NeutralParametersLeaveTheRawTrace) {
    const Trace raw = pw::testing::RandomTrace(pw::kTraceSamples, 31);
    Trace x = raw;
    Scratch s;
    const pw::PipelineResult r = pw::RunPipeline(Neutral(), x, s.Buffers());
    EXPECT_EQ(x, raw);
    EXPECT_FALSE(r.nFirTaps);
    EXPECT_FALSE(r.nIntegSpan);
}

TEST(RunPipeline, DcRemovalRunsBeforeAndAfterTheOtherSteps) {
    Trace x(pw::kTraceSamples, 0.3f);
    for (int i = 5; i < pw::kTraceSamples; ++i)
        x[i] = 0.3f + 0.01f * static_cast<float>(i % 13);
    pw::PipelineParams p = Neutral();
    p.bRemoveDC = true;
    Scratch s;
    Trace once = x;
    pw::RunPipeline(p, once, s.Buffers());
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(once[i], 0.0f) << i; // equal leading samples become exactly zero
    // With a rotation in between, the second removal must take the rotated leading samples away again.
    p.nRotate = 100;
    Trace rotated = x;
    pw::RunPipeline(p, rotated, s.Buffers());
    const double leadingMean = (rotated[0] + rotated[1] + rotated[2] + rotated[3] + rotated[4]) / 5.0;
    EXPECT_NEAR(leadingMean, 0.0, 1e-7);
    EXPECT_NE(rotated[4], 0.0f);
}

TEST(RunPipeline, PreZeroAndPostCutHappenBeforeFiltering) {
    Trace x(pw::kTraceSamples, 1.0f);
    pw::PipelineParams p = Neutral();
    p.nPreZero = 10;
    p.nPostCut = 20;
    Scratch s;
    Trace plain = x;
    pw::RunPipeline(p, plain, s.Buffers());
    for (int i = 0; i < pw::kTraceSamples; ++i)
        ASSERT_EQ(plain[i], i < 10 || i >= 1004 ? 0.0f : 1.0f) << i;
    // A low-pass afterwards spreads energy into the zeroed head: output sample 10 + 25 sees the step.
    p.fLowPass = 1.0f;
    pw::RunPipeline(p, x, s.Buffers());
    EXPECT_EQ(x[9], 0.0f); // causal: nothing before the first non-zero input
    EXPECT_GT(x[40], 0.0f);
}

// Filter steps: tap counts, passes and the refusals a damaged file can cause.
struct FilterCase {
    const char* what;
    float lowPass, highPass;
    int passes;
    int window;
    std::optional<int> taps;
    bool refused;
};

void PrintTo(const FilterCase& c, std::ostream* os) {
    *os << c.what;
}

class PipelineFilters : public ::testing::TestWithParam<FilterCase> {};

TEST_P(PipelineFilters, ReportTapsAndRefusals) {
    const auto& c = GetParam();
    pw::PipelineParams p = Neutral();
    p.fLowPass = c.lowPass;
    p.fHighPass = c.highPass;
    p.nLowPassPasses = c.passes;
    p.nWindowType = c.window;
    Trace x = pw::testing::RandomTrace(pw::kTraceSamples, 41);
    Scratch s;
    const pw::PipelineResult r = pw::RunPipeline(p, x, s.Buffers());
    EXPECT_EQ(r.nFirTaps, c.taps) << c.what;
    EXPECT_EQ(r.bFilterRefused, c.refused) << c.what;
    if (c.refused) {
        EXPECT_EQ(x, Trace(pw::kTraceSamples, 0.0f)) << c.what;
    }
}

INSTANTIATE_TEST_SUITE_P(
    Steps, PipelineFilters,
    ::testing::Values(FilterCase{"low-pass 1 kHz", 1.0f, 0, 1, 4, 51, false},
                      FilterCase{"high-pass 100 Hz", 0, 100.0f, 1, 4, 25, false},
                      FilterCase{"both: the high-pass length is left", 1.0f, 100.0f, 2, 4, 25, false},
                      FilterCase{"window 0 refuses", 1.0f, 0, 1, 0, 51, true},
                      FilterCase{"window 9 refuses the high-pass", 0, 100.0f, 1, 9, 25, true},
                      FilterCase{"NaN cutoff is off", kNaN, kNaN, 1, 4, std::nullopt, false}));

TEST(RunPipeline, PassesBelowOneDoNothingAndAboveFiveRunFive) {
    const Trace raw = pw::testing::RandomTrace(pw::kTraceSamples, 43);
    Scratch s;
    auto run = [&](int passes) {
        pw::PipelineParams p = Neutral();
        p.fLowPass = 2.0f;
        p.nLowPassPasses = passes;
        Trace x = raw;
        pw::RunPipeline(p, x, s.Buffers());
        return x;
    };
    EXPECT_EQ(run(0), raw);
    EXPECT_EQ(run(-3), raw);
    EXPECT_EQ(run(32767), run(5));
    EXPECT_NE(run(5), run(4));
}

TEST(RunPipeline, GainTwoDoublesFromTheToeOnAndOneLeavesTheTrace) {
    Trace ones(pw::kTraceSamples, 1.0f);
    Scratch s;
    pw::PipelineParams p = Neutral();
    p.fGain = 1.0f;
    Trace x = ones;
    pw::RunPipeline(p, x, s.Buffers());
    EXPECT_EQ(x, ones);
    // ppm 25: the ramp runs from the head (50) to the toe (50 + 250).
    p.fGain = 2.0f;
    pw::RunPipeline(p, x, s.Buffers());
    EXPECT_EQ(x[49], 1.0f);
    EXPECT_EQ(x[50], 1.0f);
    EXPECT_NEAR(x[175], std::sqrt(2.0f), 1e-6);
    for (int i = 300; i < pw::kTraceSamples; ++i)
        ASSERT_EQ(x[i], 2.0f) << i;
}

// Sampling interval, speed and length straight from a damaged file: the filters and the gain are
// skipped (trace unchanged) instead of dividing by zero or running with NaN lengths.
struct HostileRecord {
    const char* what;
    float dt;
    int speed;
    float length;
};

void PrintTo(const HostileRecord& c, std::ostream* os) {
    *os << c.what;
}

class PipelineHostile : public ::testing::TestWithParam<HostileRecord> {};

TEST_P(PipelineHostile, LeavesTheTraceUnchanged) {
    const auto& c = GetParam();
    pw::PipelineParams p = Neutral();
    p.fSampleInterval = c.dt;
    p.nWaveSpeed = c.speed;
    p.fPileLength = c.length;
    p.fGain = 3.0f;
    const bool dtUsable = c.dt > 0 && std::isfinite(c.dt);
    if (!dtUsable) {
        p.fLowPass = 1.0f;
        p.fHighPass = 100.0f;
    }
    const Trace raw = pw::testing::RandomTrace(pw::kTraceSamples, 51);
    Trace x = raw;
    Scratch s;
    const pw::PipelineResult r = pw::RunPipeline(p, x, s.Buffers());
    EXPECT_EQ(x, raw) << c.what;
    EXPECT_FALSE(r.nFirTaps) << c.what;
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, PipelineHostile,
    ::testing::Values(HostileRecord{"dt 0", 0.0f, 4000, 10}, HostileRecord{"dt negative", -20.0f, 4000, 10},
                      HostileRecord{"dt NaN", kNaN, 4000, 10}, HostileRecord{"dt infinite", kInf, 4000, 10},
                      HostileRecord{"speed 0", 20.0f, 0, 10}, HostileRecord{"speed negative", 20.0f, -1, 10},
                      HostileRecord{"length NaN", 20.0f, 4000, kNaN},
                      HostileRecord{"length infinite", 20.0f, 4000, kInf}));

} // namespace
