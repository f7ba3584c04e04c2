// Marks set at the waveform view's cursor: defects, pre-zero and post-cut, and the spectrum marks.
// Every accepted change marks the project modified (deleting a defect and editing spectrum marks
// included: they are saved with the record, so closing must ask) and redraws the views.
#include <algorithm>

#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"
#include "core/PlotGeometry.h"

namespace pw {
namespace {

// Columns the cursor stands at, relative to what the record's marks are measured from.
struct CursorPlace {
    long long nStep = 1;
    long long nHead = 0;   // head point as drawn (head sample / step), without the horizontal offset
    long long nColumn = 0; // cursor column less the horizontal offset
};

CursorPlace PlaceOf(const CPileRecord& rec, int cursorColumn) {
    CursorPlace p;
    p.nStep = PlotStep(rec);
    p.nHead = PlotHeadPoint(rec);
    p.nColumn = static_cast<long long>(cursorColumn) - rec.m_nShiftX;
    return p;
}

} // namespace

std::string CDEVAzazDoc::AddDefectAtColumn(int kind, int cursorColumn) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const CursorPlace at = PlaceOf(*cur, cursorColumn);
    const auto toe = cur->ToePoint();
    // Without a toe there is no "between": a record that cannot convert refuses like a bad position.
    if (!toe || !(at.nHead < at.nColumn && at.nColumn < at.nHead + *toe))
        return msg::kDefectBetweenHeadAndToe;
    if (cur->GetDefectCount() >= kMaxDefects) return {}; // ten defects: the eleventh is dropped silently
    const auto depth = cur->DepthOfPoint(static_cast<int>(at.nColumn - at.nHead));
    if (!depth) return msg::kDefectBetweenHeadAndToe;
    cur->AddDefect(static_cast<float>(*depth), kind);
    SetModified(true);
    Notify(kChangedRecords);
    return {};
}

bool CDEVAzazDoc::DeleteDefect(int index) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur || !cur->RemoveDefect(index)) return false;
    SetModified(true);
    Notify(kChangedRecords);
    return true;
}

bool CDEVAzazDoc::MoveDefectToColumn(int index, int cursorColumn) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return false;
    const CursorPlace at = PlaceOf(*cur, cursorColumn);
    if (!cur->SetDefectDepthAtPoint(index, static_cast<int>(at.nColumn - at.nHead))) return false;
    SetModified(true);
    Notify(kChangedRecords);
    return true;
}

std::string CDEVAzazDoc::PreZeroAtColumn(int cursorColumn) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const CursorPlace at = PlaceOf(*cur, cursorColumn);
    // Pre-zero counts raw samples: the sample drawn at the cursor was recorded the filters' delay
    // earlier, and so was the head pulse.
    const long long delay = cur->FilterDelay();
    const long long p = at.nStep * at.nColumn - delay;
    if (p < 0 || p > at.nStep * at.nHead - delay) return msg::kPreZeroCursorBeforeHead;
    cur->m_nPreZero = static_cast<int16_t>(p); // at most the head sample: fits
    m_Pending.m_nPreZero = cur->m_nPreZero;
    cur->Touch();
    SetModified(true);
    Notify(kChangedRecords | kChangedEstimate);
    return {};
}

std::string CDEVAzazDoc::PostCutAtColumn(int cursorColumn) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const CursorPlace at = PlaceOf(*cur, cursorColumn);
    const auto toe = cur->ToePoint();
    const long long delay = cur->FilterDelay(); // in raw samples, as for the pre-zero
    const long long q = kSamples - (at.nStep * at.nColumn - delay);
    if (!toe || q < 0 || q > kSamples || q > kSamples - (at.nStep * (at.nHead + *toe) - delay))
        return msg::kPostCutCursorAfterToe;
    cur->m_nPostCut = static_cast<int16_t>(q); // 0..1024
    m_Pending.m_nPostCut = cur->m_nPostCut;
    // The cut changes the processed trace: rebuild it, or the plot keeps the uncut samples.
    cur->Touch();
    SetModified(true);
    Notify(kChangedRecords | kChangedEstimate);
    return {};
}

bool CDEVAzazDoc::AddSpectrumMark(int column) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur || !cur->AddMark(std::clamp(column, -32768, 32767))) return false;
    SetModified(true);
    Notify(kChangedRecords);
    return true;
}

bool CDEVAzazDoc::DeleteSpectrumMark(int index) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur || index < 0 || index >= std::clamp<int>(cur->m_nMarkCount, 0, kMaxMarks)) return false;
    cur->RemoveMark(index);
    SetModified(true);
    Notify(kChangedRecords);
    return true;
}

int CDEVAzazDoc::MoveSpectrumMark(int index, int column) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur || index < 0 || index >= std::clamp<int>(cur->m_nMarkCount, 0, kMaxMarks)) return -1;
    cur->RemoveMark(index);
    cur->AddMark(std::clamp(column, -32768, 32767)); // a place was just freed
    SetModified(true);
    Notify(kChangedRecords);
    return cur->m_nMarkCount - 1;
}

} // namespace pw
