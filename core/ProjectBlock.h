// The block a version-3 project file may carry after its last record: what our records' layout has no
// room for (the engineer's integrity-class decisions), tagged and versioned so that later additions
// and tags we do not know travel with the file. The layout is in ProjectBlock.cpp and docs/project-block.md.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/CByteSource.h"
#include "core/CPileRecord.h"

namespace pw {

inline constexpr char kBlockMarker[8] = {'P', 'W', 'B', 'L', 'O', 'C', 'K', '1'};
inline constexpr int kBlockVersion = 1;
inline constexpr char kClassTag[5] = "CLAS"; // per-record: one byte, the decided class 1..4
inline constexpr uint16_t kSectionPerRecord = 1; // section flag: the body is a list of per-record entries

// One section as it lies in the block: its tag, the tag's own version, its flags and its body.
struct CBlockSection {
    std::string m_strTag; // four bytes
    uint16_t m_nVersion = 1;
    uint16_t m_nFlags = 0;
    std::vector<uint8_t> m_Body;
    bool operator==(const CBlockSection&) const = default;
};

// One entry of a per-record section: the record it belongs to, named by its 1-based place in the
// file and the pile name it carries there, and the tag's data for it.
struct CRecordEntry {
    int m_nRecord = 0;
    char m_szPileName[10] = {};
    std::vector<uint8_t> m_Data;
};

// Reads a block from what follows the last record (the rest of src). Records get what the known
// sections hold; sections of tags we do not know go into unknown, as read. No bytes: nothing happens.
// Anything wrong (another marker, a bad length or checksum, an entry for a record the file does not
// hold) is ignored with a note, and the records keep what they had.
void ReadBlock(CByteSource& src, std::vector<CPileRecord>& piles, std::vector<CBlockSection>& unknown,
               std::vector<std::string>& notes);
// Appends the block when there is something to put in it (a decision or a kept section); a project
// without either is written exactly as before the block existed.
bool WriteBlock(CByteSink& sink, const std::vector<CPileRecord>& piles, const std::vector<CBlockSection>& kept);

// The per-record entries of a section body, and back; false when the body does not parse.
bool ParseRecordEntries(const std::vector<uint8_t>& body, std::vector<CRecordEntry>& out);
std::vector<uint8_t> RecordEntriesBody(const std::vector<CRecordEntry>& entries);

// CRC-32 (IEEE 802.3, reflected, as zip uses).
uint32_t Crc32(const uint8_t* data, std::size_t n);

} // namespace pw
