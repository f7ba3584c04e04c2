// The site's mean wave speed as engineers derive it by hand: the speeds of the intact piles whose toe
// is known, repeated blows of a pile taken as one pile, thinned in rounds until every remaining speed
// lies within 5 % of their mean, and only trusted with at least five piles left. Every pile that was
// not used says why, for the reviewer. Also the speed-only edit that moves a project to that speed.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/CPileRecord.h"
#include "core/ReportContent.h"

namespace pw {

inline constexpr int kSiteSpeedMinPiles = 5;
inline constexpr double kSiteSpeedTolerance = 0.05;

// One pile (all records of one trimmed pile name).
struct CSpeedPile {
    std::string m_strName;         // UTF-8, trimmed
    std::vector<int> m_RecordIndices; // its records in the project, in list order
    double m_fSpeed = 0;           // mean of its records' stored speeds, m/s
    int m_nClass = kClassI;        // the worst class of its records (the engineer's, else the rule's)
    bool m_bCandidate = false;     // class Ⅰ with a defined toe on every record
    int m_nExcludedInRound = 0;    // 0: used (or not a candidate); n: excluded in round n
    double m_fRoundMean = 0;       // the mean it was compared with when it was excluded
    double m_fDeviation = 0;       // (speed - site speed) / site speed, %, when there is a site speed
    std::string m_strWhy;          // why it is not used ("" when used)
};

struct CSiteSpeedResult {
    std::vector<CSpeedPile> m_Piles; // every pile of the records asked about, in order of first record
    int m_nRounds = 0;               // rounds that excluded someone
    int m_nUsed = 0;
    bool m_bHasSpeed = false;        // at least kSiteSpeedMinPiles remained
    double m_fMean = 0;              // mean of the used speeds (also without a site speed)
    int m_nSiteSpeed = 0;            // m_fMean rounded to the nearest m/s, when m_bHasSpeed
    double m_fMin = 0, m_fMax = 0, m_fStdDev = 0; // of the used speeds
    std::array<int, kPileClassCount> m_nClassCounts{}; // piles (not records) asked about: Ⅰ, Ⅱ, Ⅲ, Ⅳ, Ⅱ/Ⅲ
    std::string m_strVerdict;        // one Chinese sentence: the result, or why there is none
};

// The piles at these record indices (all records when empty).
CSiteSpeedResult ComputeSiteSpeed(const std::vector<CPileRecord>& piles, const std::vector<int>& indices = {});

// "经统计，本场地桩身混凝土平均波速为%dm/s（%d根Ⅰ类桩）。" or "" without a site speed.
std::string SiteSpeedSentence(const CSiteSpeedResult& result);

// Gives every record the speed, keeping its toe time and each defect's time: length and defect
// depths follow the speed, rounded to one decimal; nothing else changes. A record whose speed is
// not a positive measure, or whose new length would leave 0.5-200 m, keeps its values and its index
// is returned in refused. Returns the number of records changed.
int ApplySiteSpeed(std::vector<CPileRecord>& piles, int speed, std::vector<int>* refused = nullptr);

} // namespace pw
