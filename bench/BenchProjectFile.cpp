// The project-file reader on a 500-pile version-3 file held in memory, beside a plain copy of the
// same bytes (the floor any reader has to pay).
#include <benchmark/benchmark.h>
#include <cstring>
#include <random>

#include "core/ProjectFile.h"

namespace {

std::vector<uint8_t> MakeSite(int piles) {
    std::mt19937 rng(7);
    std::uniform_real_distribution<float> sample(-100.f, 100.f);
    std::vector<pw::CPileRecord> records(static_cast<std::size_t>(piles));
    for (int i = 0; i < piles; ++i) {
        pw::CPileRecord& r = records[static_cast<std::size_t>(i)];
        r.m_nPileNo = static_cast<int16_t>(i + 1);
        r.SetPileName("桩" + std::to_string(i + 1));
        r.SetTestDate("2026-12-10");
        r.m_fPileLength = 12.3f;
        r.m_nWaveSpeed = 3800;
        r.m_fSampleInterval = 20.f;
        r.m_nSmooth = 1;
        r.m_nStep = 1;
        for (auto& v : r.m_fRaw) v = sample(rng);
        r.m_pSegments.push_back(pw::AmpSegment{0.5f, 10, 20});
        r.m_nMarkCount = 2;
    }
    pw::CProjectHeader header;
    header.SetTestUnit("检测单位");
    header.SetProjectName("工程");
    pw::CMemorySink sink;
    pw::WriteProject(sink, header, records);
    return sink.m_Bytes;
}

const std::vector<uint8_t>& Site() {
    static const std::vector<uint8_t> bytes = MakeSite(500);
    return bytes;
}

void BM_ReadProject500(benchmark::State& state) {
    const auto& bytes = Site();
    for (auto _ : state) {
        pw::CMemorySource src(bytes);
        pw::CProjectData data;
        pw::ReadProject(src, data);
        benchmark::DoNotOptimize(data.m_Piles.data());
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_ReadProject500)->Unit(benchmark::kMillisecond);

void BM_CopyBytesReference(benchmark::State& state) {
    const auto& bytes = Site();
    std::vector<uint8_t> copy(bytes.size());
    for (auto _ : state) {
        std::memcpy(copy.data(), bytes.data(), bytes.size());
        benchmark::DoNotOptimize(copy.data());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(static_cast<int64_t>(state.iterations()) * static_cast<int64_t>(bytes.size()));
}
BENCHMARK(BM_CopyBytesReference)->Unit(benchmark::kMillisecond);

} // namespace

BENCHMARK_MAIN();
