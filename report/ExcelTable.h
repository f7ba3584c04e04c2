// The results table as a .xlsx: sheet "报表1", the six headers, the column widths, one row per
// reported pile: diameter, length and speed as numbers, the rest as text.
#pragma once

#include <string>
#include <vector>

#include "core/CPileRecord.h"

namespace pw::report {

// The rows of the piles at these indices, in this order. Written atomically; "" or why not, as a
// Chinese sentence (the technical detail in English in *pDetail when given).
std::string WriteExcelTable(const std::string& outPath, const std::vector<CPileRecord>& piles,
                            const std::vector<int>& pileIndices, std::string* pDetail = nullptr);

} // namespace pw::report
