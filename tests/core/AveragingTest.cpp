#include "core/Averaging.h"

#include <gtest/gtest.h>

#include "Fixtures.h"

namespace {

using pw::CPileRecord;

// Records whose processed trace is their raw trace, filled with one value.
std::vector<CPileRecord> Piles(const std::vector<std::pair<const char*, float>>& desc) {
    std::vector<CPileRecord> piles;
    for (std::size_t i = 0; i < desc.size(); ++i) {
        CPileRecord r = pw::test::MakeRecord(static_cast<unsigned>(i + 1));
        r.m_nPileNo = static_cast<int16_t>(i + 1);
        r.SetPileName(desc[i].first);
        r.m_bRemoveDC = 0;
        r.m_fLowPass = r.m_fHighPass = 0;
        r.m_bIntegrate = 0;
        r.m_fGain = 1;
        r.m_nRotate = 0;
        r.m_nPreZero = r.m_nPostCut = 0;
        r.m_pSegments.clear();
        for (auto& v : r.m_fRaw) v = desc[i].second;
        piles.push_back(std::move(r));
    }
    return piles;
}

TEST(Averaging, RunningMeanOfTheSelectedTraces) {
    struct Case {
        std::vector<int> selection;
        float mean;
    };
    for (const Case& c : {Case{{2, 4}, 3.f}, Case{{1, 2, 6}, 3.f}, Case{{6, 2, 1}, 3.f}}) {
        auto piles = Piles({{"A1", 1}, {"A1", 2}, {"B", 9}, {"A1", 4}, {"A1", 5}, {"A1", 6}});
        const auto result = pw::AverageSelected(piles, c.selection);
        ASSERT_TRUE(result.Ok()) << result.m_strMessage;
        ASSERT_EQ(piles.size(), 7u);
        const CPileRecord& a = piles.back();
        EXPECT_EQ(result.m_nNewPileNo, 7);
        EXPECT_EQ(a.m_nPileNo, 7);
        for (int k = 0; k < 1024; k += 101) EXPECT_FLOAT_EQ(a.m_fRaw[k], c.mean);
        const CPileRecord& last = piles[static_cast<std::size_t>(c.selection.back() - 1)];
        EXPECT_EQ(a.GetPileName(), "A1");
        EXPECT_EQ(a.m_nDiameter, last.m_nDiameter);
        EXPECT_EQ(a.m_nWaveSpeed, last.m_nWaveSpeed);
        EXPECT_EQ(a.m_nStep, last.m_nStep);
        // R's head sample itself (no filters here, so no delay to add), not rounded down to its step.
        EXPECT_EQ(a.m_nHeadSample, last.m_nHeadSample);
        EXPECT_EQ(a.m_nSmooth, 1);
        EXPECT_TRUE(a.NeedsSettling());
    }
}

TEST(Averaging, RefusalsLeaveTheProjectUnchanged) {
    struct Case {
        std::vector<int> selection;
        const char* message;
    };
    for (const Case& c : {Case{{}, "请选择多个记录！"}, Case{{1}, "请选择多个记录！"},
                          Case{{1, 3}, "请选择相同名字的桩"}, Case{{1, 2}, "请选择相同名字的桩"},
                          Case{{1, 9}, ""}, Case{{9, 1}, ""}}) {
        auto piles = Piles({{"A1", 1}, {"A1 ", 2}, {"A10", 3}});
        const auto result = pw::AverageSelected(piles, c.selection);
        EXPECT_FALSE(result.Ok());
        EXPECT_EQ(result.m_strMessage, c.message);
        EXPECT_EQ(piles.size(), 3u);
    }
}

TEST(Averaging, NoRoomPastTheSpareRecord) {
    auto piles = Piles(std::vector<std::pair<const char*, float>>(501, {"A", 1.f}));
    const auto result = pw::AverageSelected(piles, {1, 2});
    EXPECT_FALSE(result.Ok());
    EXPECT_EQ(piles.size(), 501u);
}

} // namespace
