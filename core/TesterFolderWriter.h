// Writing the tester folder that open reads: "idindx.par" and one 4296-byte per-pile file "%d.wvf"
// per pile (the layout is at the top of core/TesterFolder.cpp).
#pragma once

#include <string>
#include <vector>

#include "core/CByteSource.h"
#include "core/CPileRecord.h"

namespace pw {

// "idindx.par": 44 bytes, zero but for the pile count at offset 42.
bool WriteFolderIndex(CByteSink& sink, int count);

// One per-pile file. The folder has no room for the test date, the pile type, the smoothing, the
// display settings and the marks; the remark keeps its first 26 bytes and the info its first 34
// (cut on a character boundary).
bool WritePileFile(CByteSink& sink, const CPileRecord& rec);

// The whole folder into dir (created when missing): idindx.par and 1.wvf .. N.wvf in the order of
// piles, each file written atomically. Returns "" or what went wrong.
std::string SaveTesterFolder(const std::string& dir, const std::vector<CPileRecord>& piles);

} // namespace pw
