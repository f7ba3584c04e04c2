// The instrument's side of the byte link.
//
// Wire layout, as the tester sees the registers:
//   status register (tester writes)  bits 3-6 nibble to the PC, bit 7 tester handshake
//   data register (tester reads)     bits 0-3 nibble from the PC, bit 4 PC handshake
// Idle, ready to receive: status 0x80.
// One byte PC -> tester (the PC waits for bit 7 = 1 before each byte):
//   wait data bit 4 = 1, low := data & 0x0F; status := 0x00;
//   wait data bit 4 = 0, high := data & 0x0F; status := 0x80
// One byte tester -> PC:
//   status := low << 3 (bit 7 = 0); wait data bit 4 = 1;
//   status := high << 3 | 0x80; wait data bit 4 = 0
// Block: int16 length little-endian twice, then the payload; files in blocks of 4096 bytes.
// The tester's waits are bounded in wall time (the byte time-out) rather than in polls: the PC is the
// side that polls at bus speed, the tester only has to keep up with it.
// Turning round: after the PC's last nibble of a block the ready line (0x80) stays up until the PC
// writes again or the ready hold has passed, and only then does an answer start. The PC looks for
// that level before it listens; a line raised and dropped at once is missed by a PC that was not
// running just then, and it waits out its whole poll count.
#include "link/CTesterLink.h"

namespace pw {

void CTesterLink::Idle() {
    // Only on a change: an idle emulator must not fill the ring with repeats.
    if (!m_bCut && m_nStatus != 0x80) WriteStatus(0x80);
}

bool CTesterLink::CountByte() {
    ++m_nBytesMoved;
    if (m_nCutAfter >= 0 && m_nBytesMoved >= m_nCutAfter && !m_bCut) {
        // A cut cable: the PC's status inputs float high (bits 3-6 set, BUSY reads as bit 7 = 0) and
        // nothing the PC writes arrives any more.
        WriteStatus(0x78);
        m_bCut = true;
    }
    return true;
}

bool CTesterLink::WaitData(bool bHigh, std::chrono::milliseconds tTimeout, uint8_t& nValue) {
    const auto tStart = Now();
    // The spin is a matter of this processor's wall time, whatever clock the time-out runs on.
    const auto tSpinEnd = std::chrono::steady_clock::now() + kSpin;
    for (uint64_t nPoll = 0;; ++nPoll) {
        if (m_bCut) return false;
        nValue = m_Cable.TesterReadData();
        if (((nValue & 0x10) != 0) == bHigh) return true;
        if ((nPoll & 63) != 63) continue;
        if (m_bStop.load(std::memory_order_relaxed)) return false;
        if (Now() - tStart >= tTimeout) return false;
        // Poll for a short while first: a running PC answers an edge within a few port reads, and a
        // tester woken from the kernel for every edge answers each one a wake-up late (about 10 µs
        // here: a transfer ran at a quarter of the speed). Past the spin, sleep until the PC's next
        // write: a PC that is not running (a busy machine) must not be kept from its processor.
        if (std::chrono::steady_clock::now() < tSpinEnd) continue;
        m_Cable.TesterWaitForPcWrite(std::chrono::milliseconds(5));
    }
}

void CTesterLink::HoldReady() {
    if (!m_bReadyRaised) return;
    m_bReadyRaised = false;
    while (!m_bCut && !m_bStop.load(std::memory_order_relaxed) &&
           m_Cable.WriteCount(ECableEnd::Pc) == m_nPcWritesAtReady) {
        const auto tLeft = m_tReadyHold - (Now() - m_tReady);
        if (tLeft <= std::chrono::steady_clock::duration::zero()) return;
        m_Cable.TesterWaitForPcWrite(std::chrono::duration_cast<std::chrono::microseconds>(tLeft) +
                                     std::chrono::microseconds(1));
    }
}

bool CTesterLink::SendBytes(const uint8_t* pBytes, size_t nCount) {
    if (nCount > 0) HoldReady();
    for (size_t i = 0; i < nCount; ++i) {
        if (m_bCut) return false;
        uint8_t nData = 0;
        WriteStatus(static_cast<uint8_t>((pBytes[i] & 0x0F) << 3));
        if (!WaitData(true, m_tByteTimeout, nData)) return false;
        WriteStatus(static_cast<uint8_t>(((pBytes[i] >> 4) & 0x0F) << 3 | 0x80));
        if (!WaitData(false, m_tByteTimeout, nData)) return false;
        CountByte();
    }
    return !m_bCut;
}

bool CTesterLink::ReceiveBytes(uint8_t* pBuffer, size_t nCount, std::chrono::milliseconds tFirst) {
    for (size_t i = 0; i < nCount; ++i) {
        if (m_bCut) return false;
        uint8_t nLow = 0, nHigh = 0;
        if (!WaitData(true, i == 0 ? tFirst : m_tByteTimeout, nLow)) return false;
        WriteStatus(0x00);
        if (!WaitData(false, m_tByteTimeout, nHigh)) return false;
        // Counted before the line goes up: the PC writes nothing more until it has seen it, so any
        // later write is its answer (counted after, a fast PC's answer could be taken for the past).
        m_nPcWritesAtReady = m_Cable.WriteCount(ECableEnd::Pc);
        WriteStatus(0x80);
        m_bReadyRaised = true;
        m_tReady = Now();
        pBuffer[i] = static_cast<uint8_t>((nLow & 0x0F) | (nHigh & 0x0F) << 4);
        CountByte();
    }
    return !m_bCut;
}

bool CTesterLink::SendBlock(const uint8_t* pBytes, int nLength, bool bCorruptHeader) {
    const auto nSecond = static_cast<uint16_t>(bCorruptHeader ? nLength + 1 : nLength);
    const uint8_t header[4] = {static_cast<uint8_t>(nLength & 0xFF),
                               static_cast<uint8_t>((nLength >> 8) & 0xFF),
                               static_cast<uint8_t>(nSecond & 0xFF), static_cast<uint8_t>(nSecond >> 8)};
    return SendBytes(header, 4) && SendBytes(pBytes, static_cast<size_t>(nLength));
}

int CTesterLink::ReceiveBlock(std::vector<uint8_t>& payload, std::chrono::milliseconds tFirst) {
    uint8_t header[4] = {};
    if (!ReceiveBytes(header, 1, tFirst)) return -1;
    if (!ReceiveBytes(header + 1, 3, m_tByteTimeout)) return -2;
    const auto nFirst = static_cast<int16_t>(header[0] | header[1] << 8);
    const auto nSecond = static_cast<int16_t>(header[2] | header[3] << 8);
    if (nFirst != nSecond || nFirst < 0 || nFirst > kBlockSize) return -3;
    payload.assign(static_cast<size_t>(nFirst), 0);
    if (nFirst > 0 && !ReceiveBytes(payload.data(), payload.size(), m_tByteTimeout)) return -2;
    return 1;
}

bool CTesterLink::SendText(const std::string& szText) {
    if (szText.size() > static_cast<size_t>(kBlockSize)) return false;
    return SendBlock(reinterpret_cast<const uint8_t*>(szText.data()), static_cast<int>(szText.size()));
}

bool CTesterLink::ReceiveText(std::string& szText, std::chrono::milliseconds tFirst) {
    std::vector<uint8_t> payload;
    szText.clear();
    if (ReceiveBlock(payload, tFirst) != 1) return false;
    szText.assign(payload.begin(), payload.end());
    return true;
}

bool CTesterLink::ReceiveFile(std::FILE* pFile, long nBytes) {
    long nReceived = 0;
    std::vector<uint8_t> payload;
    int nEmpty = 0;
    while (nReceived < nBytes) {
        if (ReceiveBlock(payload, m_tByteTimeout) != 1) return false;
        if (payload.empty() && ++nEmpty > 64) return false;
        if (!payload.empty() && std::fwrite(payload.data(), 1, payload.size(), pFile) != payload.size())
            return false;
        nReceived += static_cast<long>(payload.size());
    }
    return true;
}

} // namespace pw
