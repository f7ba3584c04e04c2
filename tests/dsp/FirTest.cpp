#include "dsp/Fir.h"
#include "LiteralReference.h"
#include "TestSignals.h"
#include "dsp/Samples.h"
#include "dsp/Windows.h"

#include <array>
#include <cmath>
#include <complex>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <vector>

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();

using Buffer = std::array<float, pw::kTraceSamples>;

// |H(f)| of taps at frequency ratio f/fs.
double Response(const Buffer& taps, int n, double ratio) {
    std::complex<double> sum = 0.0;
    for (int k = 0; k < n; ++k)
        sum += static_cast<double>(taps[k]) * std::polar(1.0, -2.0 * M_PI * ratio * k);
    return std::abs(sum);
}

TEST(DesignFir, LowPass51TapsHasCentreTwoGAndMirroredTaps) {
    Buffer taps{}, window{};
    ASSERT_TRUE(pw::DesignFir(51, pw::kFilterLowPass, 2500.0, 0.0, 50000.0, pw::kWindowHann, taps, window));
    EXPECT_NEAR(taps[25], 0.1f, 1e-7);
    for (int i = 0; i < 25; ++i)
        EXPECT_EQ(taps[i], taps[50 - i]) << i; // both use the low index's window value
    EXPECT_EQ(taps[0], 0.0f);                  // Hann w[0] = 0
    EXPECT_NE(window[50], 0.0f);               // while the window's last value is not 0
}

// Each kind must pass and stop where its name says; a sign slip in one of the four formulas shows here.
struct ResponseCase {
    int kind;
    double f1, f2;   // Hz at fs = 1000 Hz
    double probe;    // Hz
    double expected; // |H|
};

void PrintTo(const ResponseCase& c, std::ostream* os) {
    *os << "kind" << c.kind << "_at" << c.probe << "Hz";
}

class FilterResponses : public ::testing::TestWithParam<ResponseCase> {};

TEST_P(FilterResponses, PassAndStopWhereExpected) {
    const auto& c = GetParam();
    Buffer taps{}, window{};
    ASSERT_TRUE(pw::DesignFir(201, c.kind, c.f1, c.f2, 1000.0, pw::kWindowHann, taps, window));
    EXPECT_NEAR(Response(taps, 201, c.probe / 1000.0), c.expected, 0.02)
        << "kind " << c.kind << " at " << c.probe << " Hz";
}

INSTANTIATE_TEST_SUITE_P(FourKinds, FilterResponses,
                         ::testing::Values(ResponseCase{pw::kFilterLowPass, 100, 0, 0, 1},
                                           ResponseCase{pw::kFilterLowPass, 100, 0, 300, 0},
                                           ResponseCase{pw::kFilterHighPass, 100, 0, 0, 0},
                                           ResponseCase{pw::kFilterHighPass, 100, 0, 300, 1},
                                           ResponseCase{pw::kFilterBandPass, 100, 300, 200, 1},
                                           ResponseCase{pw::kFilterBandPass, 100, 300, 20, 0},
                                           ResponseCase{pw::kFilterBandPass, 100, 300, 420, 0},
                                           ResponseCase{pw::kFilterBandStop, 100, 300, 200, 0},
                                           ResponseCase{pw::kFilterBandStop, 100, 300, 20, 1},
                                           ResponseCase{pw::kFilterBandStop, 100, 300, 420, 1}));

// Refused designs: every one clears the taps it may touch and writes nothing beyond them.
struct RefusedDesign {
    const char* why;
    int n, kind;
    double f1, f2, fs;
    int window;
};

void PrintTo(const RefusedDesign& c, std::ostream* os) {
    *os << c.why;
}

class RefusedDesigns : public ::testing::TestWithParam<RefusedDesign> {};

TEST_P(RefusedDesigns, LeaveTheTapsZero) {
    const auto& c = GetParam();
    Buffer taps, window;
    taps.fill(3.0f);
    window.fill(3.0f);
    EXPECT_FALSE(pw::DesignFir(c.n, c.kind, c.f1, c.f2, c.fs, c.window, taps, window)) << c.why;
    const int cleared = std::clamp(c.n, 0, pw::kTraceSamples);
    for (int i = 0; i < pw::kTraceSamples; ++i)
        ASSERT_EQ(taps[i], i < cleared ? 0.0f : 3.0f) << c.why << " tap " << i;
}

INSTANTIATE_TEST_SUITE_P(Hostile, RefusedDesigns,
                         ::testing::Values(RefusedDesign{"even length", 50, 1, 100, 0, 1000, 4},
                                           RefusedDesign{"zero length", 0, 1, 100, 0, 1000, 4},
                                           RefusedDesign{"negative length", -3, 1, 100, 0, 1000, 4},
                                           RefusedDesign{"longer than the buffers", 1025, 1, 100, 0, 1000, 4},
                                           RefusedDesign{"window 0", 51, 1, 100, 0, 1000, 0},
                                           RefusedDesign{"window 8", 51, 1, 100, 0, 1000, 8},
                                           RefusedDesign{"filter kind 0", 51, 0, 100, 0, 1000, 4},
                                           RefusedDesign{"filter kind 5", 51, 5, 100, 0, 1000, 4},
                                           RefusedDesign{"negative cutoff", 51, 1, -1, 0, 1000, 4},
                                           RefusedDesign{"cutoff above fs/2", 51, 2, 500.5, 0, 1000, 4},
                                           RefusedDesign{"NaN cutoff", 51, 1, kNaN, 0, 1000, 4},
                                           RefusedDesign{"zero fs", 51, 1, 100, 0, 0, 4},
                                           RefusedDesign{"negative fs", 51, 1, -100, 0, -1000, 4},
                                           RefusedDesign{"NaN fs", 51, 1, 100, 0, kNaN, 4},
                                           RefusedDesign{"infinite fs", 51, 1, 100, 0, kInf, 4},
                                           RefusedDesign{"band edges reversed", 51, 3, 300, 100, 1000, 4},
                                           RefusedDesign{"band edges equal", 51, 4, 300, 300, 1000, 4},
                                           RefusedDesign{"upper edge at fs/2", 51, 3, 100, 500, 1000, 4}));

TEST(DesignFir, NyquistCutoffIsAccepted) {
    Buffer taps{}, window{};
    EXPECT_TRUE(pw::DesignFir(51, pw::kFilterLowPass, 500.0, 0.0, 1000.0, pw::kWindowHann, taps, window));
    EXPECT_FLOAT_EQ(taps[25], 1.0f);
}

TEST(RunFilter, CutoffAboveHalfTheRateIsDesignedAtHalfTheRate) {
    const std::vector<float> input = pw::testing::RandomTrace(pw::kTraceSamples, 7);
    Buffer coefAtNyquist{}, coefAbove{}, window{}, work{};
    std::vector<float> atNyquist = input, above = input;
    EXPECT_TRUE(pw::LowPass(51, 25000.0, 50000.0, pw::kWindowHann, atNyquist, {coefAtNyquist, window, work}));
    EXPECT_TRUE(pw::LowPass(51, 40000.0, 50000.0, pw::kWindowHann, above, {coefAbove, window, work}));
    EXPECT_EQ(coefAtNyquist, coefAbove);
    EXPECT_EQ(atNyquist, above);
}

// Lengths the pipeline never passes, or a window kind read from a damaged file: the trace becomes all
// zero and nothing outside the buffers is touched.
struct ZeroingCase {
    int n;
    int window;
};

void PrintTo(const ZeroingCase& c, std::ostream* os) {
    *os << "n" << c.n << "_window" << c.window;
}

class RefusedFilters : public ::testing::TestWithParam<ZeroingCase> {};

TEST_P(RefusedFilters, GiveAnAllZeroTrace) {
    std::vector<float> x = pw::testing::RandomTrace(pw::kTraceSamples, 3);
    Buffer coef, window, work;
    coef.fill(1.0f);
    window.fill(1.0f);
    EXPECT_FALSE(pw::HighPass(GetParam().n, 100.0, 50000.0, GetParam().window, x, {coef, window, work}));
    for (float v : x)
        ASSERT_EQ(v, 0.0f);
}

INSTANTIATE_TEST_SUITE_P(Hostile, RefusedFilters,
                         ::testing::Values(ZeroingCase{50, 4}, ZeroingCase{0, 4}, ZeroingCase{-1, 4},
                                           ZeroingCase{-100000, 4}, ZeroingCase{1 << 30, 4},
                                           ZeroingCase{25, 0}, ZeroingCase{25, 99}));

TEST(RunFilter, BuffersShorterThanTheTraceAreRefusedWithoutWriting) {
    std::vector<float> x(pw::kTraceSamples, 1.0f);
    std::array<float, 100> shortCoef{};
    Buffer window{}, work{};
    EXPECT_FALSE(pw::LowPass(51, 1000.0, 50000.0, pw::kWindowHann, x, {shortCoef, window, work}));
    EXPECT_EQ(x, std::vector<float>(pw::kTraceSamples, 1.0f));
}

TEST(Convolve, UnitImpulseYieldsTheTaps) {
    Buffer taps{}, window{}, out{};
    ASSERT_TRUE(
        pw::DesignFir(25, pw::kFilterHighPass, 100.0, 0.0, 50000.0, pw::kWindowHamming, taps, window));
    const Buffer designed = taps;
    Buffer signal{};
    signal[0] = 1.0f;
    ASSERT_TRUE(pw::Convolve(signal, taps, out, pw::kTraceSamples - 24, 25, pw::kTraceSamples));
    for (int i = 0; i < pw::kTraceSamples; ++i)
        ASSERT_EQ(out[i], i < 25 ? designed[i] : 0.0f) << i;
}

TEST(Convolve, LastSamplesDoNotContributeAndAreZeroedInPlace) {
    Buffer taps{}, window{}, out{};
    ASSERT_TRUE(pw::DesignFir(51, pw::kFilterLowPass, 1000.0, 0.0, 50000.0, pw::kWindowHann, taps, window));
    Buffer signal{};
    for (int i = pw::kTraceSamples - 50; i < pw::kTraceSamples; ++i)
        signal[i] = 1.0f;
    ASSERT_TRUE(pw::Convolve(signal, taps, out, pw::kTraceSamples - 50, 51, pw::kTraceSamples));
    EXPECT_EQ(out, Buffer{});
    EXPECT_EQ(signal, Buffer{});
}

// The fast kernel against the literal quadratic long double sum, on seeded random traces and taps.
struct AgainstReferenceCase {
    int nTaps;
    int keep; // -1: the pipeline's n - nTaps + 1
    std::uint32_t seed;
    bool designed; // designed low-pass (zero end taps) or random taps
};

void PrintTo(const AgainstReferenceCase& c, std::ostream* os) {
    *os << "taps" << c.nTaps << "_keep" << c.keep << "_seed" << c.seed
        << (c.designed ? "_designed" : "_random");
}

class ConvolveAgainstReference : public ::testing::TestWithParam<AgainstReferenceCase> {};

TEST_P(ConvolveAgainstReference, StaysWithinTolerance) {
    const auto& c = GetParam();
    const int n = pw::kTraceSamples;
    std::vector<float> taps = pw::testing::RandomTrace(n, c.seed + 1000);
    if (c.designed) {
        Buffer window{};
        ASSERT_TRUE(pw::DesignFir(c.nTaps, pw::kFilterLowPass, 2000.0, 0.0, 50000.0, pw::kWindowHann, taps,
                                  std::span<float>(window)));
    }
    const int keep = c.keep < 0 ? n - c.nTaps + 1 : c.keep;
    std::vector<float> signal = pw::testing::RandomTrace(n, c.seed, 100.0f);
    std::vector<float> refSignal = signal, refTaps = taps, refOut(n), out(n);
    pw::reference::Convolve(refSignal.data(), refTaps.data(), refOut.data(), keep, c.nTaps, n);
    ASSERT_TRUE(pw::Convolve(signal, taps, out, keep, c.nTaps, n));
    EXPECT_LT(pw::testing::RelativeError(out, refOut), pw::testing::kTolerance);
    EXPECT_EQ(signal, refSignal);
    EXPECT_EQ(taps, refTaps);
}

INSTANTIATE_TEST_SUITE_P(
    Seeded, ConvolveAgainstReference,
    ::testing::Values(AgainstReferenceCase{51, -1, 1, true}, AgainstReferenceCase{25, -1, 2, true},
                      AgainstReferenceCase{511, -1, 3, true}, AgainstReferenceCase{1, -1, 4, true},
                      AgainstReferenceCase{3, -1, 5, false}, AgainstReferenceCase{511, -1, 6, false},
                      AgainstReferenceCase{1024, 1024, 7, false}, AgainstReferenceCase{100, 300, 8, false},
                      AgainstReferenceCase{7, 0, 9, false}));

// Keep and tap counts outside 0..n are clamped; sizes that do not fit are refused untouched.
struct ConvolveHostileCase {
    int keep, nTaps, n;
    bool accepted;
};

void PrintTo(const ConvolveHostileCase& c, std::ostream* os) {
    *os << "keep" << c.keep << "_taps" << c.nTaps << "_n" << c.n;
}

class ConvolveHostile : public ::testing::TestWithParam<ConvolveHostileCase> {};

TEST_P(ConvolveHostile, ClampsOrRefuses) {
    const auto& c = GetParam();
    std::vector<float> signal = pw::testing::RandomTrace(64, 11), taps = pw::testing::RandomTrace(64, 12);
    std::vector<float> out(64, 5.0f);
    const std::vector<float> signalBefore = signal;
    EXPECT_EQ(pw::Convolve(signal, taps, out, c.keep, c.nTaps, c.n), c.accepted);
    if (!c.accepted) {
        EXPECT_EQ(signal, signalBefore);
        EXPECT_EQ(out, std::vector<float>(64, 5.0f));
        return;
    }
    std::vector<float> refSignal = signalBefore, refTaps = pw::testing::RandomTrace(64, 12), refOut(64);
    pw::reference::Convolve(refSignal.data(), refTaps.data(), refOut.data(), std::clamp(c.keep, 0, c.n),
                            std::clamp(c.nTaps, 0, c.n), c.n);
    EXPECT_LT(pw::testing::RelativeError(out, refOut), pw::testing::kTolerance);
}

INSTANTIATE_TEST_SUITE_P(
    Hostile, ConvolveHostile,
    ::testing::Values(ConvolveHostileCase{-5, 9, 64, true}, ConvolveHostileCase{1000, 9, 64, true},
                      ConvolveHostileCase{60, -9, 64, true}, ConvolveHostileCase{60, 999, 64, true},
                      ConvolveHostileCase{60, 9, 65, false}, ConvolveHostileCase{60, 9, 0, false},
                      ConvolveHostileCase{60, 9, -64, false}));

// Tap counts of the pipeline, dt in microseconds.
struct TapsCase {
    bool lowPass;
    float cutoff; // kHz for the low-pass, Hz for the high-pass
    float dt;
    int taps;
};

void PrintTo(const TapsCase& c, std::ostream* os) {
    *os << (c.lowPass ? "low" : "high") << c.cutoff << "_dt" << c.dt;
}

class PipelineTapCounts : public ::testing::TestWithParam<TapsCase> {};

TEST_P(PipelineTapCounts, FollowTheLengthRules) {
    const auto& c = GetParam();
    EXPECT_EQ(c.lowPass ? pw::LowPassTaps(c.cutoff, c.dt) : pw::HighPassTaps(c.cutoff, c.dt), c.taps)
        << (c.lowPass ? "low" : "high") << " cutoff " << c.cutoff << " dt " << c.dt;
}

constexpr float kNaNf = std::numeric_limits<float>::quiet_NaN();
constexpr float kInff = std::numeric_limits<float>::infinity();

INSTANTIATE_TEST_SUITE_P(
    Rules, PipelineTapCounts,
    ::testing::Values(TapsCase{true, 1.0f, 20.0f, 51},    // 50, even: made odd upward
                      TapsCase{false, 100.0f, 20.0f, 25}, // 25, odd: kept
                      TapsCase{false, 96.0f, 20.0f, 25},  // trunc(26.04) = 26, even: made odd downward
                      TapsCase{true, 0.01f, 20.0f, 511},  // capped
                      TapsCase{false, 1e-9f, 20.0f, 511}, // capped without overflowing an int
                      TapsCase{true, 1e-9f, 20.0f, 511},
                      TapsCase{true, 100.0f, 20.0f, 1},   // trunc(0.5) = 0, made odd
                      TapsCase{false, 5000.0f, 20.0f, 1}, // 0 -> -1: clamped to one tap
                      TapsCase{false, kInff, 20.0f, 1}, TapsCase{true, 0.0f, 20.0f, 0}, // off
                      TapsCase{true, 1e-11f, 20.0f, 0}, TapsCase{true, -1.0f, 20.0f, 0},
                      TapsCase{false, kNaNf, 20.0f, 0}, TapsCase{true, 1.0f, 0.0f, 0},
                      TapsCase{false, 100.0f, -20.0f, 0}, TapsCase{true, 1.0f, kNaNf, 0},
                      TapsCase{false, 100.0f, kInff, 0}));

} // namespace
