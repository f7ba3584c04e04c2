// The virtual cable: the parallel-port lines between the PC and the tester emulator, kept in shared
// memory so either end can be a thread of this process or another process.
//
// Shared-memory layout (little-endian, all fields naturally aligned, accessed atomically):
//   offset size  field
//        0    8  magic "PWCABLE1"
//        8    4  version (1)
//       12    4  ring size N: entries per write ring (1024)
//       16    4  data register, current value (PC writes; low byte used)
//       20    4  status register, current value (tester writes)
//       24    4  control register, current value (PC writes)
//       28    4  attached ends: bit 0 PC end, bit 1 tester end (informational)
//       32    8  PC writes: number of writes the PC has made (sequence of the PC ring)
//       40    8  tester writes: number of writes the tester has made
//       48    8  PC writes seen: the tester's read position in the PC ring
//       56    8  tester writes seen: read position of a monitor in the tester ring (the PC end
//                reads the current status, as a real port does)
//       64    8  PC writes lost: PC writes the tester fell too far behind to see
//       72    8  tester writes lost: likewise, for a monitor of the tester ring
//       80    4  tester waiting: 1 while the tester end sleeps on a futex on the low word of
//                "PC writes" (offset 32); a PC write that sees 1 wakes it (FUTEX_WAKE). An end
//                that does not sleep never sets it; an end that ignores it must not sleep.
//       84   44  reserved, zero
//      128   8N  PC ring: entry of PC write k (1-based) at index (k-1) mod N
//   128+8N   8N  tester ring, likewise
// A ring entry is one 64-bit word: bits 0-31 the write's sequence number k (low 32 bits), 32-39 the
// register (0 data, 1 status, 2 control), 40-47 the value written, 48-55 the other side's register
// at that moment (status for PC writes, data for tester writes), 56-63 zero.
//
// Writing: read the other side's register, store the current value, then the ring entry, then the
// new write count.
// Reading at the tester end: when its position is behind the PC's write count it takes the next ring
// entry (acquire) and advances; otherwise it keeps the value of the last entry it took (the value
// read at attach before any). So the tester sees every PC write, in order, even when it polls slower
// than the PC, and never a value before its write is counted. A reader more than N writes behind counts
// the writes it lost and jumps to the current value; the handshake never lets a live peer fall that
// far behind, so a non-zero "lost" counter means a peer did not follow the handshake.
// Reading at the PC end: the current status value, as on a real port (the PC polls at bus speed and
// answers every tester edge before the tester makes the next one). The tester's ring records its
// writes all the same, so a test or monitor can check both sides against the handshake.
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace pw {

enum class ECableEnd { Pc, Tester };
enum class ECableRegister : uint8_t { Data = 0, Status = 1, Control = 2 };

// One decoded write-ring entry.
struct SCableWrite {
    uint64_t nSequence = 0; // 1-based number of the write (low 32 bits as stored)
    ECableRegister eRegister = ECableRegister::Data;
    uint8_t nValue = 0;
    uint8_t nOtherSide = 0; // the other side's register when the write was made
};

class CVirtualCable {
public:
    static constexpr uint32_t kRingSize = 1024;
    static constexpr size_t kHeaderSize = 128;
    static constexpr size_t kTotalSize = kHeaderSize + 2 * 8 * kRingSize;

    // A cable in anonymous shared memory, for both ends in this process.
    static std::unique_ptr<CVirtualCable> CreateInMemory();
    // Maps the cable file at szPath: an existing cable, or a new one created (and initialised) when the
    // file is missing or empty. Any other file is refused untouched. Null with the reason in szError.
    static std::unique_ptr<CVirtualCable> OpenFile(const std::string& szPath, std::string& szError);
    ~CVirtualCable();
    CVirtualCable(const CVirtualCable&) = delete;
    CVirtualCable& operator=(const CVirtualCable&) = delete;

    // Attaching an end moves its read position to the newest write of the other side (history from
    // before the attach is not replayed) and marks the end attached. Detaching clears the mark; a
    // detaching tester also lets its lines float (status 0).
    void Attach(ECableEnd eEnd);
    void Detach(ECableEnd eEnd);

    // PC end. The status read is the current value.
    uint8_t PcReadStatus();
    void PcWriteData(uint8_t nValue);
    void PcWriteControl(uint8_t nValue);
    // Tester end. Control writes in the PC ring are passed over: the tester has no control lines.
    uint8_t TesterReadData();
    void TesterWriteStatus(uint8_t nValue);
    // Sleeps until the PC writes or tMax passed, whichever comes first; returns at once when the
    // tester has PC writes left to read. Lets an idle tester give its processor away without
    // answering late: the PC's write wakes it.
    void TesterWaitForPcWrite(std::chrono::microseconds tMax);

    // Observation, for tests and tools: counters and the last (at most N) writes of one side.
    uint64_t WriteCount(ECableEnd eWriter) const;
    uint64_t LostWrites(ECableEnd eWriter) const;
    std::vector<SCableWrite> RecentWrites(ECableEnd eWriter, size_t nMax) const;

private:
    CVirtualCable(void* pMemory, size_t nSize) : m_pMemory(static_cast<uint8_t*>(pMemory)), m_nSize(nSize) {}
    static void Initialise(uint8_t* pMemory);
    uint32_t& Word32(size_t nOffset) const;
    uint64_t& Word64(size_t nOffset) const;
    void Write(ECableEnd eWriter, ECableRegister eRegister, uint8_t nValue);
    // Next value of the other side's writes for eReader; bSkipControl passes over control entries.
    // *pLost is set when the reader fell more than a ring behind and jumped to the newest write.
    bool TakeNext(ECableEnd eReader, bool bSkipControl, uint8_t& nValue, bool* pLost = nullptr);

    uint8_t* m_pMemory;
    size_t m_nSize;
    uint8_t m_nTesterData = 0; // the data lines as the tester end last took them from the ring
};

} // namespace pw
