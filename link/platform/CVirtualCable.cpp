// The virtual cable: current register values and one write ring per side in shared memory (the
// layout is in CVirtualCable.h and docs/virtual-cable.md).
#include "link/platform/CVirtualCable.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <linux/futex.h>
#include <sys/file.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace pw {

namespace {

constexpr char kMagic[8] = {'P', 'W', 'C', 'A', 'B', 'L', 'E', '1'};
constexpr uint32_t kVersion = 1;

constexpr size_t kOffVersion = 8;
constexpr size_t kOffRingSize = 12;
constexpr size_t kOffData = 16;
constexpr size_t kOffStatus = 20;
constexpr size_t kOffControl = 24;
constexpr size_t kOffAttached = 28;
constexpr size_t kOffWrites[2] = {32, 40}; // indexed by writer: 0 PC, 1 tester
constexpr size_t kOffSeen[2] = {48, 56};   // position of the reader in the ring of that writer
constexpr size_t kOffLost[2] = {64, 72};
constexpr size_t kOffTesterWaiting = 80;

int Side(ECableEnd eEnd) {
    return eEnd == ECableEnd::Pc ? 0 : 1;
}
ECableEnd Other(ECableEnd eEnd) {
    return eEnd == ECableEnd::Pc ? ECableEnd::Tester : ECableEnd::Pc;
}
size_t RingOffset(ECableEnd eWriter) {
    return CVirtualCable::kHeaderSize + (eWriter == ECableEnd::Pc ? 0 : 8 * CVirtualCable::kRingSize);
}
size_t RegisterOffset(ECableRegister eRegister) {
    switch (eRegister) {
    case ECableRegister::Data:
        return kOffData;
    case ECableRegister::Status:
        return kOffStatus;
    case ECableRegister::Control:
        return kOffControl;
    }
    return kOffData;
}

} // namespace

uint32_t& CVirtualCable::Word32(size_t nOffset) const {
    return *reinterpret_cast<uint32_t*>(m_pMemory + nOffset);
}
uint64_t& CVirtualCable::Word64(size_t nOffset) const {
    return *reinterpret_cast<uint64_t*>(m_pMemory + nOffset);
}

void CVirtualCable::Initialise(uint8_t* pMemory) {
    std::memset(pMemory, 0, kTotalSize);
    uint32_t nWord = kVersion;
    std::memcpy(pMemory + kOffVersion, &nWord, 4);
    nWord = kRingSize;
    std::memcpy(pMemory + kOffRingSize, &nWord, 4);
    // The magic goes last: a peer that sees it sees a complete header.
    std::atomic_thread_fence(std::memory_order_release);
    std::memcpy(pMemory, kMagic, sizeof kMagic);
}

std::unique_ptr<CVirtualCable> CVirtualCable::CreateInMemory() {
    void* pMemory = ::mmap(nullptr, kTotalSize, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
    if (pMemory == MAP_FAILED) return nullptr;
    Initialise(static_cast<uint8_t*>(pMemory));
    return std::unique_ptr<CVirtualCable>(new CVirtualCable(pMemory, kTotalSize));
}

std::unique_ptr<CVirtualCable> CVirtualCable::OpenFile(const std::string& szPath, std::string& szError) {
    const int nFd = ::open(szPath.c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (nFd < 0) {
        szError = szPath + ": " + std::strerror(errno);
        return nullptr;
    }
    // The lock makes the check-and-initialise step atomic between two ends starting together.
    ::flock(nFd, LOCK_EX);
    auto fail = [&](const std::string& szWhy) {
        szError = szWhy;
        ::flock(nFd, LOCK_UN);
        ::close(nFd);
        return nullptr;
    };
    struct stat st {};
    if (::fstat(nFd, &st) != 0) return fail(szPath + ": " + std::strerror(errno));
    if (!S_ISREG(st.st_mode)) return fail(szPath + ": not a regular file, so not a virtual cable");
    // Only a file this program made (or one just created, still empty) becomes a cable: a mistyped
    // path must never truncate someone's file.
    const bool bFresh = st.st_size == 0;
    if (!bFresh && static_cast<size_t>(st.st_size) != kTotalSize)
        return fail(szPath + ": exists and is not a virtual cable file (" + std::to_string(st.st_size) +
                    " bytes); give a new file name or an existing cable");
    if (!bFresh) {
        char head[sizeof kMagic] = {};
        if (::pread(nFd, head, sizeof head, 0) != static_cast<ssize_t>(sizeof head) ||
            std::memcmp(head, kMagic, sizeof kMagic) != 0)
            return fail(szPath + ": exists and is not a virtual cable file (no cable magic); give a new file "
                                 "name or an existing cable");
    }
    if (bFresh && ::ftruncate(nFd, static_cast<off_t>(kTotalSize)) != 0)
        return fail(szPath + ": " + std::strerror(errno));
    void* pMemory = ::mmap(nullptr, kTotalSize, PROT_READ | PROT_WRITE, MAP_SHARED, nFd, 0);
    if (pMemory == MAP_FAILED) return fail(szPath + ": " + std::strerror(errno));
    auto* pBytes = static_cast<uint8_t*>(pMemory);
    uint32_t nVersion = 0, nRing = 0;
    std::memcpy(&nVersion, pBytes + kOffVersion, 4);
    std::memcpy(&nRing, pBytes + kOffRingSize, 4);
    // A cable of another layout version is still our own file: start it afresh.
    if (bFresh || nVersion != kVersion || nRing != kRingSize) Initialise(pBytes);
    ::flock(nFd, LOCK_UN);
    ::close(nFd); // the mapping keeps the file alive
    return std::unique_ptr<CVirtualCable>(new CVirtualCable(pMemory, kTotalSize));
}

CVirtualCable::~CVirtualCable() {
    ::munmap(m_pMemory, m_nSize);
}

void CVirtualCable::Attach(ECableEnd eEnd) {
    const ECableEnd eWriter = Other(eEnd);
    const uint64_t nWrites =
        std::atomic_ref(Word64(kOffWrites[Side(eWriter)])).load(std::memory_order_acquire);
    std::atomic_ref(Word64(kOffSeen[Side(eWriter)])).store(nWrites, std::memory_order_release);
    if (eEnd == ECableEnd::Tester)
        m_nTesterData = static_cast<uint8_t>(std::atomic_ref(Word32(kOffData)).load(std::memory_order_seq_cst));
    std::atomic_ref(Word32(kOffAttached)).fetch_or(eEnd == ECableEnd::Pc ? 1u : 2u);
}

void CVirtualCable::Detach(ECableEnd eEnd) {
    if (eEnd == ECableEnd::Tester) TesterWriteStatus(0);
    std::atomic_ref(Word32(kOffAttached)).fetch_and(eEnd == ECableEnd::Pc ? ~1u : ~2u);
}

void CVirtualCable::Write(ECableEnd eWriter, ECableRegister eRegister, uint8_t nValue) {
    // The other side's register is taken before our value becomes visible: afterwards the other side
    // may already have answered, and the record would show the answer instead of what we saw.
    const ECableRegister eOther = eWriter == ECableEnd::Pc ? ECableRegister::Status : ECableRegister::Data;
    const uint64_t nOther = std::atomic_ref(Word32(RegisterOffset(eOther))).load(std::memory_order_seq_cst) & 0xFF;
    // Do NOT publish the ring entry before the current value: a reader of the current value (the PC
    // end, a monitor) that has seen the entry must never find the older value there afterwards.
    std::atomic_ref(Word32(RegisterOffset(eRegister))).store(nValue, std::memory_order_seq_cst);
    auto nWrites = std::atomic_ref(Word64(kOffWrites[Side(eWriter)]));
    const uint64_t nSequence = nWrites.load(std::memory_order_relaxed) + 1;
    const uint64_t nEntry = (nSequence & 0xFFFFFFFFu) | (uint64_t{static_cast<uint8_t>(eRegister)} << 32) |
                            (uint64_t{nValue} << 40) | (nOther << 48);
    const size_t nSlot = RingOffset(eWriter) + 8 * ((nSequence - 1) % kRingSize);
    std::atomic_ref(Word64(nSlot)).store(nEntry, std::memory_order_release);
    // Sequentially consistent with the waiting flag below: either the sleeping tester sees the new
    // count before it sleeps, or this write sees its flag and wakes it.
    nWrites.store(nSequence, std::memory_order_seq_cst);
    if (eWriter == ECableEnd::Pc &&
        std::atomic_ref(Word32(kOffTesterWaiting)).load(std::memory_order_seq_cst) != 0)
        ::syscall(SYS_futex, &Word32(kOffWrites[0]), FUTEX_WAKE, 1, nullptr, nullptr, 0);
}

void CVirtualCable::TesterWaitForPcWrite(std::chrono::microseconds tMax) {
    auto nWrites = std::atomic_ref(Word64(kOffWrites[0]));
    const uint64_t nWritten = nWrites.load(std::memory_order_seq_cst);
    if (std::atomic_ref(Word64(kOffSeen[0])).load(std::memory_order_acquire) < nWritten) return;
    auto nWaiting = std::atomic_ref(Word32(kOffTesterWaiting));
    nWaiting.store(1, std::memory_order_seq_cst);
    if (nWrites.load(std::memory_order_seq_cst) == nWritten) {
        const auto nMicro = tMax.count();
        struct timespec tTimeout {
            static_cast<time_t>(nMicro / 1000000), static_cast<long>(nMicro % 1000000) * 1000
        };
        // The futex word is the low half of the little-endian write count.
        ::syscall(SYS_futex, &Word32(kOffWrites[0]), FUTEX_WAIT,
                  static_cast<uint32_t>(nWritten & 0xFFFFFFFFu), &tTimeout, nullptr, 0);
    }
    nWaiting.store(0, std::memory_order_seq_cst);
}

bool CVirtualCable::TakeNext(ECableEnd eReader, bool bSkipControl, uint8_t& nValue, bool* pLost) {
    const ECableEnd eWriter = Other(eReader);
    const int nSide = Side(eWriter);
    auto nWrites = std::atomic_ref(Word64(kOffWrites[nSide]));
    auto nSeen = std::atomic_ref(Word64(kOffSeen[nSide]));
    auto nLost = std::atomic_ref(Word64(kOffLost[nSide]));
    for (;;) {
        const uint64_t nWritten = nWrites.load(std::memory_order_acquire);
        uint64_t nPosition = nSeen.load(std::memory_order_relaxed);
        if (nPosition >= nWritten) return false;
        if (nWritten - nPosition > kRingSize) {
            if (pLost) *pLost = true;
            nLost.fetch_add(nWritten - nPosition);
            nSeen.store(nWritten, std::memory_order_release);
            return false;
        }
        const uint64_t nEntry = std::atomic_ref(Word64(RingOffset(eWriter) + 8 * (nPosition % kRingSize)))
                                    .load(std::memory_order_acquire);
        if ((nEntry & 0xFFFFFFFFu) != ((nPosition + 1) & 0xFFFFFFFFu)) {
            // The writer lapped the ring while we read the slot.
            const uint64_t nNow = nWrites.load(std::memory_order_acquire);
            if (pLost) *pLost = true;
            nLost.fetch_add(nNow - nPosition);
            nSeen.store(nNow, std::memory_order_release);
            return false;
        }
        nSeen.store(nPosition + 1, std::memory_order_release);
        if (bSkipControl && static_cast<ECableRegister>((nEntry >> 32) & 0xFF) == ECableRegister::Control)
            continue;
        nValue = static_cast<uint8_t>((nEntry >> 40) & 0xFF);
        return true;
    }
}

// The PC reads the current status, as a real port does. Do NOT replay the tester's ring here: the
// PC answers every tester edge before the tester makes the next one, so it cannot miss a transition,
// and replaying writes from before its own last write (an emulator that detached and attached again)
// would make it take old edges for answers.
uint8_t CVirtualCable::PcReadStatus() {
    return static_cast<uint8_t>(std::atomic_ref(Word32(kOffStatus)).load(std::memory_order_acquire));
}

void CVirtualCable::PcWriteData(uint8_t nValue) {
    Write(ECableEnd::Pc, ECableRegister::Data, nValue);
}
void CVirtualCable::PcWriteControl(uint8_t nValue) {
    Write(ECableEnd::Pc, ECableRegister::Control, nValue);
}

// The tester takes the data lines only from the ring: one PC write per read, in order, and when it has
// caught up the value of the last entry it took. Do NOT read the current value when caught up: the PC
// stores it before it counts the write, so the value can be seen a moment before its write is
// counted, and the tester would think it had seen a write that the count does not hold yet. The
// ready hold after the PC's last nibble counts PC writes from that moment, and that write, counted
// a moment later, would end the hold at once (the PC then waits out its whole poll count). Only
// after losing writes (a peer that broke the handshake) does it jump to the current value.
uint8_t CVirtualCable::TesterReadData() {
    uint8_t nValue = 0;
    bool bLost = false;
    if (TakeNext(ECableEnd::Tester, true, nValue, &bLost))
        m_nTesterData = nValue;
    else if (bLost)
        m_nTesterData = static_cast<uint8_t>(std::atomic_ref(Word32(kOffData)).load(std::memory_order_seq_cst));
    return m_nTesterData;
}

void CVirtualCable::TesterWriteStatus(uint8_t nValue) {
    Write(ECableEnd::Tester, ECableRegister::Status, nValue);
}

uint64_t CVirtualCable::WriteCount(ECableEnd eWriter) const {
    return std::atomic_ref(Word64(kOffWrites[Side(eWriter)])).load(std::memory_order_acquire);
}

uint64_t CVirtualCable::LostWrites(ECableEnd eWriter) const {
    return std::atomic_ref(Word64(kOffLost[Side(eWriter)])).load(std::memory_order_acquire);
}

std::vector<SCableWrite> CVirtualCable::RecentWrites(ECableEnd eWriter, size_t nMax) const {
    std::vector<SCableWrite> records;
    const uint64_t nWritten = WriteCount(eWriter);
    const uint64_t nAvailable = std::min<uint64_t>({nWritten, kRingSize, nMax});
    for (uint64_t k = nWritten - nAvailable + 1; k <= nWritten; ++k) {
        const uint64_t nEntry = std::atomic_ref(Word64(RingOffset(eWriter) + 8 * ((k - 1) % kRingSize)))
                                    .load(std::memory_order_acquire);
        SCableWrite record;
        record.nSequence = nEntry & 0xFFFFFFFFu;
        record.eRegister = static_cast<ECableRegister>((nEntry >> 32) & 0xFF);
        record.nValue = static_cast<uint8_t>((nEntry >> 40) & 0xFF);
        record.nOtherSide = static_cast<uint8_t>((nEntry >> 48) & 0xFF);
        records.push_back(record);
    }
    return records;
}

} // namespace pw
