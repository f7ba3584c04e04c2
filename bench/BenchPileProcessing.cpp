// Trace processing through the record: one rebuild with the heaviest settings, and a whole 500-pile
// site after one apply to all traces (every record changed, then its trace settled, as a redraw does).
// The array-level chain beside its literal reference is in bench_dsp.
#include <benchmark/benchmark.h>
#include <random>
#include <vector>

#include "core/CPileRecord.h"
#include "core/TraceProcessing.h"

namespace {

pw::CPileRecord Record(unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.f, 1.f);
    pw::CPileRecord r;
    for (int i = 0; i < pw::kSamples; ++i) r.m_fRaw[i] = noise(rng) + (i > 50 && i < 100 ? 50.f : 0.f);
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 3800;
    r.m_fPileLength = 12.f;
    r.m_nHeadSample = 50;
    r.m_nStep = 1;
    return r;
}

void BM_RebuildHeaviest(benchmark::State& state) {
    pw::CPileRecord r = Record(1);
    r.m_fLowPass = 0.098f; // trunc(1000 / (0.098 · 20)) = 510 -> 511 taps
    r.m_nLowPassPasses = 5;
    r.m_fHighPass = 4.9f; // trunc(100000 / (2 · 4.9 · 20)) = 510 -> 509 taps
    r.m_bIntegrate = 1;
    r.m_fGain = 50.f;
    r.m_nGainMode = 0;
    r.m_nRotate = 30;
    r.m_bRemoveDC = 1;
    for (auto _ : state) {
        r.Touch();
        benchmark::DoNotOptimize(pw::SettleStep(r));
    }
}
BENCHMARK(BM_RebuildHeaviest)->Unit(benchmark::kMicrosecond);

void BM_GetTrace500AfterApply(benchmark::State& state) {
    std::vector<pw::CPileRecord> site;
    site.reserve(500);
    for (unsigned i = 0; i < 500; ++i) site.push_back(Record(i));
    for (auto _ : state) {
        for (auto& r : site) { // the apply: low-pass 1 kHz at 20 us, 2 passes, gain 5 exponential
            r.m_fLowPass = 1.f;
            r.m_nLowPassPasses = 2;
            r.m_fGain = 5.f;
            r.m_nGainMode = 0;
            r.Touch();
        }
        for (auto& r : site) benchmark::DoNotOptimize(pw::SettleStep(r));
    }
}
BENCHMARK(BM_GetTrace500AfterApply)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
