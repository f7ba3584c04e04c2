// Commits of the estimate bar's length and speed, and the scope change.
#include "core/CEstimateState.h"

#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"

namespace pw {

std::string CEstimateState::CommitLength(CDEVAzazDoc* doc, float value) {
    m_nLastEntered = 0;
    if (!doc) return {};
    const float previous = m_fLength;
    if (!(value >= 0.5f && value <= 200.0f)) return msg::kLengthRange; // NaN fails too; m_fLength unchanged
    m_fLength = value;
    m_bLengthEntered = 1;
    if (m_fLength != previous) doc->ApplyPending();
    return {};
}

std::string CEstimateState::CommitSpeed(CDEVAzazDoc* doc, int value) {
    m_nLastEntered = 1;
    if (!doc) return {};
    const int16_t previous = m_nSpeed;
    if (value < 100 || value > 10000) return msg::kSpeedRange;
    m_nSpeed = static_cast<int16_t>(value);
    m_bLengthEntered = 0;
    if (m_nSpeed != previous) doc->ApplyPending();
    return {};
}

std::string CEstimateState::ScopeChanged(CDEVAzazDoc* doc, const std::string& scope) {
    if (!doc) return {};
    doc->SetModified(true);
    m_strScope = scope;
    // Nothing is derived here, but nothing impossible is stored either: a length or speed outside the
    // commits' ranges (0 before anything was entered, a negative typed value) is not written, and
    // each record keeps its own.
    const bool lengthOk = m_fLength >= 0.5f && m_fLength <= 200.0f;
    const bool speedOk = m_nSpeed >= 100 && m_nSpeed <= 10000;
    PendingParams& pending = doc->m_Pending;
    for (int pileNo : doc->ScopePiles(scope)) {
        CPileRecord* rec = doc->FindPile(pileNo);
        if (!rec) continue;
        if (lengthOk && 0.8f * m_fLength < pending.m_fGainDelay) pending.m_fGainDelay = 0.8f * m_fLength;
        const float ownLength = rec->m_fPileLength;
        const int16_t ownSpeed = rec->m_nWaveSpeed;
        doc->WriteBarAndPending(*rec, *this); // the amplified segments, shifts, zoom and smoothing stay
        if (!lengthOk) rec->m_fPileLength = ownLength;
        if (!speedOk) rec->m_nWaveSpeed = ownSpeed;
        rec->SetDirty();
    }
    doc->Notify(kChangedRecords | kChangedEstimate);
    if (!lengthOk) return msg::kLengthRange;
    if (!speedOk) return msg::kSpeedRange;
    return {};
}

} // namespace pw
