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

void CEstimateState::ScopeChanged(CDEVAzazDoc* doc, const std::string& scope) {
    if (!doc) return;
    doc->SetModified(true);
    m_strScope = scope;
    PendingParams& pending = doc->m_Pending;
    for (int pileNo : doc->ScopePiles(scope)) {
        CPileRecord* rec = doc->FindPile(pileNo);
        if (!rec) continue;
        if (0.8f * m_fLength < pending.m_fGainDelay) pending.m_fGainDelay = 0.8f * m_fLength;
        doc->WriteBarAndPending(*rec, *this); // the amplified segments, shifts, zoom and smoothing stay
        rec->SetDirty();
    }
    doc->Notify(kChangedRecords | kChangedEstimate);
}

} // namespace pw
