// A sandbox with a generated tester storage, the emulator on an in-memory virtual cable and the PC's
// link at the other end, for end-to-end tests of the command client. Each end's waits run on the
// other end's running time (RunningClock.h), so the tests hold on a loaded machine.
#pragma once

#include "link/CParallelLink.h"
#include "link/CTesterEmulator.h"
#include "link/platform/CVirtualCable.h"
#include "link/platform/CVirtualCablePort.h"
#include "RunningClock.h"

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace pwtest {

namespace fs = std::filesystem;

inline std::vector<uint8_t> ReadAll(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), {});
}

inline void WriteAll(const fs::path& path, const std::vector<uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

inline int16_t I16In(const std::vector<uint8_t>& bytes, size_t nOffset) {
    return static_cast<int16_t>(bytes[nOffset] | bytes[nOffset + 1] << 8);
}

// A tester pile record file (4338 bytes) whose bytes depend on the site and the pile number.
inline std::vector<uint8_t> MakeRecordFile(int nSite, int nPile, size_t nSize = 4338) {
    std::vector<uint8_t> bytes(nSize);
    uint32_t nState = static_cast<uint32_t>(nSite * 7919 + nPile * 104729);
    for (auto& b : bytes) {
        nState = nState * 1664525u + 1013904223u;
        b = static_cast<uint8_t>(nState >> 24);
    }
    if (nSize >= 2) {
        bytes[0] = static_cast<uint8_t>(nPile & 0xFF);
        bytes[1] = static_cast<uint8_t>(nPile >> 8);
    }
    return bytes;
}

// Site folder: wvf.par (72 bytes), pindex.par (empty, as the tester leaves it unread), n.wvf.
inline void MakeSite(const fs::path& folder, int nSite, int nPiles) {
    fs::create_directories(folder);
    std::vector<uint8_t> par(72, 0);
    par[0] = static_cast<uint8_t>(nPiles);
    const std::string szUnit = "Test unit " + std::to_string(nSite), szProject = "Project";
    std::copy(szUnit.begin(), szUnit.end(), par.begin() + 2);
    std::copy(szProject.begin(), szProject.end(), par.begin() + 52);
    WriteAll(folder / "wvf.par", par);
    WriteAll(folder / "pindex.par", {});
    for (int n = 1; n <= nPiles; ++n)
        WriteAll(folder / (std::to_string(n) + ".wvf"), MakeRecordFile(nSite, n));
}

// RSITE.PAR: int16 count, then 47-byte zero-padded names.
inline void MakeSiteList(const fs::path& storage, const std::vector<std::string>& sites) {
    std::vector<uint8_t> list(2 + 47 * sites.size(), 0);
    list[0] = static_cast<uint8_t>(sites.size());
    for (size_t i = 0; i < sites.size(); ++i)
        std::copy(sites[i].begin(), sites[i].end(), list.begin() + 2 + 47 * static_cast<long>(i));
    WriteAll(storage / "RSITE.PAR", list);
}

class CTesterBench {
public:
    explicit CTesterBench(pw::STesterFault fault = {}, int nPiles = 3,
                          int64_t nReadCostNs = pw::kDefaultReadCostNs) {
        char szTemplate[] = "/tmp/pw-link-XXXXXX";
        m_Sandbox = ::mkdtemp(szTemplate);
        m_Storage = m_Sandbox / "storage";
        m_Dest = m_Sandbox / "dest";
        fs::create_directories(m_Dest);
        fs::create_directories(m_Storage);
        MakeSiteList(m_Storage, {"SITE1", "3"});
        MakeSite(m_Storage / "SITE1", 1, nPiles);
        MakeSite(m_Storage / "3", 3, 2);
        m_pCable = pw::CVirtualCable::CreateInMemory();
        m_pPort = std::make_shared<pw::CVirtualCablePort>(m_pCable, nReadCostNs);
        m_pLink = std::make_unique<pw::CParallelLink>(std::make_shared<CTickingPort>(m_pPort, m_Clocks.pc));
        m_pLink->SetClock(m_Clocks.ForPc());
        // Shorter than the product's, so that the faults that wait them out end sooner; the least
        // wait of a handshake is the product's.
        pw::SLinkLimits limits;
        limits.tReplyWait = std::chrono::milliseconds(1500);
        limits.nMaxFailedReceptions = 2;
        limits.nMaxIgnoredReplies = 16;
        m_pLink->SetLimits(limits);
        StartEmulator(fault);
    }
    ~CTesterBench() {
        m_pEmulator.reset();
        std::error_code error;
        fs::remove_all(m_Sandbox, error);
    }

    void StartEmulator(pw::STesterFault fault) {
        m_pEmulator.reset();
        pw::STesterEmulatorOptions options;
        options.szStorage = m_Storage.string();
        options.fault = fault;
        options.tByteTimeout = std::chrono::milliseconds(300);
        options.tSendWait = std::chrono::milliseconds(1000);
        options.clock = m_Clocks.ForTester();
        m_Clocks.tester.SetFree(false);
        m_pEmulator = std::make_unique<pw::CTesterEmulator>(m_pCable, options);
        m_pEmulator->Start();
    }
    // The cable pulled: nothing runs at the far end any more, and the PC's waits take wall time.
    void StopEmulator() {
        m_pEmulator.reset();
        m_Clocks.tester.SetFree(true);
    }

    // Every file under the sandbox outside the storage, relative to the sandbox.
    std::set<std::string> FilesOutsideStorage() const {
        std::set<std::string> files;
        for (const auto& entry : fs::recursive_directory_iterator(m_Sandbox)) {
            const std::string szRelative = fs::relative(entry.path(), m_Sandbox).string();
            if (szRelative.rfind("storage", 0) != 0 && !entry.is_directory()) files.insert(szRelative);
        }
        return files;
    }

    pw::CParallelLink& Link() { return *m_pLink; }
    SCableClocks& Clocks() { return m_Clocks; }
    pw::CVirtualCable& Cable() { return *m_pCable; }
    pw::CVirtualCablePort& Port() { return *m_pPort; }
    const fs::path& Storage() const { return m_Storage; }
    const fs::path& Dest() const { return m_Dest; }
    std::string DestText() const { return m_Dest.string(); }

private:
    SCableClocks m_Clocks; // first: it outlives the link and the emulator that read it
    fs::path m_Sandbox, m_Storage, m_Dest;
    std::shared_ptr<pw::CVirtualCable> m_pCable;
    std::shared_ptr<pw::CVirtualCablePort> m_pPort;
    std::unique_ptr<pw::CParallelLink> m_pLink;
    std::unique_ptr<pw::CTesterEmulator> m_pEmulator;
};

} // namespace pwtest
