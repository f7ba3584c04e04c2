// Timings of the trace pipeline and the power spectrum, each beside its literal reference (quadratic
// long double convolution and integration, the full 4096-lag autocorrelation); prints fast/reference
// ratios at the end. Run with --benchmark_repetitions=N to get medians.
#include "dsp/Fft.h"
#include "dsp/Fir.h"
#include "dsp/Pipeline.h"
#include "dsp/Samples.h"
#include "dsp/Spectrum.h"
#include "tests/dsp/LiteralReference.h"

#include <array>
#include <benchmark/benchmark.h>
#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <string>
#include <vector>

namespace {

using Buffer = std::array<float, pw::kTraceSamples>;

Buffer RandomTrace(unsigned seed) {
    std::mt19937 gen(seed);
    std::uniform_real_distribution<float> dist(-1.0f, 1.0f);
    Buffer x;
    for (float& v : x)
        v = dist(gen);
    return x;
}

// The heaviest rebuild: low-pass of 511 taps five times, high-pass of 511 taps, integration, exponential
// gain 50, rotation and DC removal (dt 20 µs, c 4000 m/s, L 10 m).
pw::PipelineParams HeaviestChain() {
    pw::PipelineParams p;
    p.nStep = 1;
    p.nHeadPoint = 50;
    p.nWindowType = pw::kWindowHann;
    p.bRemoveDC = true;
    p.fLowPass = 0.05f; // kHz: 1000 / (0.05 · 20) = 1000 samples per period, capped at 511 taps
    p.nLowPassPasses = 5;
    p.fHighPass = 4.0f; // Hz: 100000 / (2 · 4 · 20) = 625, capped at 511 taps
    p.bIntegrate = true;
    p.fGain = 50.0f;
    p.nGainMode = pw::kGainExponential;
    p.fPileLength = 10.0f;
    p.nWaveSpeed = 4000;
    p.fSampleInterval = 20.0f;
    p.nRotate = 100;
    return p;
}

struct Scratch {
    Buffer coef{}, window{}, work{};
};

void BM_RebuildChain(benchmark::State& state) {
    const Buffer raw = RandomTrace(1);
    const pw::PipelineParams p = HeaviestChain();
    Scratch s;
    Buffer x;
    for (auto _ : state) {
        x = raw;
        pw::RunPipeline(p, x, {s.coef, s.window, s.work});
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
}

// The same chain with the literal quadratic convolution and integration.
void LiteralFilter(int taps, int kind, double f1, double fs, int window, Buffer& x, Scratch& s) {
    if (f1 > fs * 0.5) f1 = fs * 0.5;
    pw::DesignFir(taps, kind, f1, 0.0, fs, window, s.coef, s.window);
    const int n = pw::kTraceSamples;
    pw::reference::Convolve(x.data(), s.coef.data(), s.work.data(), n - taps + 1, taps, n);
    x = s.work;
}

void BM_RebuildChainReference(benchmark::State& state) {
    const Buffer raw = RandomTrace(1);
    const pw::PipelineParams p = HeaviestChain();
    const double fs = 1000000.0 / p.fSampleInterval;
    Scratch s;
    Buffer x;
    for (auto _ : state) {
        x = raw;
        pw::RemoveDC(x);
        const int lowTaps = pw::LowPassTaps(p.fLowPass, p.fSampleInterval);
        for (int pass = 0; pass < p.nLowPassPasses; ++pass)
            LiteralFilter(lowTaps, pw::kFilterLowPass, p.fLowPass * 1000.0, fs, p.nWindowType, x, s);
        LiteralFilter(pw::HighPassTaps(p.fHighPass, p.fSampleInterval), pw::kFilterHighPass, p.fHighPass, fs,
                      p.nWindowType, x, s);
        const std::vector<float> integrated = pw::reference::RunningTrapezoid({x.begin(), x.end()}, 1024);
        std::copy(integrated.begin(), integrated.end(), x.begin());
        const auto range = pw::GainRangeOf(p.nStep, p.nHeadPoint, p.fSampleInterval, p.nWaveSpeed,
                                           p.fGainDelay, p.fPileLength, pw::kTraceSamples);
        pw::ApplyGain(x, p.nGainMode, range->start, range->end, p.fGain);
        pw::Rotate(x, p.nRotate);
        pw::RemoveDC(x);
        benchmark::DoNotOptimize(x.data());
        benchmark::ClobberMemory();
    }
}

void BM_PowerSpectrum(benchmark::State& state) {
    const Buffer trace = RandomTrace(2);
    Buffer out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pw::TraceSpectrum(trace, pw::kSpectrumPower, out));
        benchmark::ClobberMemory();
    }
}

// Literal: the autocorrelation over all 4096 lags of the padded trace, then the same transform.
void BM_PowerSpectrumReference(benchmark::State& state) {
    const Buffer trace = RandomTrace(2);
    Buffer out;
    std::vector<float> padded(pw::kSpectrumPoints), re(pw::kSpectrumPoints), im(pw::kSpectrumPoints);
    for (auto _ : state) {
        std::fill(padded.begin(), padded.end(), 0.0f);
        std::copy(trace.begin(), trace.end(), padded.begin());
        pw::reference::AutoCorrelate(padded.data(), re.data(), pw::kSpectrumPoints);
        std::fill(im.begin(), im.end(), 0.0f);
        pw::Fft(re, im, pw::kSpectrumPoints, pw::kFftForward);
        float largest = 0.0f;
        for (int k = 0; k < pw::kSpectrumBins; ++k) {
            out[k] = std::sqrt(re[k] * re[k] + im[k] * im[k]);
            largest = std::max(largest, out[k]);
        }
        benchmark::DoNotOptimize(largest);
        benchmark::ClobberMemory();
    }
}

void BM_AmplitudeSpectrum(benchmark::State& state) {
    const Buffer trace = RandomTrace(3);
    Buffer out;
    for (auto _ : state) {
        benchmark::DoNotOptimize(pw::TraceSpectrum(trace, pw::kSpectrumAmplitude, out));
        benchmark::ClobberMemory();
    }
}

BENCHMARK(BM_RebuildChain)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RebuildChainReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PowerSpectrum)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_PowerSpectrumReference)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_AmplitudeSpectrum)->Unit(benchmark::kMicrosecond);

// Console output as usual, plus the real time per iteration of each benchmark: the median when
// repetitions were asked for, otherwise the single run.
class RatioReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            const std::string name = run.run_name.function_name;
            if (run.run_type == Run::RT_Aggregate && run.aggregate_name == "median")
                medians_[name] = run.GetAdjustedRealTime();
            else if (run.run_type == Run::RT_Iteration && medians_.count(name) == 0)
                singles_[name] = run.GetAdjustedRealTime();
        }
        ConsoleReporter::ReportRuns(runs);
    }

    void PrintRatios() const {
        const std::pair<const char*, const char*> pairs[] = {
            {"BM_RebuildChain", "BM_RebuildChainReference"},
            {"BM_PowerSpectrum", "BM_PowerSpectrumReference"}};
        for (const auto& [fast, reference] : pairs) {
            const double f = Time(fast), r = Time(reference);
            if (f > 0.0 && r > 0.0)
                std::printf("%-20s %10.1f us   reference %10.1f us   %6.1fx faster\n", fast, f, r, r / f);
        }
    }

private:
    double Time(const std::string& name) const {
        if (auto it = medians_.find(name); it != medians_.end()) return it->second;
        auto it = singles_.find(name);
        return it == singles_.end() ? 0.0 : it->second;
    }

    std::map<std::string, double> medians_;
    std::map<std::string, double> singles_;
};

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    RatioReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    reporter.PrintRatios();
    benchmark::Shutdown();
    return 0;
}
