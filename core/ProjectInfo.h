// Editing the project information of the current pile: what the project information dialog shows,
// and how its fields go back into the project header and the piles of the current pile's name.
#pragma once

#include <string>
#include <vector>

#include "core/CDEVAzazDoc.h"
#include "core/CDate.h"

namespace pw {

struct CProjectInfo {
    std::string m_strTestUnit;    // UTF-8; the header keeps 49 bytes of GBK
    std::string m_strProjectName; // the header keeps 19 bytes
    int m_nDiameter = 0;          // mm
    std::string m_strPileName;    // the records keep 9 bytes
    int m_nPileType = -1;         // 0..7, -1 when none is chosen
    CDate m_TestDate;
};

enum class ProjectInfoRead {
    Ready,      // info holds the fields to show
    NoPile,     // nothing to edit: no current pile
    Incomplete, // the pile's test date is not a date: show "数据不完整" and stop
};

// The fields from the project header and the current pile. A stored date of 7 characters or fewer,
// or one whose year, month and day make no calendar date, is incomplete.
ProjectInfoRead ReadProjectInfo(CDEVAzazDoc& doc, CProjectInfo& info);

// After OK: the unit and project name into the header; the pile name, the date, the diameter and the
// pile type into every pile named like the current pile (names trimmed at both ends, taken before
// the change), walking by pile number from the current pile up to the last; piles of that name with
// a smaller number stay as they are. Texts are cut at character boundaries. Returns the pile numbers
// changed and marks the document modified.
std::vector<int> StoreProjectInfo(CDEVAzazDoc& doc, const CProjectInfo& info);

} // namespace pw
