// Site speed by rounds of exclusion, and the speed-only edit.
#include "core/SiteSpeed.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/GbkText.h"
#include "core/PileOrder.h"
#include "core/ReportContent.h"
#include "core/TextFormat.h"
#include "dsp/Round1.h"

namespace pw {
namespace {

bool ToeDefined(const CPileRecord& rec) {
    return rec.m_fPileLength >= 0.5f && rec.m_fPileLength <= 200.0f && rec.m_nWaveSpeed >= 100 &&
           rec.m_nWaveSpeed <= 10000;
}

} // namespace

CSiteSpeedResult ComputeSiteSpeed(const std::vector<CPileRecord>& piles, const std::vector<int>& indices) {
    CSiteSpeedResult r;
    std::vector<int> chosen = indices;
    if (chosen.empty())
        for (std::size_t i = 0; i < piles.size(); ++i)
            chosen.push_back(static_cast<int>(i));

    // Group the records by trimmed pile name: repeated blows of one pile count once.
    for (int index : chosen) {
        if (index < 0 || index >= static_cast<int>(piles.size())) continue;
        const CPileRecord& rec = piles[static_cast<std::size_t>(index)];
        // The engineer's decision counts over the rule: only piles of class Ⅰ give the site's speed.
        const std::string name = GbkToUtf8(TrimmedPileName(rec));
        auto it = std::find_if(r.m_Piles.begin(), r.m_Piles.end(), [&](const CSpeedPile& p) { return p.m_strName == name; });
        if (it == r.m_Piles.end()) {
            r.m_Piles.push_back(CSpeedPile{name, {}, 0, kClassI, true, 0, 0, 0, {}});
            it = r.m_Piles.end() - 1;
        }
        it->m_RecordIndices.push_back(index);
        it->m_nClass = WorsePileClass(it->m_nClass, PileClassOf(rec));
        if (!ToeDefined(rec)) {
            it->m_bCandidate = false;
            it->m_strWhy = "桩底未确定（桩长或波速超出范围）";
        }
    }
    for (CSpeedPile& p : r.m_Piles) {
        // A pile is counted once, in its worst class, however many blows it was recorded with.
        ++r.m_nClassCounts[static_cast<std::size_t>(p.m_nClass - 1)];
        double sum = 0;
        for (int index : p.m_RecordIndices)
            sum += piles[static_cast<std::size_t>(index)].m_nWaveSpeed;
        p.m_fSpeed = sum / static_cast<double>(p.m_RecordIndices.size());
        if (p.m_nClass != kClassI) {
            p.m_bCandidate = false;
            p.m_strWhy = std::string("完整性类别为") + PileClassText(p.m_nClass) + "类";
        }
    }

    // Rounds: every remaining speed more than 5 % away from the mean of the remaining set goes, all
    // of them together; the mean is taken again, until a round excludes none.
    auto meanOfUsed = [&](int& n) {
        double sum = 0;
        n = 0;
        for (const CSpeedPile& p : r.m_Piles)
            if (p.m_bCandidate && p.m_nExcludedInRound == 0) sum += p.m_fSpeed, ++n;
        return n > 0 ? sum / n : 0.0;
    };
    while (true) {
        int n = 0;
        const double mean = meanOfUsed(n);
        if (n == 0) break;
        std::vector<CSpeedPile*> out;
        for (CSpeedPile& p : r.m_Piles)
            if (p.m_bCandidate && p.m_nExcludedInRound == 0 && std::fabs(p.m_fSpeed - mean) / mean > kSiteSpeedTolerance)
                out.push_back(&p);
        if (out.empty()) break;
        ++r.m_nRounds;
        for (CSpeedPile* p : out) {
            p->m_nExcludedInRound = r.m_nRounds;
            p->m_fRoundMean = mean;
            p->m_strWhy = Format("第%d轮剔除：%.0fm/s偏离均值%.1fm/s的%+.1f%%，超过±5%%", r.m_nRounds, p->m_fSpeed, mean,
                                 (p->m_fSpeed - mean) / mean * 100.0);
        }
    }
    r.m_fMean = meanOfUsed(r.m_nUsed);
    if (r.m_nUsed > 0) {
        double sq = 0;
        r.m_fMin = 1e30, r.m_fMax = -1e30;
        for (const CSpeedPile& p : r.m_Piles)
            if (p.m_bCandidate && p.m_nExcludedInRound == 0) {
                r.m_fMin = std::min(r.m_fMin, p.m_fSpeed);
                r.m_fMax = std::max(r.m_fMax, p.m_fSpeed);
                sq += (p.m_fSpeed - r.m_fMean) * (p.m_fSpeed - r.m_fMean);
            }
        r.m_fStdDev = r.m_nUsed > 1 ? std::sqrt(sq / (r.m_nUsed - 1)) : 0.0;
    }
    r.m_bHasSpeed = r.m_nUsed >= kSiteSpeedMinPiles;
    if (r.m_bHasSpeed) {
        r.m_nSiteSpeed = static_cast<int>(std::lround(r.m_fMean));
        for (CSpeedPile& p : r.m_Piles)
            p.m_fDeviation = (p.m_fSpeed - r.m_fMean) / r.m_fMean * 100.0;
        r.m_strVerdict = Format("场地平均波速%dm/s，取自%d根Ⅰ类桩，各桩波速与均值之差均在±5%%以内。", r.m_nSiteSpeed,
                                r.m_nUsed);
    } else {
        r.m_strVerdict = Format("符合条件的Ⅰ类桩只有%d根，少于%d根，不能确定场地平均波速。", r.m_nUsed, kSiteSpeedMinPiles);
    }
    return r;
}

std::string SiteSpeedSentence(const CSiteSpeedResult& result) {
    if (!result.m_bHasSpeed) return {};
    return Format("经统计，本场地桩身混凝土平均波速为%dm/s（%d根Ⅰ类桩）。", result.m_nSiteSpeed, result.m_nUsed);
}

int ApplySiteSpeed(std::vector<CPileRecord>& piles, int speed, std::vector<int>* refused) {
    int changed = 0;
    for (std::size_t i = 0; i < piles.size(); ++i) {
        CPileRecord& rec = piles[i];
        // Times stay: t = 2 d / c, so every depth scales with the new speed over the old one.
        const double ratio = rec.m_nWaveSpeed > 0 ? static_cast<double>(speed) / rec.m_nWaveSpeed : 0.0;
        const double length = Round1(rec.m_fPileLength * ratio);
        if (!(ratio > 0) || !(length >= 0.5 && length <= 200.0)) {
            if (refused) refused->push_back(static_cast<int>(i));
            continue;
        }
        rec.m_fPileLength = static_cast<float>(length);
        rec.SetSpeedKeepingTimes(speed);
        rec.Touch();
        ++changed;
    }
    return changed;
}

} // namespace pw
