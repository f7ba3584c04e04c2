// What the pile list shows and in which order it hands rows to the document, without widgets:
// the trimmed pile name, the date column, and the byte-wise name order of selected rows.
#pragma once

#include <string>
#include <vector>

#include "core/CDEVAzazDoc.h"

namespace pw {

struct CRowPile {
    int nPileNo; // the record's pile number
    int nRow;    // the list row
    bool operator==(const CRowPile&) const = default;
};

std::string TrimmedPileName(const CPileRecord& rec); // GBK bytes, blanks removed at both ends
// The date column: characters 0-3, "-", 5-6, "-", 8-9 of the stored text (parts missing when short).
std::string ListDateText(const CPileRecord& rec);
// Rows sorted ascending by trimmed pile name compared byte-wise; equal names keep list order.
// A row whose pile number has no record sorts as an empty name.
std::vector<CRowPile> SortByPileName(CDEVAzazDoc& doc, std::vector<CRowPile> rows);

} // namespace pw
