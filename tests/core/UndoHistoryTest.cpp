// Undo and redo over the sample site: every kind of edit taken back and done again leaves the project
// byte for byte as it was, with the modified flag of that moment.
#include "core/CDEVAzazDoc.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

#include "core/CByteSource.h"
#include "core/CEstimateState.h"
#include "core/PileOrder.h"
#include "core/ProjectFile.h"

namespace {

using namespace pw;
namespace fs = std::filesystem;

const std::string kSite = std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf";

std::vector<uint8_t> Saved(CDEVAzazDoc& doc) {
    CMemorySink sink;
    CProjectHeader header = doc.m_Header;
    header.m_nPileCount = static_cast<int16_t>(doc.m_Piles.size());
    WriteProject(sink, header, doc.m_Piles);
    return sink.m_Bytes;
}

void OpenSite(CDEVAzazDoc& doc) {
    ASSERT_TRUE(doc.Open(kSite).Ok());
    doc.EnableHistory();
    doc.SetSelection({3});
}

// Columns of the current pile measured from the trace box's left edge, as the view's cursor gives them.
int HeadColumn(CDEVAzazDoc& doc) { return doc.GetCurrentPile()->GetHeadPoint() + doc.GetCurrentPile()->m_nShiftX; }
int ToeColumn(CDEVAzazDoc& doc) { return HeadColumn(doc) + doc.GetCurrentPile()->ToePoint().value_or(0); }

struct Edit {
    const char* szName;
    std::function<void(CDEVAzazDoc&)> run;
};

const Edit kEdits[] = {
    {"低通 全部波列",
     [](CDEVAzazDoc& d) {
         d.Estimate().m_strScope = kScopeAll;
         d.m_Pending.m_fLowPass = 1.5f;
         EXPECT_EQ(d.ApplyPending(), "");
     }},
    {"桩长 当前组", [](CDEVAzazDoc& d) {
         d.Estimate().m_strScope = kScopeGroup;
         EXPECT_EQ(d.Estimate().CommitLength(&d, 13.5f), "");
     }},
    {"添加缺陷", [](CDEVAzazDoc& d) { EXPECT_EQ(d.AddDefectAtColumn(2, (HeadColumn(d) + ToeColumn(d)) / 2), ""); }},
    {"删除缺陷", [](CDEVAzazDoc& d) {
         const int head = HeadColumn(d), toe = ToeColumn(d);
         ASSERT_EQ(d.AddDefectAtColumn(1, (head + toe) / 2), "");
         ASSERT_EQ(d.AddDefectAtColumn(3, (head + 3 * toe) / 4), "");
         d.RecordStep("添加缺陷");
         EXPECT_TRUE(d.DeleteDefect(0));
     }},
    {"桩底", [](CDEVAzazDoc& d) { EXPECT_EQ(d.SetToeAtColumn(ToeColumn(d) + 12), ""); }},
    {"前置零", [](CDEVAzazDoc& d) { EXPECT_EQ(d.PreZero(5), ""); }},
    {"频谱标记", [](CDEVAzazDoc& d) { EXPECT_TRUE(d.AddSpectrumMark(40)); }},
    {"选中", [](CDEVAzazDoc& d) { d.SetChecked(7, !d.FindPile(7)->m_bChecked); }},
    {"删除波形", [](CDEVAzazDoc& d) { EXPECT_EQ(d.DeletePile(2), 1); }},
    {"删除最后一根", [](CDEVAzazDoc& d) { EXPECT_EQ(d.DeletePile(d.GetPileCount() - 1), 1); }},
    {"平均", [](CDEVAzazDoc& d) {
         // Two records of one pile (repeated blows), chosen together.
         std::vector<int> pair;
         for (std::size_t i = 0; i < d.m_Piles.size() && pair.empty(); ++i)
             for (std::size_t j = i + 1; j < d.m_Piles.size() && pair.empty(); ++j)
                 if (TrimmedPileName(d.m_Piles[i]) == TrimmedPileName(d.m_Piles[j]))
                     pair = {d.m_Piles[i].m_nPileNo, d.m_Piles[j].m_nPileNo};
         ASSERT_FALSE(pair.empty());
         d.SetSelection(pair);
         EXPECT_FALSE(d.RecordStep("选择")) << "a selection alone is not a step";
         EXPECT_EQ(d.AverageSelection(), "");
     }},
    {"恢复参数", [](CDEVAzazDoc& d) {
         d.m_Pending.m_fLowPass = 1.2f;
         ASSERT_EQ(d.ApplyPending(), "");
         d.RecordStep("滤波");
         EXPECT_EQ(d.RestoreParameters(), "");
     }},
    {"类别 Ⅲ", [](CDEVAzazDoc& d) { EXPECT_GT(d.SetPileClass(1, 3), 0); }},
    {"工程信息", [](CDEVAzazDoc& d) {
         d.m_Header.SetProjectName("另一工程");
         d.SetModified(true);
     }},
};

class UndoEveryEdit : public ::testing::TestWithParam<Edit> {};

TEST_P(UndoEveryEdit, UndoAndRedoGiveBackTheSameBytes) {
    CDEVAzazDoc d;
    OpenSite(d);
    const auto original = Saved(d);
    const int piles = d.GetPileCount();
    // Some edits record a step of their own first (a defect added before it is deleted).
    GetParam().run(d);
    const auto after = Saved(d);
    ASSERT_TRUE(d.RecordStep(GetParam().szName));
    EXPECT_EQ(d.UndoName(), GetParam().szName);
    ASSERT_TRUE(d.Undo());
    EXPECT_NE(Saved(d), after) << "the edit changed nothing";
    EXPECT_EQ(d.RedoName(), GetParam().szName);
    ASSERT_TRUE(d.Redo());
    EXPECT_EQ(Saved(d), after);
    EXPECT_EQ(d.m_bModified, 1);
    while (d.Undo()) {
    }
    EXPECT_EQ(Saved(d), original);
    EXPECT_EQ(d.m_bModified, 0) << "back at the opened file";
    EXPECT_EQ(d.GetPileCount(), piles);
    while (d.Redo()) {
    }
    EXPECT_EQ(Saved(d), after);
    EXPECT_EQ(d.m_bModified, 1);
}

INSTANTIATE_TEST_SUITE_P(Edits, UndoEveryEdit, ::testing::ValuesIn(kEdits),
                         [](const ::testing::TestParamInfo<Edit>& info) { return "Edit" + std::to_string(info.index); });

TEST(UndoHistory, TheScreensStepAndTheSelectionAreNotEdits) {
    CDEVAzazDoc doc;
    OpenSite(doc);
    for (auto& p : doc.m_Piles) p.m_nStep = static_cast<int16_t>(p.m_nStep + 1);
    doc.SetSelection({9});
    EXPECT_FALSE(doc.RecordStep("显示"));
    EXPECT_FALSE(doc.Undo());
}

TEST(UndoHistory, KeepsAtLeastAHundredStepsAndItsLimit) {
    CDEVAzazDoc doc;
    OpenSite(doc);
    const auto original = Saved(doc);
    const std::size_t n = CUndoHistory::kMaxSteps + 20;
    for (std::size_t i = 0; i < n; ++i) {
        doc.SetChecked(1 + static_cast<int>(i % 30), !doc.FindPile(1 + static_cast<int>(i % 30))->m_bChecked);
        ASSERT_TRUE(doc.RecordStep("选中"));
    }
    int undone = 0;
    while (doc.Undo()) ++undone;
    EXPECT_GE(undone, 100);
    EXPECT_EQ(static_cast<std::size_t>(undone), CUndoHistory::kMaxSteps);
    // The oldest steps went: the opened state is out of reach, so the project stays modified.
    EXPECT_NE(Saved(doc), original);
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST(UndoHistory, TheSavedStateClearsTheModifiedFlag) {
    const fs::path dir = fs::temp_directory_path() / "pw-undo-saved";
    fs::remove_all(dir);
    fs::create_directories(dir);
    CDEVAzazDoc doc;
    OpenSite(doc);
    ASSERT_EQ(doc.PreZero(4), "");
    ASSERT_TRUE(doc.RecordStep("前置零"));
    ASSERT_TRUE(doc.Save((dir / "a.wvf").string()).Ok());
    EXPECT_FALSE(doc.RecordStep("保存")) << "a save changes no record";
    ASSERT_EQ(doc.PostCut(10), "");
    ASSERT_TRUE(doc.RecordStep("后置零"));
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_bModified, 0) << "back at the saved file";
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_bModified, 1) << "before the save: the file on disk differs";
    ASSERT_TRUE(doc.Redo());
    EXPECT_EQ(doc.m_bModified, 0);
    // A new edit after undoing past the save: the saved state can no longer be reached by redo.
    ASSERT_TRUE(doc.Undo());
    doc.SetChecked(2, true);
    ASSERT_TRUE(doc.RecordStep("选中"));
    EXPECT_FALSE(doc.Redo());
    ASSERT_TRUE(doc.Undo());
    EXPECT_EQ(doc.m_bModified, 1);
    fs::remove_all(dir);
}

TEST(UndoHistory, OpenNewAndMergeForgetTheHistory) {
    CDEVAzazDoc doc;
    OpenSite(doc);
    doc.SetChecked(1, true);
    ASSERT_TRUE(doc.RecordStep("选中"));
    ASSERT_TRUE(doc.Open(kSite).Ok());
    EXPECT_EQ(doc.UndoName(), "");
    doc.SetChecked(1, true);
    ASSERT_TRUE(doc.RecordStep("选中"));
    doc.NewDocument();
    EXPECT_FALSE(doc.Undo());
    ASSERT_TRUE(doc.Open(kSite).Ok());
    doc.SetChecked(1, true);
    ASSERT_TRUE(doc.RecordStep("选中"));
    ASSERT_TRUE(doc.MergeFiles(kSite, kSite).Ok());
    EXPECT_FALSE(doc.Undo());
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST(UndoHistory, AScopeApplyKeepsOnlyTheChangedFields) {
    CDEVAzazDoc doc;
    OpenSite(doc);
    doc.Estimate().m_strScope = kScopeAll;
    doc.m_Pending.m_fHighPass = 30.f;
    ASSERT_EQ(doc.ApplyPending(), "");
    ASSERT_TRUE(doc.RecordStep("高通"));
    // 30 records of about 4.3 KB each: the step holds a small share of their stored forms.
    ASSERT_NE(doc.History(), nullptr);
    EXPECT_LT(doc.History()->HeldBytes(), 30u * 4300u / 4u);
}

} // namespace
