// Project files (.wvf): versions "ZOV01" (1), "WVF02" (2) and "WVF03" (3); readers over a byte
// source, the version-3 writer and the checked-piles ("ZOV01") writer.
#pragma once

#include <string>
#include <vector>

#include "core/CByteSource.h"
#include "core/CPileRecord.h"
#include "core/CProjectHeader.h"
#include "core/ProjectBlock.h"

namespace pw {

inline constexpr int kMaxPiles = 500; // records a project holds (the document keeps room for one more)

// The header and records of a project; the header count always equals piles.size() after a read.
struct CProjectData {
    CProjectHeader m_Header;
    std::vector<CPileRecord> m_Piles;     // numbered 1..N in file order
    std::vector<int16_t> m_StoredPileNos; // the number each record carried in the file
    // Sections of the block after the records whose tags this program does not know, as read; written
    // back by a save that keeps the records as they are.
    std::vector<CBlockSection> m_UnknownSections;
};

// What went wrong in a read, as a code with its position; ReadErrorText (core/ReadErrorText.h) turns
// it into the sentence a user reads.
enum class ReadError {
    kNone,
    kCannotOpen,      // the file could not be opened at all
    kEmpty,           // zero bytes
    kTooShort,        // fewer bytes than a magic
    kBadMagic,        // not "ZOV01", "WVF02" or "WVF03"
    kTruncatedHeader, // ends inside the header, at m_nByte
    kNegativeCount,   // the header counts fewer than 0 records
    kTruncatedRecord, // ends inside record m_nRecord (1-based), at m_nByte
    kTooManyToMerge,  // two files hold more records together than a project may (m_nRecord: the total)
    kOther,
};

// What a reader met: m_bOk is false when the data could not be read completely (m_nError and its
// position say what and where; m_strError says the same in English for logs and the command line:
// "bad magic \"XYZ12\"", "truncated in record 7 at byte 30512"); m_Notes lists what was repaired on
// the way (marks beyond the fifth dropped, a negative segment count).
struct CReadReport {
    bool m_bOk = true;
    ReadError m_nError = ReadError::kNone;
    int m_nRecord = 0;      // 1-based record the error lies in, when it lies in one
    long long m_nByte = -1; // byte offset of the error, when known
    std::string m_strError;
    std::vector<std::string> m_Notes;
    int m_nRecordsLeft = 0; // records the header counts beyond the kMaxPiles a project holds (not read)

    void Fail(ReadError code, int record, long long byte, std::string detail) {
        if (m_bOk) {
            m_nError = code;
            m_nRecord = record;
            m_nByte = byte;
            m_strError = std::move(detail);
        }
        m_bOk = false;
    }
    void Fail(std::string detail) { Fail(ReadError::kOther, 0, -1, std::move(detail)); }
};

// The block every pile layout shares, from the pile length to the last defect entry (96 bytes):
// length, speed, interval, aux4, gain mode, gain, gain delay, low-pass, high-pass, rotation, head
// sample, step, then 10 x {int16 type, float depth}.
void WriteScaleAndDefects(CBinWriter& out, const CPileRecord& rec);
// The 1024 raw samples, little-endian float32.
void WriteRawSamples(CBinWriter& out, const float* raw);

// Reads exactly 5 bytes: 1, 2, 3, or 0 for an unknown magic (the magic read is put into magic).
int ReadVersion(CByteSource& src, std::string* magic = nullptr);
const char* MagicOfVersion(int version); // "ZOV01", "WVF02", "WVF03" or nullptr

bool ReadHeader(CByteSource& src, CProjectHeader& header);
bool WriteHeader(CByteSink& sink, const CProjectHeader& header);

// One record of the given version. On a short read the record holds what was read so far and false
// is returned. Repairs are appended to notes when given.
bool ReadPile(CByteSource& src, CPileRecord& rec, int version, std::vector<std::string>* notes = nullptr);
// One record in the version-3 layout.
bool WritePile(CByteSink& sink, const CPileRecord& rec);

// A whole project file. A file that ends inside record K keeps records 1..K-1. A version-3 file read
// to its last counted record may carry the block after it (core/ProjectBlock.h); a reader that stopped
// early (a count above kMaxPiles, a truncated record) does not look for one.
CReadReport ReadProject(CByteSource& src, CProjectData& out, int* version = nullptr);
CReadReport LoadProjectFile(const std::string& path, CProjectData& out, int* version = nullptr);

// "WVF03", the header (its count taken from piles), every record in order, then the block when a
// record carries a class decision or kept holds sections (only for records unchanged since they were read).
bool WriteProject(CByteSink& sink, const CProjectHeader& header, const std::vector<CPileRecord>& piles,
                  const std::vector<CBlockSection>& kept = {});
// WriteProject into path, atomically. Returns "" or what went wrong; the old file survives a failure.
// *pErrno as WriteFileAtomically gives it.
std::string SaveProjectFile(const std::string& path, const CProjectHeader& header,
                            const std::vector<CPileRecord>& piles, int* pErrno = nullptr,
                            const std::vector<CBlockSection>& kept = {});

// One record in the version-1/2 layout (the processing words and the 40-byte remark at 46..95),
// with its marks or with a mark count of 0.
bool WriteLegacyPile(CByteSink& sink, const CPileRecord& rec, bool withMarks);
// "WVF02", the header (its count taken from piles), every record in the version-2 layout: the file
// the tester conversion produces. Segments, check marks, shift x and zoom are not part of it.
bool WriteProjectV2(CByteSink& sink, const CProjectHeader& header, const std::vector<CPileRecord>& piles);

// The checked piles, given by pile number in list order, as a "ZOV01" file (processing words and
// remark in the 50-byte remark block, no marks). Numbers without a record are skipped.
bool WriteCheckedPiles(CByteSink& sink, const CProjectHeader& header, const std::vector<CPileRecord>& piles,
                       const std::vector<int>& pileNos);

// The two-file merge: records of file 1 numbered 1..N1, then those of file 2 numbered N1+1..N,
// texts of file 1, class decisions with their records (sections of unknown tags are dropped with a
// note: their records moved). Refused (no records) when a magic is unknown, a file is unreadable or
// truncated, or the two hold more than kMaxPiles records together.
CReadReport MergeProjects(CByteSource& file1, CByteSource& file2, CProjectData& out);
CReadReport MergeProjectFiles(const std::string& path1, const std::string& path2, CProjectData& out);

} // namespace pw
