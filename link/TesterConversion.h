// Conversion of one tester site folder (wvf.par, pindex.par, 1.wvf ... n.wvf) into one "WVF02"
// project file.
#pragma once

#include "core/CByteSource.h"
#include "core/CProjectHeader.h"
#include "core/CResult.h"

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace pw {

inline constexpr size_t kInstrumentRecordSize = 4338; // a tester record file
inline constexpr size_t kWvf02RecordSize = 4340;      // the converted record (no marks)

// The work area of a conversion: one tester record as read, reused from record to record (a short
// record file leaves the fields of the one before beyond its end, as the tester's own reader does).
struct SInstrumentWorkArea {
    uint8_t m_Image[kInstrumentRecordSize] = {};
};

// Reads "wvf.par" (72 bytes: int16 record count, 50-byte test unit, 20-byte project name). False
// when it cannot be opened; a short file leaves the missing fields zero.
bool ReadFolderParameters(const std::string& szPath, CProjectHeader& header);
// The same from bytes already at hand (true: a source can always be read, if only as empty).
bool ReadFolderParameters(CByteSource& src, CProjectHeader& header);

// Reads one tester record file into the work area and converts it into the WVF02 record layout:
// integrate kept if 0 or 1 (else 0), low-pass passes clamped to 1..5, pre-zero, post-cut and shift-y
// written as 0, the 46-byte remark cut to 40, a mark count of 0; everything else copied. Before the
// read the sample area is cleared and the 46- and 50-byte text areas are preset to "qelvora".
// False when the file cannot be opened.
bool ReadInstrumentRecord(const std::string& szPath, SInstrumentWorkArea& work,
                          uint8_t (&record)[kWvf02RecordSize]);
// The same from bytes already at hand (always true).
bool ReadInstrumentRecord(CByteSource& src, SInstrumentWorkArea& work, uint8_t (&record)[kWvf02RecordSize]);

// Ok when every announced record arrived, Partial when the file was written without some of them,
// otherwise a failure (ReadFailed: not tester data; WriteFailed: the target could not be written).
struct CConvertResult : CResult {
    CConvertResult() { m_eCode = EResultCode::Failed; } // nothing written until the conversion says so
    int m_nRecords = 0;         // records in it (the header count says the same)
    int m_nExpected = 0;        // records "wvf.par" announced
    std::vector<int> m_Missing; // numbers of the record files that could not be read or were short
    // Record files shorter than a record (names as found in the folder): counted as missing, not
    // converted and left in the folder, so that what the tester sent can still be recovered.
    std::vector<std::string> m_ShortFiles;
    bool Complete() const { return Ok(); }
};

// Converts the tester files in szFolder (with a trailing "/" or not) into szTarget. The files read
// are deleted afterwards; files the conversion does not take (short record files, records beyond
// the count, anything else) stay in the folder. File names are matched without regard to letter
// case ("WVF.PAR", "1.WVF" from a DOS storage). A record file shorter than a record is a missing
// record: a pile made of it would carry the presets or the record before's values over a blank
// trace. The target is written under a temporary name and renamed only when complete; its header
// count is the number of records actually written. onLog receives the log texts
// ("\r\nParameter file open error!\r\n", "\r\nTarget file open error!\r\n", "\r\nShort record file
// ...", "转换文件打开错误!\r\n").
CConvertResult ConvertFolder(const std::string& szFolder, const std::string& szTarget,
                             const std::function<void(const std::string&)>& onLog);

} // namespace pw

namespace pw {

// Reads the tester's site list (RSITE.PAR: int16 count, then 47-byte zero-terminated GBK names).
// False when it cannot be opened; a short file yields the names that are complete.
bool ReadSiteList(const std::string& szPath, std::vector<std::string>& sites);
// The same from bytes already at hand (always true).
bool ReadSiteList(CByteSource& src, std::vector<std::string>& sites);

} // namespace pw
