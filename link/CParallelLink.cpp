// The byte link of the PC side: nibbles with a two-phase handshake, length-prefixed blocks, texts
// and files.
//
// Wire layout, as the PC sees the registers:
//   data register (PC writes)    bits 0-3 nibble to the tester, bit 4 PC handshake, bits 5-7 zero
//   status register (PC reads)   bits 3-6 nibble from the tester, bit 7 tester handshake, 0-2 ignored
//   control register             only ever written with 0 (line reset: control 0, then data 0)
// One byte PC -> tester, low nibble first:
//   wait status bit 7 = 1; data := low | 0x10; wait status bit 7 = 0; data := high (bit 4 = 0)
//   after the last byte: wait status bit 7 = 1 (bounded; running out still counts as sent)
// One byte tester -> PC:
//   wait status bit 7 = 0; s1 := status; data := 0x10; wait status bit 7 = 1; s2 := status;
//   data := 0x00; byte := ((s2 & 0xF8) << 1 | s1 >> 3) & 0xFF
// Every wait is at most 64,000 status reads with no sleep in between.
// Block: length as int16 little-endian, twice (bytes 0-1 and 2-3), then that many payload bytes; no
//   checksum, no end marker. Lengths below 0 or above 4096 are refused like differing copies.
// Text: one block holding the text without its terminator.
// File: consecutive blocks of at most 4096 bytes until the announced total; lines reset before each.
#include "link/CParallelLink.h"

#include "link/LinkTexts.h"

#include <algorithm>
#include <cstring>

namespace pw {

CParallelLink::CParallelLink(std::shared_ptr<CPortAccess> pPort, const std::string& szNoPortReason)
    : m_pPort(std::move(pPort)), m_szNoPortReason(szNoPortReason) {}

void CParallelLink::SetStatus(const char* szFormat, const char* szArgument) {
    const int nLength = std::snprintf(m_szStatus, sizeof m_szStatus, szFormat, szArgument ? szArgument : "");
    if (nLength < static_cast<int>(sizeof m_szStatus)) return;
    // Cut where a character begins, so that a long text (a port's reason) is never broken mid-way.
    size_t nEnd = sizeof m_szStatus - 1;
    while (nEnd > 0 && (static_cast<unsigned char>(m_szStatus[nEnd]) & 0xC0) == 0x80)
        --nEnd;
    m_szStatus[nEnd] = '\0';
}

bool CParallelLink::Refused() {
    if (m_pPort) return false;
    SetStatus(LinkText::kNoPort, m_szNoPortReason.c_str());
    return true;
}

int CParallelLink::ResetLines() {
    if (Refused()) return 0;
    m_pPort->Out32(kControlPort, 0);
    m_pPort->Out32(kDataPort, 0);
    return 1;
}

// At least 64,000 polls and at least the least wait of the limits in wall time, whichever lasts
// longer: the poll count alone assumes a microsecond per read, so a faster port would give up on a
// tester long before it could answer, and a slow one would still see the tester's usual pace.
bool CParallelLink::WaitStatusBit7(bool bHigh) {
    std::chrono::steady_clock::time_point tEnd;
    for (int nReads = 1;; ++nReads) {
        if (((m_pPort->Inp32(kStatusPort) & 0x80) != 0) == bHigh) return true;
        // The clock only when the first read did not find the level, then past the poll count every
        // 256 polls: most waits end at once, and a read may cost nothing.
        if (nReads == 1) tEnd = Now() + m_Limits.tMinWait;
        if (nReads >= kPollLimit && (nReads & 255) == 0 && Now() >= tEnd)
            return false;
    }
}

// Waits until the tester's handshake line has read 1 without a break for the settle time (at most the
// reply wait in all): a tester that was clocking out a block when we stopped answering gives up and
// goes back to its idle level before we speak, so the next text is not taken for payload.
void CParallelLink::SettleLine() {
    const auto tGiveUp = Now() + m_Limits.tReplyWait;
    auto tHigh = Now();
    bool bWasHigh = false;
    for (unsigned i = 0;; ++i) {
        const bool bHigh = (m_pPort->Inp32(kStatusPort) & 0x80) != 0;
        if ((i & 63) != 0 && bHigh == bWasHigh) continue;
        const auto tNow = Now();
        if (bHigh && !bWasHigh) tHigh = tNow;
        bWasHigh = bHigh;
        if ((bHigh && tNow - tHigh >= m_Limits.tSettle) || tNow >= tGiveUp) return;
    }
}

// Result: bytes completely sent, 0..nCount; a time-out ends the call at once.
int16_t CParallelLink::SendBytes(int16_t nCount, const uint8_t* pBytes) {
    if (Refused() || nCount < 0) return 0;
    for (int16_t nSent = 0; nSent < nCount; ++nSent) {
        const uint8_t nByte = pBytes[nSent];
        if (!WaitStatusBit7(true)) return nSent;
        m_pPort->Out32(kDataPort, (nByte & 0x0F) | 0x10);
        if (!WaitStatusBit7(false)) return nSent;
        m_pPort->Out32(kDataPort, (nByte >> 4) & 0x0F);
    }
    // The tester raises its line again once it has taken the last high nibble. That byte is already
    // on the lines, so a tester that never raises it still got everything: running out counts as sent.
    WaitStatusBit7(true);
    return nCount;
}

// Result: bytes completely received, 0..nCount.
int16_t CParallelLink::ReceiveBytes(int16_t nCount, uint8_t* pBuffer) {
    if (Refused() || nCount < 0) return 0;
    for (int16_t nReceived = 0; nReceived < nCount; ++nReceived) {
        if (!WaitStatusBit7(false)) return nReceived;
        // Read again rather than reuse the polled value: the nibble is taken from a fresh read.
        const unsigned s1 = m_pPort->Inp32(kStatusPort);
        m_pPort->Out32(kDataPort, 0x10);
        if (!WaitStatusBit7(true)) return nReceived;
        const unsigned s2 = m_pPort->Inp32(kStatusPort);
        m_pPort->Out32(kDataPort, 0x00);
        pBuffer[nReceived] = static_cast<uint8_t>(((s2 & 0xF8) << 1) | (s1 >> 3));
    }
    return nCount;
}

// Result: 1 sent; -1 nothing could be sent (also a length outside 0..4096); -2 incomplete.
int CParallelLink::SendBlock(int16_t nLength, const uint8_t* pBytes) {
    if (Refused() || nLength < 0 || nLength > kBufferSize) return -1;
    const uint8_t header[4] = {
        static_cast<uint8_t>(nLength & 0xFF), static_cast<uint8_t>((nLength >> 8) & 0xFF),
        static_cast<uint8_t>(nLength & 0xFF), static_cast<uint8_t>((nLength >> 8) & 0xFF)};
    const int16_t nHeader = SendBytes(4, header);
    if (nHeader == 0) return -1;
    if (nHeader < 4) return -2;
    if (nLength == 0) return 1;
    return SendBytes(nLength, pBytes) == nLength ? 1 : -2;
}

// Result: 1 received (nLength set); -1 nothing arrived; -2 incomplete; -3 bad header (copies
// differ, or a length below 0 or above the 4096-byte buffer: do NOT let the header decide how far
// into the buffer we write).
int CParallelLink::ReceiveBlock(int16_t& nLength, uint8_t* pBuffer) {
    if (Refused()) return -1;
    uint8_t header[4] = {};
    const int16_t nHeader = ReceiveBytes(4, header);
    if (nHeader == 0) return -1;
    if (nHeader < 4) return -2;
    const auto nFirst = static_cast<int16_t>(header[0] | (header[1] << 8));
    const auto nSecond = static_cast<int16_t>(header[2] | (header[3] << 8));
    if (nFirst != nSecond || nFirst < 0 || nFirst > kBufferSize) return -3;
    if (ReceiveBytes(nFirst, pBuffer) != nFirst) return -2;
    nLength = nFirst;
    return 1;
}

// ReceiveBlock retried while nothing has arrived: at most 64,000 attempts and at most the reply
// wait of the limits, whichever ends first. -1 when both ran out with nothing.
int CParallelLink::WaitForBlock(int16_t& nLength, uint8_t* pBuffer) {
    const auto tEnd = Now() + m_Limits.tReplyWait;
    for (int nAttempt = 0; nAttempt < kPollLimit; ++nAttempt) {
        const int nResult = ReceiveBlock(nLength, pBuffer);
        if (nResult != -1) return nResult;
        if (Now() >= tEnd) break;
    }
    return -1;
}

int CParallelLink::SendString(const char* szText) {
    if (Refused()) return -1;
    const size_t nLength = std::strlen(szText);
    if (nLength > static_cast<size_t>(kBufferSize)) {
        SetStatus(LinkText::kTooLong);
        ResetLines();
        return -1;
    }
    const int nResult = SendBlock(static_cast<int16_t>(nLength), reinterpret_cast<const uint8_t*>(szText));
    if (nResult != 1) ReportSendError(nResult);
    return nResult;
}

// Result: the text's length (szBuffer zero-terminated after it), or -10. On failure szBuffer holds
// an empty text: never what an earlier exchange left there.
int CParallelLink::ReceiveString(char* szBuffer) {
    szBuffer[0] = '\0';
    if (Refused()) return -10;
    int16_t nLength = 0;
    const int nResult = WaitForBlock(nLength, reinterpret_cast<uint8_t*>(szBuffer));
    if (nResult == 1) {
        szBuffer[nLength] = '\0';
        return nLength;
    }
    szBuffer[0] = '\0';
    if (nResult == -3) SettleLine(); // the payload of a block we refused may still be coming
    ReportReceiveError(nResult);
    return -10;
}

// Result: 1, or the failing SendBlock code (-2 too when the local file ends early).
int CParallelLink::SendFile(long nBytes, std::FILE* pFile) {
    if (Refused()) return -1;
    long nRemaining = nBytes;
    while (nRemaining > 0) {
        const auto nChunk = static_cast<int16_t>(std::min<long>(nRemaining, kBufferSize));
        if (std::fread(m_Buffer, 1, static_cast<size_t>(nChunk), pFile) != static_cast<size_t>(nChunk)) {
            ReportSendError(-2);
            return -2;
        }
        ResetLines();
        const int nResult = SendBlock(nChunk, m_Buffer);
        if (nResult != 1) {
            ReportSendError(nResult);
            return nResult;
        }
        nRemaining -= nChunk;
    }
    return 1;
}

// Result: 1 all nBytes arrived; 0 abandoned with "quit" after a bad header; -1 nothing arrived;
// -2 incomplete (also: endless zero-length blocks, or the local file could not be written).
int CParallelLink::ReceiveFile(std::FILE* pFile, long nBytes) {
    if (Refused()) return -1;
    long nReceived = 0;
    int nEmptyBlocks = 0;
    bool bWriteFailed = false;
    while (nReceived < nBytes) {
        ResetLines();
        int16_t nLength = 0;
        const int nResult = WaitForBlock(nLength, m_Buffer);
        if (nResult == 1) {
            // A sender that keeps sending empty blocks would keep us here for ever.
            if (nLength == 0) {
                if (++nEmptyBlocks >= m_Limits.nMaxEmptyBlocks) {
                    ReportReceiveError(-2);
                    return -2;
                }
                continue;
            }
            nEmptyBlocks = 0;
            // Keep receiving after a local write error so the tester's stream stays in step.
            if (!bWriteFailed &&
                std::fwrite(m_Buffer, 1, static_cast<size_t>(nLength), pFile) != static_cast<size_t>(nLength))
                bWriteFailed = true;
            nReceived += nLength;
            continue;
        }
        if (nResult == -3) {
            // Do NOT answer at once: the tester may be in the middle of the payload, and "quit" would
            // go out as acknowledgements of its nibbles, leaving both sides out of step.
            SettleLine();
            SendString(LinkText::kWireQuit);
            return 0;
        }
        ReportReceiveError(nResult == -1 ? -1 : -2);
        return nResult == -1 ? -1 : -2;
    }
    if (bWriteFailed) {
        SetStatus(LinkText::kCannotWrite);
        return -2;
    }
    return 1;
}

void CParallelLink::ReportSendError(int nCode) {
    std::snprintf(m_szStatus, sizeof m_szStatus, LinkText::kSendFailed, nCode);
    ResetLines();
}

void CParallelLink::ReportReceiveError(int nCode) {
    std::snprintf(m_szStatus, sizeof m_szStatus, LinkText::kReceiveFailed, nCode);
    ResetLines();
}

} // namespace pw
