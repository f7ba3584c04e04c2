// Averaging several tests of one pile into a new record appended to the project.
#pragma once

#include <string>
#include <vector>

#include "core/CPileRecord.h"
#include "core/CResult.h"

namespace pw {

// Ok when the record was added; otherwise Refused, with the refusal to show or "" (a missing pile
// stops silently).
struct CAverageResult : CResult {
    int m_nNewPileNo = 0; // pile number of the appended record
};

// Averages the processed traces of the selected piles (pile numbers, the first is the current pile)
// into a new record appended to piles: a running mean in selection order, completed with the
// parameters of the last averaged record R; its head is R's head plus R's filters' delay, which its
// samples already carry. Refusals leave piles unchanged: "请选择多个记录！" with fewer than two,
// "请选择相同名字的桩" when a name differs from the current pile's (compared exactly), and
// kAverageHeadLeavesTrace when that head would lie past the trace's end.
CAverageResult AverageSelected(std::vector<CPileRecord>& piles, const std::vector<int>& selection);

} // namespace pw
