// Helpers shared by the link tests: a scripted port for exact register-level checks, and a virtual
// cable with a scripted tester thread at its far end (each end waiting on the other's running time).
#pragma once

#include "link/CParallelLink.h"
#include "link/CTesterLink.h"
#include "link/platform/CPortAccess.h"
#include "link/platform/CVirtualCable.h"
#include "link/platform/CVirtualCablePort.h"
#include "RunningClock.h"

#include <atomic>
#include <functional>
#include <memory>
#include <thread>
#include <utility>
#include <vector>

namespace pwtest {

// A port whose status register is computed from the PC's last data write and the read count.
class CScriptedPort final : public pw::CPortAccess {
public:
    using StatusFn = std::function<uint8_t(uint8_t nData, long nStatusReads)>;
    explicit CScriptedPort(StatusFn status) : m_Status(std::move(status)) {}
    uint8_t Inp32(uint16_t nPort) override {
        if (nPort != pw::kStatusPort) return 0xFF;
        return m_Status(m_nData, ++m_nStatusReads);
    }
    void Out32(uint16_t nPort, uint16_t nValue) override {
        m_Writes.emplace_back(nPort, static_cast<uint8_t>(nValue));
        if (nPort == pw::kDataPort) m_nData = static_cast<uint8_t>(nValue);
    }
    long StatusReads() const { return m_nStatusReads; }
    const std::vector<std::pair<uint16_t, uint8_t>>& Writes() const { return m_Writes; }

private:
    StatusFn m_Status;
    uint8_t m_nData = 0;
    long m_nStatusReads = 0;
    std::vector<std::pair<uint16_t, uint8_t>> m_Writes;
};

// The PC's link on an in-memory virtual cable; RunTester starts a script on the tester end.
class CCableBench {
public:
    explicit CCableBench(int64_t nReadCostNs = pw::kDefaultReadCostNs)
        : m_pCable(pw::CVirtualCable::CreateInMemory()),
          m_pPort(std::make_shared<pw::CVirtualCablePort>(m_pCable, nReadCostNs)),
          m_Link(std::make_shared<CTickingPort>(m_pPort, m_Clocks.pc)), m_Tester(*m_pCable, m_bStop) {
        m_Link.SetClock(m_Clocks.ForPc());
        m_Tester.SetClock(m_Clocks.ForTester());
        m_Clocks.tester.SetFree(true); // no script runs yet
        m_pCable->Attach(pw::ECableEnd::Tester);
        m_Tester.Idle();
    }
    ~CCableBench() { Join(); }

    // Once the script has ended, the PC's waits for it take wall time.
    void RunTester(std::function<void(pw::CTesterLink&)> script) {
        m_Clocks.tester.SetFree(false);
        m_Thread = std::thread([this, script] {
            script(m_Tester);
            m_Clocks.tester.SetFree(true);
        });
    }
    void Join() {
        m_bStop = true;
        if (m_Thread.joinable()) m_Thread.join();
    }
    pw::CParallelLink& Link() { return m_Link; }
    pw::CVirtualCable& Cable() { return *m_pCable; }
    std::shared_ptr<pw::CVirtualCable> CablePtr() { return m_pCable; }
    pw::CVirtualCablePort& Port() { return *m_pPort; }

private:
    SCableClocks m_Clocks; // first: it outlives the link and the script that read it
    std::shared_ptr<pw::CVirtualCable> m_pCable;
    std::shared_ptr<pw::CVirtualCablePort> m_pPort;
    pw::CParallelLink m_Link;
    std::atomic<bool> m_bStop{false};
    pw::CTesterLink m_Tester;
    std::thread m_Thread;
};

} // namespace pwtest
