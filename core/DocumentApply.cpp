// The pending parameter set and the commands that apply it: scopes, length/speed derivation with its
// fallbacks, pre-zero, post-cut, smoothing, head and toe, averaging.
#include <cmath>
#include <cstring>
#include <optional>

#include "core/Averaging.h"
#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"
#include "core/PileOrder.h"
#include "core/PlotGeometry.h"

namespace pw {
namespace {

bool LengthInRange(double v) { return v >= 0.5 && v <= 200.0; } // false for NaN
bool SpeedInRange(long long v) { return v >= 100 && v <= 10000; }

struct LengthSpeed {
    float m_fLength = 0.f;
    int16_t m_nSpeed = 0;
};

// The length and speed a record takes when one of them is given and its toe stays where it is: a
// length derives the speed (lengthMode), a speed derives the length. nullopt when the derived value
// is out of range. A value equal to the record's own derives nothing: re-deriving through the toe
// (whole display points) would drift a value nobody changed.
std::optional<LengthSpeed> KeepToe(const CPileRecord& rec, bool lengthMode, float length, int16_t speed) {
    if (lengthMode) {
        if (length == rec.m_fPileLength) return LengthSpeed{rec.m_fPileLength, rec.m_nWaveSpeed};
        const auto derived = rec.SpeedFromLength(length);
        if (!derived || !SpeedInRange(*derived)) return std::nullopt; // checked before it is narrowed to 16 bits
        return LengthSpeed{length, static_cast<int16_t>(*derived)};
    }
    if (speed == rec.m_nWaveSpeed) return LengthSpeed{rec.m_fPileLength, rec.m_nWaveSpeed};
    const auto derived = rec.LengthFromSpeed(speed);
    if (!derived || !LengthInRange(*derived)) return std::nullopt;
    return LengthSpeed{static_cast<float>(*derived), speed};
}

// The bar's length and speed for one record of an apply. The bar's fields change in place, so a
// fallback taken for one record carries into the records after it in the same run.
void SettleBar(const CPileRecord& rec, CEstimateState& bar) {
    const bool lengthMode = bar.m_bLengthEntered != 0;
    if (const auto kept = KeepToe(rec, lengthMode, bar.m_fLength, bar.m_nSpeed)) {
        bar.m_fLength = kept->m_fLength;
        bar.m_nSpeed = kept->m_nSpeed;
    } else if (lengthMode) {
        bar.m_fLength = rec.m_fPileLength;
    } else {
        bar.m_nSpeed = rec.m_nWaveSpeed;
    }
}

bool LengthUsable(float v) { return v >= 0.5f && v <= 200.0f; }
bool SpeedUsable(int v) { return v >= 100 && v <= 10000; }

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

std::optional<int> CDEVAzazDoc::HeadAfterPending(const CPileRecord& rec, float length, int16_t speed) const {
    const int before = rec.FilterDelay();
    const int after = CPileRecord::CanProcess(rec.m_fSampleInterval, speed, length)
                          ? FilterDelayOf(m_Pending.m_fLowPass, m_Pending.m_nLowPassPasses, m_Pending.m_fHighPass,
                                          rec.m_fSampleInterval)
                          : 0;
    // An unchanged delay moves nothing, whatever the file holds for the head.
    if (after == before) return rec.m_nHeadSample;
    const long long head = static_cast<long long>(rec.m_nHeadSample) + after - before;
    if (!HeadSampleInTrace(head)) return std::nullopt;
    return static_cast<int>(head);
}

std::string CDEVAzazDoc::ApplyPending() {
    const std::vector<int> scope = ScopePiles(Estimate().m_strScope);
    // Every record is tried on a copy of the bar first, so a refusal leaves the project, the bar and
    // the pending set exactly as they were.
    CEstimateState trial = Estimate();
    for (int pileNo : scope) {
        const CPileRecord* rec = FindPile(pileNo);
        if (!rec) continue;
        SettleBar(*rec, trial);
        if (!HeadAfterPending(*rec, trial.m_fLength, trial.m_nSpeed)) return msg::kHeadLeavesTrace;
    }
    SetModified(true);
    for (int pileNo : scope) ApplyPendingTo(pileNo);
    Notify(kChangedRecords | kChangedEstimate);
    return {};
}

std::string CDEVAzazDoc::ApplyPendingTo(int pileNo) {
    CPileRecord* rec = FindPile(pileNo);
    if (!rec) return {};
    CEstimateState& bar = Estimate();
    CEstimateState settled = bar;
    SettleBar(*rec, settled);
    if (!HeadAfterPending(*rec, settled.m_fLength, settled.m_nSpeed)) return msg::kHeadLeavesTrace;
    bar.m_fLength = settled.m_fLength;
    bar.m_nSpeed = settled.m_nSpeed;
    if (m_Pending.m_fGainDelay > 0.8f * bar.m_fLength) m_Pending.m_fGainDelay = 0.8f * bar.m_fLength;

    WriteBarAndPending(*rec, bar.m_fLength, bar.m_nSpeed);
    if (m_Pending.m_nSegmentsKept == 0) rec->ClearSegments();
    rec->m_nShiftX = m_Pending.m_nShiftX;
    rec->m_nZoom = m_Pending.m_nZoom;
    rec->m_nSmooth = static_cast<int16_t>(m_Pending.m_nSmooth);
    rec->Touch(); // rebuilt when next drawn, not now
    return {};
}

bool CDEVAzazDoc::WriteBarAndPending(CPileRecord& rec, float length, int16_t speed) const {
    const auto head = HeadAfterPending(rec, length, speed);
    if (!head) return false;
    // The stored head sample is where the head pulse lies on the trace as drawn: when the filters'
    // delay changes, the pulse moves by the change and the head (with toe and defects, measured from
    // it) moves along. Pre-zero and post-cut count raw samples and stay.
    rec.m_nHeadSample = static_cast<int16_t>(*head);
    rec.m_fPileLength = length;
    rec.SetSpeedKeepingTimes(speed); // the toe's time is kept by the caller's length, the defects' here
    rec.m_fLowPass = m_Pending.m_fLowPass;
    rec.m_fHighPass = m_Pending.m_fHighPass;
    rec.m_fGain = m_Pending.m_fGain;
    rec.m_fGainDelay = m_Pending.m_fGainDelay; // a depth below the head: it stays one
    rec.m_nGainMode = static_cast<int16_t>(m_Pending.m_nGainMode);
    rec.m_nRotate = m_Pending.m_nRotate;
    rec.m_bIntegrate = static_cast<int16_t>(m_Pending.m_bIntegrate);
    rec.m_nLowPassPasses = m_Pending.m_nLowPassPasses;
    rec.m_nPreZero = m_Pending.m_nPreZero;
    rec.m_nPostCut = m_Pending.m_nPostCut;
    rec.m_nShiftY = m_Pending.m_nShiftY;
    return true;
}

std::string CDEVAzazDoc::WriteBarToScope(const CEstimateState& bar, const std::string& scope) {
    // A length or speed no commit would accept (0 before anything was entered, a negative typed
    // value) is not used: each record then keeps its own.
    const bool lengthOk = LengthUsable(bar.m_fLength);
    const bool speedOk = SpeedUsable(bar.m_nSpeed);
    const std::vector<int> piles = ScopePiles(scope);
    // The bar's speed with each record's toe kept where it is: the length follows the speed, and a
    // record whose length would leave its range keeps both.
    auto settle = [&](const CPileRecord& rec) {
        LengthSpeed own{rec.m_fPileLength, rec.m_nWaveSpeed};
        if (!speedOk) return own;
        return KeepToe(rec, false, rec.m_fPileLength, bar.m_nSpeed).value_or(own);
    };
    for (int pileNo : piles) {
        const CPileRecord* rec = FindPile(pileNo);
        if (!rec) continue;
        const LengthSpeed ls = settle(*rec);
        if (!HeadAfterPending(*rec, ls.m_fLength, ls.m_nSpeed)) return msg::kHeadLeavesTrace;
    }
    SetModified(true);
    for (int pileNo : piles) {
        CPileRecord* rec = FindPile(pileNo);
        if (!rec) continue;
        if (lengthOk && 0.8f * bar.m_fLength < m_Pending.m_fGainDelay) m_Pending.m_fGainDelay = 0.8f * bar.m_fLength;
        const LengthSpeed ls = settle(*rec);
        WriteBarAndPending(*rec, ls.m_fLength, ls.m_nSpeed); // the segments, shifts, zoom and smoothing stay
        rec->Touch();
    }
    Notify(kChangedRecords | kChangedEstimate);
    if (!lengthOk) return msg::kLengthRange;
    if (!speedOk) return msg::kSpeedRange;
    return {};
}

std::string CDEVAzazDoc::RestoreParameters() {
    if (m_bTrain) return {};
    const PendingParams before = m_Pending;
    LoadPending(-1);
    std::string refusal = ApplyPending();
    if (!refusal.empty()) {
        m_Pending = before;
        Notify(kChangedEstimate);
    }
    return refusal;
}

std::string CDEVAzazDoc::PreZero(int value) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    // Pre-zero counts raw samples (it acts before the filters): it must end before the head pulse
    // as recorded, which lies the filters' delay before the head on the drawn trace.
    const long long limit =
        static_cast<long long>(cur->m_nStep) * PlotHeadPoint(*cur) - cur->FilterDelay() + cur->m_nShiftX;
    if (value > limit || value < 0) return msg::kPreZeroBeforeHead; // the pending value stays as it was
    const int16_t before = m_Pending.m_nPreZero;
    m_Pending.m_nPreZero = static_cast<int16_t>(value);
    std::string refusal = ApplyPending();
    if (!refusal.empty()) m_Pending.m_nPreZero = before;
    return refusal;
}

std::string CDEVAzazDoc::PostCut(int value) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    const auto toe = cur->ToePoint();
    const long long s = cur->m_nStep;
    // Likewise in raw samples: the toe echo as recorded lies the filters' delay before the drawn toe.
    const long long rawToe = s * (toe ? *toe : 0) + s * PlotHeadPoint(*cur) - cur->FilterDelay();
    // Without a toe (no usable length, speed or interval) there is nothing to cut after.
    if (!toe || kSamples - rawToe < value || value < 0) return msg::kPostCutAfterToe;
    const int16_t before = m_Pending.m_nPostCut;
    m_Pending.m_nPostCut = static_cast<int16_t>(value);
    std::string refusal = ApplyPending();
    if (!refusal.empty()) m_Pending.m_nPostCut = before;
    return refusal;
}

std::string CDEVAzazDoc::Smoothing(int value) {
    CPileRecord* cur = GetCurrentPile();
    if (!cur) return {};
    if (value < 1 || value > 32) return msg::kSmoothRange;
    const int16_t own = cur->m_nSmooth;
    const int before = m_Pending.m_nSmooth;
    cur->m_nSmooth = static_cast<int16_t>(value);
    m_Pending.m_nSmooth = value;
    std::string refusal = ApplyPending();
    if (!refusal.empty()) cur->m_nSmooth = own, m_Pending.m_nSmooth = before;
    return refusal;
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
    cur->Touch();
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
        cur->SetSpeedKeepingTimes(*speed); // the defects stay on their echoes; their depths follow
        bar.m_nSpeed = cur->m_nWaveSpeed;
    }
    cur->Touch();
    SetModified(true);
    Notify(kChangedRecords | kChangedEstimate);
    return {};
}

std::string CDEVAzazDoc::AverageSelection() {
    const CAverageResult result = AverageSelected(m_Piles, m_nSelection);
    if (!result.Ok()) return result.m_strMessage;
    m_Piles.back().m_bRemoveDC = m_bRemoveDC;
    m_bRecordsReshaped = true;
    m_Header.m_nPileCount = static_cast<int16_t>(m_Piles.size());
    m_nSelection.clear(); // the averaged rows are deselected; the new record is current
    SetCurrentPile(GetPileCount() - 1);
    LoadPending(result.m_nNewPileNo);
    SetModified(true);
    Notify(kChangedRecords | kChangedCurrent);
    return {};
}

} // namespace pw
