// The results table as a .xlsx: sheet "报表1", the six headers, the column widths, one row per
// reported pile: diameter, length and speed as numbers, the rest as text.
#pragma once

#include <string>
#include <vector>

#include "core/CPileRecord.h"
#include "core/CResult.h"

namespace pw::report {

// The rows of the piles at these indices, in this order. Written atomically: Ok, or WriteFailed with
// the Chinese sentence and the English detail (the system's and the library's words).
CResult WriteExcelTable(const std::string& outPath, const std::vector<CPileRecord>& piles,
                        const std::vector<int>& pileIndices);

} // namespace pw::report
