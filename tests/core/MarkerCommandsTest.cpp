// The document's marks at the view's cursor: defects, pre-zero and post-cut with their bounds and
// texts, the toe confirmed with Enter beside the toe from the menu, and the spectrum marks. Every
// accepted change marks the project modified.
#include <gtest/gtest.h>

#include "core/CDEVAzazDoc.h"
#include "core/PlotGeometry.h"

using namespace pw;

namespace {

// 10 m at 4000 m/s sampled every 20 us, step 1: the toe lies 250 columns after the head. Head sample
// 50 and a horizontal offset of 5 put the head at box column 55 and the toe at box column 305.
struct MarkerDoc : ::testing::Test {
    void SetUp() override {
        CPileRecord r;
        r.m_nPileNo = 1;
        r.m_nStep = 1;
        r.m_fSampleInterval = 20.f;
        r.m_nWaveSpeed = 4000;
        r.m_fPileLength = 10.f;
        r.m_nHeadSample = 50;
        r.m_nShiftX = 5;
        r.m_nSettledRevision = r.m_nRevision;
        doc.m_Piles = {r};
        doc.m_Header.m_nPileCount = 1;
        doc.SetSelection({1});
        doc.SetModified(false);
    }
    CPileRecord& Pile() { return doc.m_Piles[0]; }
    CDEVAzazDoc doc;
};

constexpr int kHead = 55, kToe = 305;

} // namespace

TEST_F(MarkerDoc, BoundsOfTheCommandsAtTheCursor) {
    struct Case {
        const char* what;
        int command; // 0 defect, 1 pre-zero, 2 post-cut
        int column;
        const char* refusal; // "" accepted
    };
    const Case cases[] = {
        {"pre-zero at the head", 1, kHead, ""},
        {"pre-zero one column after the head", 1, kHead + 1, "前置零位置应在桩头之前！"},
        {"pre-zero at the offset", 1, 5, ""},
        {"pre-zero left of the trace", 1, 4, "前置零位置应在桩头之前！"},
        {"pre-zero without a cursor", 1, -11, "前置零位置应在桩头之前！"},
        {"post-cut at the toe", 2, kToe, ""},
        {"post-cut one column before the toe", 2, kToe - 1, "后截除位置应在桩底之后！"},
        {"post-cut at the last sample", 2, 1024 + 5, ""},
        {"post-cut past the trace", 2, 1025 + 5, "后截除位置应在桩底之后！"},
        {"defect on the head", 0, kHead, "设置缺陷应该在桩头与桩底之间!"},
        {"defect just below the head", 0, kHead + 1, ""},
        {"defect just above the toe", 0, kToe - 1, ""},
        {"defect on the toe", 0, kToe, "设置缺陷应该在桩头与桩底之间!"},
        {"defect without a cursor", 0, -11, "设置缺陷应该在桩头与桩底之间!"},
    };
    for (const Case& c : cases) {
        SetUp();
        std::string refusal;
        if (c.command == 0) refusal = doc.AddDefectAtColumn(3, c.column);
        if (c.command == 1) refusal = doc.PreZeroAtColumn(c.column);
        if (c.command == 2) refusal = doc.PostCutAtColumn(c.column);
        EXPECT_EQ(refusal, c.refusal) << c.what;
        const bool accepted = *c.refusal == 0;
        EXPECT_EQ(doc.m_bModified, accepted ? 1 : 0) << c.what;
        const int expected[3] = {accepted ? 1 : 0, accepted ? c.column - 5 : 0,
                                 accepted ? 1024 - (c.column - 5) : 0};
        const int actual[3] = {Pile().GetDefectCount(), Pile().m_nPreZero, Pile().m_nPostCut};
        EXPECT_EQ(actual[c.command], expected[c.command]) << c.what;
        // Pre-zero and post-cut change the processed trace: the pile is rebuilt when next drawn.
        EXPECT_EQ(Pile().NeedsSettling(), c.command != 0 && accepted) << c.what;
    }
}

TEST_F(MarkerDoc, CutsAtTheCursorAreRememberedByThePendingSet) {
    ASSERT_EQ(doc.PreZeroAtColumn(40), "");
    ASSERT_EQ(doc.PostCutAtColumn(kToe + 100), "");
    EXPECT_EQ(doc.m_Pending.m_nPreZero, 35);
    EXPECT_EQ(doc.m_Pending.m_nPostCut, 1024 - 400);
}

TEST_F(MarkerDoc, DefectDepthFromTheCursorAndTheTenthIsTheLast) {
    // 100 columns below the head at 4000 m/s and 20 us: 100 * 20 * 4000 * 5e-7 = 4.0 m.
    ASSERT_EQ(doc.AddDefectAtColumn(3, kHead + 100), "");
    EXPECT_EQ(Pile().m_Defects[0].nType, 3);
    EXPECT_FLOAT_EQ(Pile().m_Defects[0].fDepth, 4.0f);
    for (int i = 1; i < 10; ++i)
        ASSERT_EQ(doc.AddDefectAtColumn(2, kHead + 100 + 10 * i), "");
    ASSERT_EQ(Pile().GetDefectCount(), 10);
    doc.SetModified(false);
    EXPECT_EQ(doc.AddDefectAtColumn(5, kHead + 200), "") << "the eleventh is dropped without a word";
    EXPECT_EQ(Pile().GetDefectCount(), 10);
    EXPECT_EQ(doc.m_bModified, 0);

    // Deleting one is a change to save; the later entries move up.
    EXPECT_TRUE(doc.DeleteDefect(0));
    EXPECT_EQ(doc.m_bModified, 1);
    EXPECT_EQ(Pile().GetDefectCount(), 9);
    EXPECT_FLOAT_EQ(Pile().m_Defects[0].fDepth, 4.4f);
    EXPECT_FALSE(doc.DeleteDefect(9)) << "no such entry any more";

    EXPECT_TRUE(doc.MoveDefectToColumn(0, kHead + 50));
    EXPECT_FLOAT_EQ(Pile().m_Defects[0].fDepth, 2.0f);
}

TEST_F(MarkerDoc, ToeConfirmedWithEnterLeavesTheBarLengthTheMenuWritesIt) {
    // Speed entered last: the toe sets the length; only the menu path writes it into the bar.
    doc.Estimate().m_nLastEntered = 1;
    doc.Estimate().m_fLength = 10.f;
    ASSERT_EQ(doc.SetToeAtColumn(kHead + 125, false), "");
    EXPECT_FLOAT_EQ(Pile().m_fPileLength, 5.0f);
    EXPECT_FLOAT_EQ(doc.Estimate().m_fLength, 10.f);
    ASSERT_EQ(doc.SetToeAtColumn(kHead + 150, true), "");
    EXPECT_FLOAT_EQ(Pile().m_fPileLength, 6.0f);
    EXPECT_FLOAT_EQ(doc.Estimate().m_fLength, 6.0f);

    // Length entered last: the toe three columns further lowers the speed, in the pile and the bar.
    SetUp();
    doc.Estimate().m_nLastEntered = 0;
    ASSERT_EQ(doc.SetToeAtColumn(kToe + 3, false), "");
    EXPECT_EQ(Pile().m_nWaveSpeed, 3952); // 10 m * 2e6 / (20 us * 253)
    EXPECT_EQ(doc.Estimate().m_nSpeed, 3952);
    EXPECT_TRUE(Pile().NeedsSettling());
    EXPECT_EQ(doc.m_bModified, 1);

    // A toe on the head would divide by zero: refused on both paths.
    EXPECT_EQ(doc.SetToeAtColumn(kHead, false), "桩底不能在桩头之前");
    EXPECT_EQ(doc.SetHeadAtColumn(kToe + 3), "桩头不能在桩底之后");
}

TEST_F(MarkerDoc, SpectrumMarksAreSavedChangesAndStopAtFive) {
    for (int c : {100, 200, 300, 400, 500})
        ASSERT_TRUE(doc.AddSpectrumMark(c));
    EXPECT_EQ(doc.m_bModified, 1);
    doc.SetModified(false);
    EXPECT_FALSE(doc.AddSpectrumMark(600)) << "a sixth mark is refused";
    EXPECT_EQ(doc.m_bModified, 0);
    EXPECT_EQ(Pile().m_nMarkCount, 5);

    EXPECT_TRUE(doc.DeleteSpectrumMark(1));
    EXPECT_EQ(doc.m_bModified, 1);
    EXPECT_EQ(Pile().m_nMarkCount, 4);
    EXPECT_EQ(Pile().m_nMarks[1], 300);
    EXPECT_FALSE(doc.DeleteSpectrumMark(4));

    // Moving a mark takes it out and puts it back last.
    EXPECT_EQ(doc.MoveSpectrumMark(0, 150), 3);
    EXPECT_EQ(Pile().m_nMarks[0], 300);
    EXPECT_EQ(Pile().m_nMarks[3], 150);
}

TEST_F(MarkerDoc, AHeadOffTheSamplesIsRefusedAndChangesNothing) {
    struct Case {
        const char* what;
        int column;  // cursor column; the offset is 5
        float length; // a long pile puts the toe beyond the trace, so only the head's own bound refuses
        const char* refusal;
        int headSample; // afterwards
    };
    const Case cases[] = {
        {"no cursor", -11, 10.f, "桩头不能设在波形的采样点之外", 50},
        {"one column before the first sample", 4, 10.f, "桩头不能设在波形的采样点之外", 50},
        {"on the first sample", 5, 10.f, "", 0},
        {"on the last sample", 1023 + 5, 200.f, "", 1023},
        {"one column after the last sample", 1024 + 5, 200.f, "桩头不能设在波形的采样点之外", 50},
        {"on the toe", kToe, 10.f, "桩头不能在桩底之后", 50},
    };
    for (const Case& c : cases) {
        SetUp();
        Pile().m_fPileLength = c.length;
        EXPECT_EQ(doc.SetHeadAtColumn(c.column), c.refusal) << c.what;
        EXPECT_EQ(Pile().m_nHeadSample, c.headSample) << c.what;
        EXPECT_EQ(doc.m_bModified, *c.refusal == 0 ? 1 : 0) << c.what;
    }
}

// A file may hold a head before the first sample or after the last; the plots draw it clamped to the
// trace. The commands at the cursor measure from that same drawn head, so the depth the status bar
// reads at the cursor is the depth a defect stores there.
TEST_F(MarkerDoc, CommandsMeasureFromTheHeadAsDrawn) {
    struct Case {
        int headSample;
        int drawnHead; // head point the plots use
    };
    const Case cases[] = {{-11, 0}, {-400, 0}, {50, 50}, {1500, 1023}, {-32768, 0}};
    for (const Case& c : cases) {
        SetUp();
        Pile().m_nHeadSample = static_cast<int16_t>(c.headSample);
        ASSERT_EQ(PlotHeadColumn(Pile()), c.drawnHead + 5) << c.headSample;
        const int head = c.drawnHead + 5; // box column of the drawn head

        // 100 columns below the drawn head: 100 * 20 * 4000 * 5e-7 = 4.0 m, as the readout says.
        ASSERT_EQ(doc.AddDefectAtColumn(3, head + 100), "") << c.headSample;
        EXPECT_FLOAT_EQ(Pile().m_Defects[0].fDepth, 4.0f) << c.headSample;
        EXPECT_TRUE(doc.MoveDefectToColumn(0, head + 50)) << c.headSample;
        EXPECT_FLOAT_EQ(Pile().m_Defects[0].fDepth, 2.0f) << c.headSample;
        EXPECT_EQ(doc.AddDefectAtColumn(3, head), "设置缺陷应该在桩头与桩底之间!") << c.headSample;

        // Pre-zero exactly at the drawn head is accepted, one column after it refused.
        EXPECT_EQ(doc.PreZeroAtColumn(head + 1), "前置零位置应在桩头之前！") << c.headSample;
        EXPECT_EQ(doc.PreZeroAtColumn(head), "") << c.headSample;
        EXPECT_EQ(Pile().m_nPreZero, c.drawnHead) << c.headSample;

        // The toe cannot lie on the drawn head; the dialog's pre-zero reaches up to it.
        EXPECT_EQ(doc.SetToeAtColumn(head), "桩底不能在桩头之前") << c.headSample;
        EXPECT_EQ(doc.PreZero(c.drawnHead + 5), "") << c.headSample;
    }
    // Post-cut exactly at the drawn toe (250 columns after the drawn head 0) is accepted.
    SetUp();
    Pile().m_nHeadSample = -11;
    EXPECT_EQ(doc.PostCutAtColumn(5 + 250 - 1), "后截除位置应在桩底之后！");
    EXPECT_EQ(doc.PostCutAtColumn(5 + 250), "");
    EXPECT_EQ(Pile().m_nPostCut, 1024 - 250);
}
