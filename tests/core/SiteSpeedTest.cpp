// The site's mean wave speed: the worked case, who is a candidate, rounds of exclusion, repeated
// blows, and the speed-only edit.
#include "core/SiteSpeed.h"

#include <gtest/gtest.h>

namespace {

using namespace pw;

CPileRecord Pile(const std::string& name, int speed, std::vector<DefectMark> defects = {}, float length = 12.f) {
    CPileRecord r;
    r.SetPileName(name);
    r.m_nWaveSpeed = static_cast<int16_t>(speed);
    r.m_fPileLength = length;
    r.m_fSampleInterval = 20.f;
    for (std::size_t i = 0; i < defects.size(); ++i)
        r.m_Defects[i] = defects[i];
    return r;
}

std::vector<CPileRecord> Speeds(const std::vector<int>& speeds) {
    std::vector<CPileRecord> out;
    for (std::size_t i = 0; i < speeds.size(); ++i)
        out.push_back(Pile("P" + std::to_string(i + 1), speeds[i]));
    return out;
}

TEST(SiteSpeed, TheWorkedCase) {
    const auto piles = Speeds({3400, 3600, 3700, 3800, 3700, 3700, 3800, 3900, 4000, 3800, 3900});
    const CSiteSpeedResult r = ComputeSiteSpeed(piles);
    ASSERT_TRUE(r.m_bHasSpeed);
    EXPECT_EQ(r.m_nRounds, 1);
    EXPECT_EQ(r.m_nUsed, 9);
    EXPECT_NEAR(r.m_fMean, 3766.67, 0.01);
    EXPECT_EQ(r.m_nSiteSpeed, 3767);
    EXPECT_EQ(r.m_Piles[0].m_nExcludedInRound, 1); // 3400
    EXPECT_NEAR(r.m_Piles[0].m_fRoundMean, 3754.55, 0.01);
    EXPECT_EQ(r.m_Piles[8].m_nExcludedInRound, 1); // 4000
    EXPECT_EQ(r.m_Piles[1].m_nExcludedInRound, 0); // 3600 is 4.1 % below 3754.5: kept
    EXPECT_EQ(r.m_fMin, 3600);
    EXPECT_EQ(r.m_fMax, 3900);
    EXPECT_EQ(SiteSpeedSentence(r), "经统计，本场地桩身混凝土平均波速为3767m/s（9根Ⅰ类桩）。");
}

TEST(SiteSpeed, EdgeCases) {
    struct Case {
        const char* what;
        std::vector<CPileRecord> piles;
        bool hasSpeed;
        int used, rounds;
    };
    std::vector<Case> cases = {
        {"four candidates are too few", Speeds({3700, 3750, 3800, 3720}), false, 4, 0},
        {"all within 5 % at once", Speeds({3700, 3750, 3800, 3720, 3760}), true, 5, 0},
        // 3000 drags the first mean down to 3594: 3450 is within 5 % of it, not of the second mean, 3669.
        {"exclusions in two rounds", Speeds({3700, 3700, 3700, 3700, 3700, 3700, 3700, 3450, 3000}), true, 7, 2},
    };
    {
        auto piles = Speeds({3700, 3750, 3800, 3720, 3760});
        piles.push_back(Pile("N1", 3740, {{2, 4.f}}));        // 缩径: not a candidate
        piles.push_back(Pile("N2", 3740, {{3, 4.f}}));        // 断桩: not a candidate
        piles.push_back(Pile("Y1", 3740, {{1, 4.f}}));        // only 扩径: still class Ⅰ
        piles.push_back(Pile("N3", 3740, {}, 0.f));           // no toe
        piles.push_back(Pile("N4", 20000, {}, 12.f));         // speed out of range
        cases.push_back({"classes and undefined toes", piles, true, 6, 0});
    }
    {
        // Three blows of one pile count once, with their mean speed: 3600/3700/3800 -> 3700.
        auto piles = Speeds({3700, 3750, 3800, 3720});
        for (int s : {3600, 3700, 3800})
            piles.push_back(Pile("B", s));
        cases.push_back({"repeated blows", piles, true, 5, 0});
    }
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const CSiteSpeedResult r = ComputeSiteSpeed(c.piles);
        EXPECT_EQ(r.m_bHasSpeed, c.hasSpeed);
        EXPECT_EQ(r.m_nUsed, c.used);
        EXPECT_EQ(r.m_nRounds, c.rounds);
        EXPECT_EQ(SiteSpeedSentence(r).empty(), !c.hasSpeed);
        for (const CSpeedPile& p : r.m_Piles)
            EXPECT_EQ(p.m_strWhy.empty(), p.m_bCandidate && p.m_nExcludedInRound == 0) << p.m_strName;
    }
    const CSiteSpeedResult blows = ComputeSiteSpeed(cases.back().piles);
    ASSERT_EQ(blows.m_Piles.size(), 5u);
    EXPECT_EQ(blows.m_Piles[4].m_RecordIndices.size(), 3u);
    EXPECT_DOUBLE_EQ(blows.m_Piles[4].m_fSpeed, 3700.0);
}

// Repeated blows are one pile in the class counts too: the counts add up to the piles listed.
TEST(SiteSpeed, ClassCountsCountPilesNotBlows) {
    auto piles = Speeds({3700, 3750});
    for (int s : {3600, 3700, 3800}) piles.push_back(Pile("B", s));              // one class Ⅰ pile, three blows
    for (int i = 0; i < 2; ++i) piles.push_back(Pile("N", 3700, {{2, 4.f}}));    // one 缩径 pile, two blows
    const CSiteSpeedResult r = ComputeSiteSpeed(piles);
    ASSERT_EQ(r.m_Piles.size(), 4u);
    EXPECT_EQ(r.m_nClassCounts, (std::array<int, kPileClassCount>{3, 0, 0, 0, 1}));
}

// The classes shown beside each pile are the engineer's: a decided Ⅱ is Ⅱ (not the rule's Ⅱ/Ⅲ), a
// 缩径 pile the engineer judged intact gives its speed, and a pile is in its worst blow's class.
TEST(SiteSpeed, ClassesAreTheEngineersDecisions) {
    auto piles = Speeds({3700, 3750, 3720, 3710});
    piles.push_back(Pile("D2", 3700, {{2, 4.f}}));
    piles.back().m_nClassDecision = kClassII;
    piles.push_back(Pile("D1", 3730, {{2, 4.f}}));
    piles.back().m_nClassDecision = kClassI;
    piles.push_back(Pile("U", 3700, {{2, 4.f}}));  // undecided by the rule
    piles.push_back(Pile("U", 3700, {{3, 6.f}}));  // its second blow shows 断桩: Ⅳ
    const CSiteSpeedResult r = ComputeSiteSpeed(piles);
    ASSERT_EQ(r.m_Piles.size(), 7u);
    EXPECT_EQ(r.m_Piles[4].m_nClass, kClassII);
    EXPECT_EQ(r.m_Piles[4].m_strWhy, "完整性类别为Ⅱ类");
    EXPECT_EQ(r.m_Piles[5].m_nClass, kClassI);
    EXPECT_TRUE(r.m_Piles[5].m_strWhy.empty());
    EXPECT_EQ(r.m_Piles[6].m_nClass, kClassIV);
    EXPECT_EQ(r.m_nClassCounts, (std::array<int, kPileClassCount>{5, 1, 0, 1, 0}));
    EXPECT_EQ(r.m_nUsed, 5);
}

TEST(SiteSpeed, TheSpeedOnlyEditKeepsEveryTime) {
    CPileRecord rec = Pile("A", 4000, {{4, 3.0f}, {3, 7.5f}}, 12.f);
    rec.m_fLowPass = 1.5f;
    rec.m_fGain = 5.f;
    rec.m_nPreZero = 7;
    std::vector<CPileRecord> piles = {rec, Pile("Z", 4000, {}, 190.f)};
    std::vector<int> refused;
    EXPECT_EQ(ApplySiteSpeed(piles, 3600, &refused), 2);
    EXPECT_EQ(refused, std::vector<int>{}); // 190 m becomes 171 m: still a length
    ASSERT_EQ(ApplySiteSpeed(piles = {rec, Pile("Z", 1000, {}, 190.f)}, 3600, &refused), 1);
    EXPECT_EQ(refused, std::vector<int>{1}); // 684 m: no pile is that long, it keeps its values
    EXPECT_EQ(piles[1].m_nWaveSpeed, 1000);
    const CPileRecord& a = piles[0];
    EXPECT_EQ(a.m_nWaveSpeed, 3600);
    EXPECT_FLOAT_EQ(a.m_fPileLength, 10.8f); // 12 m at 4000 m/s is 6 ms: 10.8 m at 3600 m/s
    EXPECT_FLOAT_EQ(a.m_Defects[0].fDepth, 2.7f);
    EXPECT_FLOAT_EQ(a.m_Defects[1].fDepth, 6.8f); // 6.75 rounds half away from zero
    EXPECT_FLOAT_EQ(a.m_fLowPass, 1.5f);
    EXPECT_FLOAT_EQ(a.m_fGain, 5.f);
    EXPECT_EQ(a.m_nPreZero, 7);
}

} // namespace
