#include "dsp/Spectrum.h"
#include "LiteralReference.h"
#include "TestSignals.h"
#include "dsp/Samples.h"

#include <cmath>
#include <gtest/gtest.h>
#include <limits>
#include <ostream>
#include <vector>

namespace {

using Trace = std::vector<float>;

// The literal spectrum: long double autocorrelation over all lags and a naive DFT.
Trace ReferenceSpectrum(const Trace& trace, int kind) {
    Trace re(pw::kSpectrumPoints, 0.0f), im(pw::kSpectrumPoints, 0.0f);
    std::copy(trace.begin(), trace.end(), re.begin());
    if (kind == pw::kSpectrumPower) {
        Trace r(pw::kSpectrumPoints);
        pw::reference::AutoCorrelate(re.data(), r.data(), pw::kSpectrumPoints);
        re = r;
    }
    pw::reference::Dft(re, im, -1);
    Trace out(pw::kSpectrumBins);
    for (int k = 0; k < pw::kSpectrumBins; ++k)
        out[k] = static_cast<float>(std::hypot(static_cast<double>(re[k]), im[k]));
    return out;
}

class SpectrumAgainstReference : public ::testing::TestWithParam<std::pair<int, std::uint32_t>> {};

TEST_P(SpectrumAgainstReference, StaysWithinTolerance) {
    const auto [kind, seed] = GetParam();
    const Trace trace = pw::testing::RandomTrace(pw::kTraceSamples, seed, 3.0f);
    Trace out(pw::kSpectrumBins);
    const float largest = pw::TraceSpectrum(trace, kind, out);
    const Trace reference = ReferenceSpectrum(trace, kind);
    EXPECT_LT(pw::testing::RelativeError(out, reference), pw::testing::kTolerance);
    EXPECT_EQ(largest, *std::max_element(out.begin(), out.end()));
}

INSTANTIATE_TEST_SUITE_P(Seeded, SpectrumAgainstReference,
                         ::testing::Values(std::pair{pw::kSpectrumAmplitude, 1u},
                                           std::pair{pw::kSpectrumAmplitude, 2u},
                                           std::pair{pw::kSpectrumPower, 3u},
                                           std::pair{pw::kSpectrumPower, 4u}));

// The fast autocorrelation (trailing zeros skipped, double sums) against every lag of the literal form.
struct AutoCase {
    int n;
    int nonZero; // samples before the zero padding
    std::uint32_t seed;
};

void PrintTo(const AutoCase& c, std::ostream* os) {
    *os << "n" << c.n << "_nonzero" << c.nonZero;
}

class AutoCorrelation : public ::testing::TestWithParam<AutoCase> {};

TEST_P(AutoCorrelation, MatchesTheFullLagSum) {
    const auto& c = GetParam();
    Trace x(c.n, 0.0f);
    const Trace head = pw::testing::RandomTrace(c.nonZero, c.seed, 100.0f);
    std::copy(head.begin(), head.end(), x.begin());
    Trace r(c.n, 9.0f), reference(c.n);
    pw::reference::AutoCorrelate(x.data(), reference.data(), c.n);
    ASSERT_TRUE(pw::AutoCorrelate(x, r, c.n));
    EXPECT_LT(pw::testing::RelativeError(r, reference), pw::testing::kTolerance);
}

INSTANTIATE_TEST_SUITE_P(Seeded, AutoCorrelation,
                         ::testing::Values(AutoCase{4096, 1024, 1}, AutoCase{1024, 1024, 2},
                                           AutoCase{13, 13, 3}, AutoCase{100, 0, 4}, AutoCase{1, 1, 5},
                                           AutoCase{4096, 4096, 6}));

TEST(AutoCorrelate, RefusesLengthsThatDoNotFit) {
    Trace x(8, 1.0f), r(8, 9.0f);
    EXPECT_FALSE(pw::AutoCorrelate(x, r, 9));
    EXPECT_FALSE(pw::AutoCorrelate(x, r, 0));
    EXPECT_FALSE(pw::AutoCorrelate(x, r, -8));
    EXPECT_EQ(r, Trace(8, 9.0f));
}

// Traces with known spectra; bin 512 is an eighth of the rate, where 8 or 1024 equal samples cancel.
struct KnownCase {
    const char* what;
    Trace trace;
    int kind;
    float bin0, bin512, largest;
};

void PrintTo(const KnownCase& c, std::ostream* os) {
    *os << c.what;
}

class KnownSpectra : public ::testing::TestWithParam<KnownCase> {};

TEST_P(KnownSpectra, GiveTheirValues) {
    const auto& c = GetParam();
    Trace out(pw::kSpectrumBins, -1.0f);
    const float largest = pw::TraceSpectrum(c.trace, c.kind, out);
    EXPECT_NEAR(out[0], c.bin0, 1e-3 * std::max(1.0f, c.bin0)) << c.what;
    EXPECT_NEAR(out[512], c.bin512, 1e-3 * std::max(1.0f, c.bin0)) << c.what;
    EXPECT_NEAR(largest, c.largest, 1e-3 * std::max(1.0f, c.largest)) << c.what;
}

Trace Impulse() {
    Trace x(pw::kTraceSamples, 0.0f);
    x[0] = 1.0f;
    return x;
}

INSTANTIATE_TEST_SUITE_P(
    Traces, KnownSpectra,
    ::testing::Values(KnownCase{"zero", Trace(pw::kTraceSamples, 0.0f), pw::kSpectrumAmplitude, 0, 0, 0},
                      KnownCase{"zero power", Trace(pw::kTraceSamples, 0.0f), pw::kSpectrumPower, 0, 0, 0},
                      KnownCase{"impulse", Impulse(), pw::kSpectrumAmplitude, 1, 1, 1},
                      KnownCase{"impulse power", Impulse(), pw::kSpectrumPower, 1, 1, 1},
                      KnownCase{"constant 0.5", Trace(pw::kTraceSamples, 0.5f), pw::kSpectrumAmplitude, 512,
                                0, 512},
                      KnownCase{"short trace padded", Trace(8, 2.0f), pw::kSpectrumAmplitude, 16, 0, 16}));

TEST(TraceSpectrum, ImpulseAmplitudeIsFlatAndPhaseIsZero) {
    Trace amplitude(pw::kSpectrumBins), phase(pw::kSpectrumBins, 5.0f);
    pw::TraceSpectrum(Impulse(), pw::kSpectrumAmplitude, amplitude);
    EXPECT_EQ(amplitude, Trace(pw::kSpectrumBins, 1.0f));
    EXPECT_EQ(pw::TraceSpectrum(Impulse(), 2, phase), 0.0f); // phases all 0: the maximum starts at 0
    EXPECT_EQ(phase, Trace(pw::kSpectrumBins, 0.0f));
}

TEST(TraceSpectrum, WritesOnlyAsManyBinsAsFit) {
    Trace out(10, -1.0f);
    EXPECT_EQ(pw::TraceSpectrum(Trace(pw::kTraceSamples, 0.5f), pw::kSpectrumAmplitude, out), 512.0f);
    Trace none;
    EXPECT_EQ(pw::TraceSpectrum(Impulse(), pw::kSpectrumPower, none), 0.0f);
}

struct PhaseCase {
    float re, im, degrees;
};

void PrintTo(const PhaseCase& c, std::ostream* os) {
    *os << "re" << c.re << "_im" << c.im;
}

class Phase : public ::testing::TestWithParam<PhaseCase> {};

TEST_P(Phase, OfOneBin) {
    const auto& c = GetParam();
    EXPECT_NEAR(pw::PhaseDegrees(c.re, c.im), c.degrees, 1e-4) << c.re << ", " << c.im;
}

INSTANTIATE_TEST_SUITE_P(Bins, Phase,
                         ::testing::Values(PhaseCase{0, 5, -90}, PhaseCase{2, 2, 45}, PhaseCase{0, -5, -90},
                                           PhaseCase{1e-7f, 1, 90}, PhaseCase{-1e-7f, 1, -90},
                                           PhaseCase{0, 0, -90}, PhaseCase{-2, 2, -45}, PhaseCase{3, 0, 0}));

struct WidthCase {
    int n;
    double dt;
    std::optional<double> width;
};

void PrintTo(const WidthCase& c, std::ostream* os) {
    *os << "n" << c.n << "_dt" << c.dt;
}

class BinWidths : public ::testing::TestWithParam<WidthCase> {};

TEST_P(BinWidths, OrRefusal) {
    const auto& c = GetParam();
    const std::optional<double> w = pw::BinWidth(c.n, c.dt);
    ASSERT_EQ(w.has_value(), c.width.has_value()) << c.n << " " << c.dt;
    if (w) {
        EXPECT_NEAR(*w, *c.width, 1e-9);
    }
}

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

INSTANTIATE_TEST_SUITE_P(
    Axis, BinWidths,
    ::testing::Values(WidthCase{4096, 20.0, 1000000.0 / 81920}, WidthCase{1024, 1.0, 1000000.0 / 1024},
                      WidthCase{4096, 0.0, std::nullopt}, WidthCase{4096, -20.0, std::nullopt},
                      WidthCase{4096, kNaN, std::nullopt}, WidthCase{4096, HUGE_VAL, std::nullopt},
                      WidthCase{0, 20.0, std::nullopt}, WidthCase{-4096, 20.0, std::nullopt},
                      WidthCase{4096, 1e-320, std::nullopt}));

TEST(BinFrequency, LastBinAt20MicrosecondsIsAbout12p49KHz) {
    EXPECT_NEAR(*pw::BinWidth(4096, 20.0), 12.2, 0.01);
    EXPECT_NEAR(*pw::BinFrequency(1023, 20.0), 12488.0, 1.0);
    EXPECT_FALSE(pw::BinFrequency(1023, 0.0));
}

} // namespace
