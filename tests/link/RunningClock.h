// Clocks for the link tests that stand still while an end of the cable is not running, so that a
// machine busy with other work never reads as a silent peer, while a peer that runs and does not
// answer still runs the other end out of time as it would in the field.
#pragma once

#include "link/LinkClock.h"
#include "link/platform/CPortAccess.h"

#include <algorithm>
#include <chrono>
#include <memory>
#include <mutex>
#include <utility>

namespace pwtest {

// Time that one end of the cable had to act: every Tick (the end ran) adds the time since the one
// before, but never more than kMaxStep, so a thread the machine did not schedule for a while loses
// no time on it. Once free (the end is gone: the emulator stopped, the script ended) it runs as the
// steady clock does, from where it stood.
class CRunningClock {
public:
    using Clock = std::chrono::steady_clock;
    // Longer than the emulator's longest rest between two readings of its clock (5 ms).
    static constexpr std::chrono::milliseconds kMaxStep{20};

    void Tick() {
        std::lock_guard<std::mutex> lock(m_Mutex);
        Advance();
    }
    void SetFree(bool bFree) {
        std::lock_guard<std::mutex> lock(m_Mutex);
        Advance();
        m_bFree = bFree;
    }
    Clock::time_point Now() {
        std::lock_guard<std::mutex> lock(m_Mutex);
        if (m_bFree) Advance();
        return Clock::time_point(m_tElapsed);
    }

private:
    void Advance() {
        const Clock::time_point t = Clock::now();
        if (m_bTicked) {
            const Clock::duration tStep = t - m_tLast;
            m_tElapsed += m_bFree ? tStep : std::min<Clock::duration>(tStep, kMaxStep);
        }
        m_tLast = t;
        m_bTicked = true;
    }

    std::mutex m_Mutex;
    Clock::duration m_tElapsed{};
    Clock::time_point m_tLast;
    bool m_bTicked = false;
    bool m_bFree = false;
};

// The two ends' clocks: each end's waits run on the other end's running time.
struct SCableClocks {
    CRunningClock pc, tester;
    // For the PC's link (its port must tick pc: CTickingPort).
    pw::LinkClock ForPc() {
        return [this] { return tester.Now(); };
    }
    // For the tester's link: it reads its clock whenever it waits, which is when it ticks.
    pw::LinkClock ForTester() {
        return [this] {
            tester.Tick();
            return pc.Now();
        };
    }
};

// A port whose every read and write tells the PC's clock that the PC runs.
class CTickingPort final : public pw::CPortAccess {
public:
    CTickingPort(std::shared_ptr<pw::CPortAccess> pInner, CRunningClock& clock)
        : m_pInner(std::move(pInner)), m_Clock(clock) {}
    uint8_t Inp32(uint16_t nPort) override {
        m_Clock.Tick();
        return m_pInner->Inp32(nPort);
    }
    void Out32(uint16_t nPort, uint16_t nValue) override {
        m_Clock.Tick();
        m_pInner->Out32(nPort, nValue);
    }

private:
    std::shared_ptr<pw::CPortAccess> m_pInner;
    CRunningClock& m_Clock;
};

} // namespace pwtest
