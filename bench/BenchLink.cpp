// A site download over the virtual cable: bytes per second and port operations per byte, beside
// the least the handshake allows (a received byte needs 2 status polls that find the edge, 2 reads
// of the nibbles and 2 data writes: 6 operations).
#include "link/CParallelLink.h"
#include "link/CTesterEmulator.h"
#include "link/platform/CVirtualCable.h"
#include "link/platform/CVirtualCablePort.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

namespace {

namespace fs = std::filesystem;

constexpr double kMinimumOpsPerByte = 6.0;

// A tester storage with one site of nPiles record files (4338 bytes each).
fs::path MakeStorage(int nPiles) {
    char szTemplate[] = "/tmp/pw-bench-link-XXXXXX";
    const fs::path root = ::mkdtemp(szTemplate);
    fs::create_directories(root / "storage" / "SITE1");
    std::ofstream(root / "storage" / "SITE1" / "wvf.par", std::ios::binary) << std::string(72, '\0');
    uint32_t nState = 12345;
    for (int n = 1; n <= nPiles; ++n) {
        std::string bytes(4338, '\0');
        for (char& c : bytes) {
            nState = nState * 1664525u + 1013904223u;
            c = static_cast<char>(nState >> 24);
        }
        std::ofstream(root / "storage" / "SITE1" / (std::to_string(n) + ".wvf"), std::ios::binary) << bytes;
    }
    return root;
}

void BM_FetchSite(benchmark::State& state) {
    const int64_t nReadCostNs = state.range(0);
    const int nPiles = static_cast<int>(state.range(1));
    const fs::path root = MakeStorage(nPiles);
    auto pCable = std::shared_ptr<pw::CVirtualCable>(pw::CVirtualCable::CreateInMemory());
    pw::STesterEmulatorOptions options;
    options.szStorage = (root / "storage").string();
    pw::CTesterEmulator emulator(pCable, options);
    emulator.Start();
    auto pPort = std::make_shared<pw::CVirtualCablePort>(pCable, nReadCostNs);
    pw::CParallelLink link(pPort);

    const double nSiteBytes = 72.0 + 4338.0 * nPiles;
    uint64_t nOps = 0;
    int nFailures = 0;
    for (auto _ : state) {
        const fs::path dest = root / "dest";
        fs::remove_all(dest);
        fs::create_directories(dest);
        const uint64_t nBefore = pPort->ReadCount() + pPort->WriteCount();
        std::string szA = "C:\\DAT\\SITE1\\", szB = dest.string();
        if (link.Command(pw::CParallelLink::kFetchDirectory, szA, szB) != 1) ++nFailures;
        nOps += pPort->ReadCount() + pPort->WriteCount() - nBefore;
    }
    emulator.Stop();
    fs::remove_all(root);
    const double nBytes = nSiteBytes * static_cast<double>(state.iterations());
    state.SetBytesProcessed(static_cast<int64_t>(nBytes));
    state.counters["ops_per_byte"] = static_cast<double>(nOps) / nBytes;
    state.counters["minimum_ops_per_byte"] = kMinimumOpsPerByte;
    state.counters["ratio_to_minimum"] = static_cast<double>(nOps) / nBytes / kMinimumOpsPerByte;
    state.counters["failures"] = nFailures;
}

// Read cost in ns (1000: a real port's microsecond; 250: a faster bus), piles in the site.
BENCHMARK(BM_FetchSite)
    ->Args({1000, 20})
    ->Args({250, 20})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
