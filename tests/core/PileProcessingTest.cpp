#include <array>
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <limits>

#include "core/CPileRecord.h"
#include "core/TraceProcessing.h"
#include "Fixtures.h"

namespace {

using pw::CPileRecord;
using pw::FitViewStep;
using pw::ProcessedTrace;
using pw::SettleStep;

// A record whose processing changes nothing: no DC removal, filters, integration, gain or rotation.
CPileRecord Neutral(unsigned seed = 3) {
    CPileRecord r = pw::test::MakeRecord(seed);
    r.m_bRemoveDC = 0;
    r.m_fLowPass = 0;
    r.m_fHighPass = 0;
    r.m_bIntegrate = 0;
    r.m_fGain = 1.0f;
    r.m_nRotate = 0;
    r.m_nPreZero = 0;
    r.m_nPostCut = 0;
    r.m_pSegments.clear();
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 4000;
    r.m_fPileLength = 10.f;
    return r;
}

TEST(PileProcessing, NeutralPipelineGivesTheRawSamples) {
    CPileRecord r = Neutral();
    const float* t = SettleStep(r);
    EXPECT_EQ(0, std::memcmp(t, r.m_fRaw, sizeof r.m_fRaw));
    EXPECT_FALSE(r.NeedsSettling());
}

TEST(PileProcessing, CleanRecordIsNotRebuiltAndDirtyOneIs) {
    CPileRecord r = Neutral();
    SettleStep(r);
    r.m_fRaw[500] = 12345.f;
    EXPECT_NE(SettleStep(r)[500], 12345.f); // cached under the same revision
    r.Touch();
    EXPECT_EQ(SettleStep(r)[500], 12345.f);
}

TEST(PileProcessing, ViewWidthChoosesTheStepAndRebuilds) {
    CPileRecord r = Neutral();
    r.m_nHeadSample = 50;
    r.m_nStep = 1;
    EXPECT_EQ(FitViewStep(r, 512), 1); // toe at 250 points fits in 512 - 50 - 50
    SettleStep(r);
    r.m_fRaw[0] = 777.f; // not changed: only a step change rebuilds
    EXPECT_EQ(FitViewStep(r, 200), 3);
    EXPECT_EQ(ProcessedTrace(r)[0], 777.f);
    EXPECT_EQ(r.m_nFitHeadPoint, 50 / 3);
}

// A printed cell or a picture draws the whole pile: the step is fitted to its trace area as the
// screen fits its own width, the toe at least 50 columns inside the right edge, and the record keeps
// the step it had.
TEST(PileProcessing, AreaStepShowsTheWholePile) {
    struct Case {
        const char* what;
        float length;
        int speed, head, stored, columns, expected;
    };
    const Case cases[] = {
        {"picture, short pile at its own step", 10.f, 4000, 50, 1, 409, 1},
        {"narrow area needs a coarser step", 10.f, 4000, 50, 1, 200, 3},
        {"step stored for a narrow screen, wide cell", 10.f, 4000, 50, 8, 634, 1},
        {"long pile in a picture", 30.f, 3800, 40, 1, 409, 3},
        {"long pile, step stored for a wide screen", 30.f, 3800, 40, 2, 544, 2},
        {"no room after head and margin", 10.f, 4000, 50, 1, 100, 1},
        {"not processable keeps its step", 10.f, 0, 50, 5, 409, 5},
    };
    for (const Case& c : cases) {
        CPileRecord r = Neutral();
        r.m_fPileLength = c.length;
        r.m_nWaveSpeed = c.speed;
        r.m_nHeadSample = c.head;
        r.m_nStep = static_cast<int16_t>(c.stored);
        const uint32_t revision = r.m_nRevision;
        const int step = pw::AreaStep(r, c.columns);
        EXPECT_EQ(step, c.expected) << c.what;
        EXPECT_EQ(r.m_nStep, c.stored) << c.what;
        EXPECT_EQ(r.m_nRevision, revision) << c.what;
        if (c.speed <= 0 || c.columns <= c.head / c.stored + 50) continue;
        // The toe, head + 2,000,000 L / (c dt) samples, lies 50 columns inside the area; one step
        // finer would reach the margin or beyond.
        const double toeSamples = 2e6 * c.length / (c.speed * 20.0);
        EXPECT_LE(c.head / step + toeSamples / step, c.columns - 50) << c.what;
        if (step > 1) {
            EXPECT_GE(c.head / (step - 1) + toeSamples / (step - 1), c.columns - 50) << c.what;
        }
    }
}

TEST(PileProcessing, SegmentsAndGainFollowTheStep) {
    CPileRecord r = Neutral();
    for (auto& v : r.m_fRaw) v = 1.f;
    r.m_nStep = 2;
    r.m_nViewPoints = 300; // toe 250 samples = 125 points at step 2: step stays 2 ... see below
    r.m_pSegments.push_back(pw::AmpSegment{1.0f, 10, 12});
    const float* t = SettleStep(r);
    const int s = r.m_nStep;
    EXPECT_FLOAT_EQ(t[10 * s], 2.f);
    EXPECT_FLOAT_EQ(t[11 * s], 2.f);
    EXPECT_FLOAT_EQ(t[12 * s], 1.f);
    if (s > 1) {
        EXPECT_FLOAT_EQ(t[10 * s + 1], 1.f); // only the drawn samples
    }
}

TEST(PileProcessing, GainDoublesFromTheToeOn) {
    CPileRecord r = Neutral();
    for (auto& v : r.m_fRaw) v = 1.f;
    r.m_nHeadSample = 50;
    r.m_fGain = 2.f;
    r.m_nGainMode = 0;
    r.m_fGainDelay = 0;
    const float* t = SettleStep(r);
    ASSERT_EQ(r.m_nStep, 1);
    const int toe = 50 + *r.ToePoint(); // 50 + 250
    EXPECT_FLOAT_EQ(t[49], 1.f);
    EXPECT_FLOAT_EQ(t[50], 1.f);
    EXPECT_FLOAT_EQ(t[toe], 2.f);
    EXPECT_FLOAT_EQ(t[1023], 2.f);
    EXPECT_GT(t[175], 1.f);
    EXPECT_LT(t[175], 2.f);
}

TEST(PileProcessing, TraceRange) {
    const CPileRecord r = Neutral();
    std::array<float, pw::kSamples> trace{};
    for (int i = 0; i < 1024; ++i) trace[i] = static_cast<float>(i % 7) - 3.f;
    trace[7] = 50.f; // visited with k = 7, not with k = 2
    float max = 0, min = 0;
    pw::TraceRangeOf(trace, 7, 100, max, min);
    EXPECT_EQ(max, 50.f);
    EXPECT_EQ(min, -3.f);
    trace.fill(5.f);
    pw::TraceRangeOf(trace, 0, 100, max, min); // a damaged step reads as 1
    EXPECT_EQ(max, 5.f);
    EXPECT_EQ(min, 0.f); // both start at 0
    EXPECT_EQ(pw::SampleAt(r, 1024), 0.f);
    EXPECT_EQ(pw::SampleAt(r, -1), 0.f);
}

TEST(PileProcessing, ConversionsOfTheWorkedExample) {
    CPileRecord r = Neutral(); // s = 1, dt = 20, c = 4000, L = 10
    r.m_nStep = 1;
    EXPECT_DOUBLE_EQ(*r.DepthOfPoint(100), 4.0);
    EXPECT_EQ(*r.PointOfDepth(10), 250);
    EXPECT_EQ(*r.ToePoint(), 250);
    EXPECT_EQ(*r.SpeedFromLength(12), 4800);
    EXPECT_DOUBLE_EQ(*r.LengthFromSpeed(3000), 7.5);
    EXPECT_NEAR(*r.TimeOfPoint(250), 5.0, 1e-6);
    EXPECT_EQ(*r.SpeedFromToePoint(250), 4000);
    r.m_nWaveSpeed = 2500; // 1.25 m exactly: halves round away from zero
    EXPECT_DOUBLE_EQ(*r.DepthOfPoint(50), 1.3);
}

TEST(PileProcessing, ClassifyAndFindDefects) {
    CPileRecord r = Neutral();
    r.m_nStep = 1;
    EXPECT_EQ(r.ClassifyPoint(3), 1000);
    EXPECT_EQ(r.ClassifyPoint(-3), 1000);
    EXPECT_EQ(r.ClassifyPoint(4), -1);
    EXPECT_EQ(r.ClassifyPoint(247), 1001);
    EXPECT_EQ(r.ClassifyPoint(253), 1001);
    EXPECT_EQ(r.ClassifyPoint(254), -1);

    for (auto& d : r.m_Defects) d = pw::DefectMark{};
    r.AddDefect(4.0f, 2); // point 100
    r.AddDefect(6.0f, 3); // point 150
    EXPECT_EQ(r.FindDefectNearPoint(102), 0);
    EXPECT_EQ(r.FindDefectNearPoint(150), 1);
    EXPECT_EQ(r.FindDefectNearPoint(125), -1);
    int type = 0, point = 0;
    ASSERT_EQ(r.GetDefect(1, type, point), 1);
    EXPECT_EQ(type, 3);
    EXPECT_EQ(point, 150);
    EXPECT_EQ(r.GetDefect(2, type, point), 0);
    std::string text;
    float depth = 0;
    ASSERT_EQ(r.GetDefectText(0, text, depth), 1);
    EXPECT_EQ(text, "缩径");
    EXPECT_EQ(depth, 4.0f);
    ASSERT_EQ(r.SetDefectDepthAtPoint(0, 50), 1);
    EXPECT_FLOAT_EQ(r.m_Defects[0].fDepth, 2.0f);
}

TEST(PileProcessing, SpectrumOfTheProcessedTrace) {
    CPileRecord r = Neutral();
    for (auto& v : r.m_fRaw) v = 0.f;
    r.m_fRaw[0] = 1.f;
    r.Touch();
    SettleStep(r);
    std::array<float, pw::kSamples> spectrum{};
    const float max = pw::RecordSpectrum(r, 0, spectrum);
    EXPECT_NEAR(max, 1.f, 1e-6);
    for (int k = 0; k < 1024; k += 97) EXPECT_NEAR(spectrum[k], 1.f, 1e-6);
    EXPECT_NEAR(*r.BinFrequency(1), 1000000.0 / 81920.0, 1e-9);
}

// Every field comes from a file: none of these may read or write outside the record's buffers,
// divide by zero or loop without end (the sanitizer build checks the memory side).
struct HostileCase {
    const char* name;
    void (*apply)(CPileRecord&);
    bool processable;
};

class Hostile : public ::testing::TestWithParam<HostileCase> {};

TEST_P(Hostile, ProcessesSafely) {
    CPileRecord r = pw::test::MakeRecord(77);
    r.m_fLowPass = 1.f;
    r.m_nLowPassPasses = 2;
    r.m_fHighPass = 50.f;
    r.m_fGain = 5.f;
    r.m_pSegments.push_back(pw::AmpSegment{2.f, 0, 32767});
    GetParam().apply(r);
    EXPECT_EQ(r.IsProcessable(), GetParam().processable);
    const float* t = SettleStep(r);
    FitViewStep(r, -5);
    FitViewStep(r, 100000);
    t = SettleStep(r);
    EXPECT_GE(r.m_nStep, 1);
    EXPECT_LE(r.m_nStep, 1024);
    if (!GetParam().processable) {
        EXPECT_EQ(0, std::memcmp(t, r.m_fRaw, sizeof r.m_fRaw)); // shown as recorded
        EXPECT_FALSE(r.DepthOfPoint(10).has_value());
        EXPECT_FALSE(r.ToePoint().has_value());
        EXPECT_EQ(r.ClassifyPoint(100), -1);
        EXPECT_EQ(r.FindDefectNearPoint(10), -1);
    }
    float max = 0, min = 0;
    pw::TraceRangeOf(std::span<const float, pw::kSamples>(t, pw::kSamples), 3, r.m_nViewPoints, max, min);
    std::array<float, pw::kSamples> spectrum{};
    pw::RecordSpectrum(r, 1, spectrum);
    int curve[1024];
    r.GainCurve(curve);
}

constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
constexpr float kInf = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Records, Hostile,
    ::testing::Values(
        HostileCase{"AsConstructed", [](CPileRecord& r) { r = CPileRecord(); }, false},
        HostileCase{"ZeroInterval", [](CPileRecord& r) { r.m_fSampleInterval = 0; }, false},
        HostileCase{"NegativeInterval", [](CPileRecord& r) { r.m_fSampleInterval = -20; }, false},
        HostileCase{"NaNInterval", [](CPileRecord& r) { r.m_fSampleInterval = kNaN; }, false},
        HostileCase{"ZeroSpeed", [](CPileRecord& r) { r.m_nWaveSpeed = 0; }, false},
        HostileCase{"NegativeSpeed", [](CPileRecord& r) { r.m_nWaveSpeed = -4000; }, false},
        HostileCase{"InfiniteLength", [](CPileRecord& r) { r.m_fPileLength = kInf; }, false},
        HostileCase{"NegativeLength", [](CPileRecord& r) { r.m_fPileLength = -3; }, false},
        HostileCase{"HugePreZeroAndPostCut", [](CPileRecord& r) { r.m_nPreZero = 5000; r.m_nPostCut = 32767; }, true},
        HostileCase{"NegativePreZeroAndPostCut", [](CPileRecord& r) { r.m_nPreZero = -7; r.m_nPostCut = -32768; }, true},
        HostileCase{"SegmentsBeyondTrace", [](CPileRecord& r) { r.m_pSegments.push_back(pw::AmpSegment{1.f, -32768, 32767}); r.m_nStep = 32767; }, true},
        HostileCase{"NegativeHead", [](CPileRecord& r) { r.m_nHeadSample = -32768; }, true},
        HostileCase{"HeadBeyondTrace", [](CPileRecord& r) { r.m_nHeadSample = 32767; }, true},
        HostileCase{"NegativeGainDelay", [](CPileRecord& r) { r.m_fGainDelay = -1000; }, true},
        HostileCase{"HugeGain", [](CPileRecord& r) { r.m_fGain = 3e38f; r.m_nGainMode = 1; }, true},
        HostileCase{"NaNGain", [](CPileRecord& r) { r.m_fGain = kNaN; }, true},
        HostileCase{"WindowTypes", [](CPileRecord& r) { r.m_nWindowType = 0; }, true},
        HostileCase{"WindowTypeEight", [](CPileRecord& r) { r.m_nWindowType = 8; }, true},
        HostileCase{"NegativeStep", [](CPileRecord& r) { r.m_nStep = -5; }, true},
        HostileCase{"WrappedStep", [](CPileRecord& r) { r.m_nStep = static_cast<int16_t>(40000); }, true},
        HostileCase{"ManyPasses", [](CPileRecord& r) { r.m_nLowPassPasses = 32767; }, true},
        HostileCase{"TinyHighPassAndHugeLowPass", [](CPileRecord& r) { r.m_fHighPass = 1e30f; r.m_fLowPass = 1e30f; }, true},
        HostileCase{"NaNFilters", [](CPileRecord& r) { r.m_fHighPass = kNaN; r.m_fLowPass = kNaN; }, true},
        HostileCase{"TinyLengthHugeSpeed", [](CPileRecord& r) { r.m_fPileLength = 1e-30f; r.m_nWaveSpeed = 32767; r.m_fSampleInterval = 1e-30f; }, true},
        HostileCase{"NaNRaw", [](CPileRecord& r) { r.m_fRaw[3] = kNaN; r.m_fRaw[9] = kInf; }, true},
        HostileCase{"NegativeRotate", [](CPileRecord& r) { r.m_nRotate = -32768; r.m_bIntegrate = 1; }, true}),
    [](const auto& info) { return info.param.name; });

} // namespace
