// A site download over the virtual cable: bytes per second and port operations per byte, beside
// the least the handshake allows (a received byte needs 2 status polls that find the edge, 2 reads
// of the nibbles and 2 data writes: 6 operations). And the transfer of the bundled sample storage
// (fetch and conversion, as the dialog does it), alone and with one busy process beside it.
#include "link/CParallelLink.h"
#include "link/CTesterEmulator.h"
#include "link/CTransferWorker.h"
#include "link/platform/CVirtualCable.h"
#include "link/platform/CVirtualCablePort.h"

#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <csignal>
#include <string>
#include <sys/wait.h>
#include <unistd.h>

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

// A process that only burns a processor, as a busy program beside the transfer would.
class CBusyProcess {
public:
    CBusyProcess() {
        m_nPid = ::fork();
        if (m_nPid == 0) {
            volatile unsigned long n = 0;
            for (;;)
                n = n + 1;
        }
    }
    ~CBusyProcess() {
        if (m_nPid > 0) {
            ::kill(m_nPid, SIGKILL);
            ::waitpid(m_nPid, nullptr, 0);
        }
    }

private:
    pid_t m_nPid = -1;
};

// The sample storage's site (30 piles) fetched and converted, at a read cost in ns, with 0 or 1 busy
// processes beside it. Bytes are the site's files as the tester holds them.
void BM_TransferSampleStorage(benchmark::State& state) {
    const int64_t nReadCostNs = state.range(0);
    const fs::path storage = fs::path(PILEWAVE_SAMPLES) / "tester-storage";
    double nSiteBytes = 0;
    for (const auto& entry : fs::directory_iterator(storage / "BJHY2"))
        nSiteBytes += static_cast<double>(entry.file_size());
    char szTemplate[] = "/tmp/pw-bench-transfer-XXXXXX";
    const fs::path root = ::mkdtemp(szTemplate);
    auto pCable = std::shared_ptr<pw::CVirtualCable>(pw::CVirtualCable::CreateInMemory());
    pw::STesterEmulatorOptions options;
    options.szStorage = storage.string();
    pw::CTesterEmulator emulator(pCable, options);
    emulator.Start();
    auto pPort = std::make_shared<pw::CVirtualCablePort>(pCable, nReadCostNs);
    pw::CParallelLink link(pPort);
    std::unique_ptr<CBusyProcess> pBusy = state.range(1) ? std::make_unique<CBusyProcess>() : nullptr;
    int nFailures = 0;
    for (auto _ : state) {
        const fs::path dest = root / "dest";
        fs::remove_all(dest);
        pw::STransferJob job;
        job.szDestination = dest.string();
        job.sites = {"BJHY2"};
        pw::CTransferWorker worker(link, job, {});
        worker.Run();
        if (!worker.AllComplete()) ++nFailures;
    }
    pBusy.reset();
    emulator.Stop();
    fs::remove_all(root);
    state.SetBytesProcessed(static_cast<int64_t>(nSiteBytes * static_cast<double>(state.iterations())));
    state.counters["failures"] = nFailures;
}

// Read cost 1000 ns (a real port's microsecond); 0 or 1 busy processes.
BENCHMARK(BM_TransferSampleStorage)
    ->Args({1000, 0})
    ->Args({1000, 1})
    ->ArgNames({"read_ns", "busy"})
    ->Unit(benchmark::kMillisecond)
    ->Iterations(3)
    ->UseRealTime();

} // namespace

BENCHMARK_MAIN();
