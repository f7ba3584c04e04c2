#include "core/CDEVAzazDoc.h"

#include <filesystem>
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "core/CommandIds.h"

namespace {

using namespace pw;
namespace fs = std::filesystem;

// A record that converts: s = 1, dt = 20 us, c = 4000 m/s, L = 10 m (toe at 250 points), head at 50 on
// its unfiltered trace (an apply moves the head with the delay of the filters it writes).
CPileRecord Pile(int no, const char* name, unsigned seed = 1) {
    CPileRecord r = test::MakeRecord(seed + static_cast<unsigned>(no));
    r.m_fLowPass = 0.f;
    r.m_fHighPass = 0.f;
    r.m_nPileNo = static_cast<int16_t>(no);
    r.SetPileName(name);
    r.m_nStep = 1;
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 4000;
    r.m_fPileLength = 10.f;
    r.m_nHeadSample = 50;
    r.m_nShiftX = 0;
    r.m_bChecked = 0;
    r.m_pSegments.clear();
    r.m_nSettledRevision = r.m_nRevision;
    return r;
}

void Load(CDEVAzazDoc& doc, std::vector<CPileRecord> piles, int current = 1) {
    doc.m_Piles = std::move(piles);
    doc.m_Header.m_nPileCount = static_cast<int16_t>(doc.m_Piles.size());
    doc.SetSelection({current});
}

std::vector<CPileRecord> Named(const std::vector<const char*>& names) {
    std::vector<CPileRecord> out;
    for (std::size_t i = 0; i < names.size(); ++i) out.push_back(Pile(static_cast<int>(i + 1), names[i]));
    return out;
}

class TempDir : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("pw-doc-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path p = m_Dir / name;
        std::FILE* f = std::fopen(p.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), f);
        std::fclose(f);
        return p.string();
    }
    fs::path m_Dir;
};

TEST(Document, CommandsWithoutRecordsAreDisabledButOpenAndMerge) {
    CDEVAzazDoc doc;
    for (int id : {cmd::kSave, cmd::kSaveChecked, cmd::kDeletePile, cmd::kProjectInfo, cmd::kRemoveDC, cmd::kInvert,
                   cmd::kVariableArea, cmd::kIntegrate, cmd::kScale, cmd::kGain, cmd::kFilter, cmd::kPreZero,
                   cmd::kPostCut, cmd::kSmooth, cmd::kRestore, cmd::kSetHead, cmd::kSetToe, cmd::kAmplitudeSpectrum,
                   cmd::kPowerSpectrum, cmd::kSingleTrace, cmd::kThreeTraces, cmd::kWaveTrain, cmd::kAverage,
                   cmd::kToolShift, cmd::kToolRotate, cmd::kToolZoomIn, cmd::kToolZoomOut, cmd::kToolLocalZoom})
        EXPECT_FALSE(doc.GetCommandState(id).enabled) << id;
    EXPECT_TRUE(doc.GetCommandState(cmd::kOpen).enabled);
    EXPECT_TRUE(doc.GetCommandState(cmd::kMerge).enabled);
    Load(doc, Named({"1"}));
    EXPECT_TRUE(doc.GetCommandState(cmd::kFilter).enabled);
    // Check marks follow the switches: DC removal and scale start on, single trace is the layout.
    EXPECT_TRUE(doc.GetCommandState(cmd::kRemoveDC).checked);
    EXPECT_TRUE(doc.GetCommandState(cmd::kScale).checked);
    EXPECT_TRUE(doc.GetCommandState(cmd::kSingleTrace).checked);
    EXPECT_FALSE(doc.GetCommandState(cmd::kInvert).checked);
}

TEST(Document, GroupScopeComparesTrimmedNames) {
    CDEVAzazDoc doc;
    Load(doc, Named({"A1", " A1", "A1 ", "A10", "B"}));
    doc.Estimate().m_strScope = kScopeGroup;
    doc.m_Pending.m_fLowPass = 2.5f;
    doc.ApplyPending();
    EXPECT_NE(doc.m_Piles[3].m_fLowPass, 2.5f);
    for (int i = 0; i < 3; ++i) EXPECT_EQ(doc.m_Piles[i].m_fLowPass, 2.5f) << i;
    EXPECT_EQ(doc.ScopePiles(kScopeGroup), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(doc.ScopePiles(kScopeCurrent), (std::vector<int>{1}));
    EXPECT_EQ(doc.ScopePiles(kScopeAll).size(), 5u);
    EXPECT_TRUE(doc.ScopePiles("other").empty());
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST(Document, ApplyWritesTheScopeAndStaysLazy) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1", "2", "3"}));
    doc.Estimate().m_strScope = kScopeAll;
    doc.m_Pending.m_fHighPass = 80.f;
    doc.m_Pending.m_nSegmentsKept = 0;
    doc.m_Piles[2].AdjustSegment(5, 9, 1);
    doc.ApplyPending();
    for (const auto& p : doc.m_Piles) {
        EXPECT_EQ(p.m_fHighPass, 80.f);
        EXPECT_TRUE(p.NeedsSettling());
        EXPECT_EQ(p.m_fPileLength, 10.f); // the bar held these values already: nothing drifts
        EXPECT_EQ(p.m_nWaveSpeed, 4000);
    }
    EXPECT_EQ(doc.m_Piles[2].GetSegmentCount(), 0); // each is processed again when next drawn
}

TEST(Document, PreZeroAndPostCutLimits) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    doc.m_Piles[0].m_nShiftX = 4;
    // s · h + x = 1 · 50 + 4
    EXPECT_EQ(doc.PreZero(55), "前置零位置应在桩头之前！ ");
    EXPECT_EQ(doc.m_Pending.m_nPreZero, doc.m_Piles[0].m_nPreZero);
    EXPECT_EQ(doc.PreZero(-1), "前置零位置应在桩头之前！ ");
    EXPECT_EQ(doc.PreZero(54), "");
    EXPECT_EQ(doc.m_Piles[0].m_nPreZero, 54);
    // 1024 - s · toe - s · h = 1024 - 250 - 50
    EXPECT_EQ(doc.PostCut(725), "后截除位置应在桩底之后!");
    EXPECT_EQ(doc.PostCut(-3), "后截除位置应在桩底之后!");
    EXPECT_EQ(doc.PostCut(724), "");
    EXPECT_EQ(doc.m_Piles[0].m_nPostCut, 724);
    EXPECT_EQ(doc.Smoothing(33), "平滑点数应该在1--32之间!");
    EXPECT_EQ(doc.Smoothing(0), "平滑点数应该在1--32之间!");
    EXPECT_EQ(doc.Smoothing(32), "");
    EXPECT_EQ(doc.m_Piles[0].m_nSmooth, 32);
}

TEST(Document, DeletePile) {
    CDEVAzazDoc doc;
    Load(doc, Named({"a"}));
    doc.m_strTitle = "site.wvf";
    EXPECT_EQ(doc.DeletePile(0), 1);
    EXPECT_EQ(doc.GetPileCount(), 0);
    EXPECT_EQ(doc.m_strTitle, "无标题");
    EXPECT_EQ(doc.GetCurrentPileNo(), -1);
    EXPECT_EQ(doc.DeletePile(0), 0);

    Load(doc, Named({"a", "b", "c", "d", "e"}));
    doc.m_Piles[3].AdjustSegment(1, 2, 1);
    EXPECT_EQ(doc.DeletePile(1), 1);
    ASSERT_EQ(doc.GetPileCount(), 4);
    EXPECT_EQ(doc.m_Header.m_nPileCount, 4);
    const std::vector<std::string> names{"a", "c", "d", "e"};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(doc.m_Piles[i].m_nPileNo, i + 1);
        EXPECT_EQ(doc.m_Piles[i].GetPileName(), names[i]);
    }
    EXPECT_EQ(doc.m_Piles[2].GetSegmentCount(), 1); // the segments moved with their record
    EXPECT_EQ(doc.GetCurrentPileNo(), 2);
}

TEST(Document, RestoreDoesNothingInTheWaveTrain) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    doc.m_Piles[0].m_fLowPass = 3.f;
    doc.SetLayout(cmd::kWaveTrain);
    doc.RestoreParameters();
    EXPECT_EQ(doc.m_Piles[0].m_fLowPass, 3.f);
    EXPECT_EQ(doc.m_bModified, 0);
    doc.SetLayout(cmd::kSingleTrace);
    doc.RestoreParameters();
    EXPECT_EQ(doc.m_Piles[0].m_fLowPass, 0.f);
    EXPECT_EQ(doc.m_Piles[0].m_fGain, 1.f);
    EXPECT_EQ(doc.m_Piles[0].m_nLowPassPasses, 1);
}

struct CommitCase {
    bool length;
    float value;
    bool accepted;
};

class Commit : public ::testing::TestWithParam<CommitCase> {};

TEST_P(Commit, RangeAndRestore) {
    const auto c = GetParam();
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    CEstimateState& bar = doc.Estimate();
    const float oldLength = bar.m_fLength;
    const int16_t oldSpeed = bar.m_nSpeed;
    const std::string message =
        c.length ? bar.CommitLength(&doc, c.value) : bar.CommitSpeed(&doc, static_cast<int>(c.value));
    if (c.accepted) {
        EXPECT_EQ(message, "");
        EXPECT_TRUE(doc.m_Piles[0].NeedsSettling());
    } else {
        EXPECT_EQ(message, c.length ? "桩长应在0.5到200.0米之间 " : "波速应在100到10000m/s之间 ");
        EXPECT_EQ(bar.m_fLength, oldLength);
        EXPECT_EQ(bar.m_nSpeed, oldSpeed);
        EXPECT_FALSE(doc.m_Piles[0].NeedsSettling()); // nothing applied
        EXPECT_EQ(doc.m_bModified, 0);
    }
    EXPECT_EQ(bar.LastEntered(), c.length ? 0 : 1);
}

INSTANTIATE_TEST_SUITE_P(Values, Commit,
                         ::testing::Values(CommitCase{true, 250.f, false}, CommitCase{true, 0.5f, true},
                                           CommitCase{true, 200.f, true}, CommitCase{true, 0.49f, false},
                                           CommitCase{true, 200.1f, false}, CommitCase{true, NAN, false},
                                           CommitCase{false, 100, true}, CommitCase{false, 10000, true},
                                           CommitCase{false, 99, false}, CommitCase{false, 10001, false}));

TEST(Document, CommitOfTheSameValueAppliesNothing) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    EXPECT_EQ(doc.Estimate().CommitLength(&doc, 10.f), "");
    EXPECT_EQ(doc.Estimate().m_bLengthEntered, 1);
    EXPECT_EQ(doc.m_bModified, 0);
}

TEST(Document, WithoutADocumentOnlyTheLastEnteredFieldChanges) {
    CEstimateState bar;
    bar.m_fLength = 7.f;
    bar.m_nSpeed = 3000;
    EXPECT_EQ(bar.CommitSpeed(nullptr, 99999), "");
    EXPECT_EQ(bar.LastEntered(), 1);
    EXPECT_EQ(bar.CommitLength(nullptr, 12.f), "");
    EXPECT_EQ(bar.LastEntered(), 0);
    EXPECT_EQ(bar.m_fLength, 7.f);
    EXPECT_EQ(bar.m_nSpeed, 3000);
    EXPECT_EQ(bar.m_bLengthEntered, 0);
    bar.ScopeChanged(nullptr, kScopeAll);
    EXPECT_EQ(bar.m_strScope, kScopeCurrent);
}

TEST(Document, LengthModeDerivesSpeedPerRecordAndFallbacksCarry) {
    CDEVAzazDoc doc;
    auto piles = Named({"1", "2", "3"});
    piles[1].m_fSampleInterval = 0.f; // cannot derive a speed: takes the fallback
    piles[2].m_fSampleInterval = 25.f;
    Load(doc, std::move(piles));
    CEstimateState& bar = doc.Estimate();
    bar.m_strScope = kScopeAll;
    ASSERT_EQ(bar.CommitLength(&doc, 12.f), "");
    // Record 1: toe 250 at 20 us, 12 m -> 4800 m/s.
    EXPECT_EQ(doc.m_Piles[0].m_fPileLength, 12.f);
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 4800);
    // Record 2: no speed can be derived: the bar keeps 4800 and its length becomes the record's 10 m.
    EXPECT_EQ(doc.m_Piles[1].m_fPileLength, 10.f);
    EXPECT_EQ(doc.m_Piles[1].m_nWaveSpeed, 4800);
    // Record 3 sees the carried bar length 10 m, its own too: it keeps its speed.
    EXPECT_EQ(doc.m_Piles[2].m_fPileLength, 10.f);
    EXPECT_EQ(doc.m_Piles[2].m_nWaveSpeed, 4000);
    EXPECT_EQ(bar.m_fLength, 10.f);
}

TEST(Document, SpeedModeDerivesLengthAndFallsBackOutOfRange) {
    CDEVAzazDoc doc;
    auto piles = Named({"1", "2"});
    piles[1].m_fPileLength = 150.f; // at 20 us the toe is at 3750 points: 9000 m/s would give 337.5 m
    Load(doc, std::move(piles));
    CEstimateState& bar = doc.Estimate();
    bar.m_strScope = kScopeAll;
    ASSERT_EQ(bar.CommitSpeed(&doc, 9000), "");
    EXPECT_EQ(doc.m_Piles[0].m_fPileLength, 22.5f); // 20 · 250 · 9000 · 5e-7
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 9000);
    EXPECT_EQ(doc.m_Piles[1].m_fPileLength, 22.5f); // fallback: the bar's previous length stays ...
    EXPECT_EQ(doc.m_Piles[1].m_nWaveSpeed, 4000);   // ... and its speed becomes the record's own
}

TEST(Document, DerivedSpeedIsCheckedBeforeItIsNarrowed) {
    CDEVAzazDoc doc;
    auto piles = Named({"1"});
    piles[0].m_fPileLength = 0.6f; // toe at 15 points; 200 m would need 1,333,333 m/s
    Load(doc, std::move(piles));
    ASSERT_EQ(doc.Estimate().CommitLength(&doc, 200.f), "");
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 4000);
    EXPECT_EQ(doc.m_Piles[0].m_fPileLength, 0.6f);
}

TEST(Document, PlainApplyDoesNotDriftLengthOrSpeed) {
    for (bool lengthMode : {false, true}) {
        CDEVAzazDoc doc;
        auto piles = Named({"1"});
        piles[0].m_fPileLength = 13.9f;
        piles[0].m_nWaveSpeed = 3333;
        Load(doc, std::move(piles));
        doc.Estimate().m_bLengthEntered = lengthMode;
        for (int i = 0; i < 3; ++i) {
            doc.m_Pending.m_fLowPass = 1.f + i;
            doc.ApplyPending();
        }
        EXPECT_EQ(doc.m_Piles[0].m_fPileLength, 13.9f) << lengthMode;
        EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 3333) << lengthMode;
    }
}

TEST(Document, GainDelayIsKeptWithinEightTenthsOfTheLength) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    doc.m_Pending.m_fGainDelay = 10.f;
    ASSERT_EQ(doc.Estimate().CommitLength(&doc, 5.f), "");
    EXPECT_FLOAT_EQ(doc.m_Pending.m_fGainDelay, 4.f);
    EXPECT_FLOAT_EQ(doc.m_Piles[0].m_fGainDelay, 4.f);
}

// The scope box writes the bar's speed into every record with its toe kept: 10 m at 4000 m/s is
// 8 m at 3200 m/s. The bar's own length is not written.
TEST(Document, ScopeChangeWritesTheBarsSpeedWithTheToeKept) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1", "2", "3"}));
    CEstimateState& bar = doc.Estimate();
    bar.m_fLength = 7.f;
    bar.m_nSpeed = 3200;
    doc.m_Pending.m_fLowPass = 1.5f;
    doc.m_Pending.m_nZoom = 9;
    bar.ScopeChanged(&doc, kScopeAll);
    for (const auto& p : doc.m_Piles) {
        EXPECT_EQ(p.m_fPileLength, 8.f);
        EXPECT_EQ(p.m_nWaveSpeed, 3200);
        EXPECT_EQ(p.m_fLowPass, 1.5f);
        EXPECT_NE(p.m_nZoom, 9); // not on this path
        EXPECT_TRUE(p.NeedsSettling());
    }
    EXPECT_EQ(bar.m_strScope, kScopeAll);
}

TEST(Document, HeadAndToeAtTheCursor) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    CPileRecord& p = doc.m_Piles[0];
    EXPECT_EQ(doc.SetHeadAtColumn(300), "桩头不能在桩底之后"); // head 50 + toe 250
    EXPECT_EQ(doc.SetHeadAtColumn(60), "");
    EXPECT_EQ(p.m_nHeadSample, 60);
    EXPECT_EQ(doc.SetToeAtColumn(60), "桩底不能在桩头之前");
    // Length entered last: the toe sets the speed. 200 points after the head for 10 m: 5000 m/s.
    doc.Estimate().m_nLastEntered = 0;
    EXPECT_EQ(doc.SetToeAtColumn(260), "");
    EXPECT_EQ(p.m_nWaveSpeed, 5000);
    EXPECT_EQ(doc.Estimate().m_nSpeed, 5000);
    EXPECT_EQ(doc.SetToeAtColumn(61), "波速应在100到10000m/s之间 "); // 1,000,000 m/s: refused
    // Speed entered last: the toe sets the length. 100 points at 5000 m/s, 20 us: 5.0 m.
    doc.Estimate().m_nLastEntered = 1;
    EXPECT_EQ(doc.SetToeAtColumn(160), "");
    EXPECT_EQ(p.m_fPileLength, 5.0f);
    EXPECT_EQ(doc.Estimate().m_fLength, 5.0f);
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST(Document, ToolChoice) {
    CDEVAzazDoc doc;
    doc.ChooseTool(cmd::kToolRotate);
    EXPECT_EQ(doc.m_nToolCode, 1);
    EXPECT_TRUE(doc.GetCommandState(cmd::kToolRotate).checked);
    doc.ChooseTool(cmd::kToolLocalZoom);
    EXPECT_EQ(doc.m_nToolCode, 5);
    EXPECT_FALSE(doc.GetCommandState(cmd::kToolRotate).checked);
    doc.ChooseTool(cmd::kToolLocalZoom);
    EXPECT_EQ(doc.m_nToolCode, -1);
    EXPECT_FALSE(doc.GetCommandState(cmd::kToolLocalZoom).checked);
    doc.ChooseTool(cmd::kToolShift);
    doc.ChooseTool(cmd::kToolOwnFlag); // its own flag only; the code stays
    EXPECT_EQ(doc.m_nToolCode, 0);
    EXPECT_TRUE(doc.GetCommandState(cmd::kToolOwnFlag).checked);
    EXPECT_FALSE(doc.GetCommandState(cmd::kToolShift).checked);
}

TEST(Document, DcRemovalSwitchAgreesWithEveryRecord) {
    CDEVAzazDoc doc;
    EXPECT_EQ(doc.m_bRemoveDC, 1);
    Load(doc, Named({"1", "2"}));
    doc.ToggleRemoveDC();
    for (const auto& p : doc.m_Piles) {
        EXPECT_EQ(p.m_bRemoveDC, 0);
        EXPECT_TRUE(p.NeedsSettling());
    }
    EXPECT_FALSE(doc.GetCommandState(cmd::kRemoveDC).checked);
}

TEST(Document, LayoutsAndToggles) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1"}));
    doc.SetLayout(cmd::kPowerSpectrum);
    EXPECT_EQ(doc.m_Display.m_nLayout, 4);
    EXPECT_TRUE(doc.GetCommandState(cmd::kPowerSpectrum).checked);
    EXPECT_FALSE(doc.GetCommandState(cmd::kSingleTrace).checked);
    doc.SetLayout(cmd::kThreeTraces);
    EXPECT_EQ(doc.m_bThree, 1);
    EXPECT_EQ(doc.m_Display.m_nLayout, 1);
    doc.ToggleInvert();
    doc.ToggleVariableArea();
    doc.ToggleScale();
    EXPECT_EQ(doc.m_Display.m_bInvert, 1);
    EXPECT_EQ(doc.m_Display.m_bVariableArea, 1);
    EXPECT_EQ(doc.m_bScale, 0);
    doc.ToggleIntegrate();
    EXPECT_EQ(doc.m_Piles[0].m_bIntegrate, 1);
    EXPECT_TRUE(doc.GetCommandState(cmd::kIntegrate).checked);
}

TEST(Document, NeighboursForThreeTraces) {
    CDEVAzazDoc doc;
    Load(doc, Named({"a", "b", "c", "d"}));
    doc.SetCurrentPile(0);
    EXPECT_EQ(doc.m_nPrevPile, 4);
    EXPECT_EQ(doc.m_nNextPile, 2);
    doc.SetCurrentPile(3);
    EXPECT_EQ(doc.m_nPrevPile, 3);
    EXPECT_EQ(doc.m_nNextPile, 1);
    EXPECT_EQ(doc.GetCurrentPileNo(), 4);
}

TEST(Document, SelectionLoadsThePendingSetAndTheBar) {
    CDEVAzazDoc doc;
    auto piles = Named({"1", "2"});
    piles[1].m_fLowPass = 2.f;
    piles[1].m_fPileLength = 17.f;
    piles[1].AdjustSegment(1, 3, 1);
    Load(doc, std::move(piles));
    doc.SetSelection({2, 1});
    EXPECT_EQ(doc.GetCurrentPileNo(), 2);
    EXPECT_EQ(doc.m_Pending.m_fLowPass, 2.f);
    EXPECT_EQ(doc.m_Pending.m_nSegmentsKept, 1);
    EXPECT_EQ(doc.Estimate().m_fLength, 17.f);
    doc.LoadPending(-1);
    EXPECT_EQ(doc.m_Pending.m_fGain, 1.f);
    EXPECT_EQ(doc.Estimate().m_fLength, 17.f); // the reset leaves the bar alone
}

TEST(Document, AverageAddsTheCurrentPile) {
    CDEVAzazDoc doc;
    Load(doc, Named({"A", "A", "B"}));
    doc.ToggleRemoveDC(); // off
    doc.m_nSelection = {1};
    EXPECT_EQ(doc.AverageSelection(), "请选择多个记录！");
    doc.m_nSelection = {1, 3};
    EXPECT_EQ(doc.AverageSelection(), "请选择相同名字的桩");
    EXPECT_EQ(doc.GetPileCount(), 3);
    doc.m_nSelection = {1, 2};
    EXPECT_EQ(doc.AverageSelection(), "");
    EXPECT_EQ(doc.GetPileCount(), 4);
    EXPECT_EQ(doc.GetCurrentPileNo(), 4);
    EXPECT_EQ(doc.m_Piles[3].m_bRemoveDC, 0); // takes the document's switch
    EXPECT_EQ(doc.m_bModified, 1);
}

class DocumentFiles : public TempDir {};

TEST_F(DocumentFiles, MergeThreeAndTwo) {
    const std::string a = Write("a.wvf", test::ProjectBytes(3, Named({"1", "2", "3"}), test::MakeHeader("单位一", "工程一")));
    const std::string b = Write("b.wvf", test::ProjectBytes(2, Named({"4", "5"}), test::MakeHeader("单位二", "工程二")));
    CDEVAzazDoc doc;
    const CDocResult r = doc.MergeFiles(a, b);
    ASSERT_TRUE(r.Ok()) << r.m_strDetail;
    ASSERT_EQ(doc.GetPileCount(), 5);
    for (int i = 0; i < 5; ++i) EXPECT_EQ(doc.m_Piles[i].m_nPileNo, i + 1);
    EXPECT_EQ(doc.m_Piles[3].GetPileName(), "4");
    EXPECT_EQ(doc.m_Header.GetTestUnit(), "单位一");
    EXPECT_EQ(doc.m_strTitle, "New_Data");
    EXPECT_EQ(doc.m_strPath, "New_Data");
    EXPECT_EQ(doc.m_bModified, 1);
    EXPECT_EQ(doc.GetCurrentPileNo(), 1);
    for (const auto& p : doc.m_Piles) EXPECT_EQ(p.m_bRemoveDC, 1);
}

TEST_F(DocumentFiles, MergeRefusals) {
    auto bad = test::ProjectBytes(3, Named({"1"}));
    std::memcpy(bad.data(), "XYZ12", 5);
    const std::string badPath = Write("bad.wvf", bad);
    const std::string good = Write("good.wvf", test::ProjectBytes(3, Named({"1", "2"})));
    std::vector<CPileRecord> many;
    for (int i = 0; i < 260; ++i) many.push_back(Pile(i + 1, "x"));
    const std::string big = Write("big.wvf", test::ProjectBytes(3, many));

    for (const auto& [p1, p2] : std::vector<std::pair<std::string, std::string>>{{good, badPath}, {big, big}}) {
        CDEVAzazDoc doc;
        Load(doc, Named({"keep"}));
        const CDocResult r = doc.MergeFiles(p1, p2);
        EXPECT_FALSE(r.Ok());
        EXPECT_EQ(r.m_strMessage, "合并文件失败！");
        EXPECT_EQ(doc.GetPileCount(), 0);
    }
    CDEVAzazDoc doc;
    Load(doc, Named({"keep"}));
    EXPECT_FALSE(doc.MergeFiles(good, (m_Dir / "missing.wvf").string()).Ok());
    EXPECT_EQ(doc.GetPileCount(), 1); // nothing could be opened: nothing changes
}

TEST_F(DocumentFiles, SaveCheckedWritesTheCheckedPiles) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1", "2", "3"}));
    const std::string none = (m_Dir / "none.wvf").string();
    const CDocResult empty = doc.SaveChecked(none);
    EXPECT_EQ(empty.m_strMessage, "您没有选择要保存的桩!");
    EXPECT_FALSE(fs::exists(none));

    doc.m_Piles[0].m_bChecked = 1;
    doc.m_Piles[2].m_bChecked = 1;
    const std::string out = (m_Dir / "checked.wvf").string();
    ASSERT_TRUE(doc.SaveChecked(out).Ok());
    CProjectData data;
    int version = 0;
    ASSERT_TRUE(LoadProjectFile(out, data, &version).m_bOk);
    EXPECT_EQ(version, 1);
    EXPECT_EQ(data.m_Header.m_nPileCount, 2);
    EXPECT_EQ(data.m_Piles[1].GetPileName(), "3");
    EXPECT_EQ(doc.SaveChecked((m_Dir / "no" / "x.wvf").string()).m_strMessage, "文件打开失败!文件夹不存在。");
}

TEST_F(DocumentFiles, SaveAndOpenProjectsAndFolders) {
    CDEVAzazDoc doc;
    Load(doc, Named({"1", "2"}));
    doc.m_Header.SetProjectName("工程");
    doc.m_Piles[1].m_bChecked = 1;
    doc.SetModified();
    const std::string path = (m_Dir / "site.wvf").string();
    ASSERT_TRUE(doc.Save(path).Ok());
    EXPECT_EQ(doc.m_bModified, 0);
    EXPECT_EQ(doc.m_strTitle, "site.wvf");

    // A saved project opens as a project (its check marks and texts with it).
    CDEVAzazDoc again;
    ASSERT_TRUE(again.Open(path).Ok());
    ASSERT_EQ(again.GetPileCount(), 2);
    EXPECT_EQ(again.m_Piles[1].m_bChecked, 1);
    EXPECT_EQ(again.m_Header.GetProjectName(), "工程");
    EXPECT_EQ(again.GetCurrentPileNo(), 1);
    EXPECT_EQ(again.m_strPath, path);

    // Any other file opens the tester folder it lies in; without idindx.par that is an empty project.
    const std::string other = Write("notes.txt", {'h', 'i'});
    ASSERT_TRUE(again.Open(other).Ok());
    EXPECT_EQ(again.GetPileCount(), 0);
    std::vector<uint8_t> index(44, 0);
    test::PutI16(index, 42, 1);
    Write("idindx.par", index);
    ASSERT_TRUE(again.Open(other).Ok());
    EXPECT_EQ(again.GetPileCount(), 1);
    EXPECT_EQ(again.m_Header.GetProjectName(), "工程"); // a folder brings no texts
}

TEST(Document, ListenersHearWhatChanged) {
    struct CRecorder : IDocumentListener {
        unsigned seen = 0;
        void OnDocumentChanged(unsigned c) override { seen |= c; }
    } recorder;
    CDEVAzazDoc doc;
    doc.AddListener(&recorder);
    Load(doc, Named({"1"}));
    EXPECT_TRUE(recorder.seen & kChangedCurrent);
    recorder.seen = 0;
    doc.ToggleInvert();
    EXPECT_EQ(recorder.seen, kChangedDisplay);
    recorder.seen = 0;
    doc.ApplyPending();
    EXPECT_TRUE(recorder.seen & kChangedModified);
    EXPECT_TRUE(recorder.seen & kChangedRecords);
    doc.RemoveListener(&recorder);
    recorder.seen = 0;
    doc.ToggleScale();
    EXPECT_EQ(recorder.seen, 0u);
}

} // namespace
