// The PC side of the parallel cable: nibble handshake, block framing, strings, files, and the
// command client spoken on top of them with the tester.
#pragma once

#include "link/LinkClock.h"
#include "link/platform/CPortAccess.h"

#include <atomic>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace pw {

// Bounds this implementation adds where an unbounded wait or an unchecked size would let a pulled
// cable hang a transfer or a confused tester fill the disk.
struct SLinkLimits {
    // Whole wait for one reply or data block (all attempts together); without it a silent tester
    // costs 64,000 attempts of 64,000 polls.
    std::chrono::milliseconds tReplyWait{5000};
    int nMaxFailedReceptions = 3;          // FetchDirectory: consecutive failed receptions
    int nMaxIgnoredReplies = 64;           // FetchDirectory: consecutive empty or unexpected texts
    int nMaxEmptyBlocks = 64;              // ReceiveFile: consecutive zero-length data blocks
    long nMaxFileSize = 16L * 1024 * 1024; // announced sizes above this are refused
    int nMaxFilesPerFolder = 65536;        // FetchDirectory: announcements in one folder
    // Least wall time of one handshake wait, beside the 64,000 polls: a fast port (or a virtual cable
    // with free reads) gets through 64,000 polls in microseconds, long before any tester can answer.
    std::chrono::milliseconds tMinWait{100};
    // After a bad block header the tester may still be clocking out the payload: the line counts as
    // settled once its handshake has read 1 for this long (at most tReplyWait in all).
    std::chrono::milliseconds tSettle{20};
};

// What the last FetchDirectory brought: the plain names of the files that arrived whole, and those
// announced but not received (a failed reception, a refused name, a name that reduces to one that
// already arrived).
struct SFetchReport {
    std::vector<std::string> received;
    std::vector<std::string> failed;
    bool bCancelled = false; // the fetch stopped at the cancel flag
};

class CParallelLink {
public:
    static constexpr int kBufferSize = 4096; // longest block payload
    static constexpr int kPollLimit = 64000; // status reads per handshake wait (not 65536)
    static constexpr int kStatusSize = 200;  // status text, with its terminator

    // Command selectors.
    enum : int {
        kHello = 1,
        kQuit = 2,
        kListDirectory = 3,
        kChangeDirectory = 4,
        kFetchFile = 5,
        kFetchDirectory = 6,
        kPutDirectory = 7
    };

    // Without a port every operation is refused and the status text says why (szNoPortReason).
    explicit CParallelLink(std::shared_ptr<CPortAccess> pPort,
                           const std::string& szNoPortReason = "no port chosen");

    bool HasPort() const { return m_pPort != nullptr; }
    const char* StatusText() const { return m_szStatus; }
    void SetLimits(const SLinkLimits& limits) { m_Limits = limits; }
    const SLinkLimits& Limits() const { return m_Limits; }
    // What the wall-time bounds of the limits are measured on (empty: the steady clock).
    void SetClock(LinkClock clock) { m_Clock = std::move(clock); }
    // A flag another thread may set: FetchDirectory then declines the next announcement ("quit")
    // and ends with 0, so a transfer stops after the file it is receiving. Null: never.
    void SetCancelFlag(const std::atomic<bool>* pCancel) { m_pCancel = pCancel; }
    const SFetchReport& LastFetch() const { return m_LastFetch; }

    // Byte link. Counts are signed 16-bit; results as documented in CParallelLink.cpp.
    int ResetLines();
    int16_t SendBytes(int16_t nCount, const uint8_t* pBytes);
    int16_t ReceiveBytes(int16_t nCount, uint8_t* pBuffer);
    int SendBlock(int16_t nLength, const uint8_t* pBytes);
    int ReceiveBlock(int16_t& nLength, uint8_t* pBuffer); // pBuffer holds kBufferSize bytes
    int SendString(const char* szText);
    int ReceiveString(char* szBuffer); // szBuffer holds kBufferSize + 1 bytes
    int SendFile(long nBytes, std::FILE* pFile);
    int ReceiveFile(std::FILE* pFile, long nBytes);
    void ReportSendError(int nCode);
    void ReportReceiveError(int nCode);

    // Command client: one entry point for the seven operations (selectors above); any other
    // selector returns 1 and does nothing. szA and szB as each operation documents.
    int Command(int nSelector, std::string& szA, std::string& szB);
    int Hello(std::string& szGreeting);
    int Quit();
    int ListDirectory(std::string& szListing, const std::string& szTesterFolder);
    int ChangeDirectory(const std::string& szTesterFolder);
    int FetchFile(const std::string& szTesterFile, std::string& szLocalFolder);
    int FetchDirectory(const std::string& szTesterFolder, std::string& szLocalFolder);
    int PutDirectory(const std::string& szTesterFolder, std::string& szLocalFolder);

private:
    bool Refused();
    bool WaitStatusBit7(bool bHigh);
    void SettleLine();
    std::chrono::steady_clock::time_point Now() const { return LinkNow(m_Clock); }
    bool Cancelled() const { return m_pCancel && m_pCancel->load(std::memory_order_relaxed); }
    int WaitForBlock(int16_t& nLength, uint8_t* pBuffer);
    void SetStatus(const char* szFormat, const char* szArgument = nullptr);
    int SendFormatted(const char* szFormat, const std::string& szArgument);
    bool ReceiveIntoTemporary(const std::string& szTarget, long nSize);
    bool ParseAnnouncement(const char* szReply, long& nSize, std::string& szName);

    std::shared_ptr<CPortAccess> m_pPort;
    bool m_bCannotCreate = false; // set by ReceiveIntoTemporary: the local file could not be made
    std::string m_szNoPortReason;
    SLinkLimits m_Limits;
    LinkClock m_Clock;
    const std::atomic<bool>* m_pCancel = nullptr;
    SFetchReport m_LastFetch;
    uint8_t m_Buffer[kBufferSize + 1] = {}; // one byte beyond the payload for a text's terminator
    char m_szStatus[kStatusSize] = {};
};

} // namespace pw
