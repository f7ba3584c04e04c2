// The pending parameter set and the commands that apply it: scopes, length/speed derivation with its
// fallbacks, pre-zero, post-cut, smoothing, head and toe, averaging.
#include <cmath>
#include <cstring>

#include "core/Averaging.h"
#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"
#include "core/PileOrder.h"
#include "core/PlotGeometry.h"

namespace pw {
namespace {

bool LengthInRange(double v) { return v >= 0.5 && v <= 200.0; } // false for NaN
bool SpeedInRange(long long v) { return v >= 100 && v <= 10000; }

} // namespace

void CDEVAzazDoc::LoadPending(int pileNo) {
    CEstimateState& bar = Estimate();
    if (pileNo == -1) {
        m_Pending = PendingParams::Reset();
    } else if (const CPileRecord* p = FindPile(pileNo)) {
        m_Pending.m_fLowPass = p->m_fLowPass;
        m_Pending.m_fHighPass = p->m_fHighPass;
        m_Pending.m_nLowPassPasses = p->m_nLowPassPasses;
        m_Pending.m_fGainDelay = p->m_fGainDelay;
        m_Pending.m_fGain = p->m_fGain;
        m_Pending.m_nRotate = p->m_nRotate;
        m_Pending.m_nGainMode = p->m_nGainMode;
        m_Pending.m_bIntegrate = p->m_bIntegrate;
        m_Pending.m_nPreZero = p->m_nPreZero;
        m_Pending.m_nPostCut = p->m_nPostCut;
        m_Pending.m_nShiftY = p->m_nShiftY;
        m_Pending.m_nShiftX = p->m_nShiftX;
        m_Pending.m_nZoom = p->m_nZoom;
        m_Pending.m_nSegmentsKept = p->GetSegmentCount();
        m_Pending.m_nSmooth = p->m_nSmooth;
        bar.m_fLength = p->m_fPileLength;
        bar.m_nSpeed = p->m_nWaveSpeed;
    }
    Notify(kChangedEstimate);
}

std::vector<int> CDEVAzazDoc::ScopePiles(const std::string& scope) {
    std::vector<int> out;
    const CPileRecord* current = GetCurrentPile();
    if (scope == kScopeCurrent) {
        if (current) out.push_back(current->m_nPileNo);
    } else if (scope == kScopeGroup) {
        if (!current) return out;
        const std::string name = TrimmedPileName(*current);
        for (const auto& p : m_Piles)
            if (TrimmedPileName(p) == name) out.push_back(p.m_nPileNo);
    } else if (scope == kScopeAll) {
        for (const auto& p : m_Piles) out.push_back(p.m_nPileNo);
    }
    return out;
}

void CDEVAzazDoc::ApplyPending() {
    SetModified(true);
    for (int pileNo : ScopePiles(Estimate().m_strScope)) ApplyPendingTo(pileNo);
    Notify(kChangedRecords | kChangedEstimate);
}

void CDEVAzazDoc::ApplyPendingTo(int pileNo) {
    CPileRecord* rec = FindPile(pileNo);
    if (!rec) return;
    CEstimateState& bar = Estimate();
    // The bar's fields change in place, so a fallback taken for one record carries into the records
    // after it in the same run.
    if (bar.m_bLengthEntered) {
        if (bar.m_fLength == rec->m_fPileLength) {
            // Re-deriving through the toe (whole display points) would drift a speed nobody changed.
            bar.m_nSpeed = rec->m_nWaveSpeed;
        } else {
            const auto speed = rec->SpeedFromLength(bar.m_fLength);
            if (speed && SpeedInRange(*speed)) // checked before it is narrowed to 16 bits
                bar.m_nSpeed = static_cast<int16_t>(*speed);
            else
                bar.m_fLength = rec->m_fPileLength;
        }
    } else {
        if (bar.m_nSpeed == rec->m_nWaveSpeed) {
            bar.m_fLength = rec->m_fPileLength; // likewise: a plain filter change keeps the length
        } else {
            const auto length = rec->LengthFromSpeed(bar.m_nSpeed);
            if (length && LengthInRange(*length))
                bar.m_fLength = static_cast<float>(*length);
            else
                bar.m_nSpeed = rec->m_nWaveSpeed;
        }
    }
    if (m_Pending.m_fGainDelay > 0.8f * bar.m_fLength) m_Pending.m_fGainDelay = 0.8f * bar.m_fLength;

    WriteBarAndPending(*rec, bar);
    if (m_Pending.m_nSegmentsKept == 0) rec->ClearSegments();
    rec->m_nShiftX = m_Pending.m_nShiftX;
    rec->m_nZoom = m_Pending.m_nZoom;
    rec->m_nSmooth = static_cast<int16_t>(m_Pending.m_nSmooth);
    rec->SetDirty(); // rebuilt when next drawn, not now
}

void CDEVAzazDoc::WriteBarAndPending(CPileRecord& rec, const CEstimateState& bar) const {
    rec.m_fPileLength = bar.m_fLength;
    rec.m_nWaveSpeed = bar.m_nSpeed;
    rec.m_fLowPass = m_Pending.m_fLowPass;
    rec.m_fHighPass = m_Pending.m_fHighPass;
    rec.m_fGain = m_Pending.m_fGain;
    rec.m_fGainDelay = m_Pending.m_fGainDelay;
    rec.m_nGainMode = static_cast<int16_t>(m_Pending.m_nGainMode);
    rec.m_nRotate = m_Pending.m_nRotate;
    rec.m_bIntegrate = static_cast<int16_t>(m_Pending.m_bIntegrate);
    rec.m_nLowPassPasses = m_Pending.m_nLowPassPasses;
    rec.m_nPreZero = m_Pending.m_nPreZero;
    rec.m_nPostCut = m_Pending.m_nPostCut;
    rec.m_nShiftY = m_Pending.m_nShiftY;
}

void CDEVAzazDoc::RestoreParameters() {
    if (m_bTrain) return;
    LoadPending(-1);
    ApplyPending();
}

std::string CDEVAzazDoc::PreZero(int value) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const long long limit = static_cast<long long>(cur->m_nStep) * PlotHeadPoint(*cur) + cur->m_nShiftX;
    if (value > limit || value < 0) return msg::kPreZeroBeforeHead; // the pending value stays as it was
    m_Pending.m_nPreZero = static_cast<int16_t>(value);
    ApplyPending();
    return {};
}

std::string CDEVAzazDoc::PostCut(int value) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const auto toe = cur->ToePoint();
    const long long s = cur->m_nStep;
    // Without a toe (no usable length, speed or interval) there is nothing to cut after.
    if (!toe || 1024 - s * *toe - s * PlotHeadPoint(*cur) < value || value < 0) return msg::kPostCutAfterToe;
    m_Pending.m_nPostCut = static_cast<int16_t>(value);
    ApplyPending();
    return {};
}

std::string CDEVAzazDoc::Smoothing(int value) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    if (value < 1 || value > 32) return msg::kSmoothRange;
    cur->m_nSmooth = static_cast<int16_t>(value);
    m_Pending.m_nSmooth = value;
    ApplyPending();
    return {};
}

std::string CDEVAzazDoc::SetHeadAtColumn(int cursorColumn) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const int head = PlotHeadPoint(*cur);
    const int toe = cur->ToePoint().value_or(0);
    const int column = cursorColumn - cur->m_nShiftX;
    if (column >= head + toe) return msg::kHeadAfterToe;
    // The stored head sample must lie on the trace, or every plot would draw it somewhere else.
    const long long sample = 1LL * cur->m_nStep * column;
    if (sample < 0 || sample >= kSamples) return msg::kHeadOutsideTrace;
    cur->SetHeadPoint(column);
    cur->SetDirty();
    SetModified(true);
    Notify(kChangedRecords);
    return {};
}

std::string CDEVAzazDoc::SetToeAtColumn(int cursorColumn, bool fromMenu) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    CEstimateState& bar = Estimate();
    const int head = PlotHeadPoint(*cur);
    const int r = cursorColumn - head - cur->m_nShiftX;
    // A toe at or above the head would give a length of zero or less, or a speed that divides by
    // zero: refused whichever value the toe sets.
    if (head >= cursorColumn - cur->m_nShiftX) return msg::kToeBeforeHead;
    if (bar.LastEntered() == 1) { // the speed was entered last: the toe sets the length
        const auto length = cur->DepthOfPoint(r);
        if (!length || !LengthInRange(*length)) return msg::kLengthRange;
        cur->m_fPileLength = static_cast<float>(*length);
        if (fromMenu) bar.m_fLength = cur->m_fPileLength;
    } else {
        const auto speed = cur->SpeedFromToePoint(r);
        if (!speed || !SpeedInRange(*speed)) return msg::kSpeedRange; // would not fit its 16 bits sensibly
        cur->m_nWaveSpeed = static_cast<int16_t>(*speed);
        bar.m_nSpeed = cur->m_nWaveSpeed;
    }
    cur->SetDirty();
    SetModified(true);
    Notify(kChangedRecords | kChangedEstimate);
    return {};
}

std::string CDEVAzazDoc::AverageSelection() {
    const CAverageResult result = AverageSelected(m_Piles, m_nSelection);
    if (!result.m_bAdded) return result.m_strMessage;
    m_Piles.back().m_bRemoveDC = m_bRemoveDC;
    m_Header.m_nPileCount = static_cast<int16_t>(m_Piles.size());
    m_nSelection.clear(); // the averaged rows are deselected; the new record is current
    SetCurrentPile(GetPileCount() - 1);
    LoadPending(result.m_nNewPileNo);
    SetModified(true);
    Notify(kChangedRecords | kChangedCurrent);
    return {};
}

} // namespace pw
