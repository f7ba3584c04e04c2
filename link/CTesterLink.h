// The instrument's side of the parallel cable, on the tester end of the virtual cable: the same
// nibble handshake and block framing as the PC's link, seen from the other end.
#pragma once

#include "link/LinkClock.h"
#include "link/platform/CVirtualCable.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <vector>

namespace pw {

class CTesterLink {
public:
    static constexpr int kBlockSize = 4096; // the tester streams files in blocks of this size

    // bStop ends every wait promptly (the emulator is shutting down).
    CTesterLink(CVirtualCable& cable, const std::atomic<bool>& bStop) : m_Cable(cable), m_bStop(bStop) {}

    // Longest wait for the PC's next edge inside an exchange, in milliseconds of wall time.
    void SetByteTimeout(std::chrono::milliseconds tTimeout) { m_tByteTimeout = tTimeout; }
    // What the time-outs and the ready hold are measured on (empty: the steady clock).
    void SetClock(LinkClock clock) { m_Clock = std::move(clock); }
    std::chrono::steady_clock::time_point Now() const { return LinkNow(m_Clock); }
    // After the PC's last nibble the ready line stays up until the PC writes again or this long has
    // passed, before an answer starts: a PC that was not running at that moment still sees it.
    void SetReadyHold(std::chrono::microseconds tHold) { m_tReadyHold = tHold; }

    // Cut the cable once this many bytes crossed it (either direction); negative: never.
    void CutAfter(long nBytes) { m_nCutAfter = nBytes; }
    bool IsCut() const { return m_bCut; }
    long BytesMoved() const { return m_nBytesMoved; }

    // Status 0x80: handshake high, ready to take the PC's next byte.
    void Idle();
    bool SendBytes(const uint8_t* pBytes, size_t nCount);
    // The first byte may wait up to tFirst (the rest up to the byte time-out each).
    bool ReceiveBytes(uint8_t* pBuffer, size_t nCount, std::chrono::milliseconds tFirst);
    // A block; bCorruptHeader makes the second length copy differ from the first.
    bool SendBlock(const uint8_t* pBytes, int nLength, bool bCorruptHeader = false);
    // -1 nothing arrived within tFirst; -2 incomplete; -3 bad header; 1 received into payload.
    int ReceiveBlock(std::vector<uint8_t>& payload, std::chrono::milliseconds tFirst);
    bool SendText(const std::string& szText);
    bool ReceiveText(std::string& szText, std::chrono::milliseconds tFirst);
    bool ReceiveFile(std::FILE* pFile, long nBytes);

private:
    // How long a wait for the PC's next edge polls before it sleeps.
    static constexpr std::chrono::microseconds kSpin{20};

    bool WaitData(bool bHigh, std::chrono::milliseconds tTimeout, uint8_t& nValue);
    void WriteStatus(uint8_t nValue) {
        m_nStatus = nValue;
        m_Cable.TesterWriteStatus(nValue);
    }
    bool CountByte();
    void HoldReady();

    CVirtualCable& m_Cable;
    const std::atomic<bool>& m_bStop;
    LinkClock m_Clock;
    std::chrono::milliseconds m_tByteTimeout{1000};
    std::chrono::microseconds m_tReadyHold{5000};
    bool m_bReadyRaised = false; // the last thing done was raising the line after a received byte
    std::chrono::steady_clock::time_point m_tReady;
    uint64_t m_nPcWritesAtReady = 0;
    long m_nCutAfter = -1;
    long m_nBytesMoved = 0;
    bool m_bCut = false;
    int m_nStatus = -1; // last status written, -1 before the first
};

} // namespace pw
