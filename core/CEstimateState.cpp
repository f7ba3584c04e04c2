// Commits of the estimate bar's length and speed, and the scope change.
#include "core/CEstimateState.h"

#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"

namespace pw {

std::string CEstimateState::CommitLength(CDEVAzazDoc* doc, float value) {
    m_nLastEntered = 0;
    if (!doc) return {};
    const float previous = m_fLength;
    const int previousMode = m_bLengthEntered;
    if (!(value >= 0.5f && value <= 200.0f)) return msg::kLengthRange; // NaN fails too; m_fLength unchanged
    m_fLength = value;
    m_bLengthEntered = 1;
    if (m_fLength == previous) return {};
    std::string refusal = doc->ApplyPending();
    if (!refusal.empty()) m_fLength = previous, m_bLengthEntered = previousMode; // nothing was applied
    return refusal;
}

std::string CEstimateState::CommitSpeed(CDEVAzazDoc* doc, int value) {
    m_nLastEntered = 1;
    if (!doc) return {};
    const int16_t previous = m_nSpeed;
    const int previousMode = m_bLengthEntered;
    if (value < 100 || value > 10000) return msg::kSpeedRange;
    m_nSpeed = static_cast<int16_t>(value);
    m_bLengthEntered = 0;
    if (m_nSpeed == previous) return {};
    std::string refusal = doc->ApplyPending();
    if (!refusal.empty()) m_nSpeed = previous, m_bLengthEntered = previousMode;
    return refusal;
}

std::string CEstimateState::ScopeChanged(CDEVAzazDoc* doc, const std::string& scope) {
    if (!doc) return {};
    m_strScope = scope;
    return doc->WriteBarToScope(*this, scope);
}

} // namespace pw
