// The processing steps of a trace and their fixed order.
#include "dsp/Pipeline.h"

#include "dsp/Conversions.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace pw {

namespace {

constexpr long double kIndexLimit = 1e15L; // far beyond any trace, far inside long long

long long ClampIndex(long double v) {
    return static_cast<long long>(std::clamp(std::trunc(v), -kIndexLimit, kIndexLimit));
}

// Clamps a [from, to) range of sample indices to the array.
std::size_t Clip(long long v, std::size_t n) {
    return v <= 0 ? 0 : static_cast<std::size_t>(std::min<long long>(v, static_cast<long long>(n)));
}

} // namespace

bool RemoveDC(std::span<float> x) {
    if (x.size() < 5) return false;
    const double sum = static_cast<double>(x[0]) + x[1] + x[2] + x[3] + x[4];
    const float mean = static_cast<float>(sum * 0.2);
    for (float& v : x)
        v -= mean;
    return true;
}

void ZeroLeading(std::span<float> x, int k) {
    if (k > 0) std::fill_n(x.begin(), Clip(k, x.size()), 0.0f);
}

void ZeroTrailing(std::span<float> x, int k) {
    if (k > 0) std::fill(x.end() - static_cast<std::ptrdiff_t>(Clip(k, x.size())), x.end(), 0.0f);
}

bool ApplySegment(std::span<float> x, int from, int to, float factor, int step) {
    if (step < 1 || !std::isfinite(factor)) return false;
    const float scale = factor + 1.0f;
    // Walk only the points whose sample lies inside the array, so a hostile range cannot run long.
    const long long first = std::max(from, 0);
    const long long last = std::min<long long>(to, (static_cast<long long>(x.size()) + step - 1) / step);
    for (long long k = first; k < last; ++k)
        x[static_cast<std::size_t>(k * step)] *= scale;
    return true;
}

bool RunningTrapezoid(std::span<float> x, int span, std::span<float> work) {
    if (span < 1 || work.size() < x.size()) return false;
    if (x.empty()) return true;
    const std::size_t n = x.size();
    const std::size_t s = static_cast<std::size_t>(span);
    auto trapezoid = [&](std::size_t k) { return (static_cast<long double>(x[k]) + x[k + 1]) / 2; };
    // A running sum adds the trapezoids in the same order as summing each prefix afresh, so the first
    // span outputs equal the quadratic formula exactly; past span the oldest trapezoid drops out.
    long double sum = 0;
    work[0] = x[0];
    for (std::size_t i = 1; i < n; ++i) {
        sum += trapezoid(i - 1);
        if (i <= s) {
            work[i] = static_cast<float>(sum / static_cast<long double>(i + 1));
        } else {
            sum -= trapezoid(i - 1 - s);
            work[i] = static_cast<float>(sum / static_cast<long double>(s));
        }
    }
    std::copy_n(work.begin(), n, x.begin());
    return true;
}

bool ApplyGain(std::span<float> x, int mode, long long start, long long end, double g) {
    if (!(g > 0.0) || !std::isfinite(g)) return false;
    const std::size_t n = x.size();
    start = std::clamp<long long>(start, -static_cast<long long>(kIndexLimit), kIndexLimit);
    end = std::clamp<long long>(end, -static_cast<long long>(kIndexLimit), kIndexLimit);
    // The ramp loop is empty when end <= start, so (end - start) is never zero inside it.
    const double span = static_cast<double>(end - start);
    const double lnG = std::log(g);
    for (std::size_t i = Clip(start, n); i < Clip(end, n); ++i) {
        const double along = static_cast<double>(static_cast<long long>(i) - start);
        const double factor =
            mode == kGainExponential ? std::exp(lnG * along / span) : g / span * along + 1.0;
        x[i] = static_cast<float>(x[i] * factor);
    }
    for (std::size_t i = Clip(end, n); i < n; ++i)
        x[i] = static_cast<float>(x[i] * g);
    return true;
}

std::optional<GainRange> GainRangeOf(int step, int headPoint, float dt, int speed, float gainDelay,
                                     float length, int n) {
    const std::optional<long double> ppm = PointsPerMetre(TraceScale{step, dt, speed, length});
    if (!ppm) return std::nullopt;
    const long double toDelay = *ppm * gainDelay;
    const long double toToe = *ppm * length;
    if (!std::isfinite(toDelay) || !std::isfinite(toToe)) return std::nullopt;
    const long double start = static_cast<long double>(step) * (headPoint + ClampIndex(toDelay));
    const long double end = static_cast<long double>(step) * (headPoint + ClampIndex(toToe));
    return GainRange{ClampIndex(start), std::min<long long>(n, ClampIndex(end))};
}

int GainCurve(std::span<int> out, int step, float dt, int speed, float gainDelay, float length, float gain,
              int mode) {
    const std::optional<long double> ppm = PointsPerMetre(TraceScale{step, dt, speed, length});
    if (!ppm || !std::isfinite(gain)) return 0;
    const long double toDelay = *ppm * gainDelay;
    const long double toToe = *ppm * length;
    if (!std::isfinite(toDelay) || !std::isfinite(toToe)) return 0;
    const long long count = ClampIndex(toDelay);
    const long long end = ClampIndex(toToe);
    const int written = static_cast<int>(Clip(end, out.size()));
    const double g = gain;
    const bool raised = g > 1.0 + 1e-10;
    const double h = 20.0 / g;
    const double span = static_cast<double>(end - count);
    for (int i = 0; i < written; ++i) {
        double v = 0.0;
        if (raised && i >= count) { // i < end here, so span > 0
            const double along = static_cast<double>(i - count);
            v = mode == kGainExponential ? std::exp(std::log(g) * along / span) * h : g / span * along * h;
        }
        out[static_cast<std::size_t>(i)] = static_cast<int>(v);
    }
    return written;
}

void Rotate(std::span<float> x, int r) {
    for (std::size_t i = 0; i < x.size(); ++i)
        x[i] = static_cast<float>(x[i] + r * 0.0009765625 * static_cast<double>(i));
}

PipelineResult RunPipeline(const PipelineParams& p, std::span<float> x, const FirBuffers& buffers) {
    PipelineResult result;
    const int n = static_cast<int>(x.size());
    if (p.bRemoveDC) RemoveDC(x);
    ZeroLeading(x, p.nPreZero);
    ZeroTrailing(x, p.nPostCut);

    const float dt = p.fSampleInterval;
    const double fs = 1000000.0 / dt; // only used when the tap rules accepted dt (positive, finite)
    auto filterFailed = [&](bool designed) { result.bFilterRefused = result.bFilterRefused || !designed; };
    if (const int taps = LowPassTaps(p.fLowPass, dt); taps > 0) {
        result.nFirTaps = taps;
        // A file may hold any count: more than five passes would only smear the trace further and cost
        // time, so five is the most that runs; zero or fewer runs none.
        const int passes = std::clamp(p.nLowPassPasses, 0, 5);
        for (int pass = 0; pass < passes; ++pass)
            filterFailed(
                LowPass(taps, static_cast<double>(p.fLowPass) * 1000.0, fs, p.nWindowType, x, buffers));
    }
    if (const int taps = HighPassTaps(p.fHighPass, dt); taps > 0) {
        result.nFirTaps = taps;
        filterFailed(HighPass(taps, p.fHighPass, fs, p.nWindowType, x, buffers));
    }
    if (p.bIntegrate) {
        result.nIntegSpan = 1024;
        RunningTrapezoid(x, 1024, buffers.work);
    }
    if (static_cast<double>(p.fGain) - 1.0 > 1e-10) {
        if (const auto range =
                GainRangeOf(p.nStep, p.nHeadPoint, dt, p.nWaveSpeed, p.fGainDelay, p.fPileLength, n))
            ApplyGain(x, p.nGainMode, range->start, range->end, p.fGain);
    }
    if (p.nRotate != 0) Rotate(x, p.nRotate);
    if (p.bRemoveDC) RemoveDC(x);
    return result;
}

} // namespace pw
