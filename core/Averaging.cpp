// Running mean of the selected records' processed traces.
#include "core/Averaging.h"

#include <cstring>

#include "core/CoreMessages.h"
#include "core/ProjectFile.h"
#include "core/TraceProcessing.h"

namespace pw {
namespace {

CPileRecord* Find(std::vector<CPileRecord>& piles, int pileNo) {
    for (auto& p : piles)
        if (p.m_nPileNo == pileNo) return &p;
    return nullptr;
}

} // namespace

CAverageResult AverageSelected(std::vector<CPileRecord>& piles, const std::vector<int>& selection) {
    CAverageResult result;
    result.m_eCode = EResultCode::Refused; // until the record is added
    if (selection.size() < 2) {
        result.m_strMessage = msg::kSelectSeveral;
        return result;
    }
    const CPileRecord* current = Find(piles, selection.front());
    if (!current) return result;
    if (piles.size() > static_cast<std::size_t>(kMaxPiles)) { // the one spare place is taken already
        result.m_strMessage = msg::kNoEnoughSpace;
        return result;
    }
    const std::string name(FieldText(current->m_szPileName, sizeof current->m_szPileName));

    CPileRecord average;
    float* acc = average.m_fRaw;
    CPileRecord* last = nullptr;
    int i = 0;
    for (int pileNo : selection) {
        CPileRecord* rec = Find(piles, pileNo);
        if (!rec) return result;
        if (std::string(FieldText(rec->m_szPileName, sizeof rec->m_szPileName)) != name) {
            result.m_strMessage = msg::kSameNameOnly;
            return result;
        }
        const float* w = SettleStep(*rec); // each record contributes after its own processing
        ++i;
        for (int k = 0; k < kSamples; ++k) acc[k] = (static_cast<float>(i - 1) * acc[k] + w[k]) / static_cast<float>(i);
        last = rec;
    }

    const CPileRecord& r = *last;
    // The averaged samples are processed traces: they already lag R's raw samples by R's filters'
    // delay, and the new record receives R's filters again. Its head lies that much later.
    const long long head = static_cast<long long>(r.m_nHeadSample) + r.FilterDelay();
    if (!HeadSampleInTrace(head)) {
        result.m_strMessage = msg::kAverageHeadLeavesTrace;
        return result;
    }
    average.CopyParameters(&r);
    std::memcpy(average.m_szPileName, r.m_szPileName, sizeof r.m_szPileName);
    average.m_nDiameter = r.m_nDiameter;
    average.m_nClassDecision = r.m_nClassDecision; // the pile's decision, or the rule when it has none
    average.m_nPileNo = static_cast<int16_t>(piles.size() + 1);
    average.m_nSmooth = 1;
    average.m_nHeadSample = static_cast<int16_t>(head);
    average.m_nFitHeadPoint = average.GetHeadPoint(); // in R's step, which the new record took over
    average.Touch();
    result.m_nNewPileNo = average.m_nPileNo;
    piles.push_back(std::move(average));
    result.m_eCode = EResultCode::Ok;
    return result;
}

} // namespace pw
