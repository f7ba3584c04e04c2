#include "core/CPileRecord.h"
#include "core/PileTypes.h"
#include "core/TraceProcessing.h"

#include <gtest/gtest.h>

#include "Fixtures.h"

namespace {

using pw::CPileRecord;
using pw::DefectMark;

TEST(PileRecord, ConstructionValues) {
    CPileRecord r;
    EXPECT_EQ(r.m_nViewPoints, 512);
    EXPECT_EQ(r.m_nWindowType, 4);
    EXPECT_TRUE(r.NeedsSettling());
    EXPECT_EQ(r.m_bRemoveDC, 1);
    EXPECT_EQ(r.GetSegmentCount(), 0);
    EXPECT_EQ(r.m_nMarkCount, 0);
    EXPECT_EQ(r.m_bChecked, 0);
    EXPECT_EQ(r.GetDefectCount(), 0);
    EXPECT_EQ(r.m_nFitHeadPoint, 50);
    EXPECT_EQ(r.m_fRaw[0], 0.f);
    EXPECT_NE(r.m_nRevision, CPileRecord().m_nRevision); // every record its own
}

TEST(PileRecord, TypeTables) {
    EXPECT_STREQ(pw::DefectTypeText(0), "无缺陷");
    EXPECT_STREQ(pw::DefectTypeText(1), "扩径");
    EXPECT_STREQ(pw::DefectTypeText(7), "扩底");
    EXPECT_STREQ(pw::DefectTypeText(8), "未知缺陷");
    EXPECT_STREQ(pw::DefectTypeText(-1), "未知缺陷");
    EXPECT_STREQ(pw::PileTypeText(0), "沉管灌注桩");
    EXPECT_STREQ(pw::PileTypeText(7), "钢桩");
    EXPECT_STREQ(pw::PileTypeText(8), "");
    EXPECT_STREQ(pw::PileTypeText(-1), "");
}

TEST(PileRecord, DefectCountStopsAtFirstEmptyEntryAndIsCached) {
    CPileRecord r;
    r.m_Defects[0] = DefectMark{2, 1.f};
    r.m_Defects[1] = DefectMark{0, 0.f};
    r.m_Defects[2] = DefectMark{3, 4.f};
    EXPECT_EQ(r.GetDefectCount(), 1);
    r.m_Defects[1].nType = 5; // the count is the list's: nothing cached can hide the change
    EXPECT_EQ(r.GetDefectCount(), 3);
}

TEST(PileRecord, AddDefectAtSameDepthOnlyRetypes) {
    CPileRecord r;
    ASSERT_EQ(r.AddDefect(3.5f, 2), 1);
    ASSERT_EQ(r.AddDefect(5.0f, 3), 1);
    ASSERT_EQ(r.AddDefect(3.5f, 6), 1);
    EXPECT_EQ(r.GetDefectCount(), 2);
    EXPECT_EQ(r.m_Defects[0].nType, 6);
    EXPECT_EQ(r.m_Defects[1].nType, 3);
}

TEST(PileRecord, EleventhDefectIsRefusedButRetypingStillWorks) {
    CPileRecord r;
    for (int i = 0; i < 10; ++i) ASSERT_EQ(r.AddDefect(1.0f + i, 1), 1);
    EXPECT_EQ(r.AddDefect(20.f, 2), 0);
    EXPECT_EQ(r.GetDefectCount(), 10);
    EXPECT_EQ(r.AddDefect(4.0f, 3), 1);
    EXPECT_EQ(r.m_Defects[3].nType, 3);
}

TEST(PileRecord, RemoveDefectMovesLaterEntriesUp) {
    CPileRecord r;
    r.AddDefect(1.f, 1);
    r.AddDefect(2.f, 2);
    r.AddDefect(3.f, 3);
    EXPECT_EQ(r.RemoveDefect(3), 0);
    EXPECT_EQ(r.RemoveDefect(-1), 0);
    EXPECT_EQ(r.RemoveDefect(0), 1);
    EXPECT_EQ(r.GetDefectCount(), 2);
    EXPECT_EQ(r.m_Defects[0].fDepth, 2.f);
    EXPECT_EQ(r.m_Defects[1].fDepth, 3.f);
    EXPECT_EQ(r.m_Defects[2].nType, 0);
    EXPECT_EQ(r.GetDefectCount(), 2);
}

struct SeverityCase {
    std::vector<int> types;
    int severity;
};

class Severity : public ::testing::TestWithParam<SeverityCase> {};

TEST_P(Severity, FromDefectTypes) {
    CPileRecord r;
    float depth = 1.f;
    for (int t : GetParam().types) r.AddDefect(depth++, t);
    EXPECT_EQ(r.GetDefectSeverity(), GetParam().severity);
}

INSTANTIATE_TEST_SUITE_P(Cases, Severity,
                         ::testing::Values(SeverityCase{{}, 0}, SeverityCase{{1}, 0}, SeverityCase{{1, 7}, 0},
                                           SeverityCase{{2}, 1}, SeverityCase{{7, 2}, 1}, SeverityCase{{4, 5, 6}, 1},
                                           SeverityCase{{1, 3}, 2}, SeverityCase{{3, 2}, 2}, SeverityCase{{2, 3, 6}, 2}));

TEST(PileRecord, MarksHoldFiveAndRemoveMovesUp) {
    CPileRecord r;
    for (int i = 0; i < 5; ++i) EXPECT_EQ(r.AddMark(100 * i), 1);
    EXPECT_EQ(r.AddMark(600), 0);
    EXPECT_EQ(r.m_nMarkCount, 5);
    EXPECT_EQ(r.FindMark(203), 2);
    EXPECT_EQ(r.FindMark(204), -1);
    r.RemoveMark(1);
    EXPECT_EQ(r.m_nMarkCount, 4);
    EXPECT_EQ(r.m_nMarks[1], 200);
    r.RemoveMark(7); // ignored
    EXPECT_EQ(r.m_nMarkCount, 4);
}

TEST(PileRecord, SegmentFactorSteps) {
    CPileRecord r;
    r.m_nStep = 1;
    r.AdjustSegment(10, 20, 1);
    r.AdjustSegment(10, 20, 1);
    r.AdjustSegment(10, 20, 1);
    ASSERT_EQ(r.GetSegmentCount(), 1);
    EXPECT_FLOAT_EQ(r.m_pSegments[0].fFactor, 1.5f);

    r.AdjustSegment(30, 40, 0); // a new range starts its own segment at -0.5
    ASSERT_EQ(r.GetSegmentCount(), 2);
    EXPECT_FLOAT_EQ(r.m_pSegments[1].fFactor, -0.5f);
    for (int i = 0; i < 10; ++i) r.AdjustSegment(30, 40, 0);
    EXPECT_FLOAT_EQ(r.m_pSegments[1].fFactor, -1.0f); // -0.9 - 0.1 and never lower
    r.AdjustSegment(30, 40, 1);
    EXPECT_FLOAT_EQ(r.m_pSegments[1].fFactor, -0.9f);
    r.AdjustSegment(10, 20, 1); // differs from the last one: appended, even though it existed before
    EXPECT_EQ(r.GetSegmentCount(), 3);
}

TEST(PileRecord, SegmentChangeShowsInTheTouchedTraceAndStaysInside) {
    CPileRecord r; // processing that changes nothing but the segments
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 4000;
    r.m_fPileLength = 10.f;
    r.m_bRemoveDC = 0;
    r.m_fGain = 1.f;
    r.m_nStep = 2;
    for (auto& v : r.m_fRaw) v = 1.f;
    r.AdjustSegment(5, 7, 1); // columns 5 and 6 are samples 10 and 12
    r.Touch();
    const float* t = pw::ProcessedTrace(r);
    EXPECT_FLOAT_EQ(t[10], 1.5f);
    EXPECT_FLOAT_EQ(t[12], 1.5f);
    EXPECT_FLOAT_EQ(t[11], 1.f);
    EXPECT_FLOAT_EQ(t[14], 1.f);
    r.AdjustSegment(500, 32767, 1); // columns beyond the trace are ignored, not written
    r.Touch();
    EXPECT_FLOAT_EQ(pw::ProcessedTrace(r)[1022], 1.5f);
    r.m_nStep = 0; // a damaged step is taken as 1
    r.AdjustSegment(-5, 2, 1);
    r.Touch();
    EXPECT_FLOAT_EQ(pw::ProcessedTrace(r)[0], 1.5f);
    r.ClearSegments();
    EXPECT_EQ(r.GetSegmentCount(), 0);
}

TEST(PileRecord, HeadPointFollowsStep) {
    CPileRecord r;
    r.m_nStep = 2;
    r.SetHeadPoint(30);
    EXPECT_EQ(r.m_nHeadSample, 60);
    r.m_nStep = 4;
    EXPECT_EQ(r.GetHeadPoint(), 15);
    r.m_nStep = 0;
    EXPECT_EQ(r.GetHeadPoint(), 60);
}

TEST(PileRecord, CopyParametersTakesOverTheListedFieldsOnly) {
    CPileRecord mine = pw::test::MakeRecord(1);
    const CPileRecord before = mine;
    EXPECT_EQ(mine.CopyParameters(nullptr), "错误.");
    EXPECT_EQ(pw::test::PileBytes(mine), pw::test::PileBytes(before));

    CPileRecord src = pw::test::MakeRecord(2);
    src.m_nStep = 3;
    src.m_nHeadSample = 120; // head point 40
    mine.m_nStep = 2;
    EXPECT_EQ(mine.CopyParameters(&src), "");
    EXPECT_EQ(mine.m_nHeadSample, 80); // head point 40 at this record's step 2, before the step is copied
    EXPECT_EQ(mine.m_nStep, 3);
    EXPECT_EQ(mine.m_fPileLength, src.m_fPileLength);
    EXPECT_EQ(mine.m_nWaveSpeed, src.m_nWaveSpeed);
    EXPECT_EQ(mine.m_fSampleInterval, src.m_fSampleInterval);
    EXPECT_EQ(mine.m_nPileNo, src.m_nPileNo);
    EXPECT_EQ(mine.GetPileName(), src.GetPileName());
    EXPECT_EQ(mine.GetRemark(), src.GetRemark());
    EXPECT_EQ(mine.m_nPostCut, src.m_nPostCut);
    // Not taken over:
    EXPECT_EQ(mine.m_bIntegrate, before.m_bIntegrate);
    EXPECT_EQ(mine.m_nAux2, before.m_nAux2);
    EXPECT_EQ(mine.m_nAux4, before.m_nAux4);
    EXPECT_EQ(mine.m_nSmooth, before.m_nSmooth);
    EXPECT_EQ(mine.m_nShiftX, before.m_nShiftX);
    EXPECT_EQ(mine.m_nZoom, before.m_nZoom);
    EXPECT_EQ(mine.m_bChecked, before.m_bChecked);
    EXPECT_EQ(mine.m_fRaw[7], before.m_fRaw[7]);
    EXPECT_EQ(mine.GetSegmentCount(), before.GetSegmentCount());
    EXPECT_EQ(mine.GetInfo(), before.GetInfo());
}

TEST(PileRecord, CopiesOwnTheirSegments) {
    CPileRecord a;
    a.AdjustSegment(1, 5, 1);
    CPileRecord b = a;
    b.AdjustSegment(1, 5, 1);
    EXPECT_FLOAT_EQ(a.m_pSegments[0].fFactor, 0.5f);
    EXPECT_FLOAT_EQ(b.m_pSegments[0].fFactor, 1.0f);
    CPileRecord c = std::move(b);
    EXPECT_EQ(c.GetSegmentCount(), 1);
    c.ClearSegments();
    EXPECT_EQ(a.GetSegmentCount(), 1);
}

} // namespace
