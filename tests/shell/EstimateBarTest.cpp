// The estimate bar's edits and scope box driving the document: range messages with the previous
// value put back, commits applied to the chosen scope, Enter, and the edits following the current pile.
#include <QComboBox>
#include <QTest>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/CoreMessages.h"
#include "shell/CDataListView.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/EstimateBar.h"
#include "shell/EstimateEdit.h"

namespace pw {
namespace {

struct EstimateBarTest : ::testing::Test {
    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    EstimateBar& bar = *frame.MainBar();

    void Open(const std::vector<test::CPileDescription>& piles) {
        ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "p.wvf", piles)));
    }
    void Type(EstimateEdit* edit, const char* text) { edit->setText(QString::fromUtf8(text)); }
};

TEST_F(EstimateBarTest, OutOfRangeValuesAreRefusedAndThePreviousValueReturns) {
    Open({{"1", 12.5f, 3800}});
    struct Case {
        bool length;
        const char* typed;
        const char* message; // nullptr: accepted
    };
    const Case cases[] = {
        {true, "250", msg::kLengthRange},
        {true, "0.49", msg::kLengthRange},
        {true, "200.1", msg::kLengthRange},
        {true, "abc", "请键入一个数。"},
        {true, "0.5", nullptr},
        {true, "200", nullptr},
        {false, "99", msg::kSpeedRange},
        {false, "10001", msg::kSpeedRange},
        {false, "4.5", "请键入一个整数。"},
        {false, "100", nullptr},
        {false, "10000", nullptr},
    };
    for (const Case& c : cases) {
        EstimateEdit* edit = c.length ? bar.LengthEdit() : bar.SpeedEdit();
        const QString before = edit->text();
        prompts.m_Told.clear();
        Type(edit, c.typed);
        c.length ? bar.CommitLength() : bar.CommitSpeed();
        if (c.message) {
            EXPECT_EQ(prompts.m_Told, QStringList{QString::fromUtf8(c.message)}) << c.typed;
            EXPECT_EQ(edit->text(), before) << c.typed;
        } else {
            // Accepted; the edit then shows what the apply settled on (a derived value out of range
            // falls back to the record's own), so only the silence is checked here.
            EXPECT_TRUE(prompts.m_Told.isEmpty()) << c.typed;
        }
        EXPECT_EQ(doc.Estimate().LastEntered(), c.length ? 0 : 1) << c.typed;
    }
}

TEST_F(EstimateBarTest, RefusedLengthChangesNoTrace) {
    Open({{"1", 12.5f, 3800}});
    Type(bar.LengthEdit(), "250");
    bar.CommitLength();
    EXPECT_FLOAT_EQ(doc.m_Piles[0].m_fPileLength, 12.5f);
    EXPECT_FALSE(doc.m_bModified);
    EXPECT_EQ(bar.LengthEdit()->text(), "12.5");
}

TEST_F(EstimateBarTest, CommitAppliesToTheChosenScope) {
    struct Case {
        const char* scope;
        std::vector<bool> changed;
    };
    const Case cases[] = {
        {"当前道", {true, false, false, false}},
        {"当前组", {true, true, true, false}},
        {"全部波列", {true, true, true, true}},
    };
    for (const Case& c : cases) {
        doc.SetModified(false); // the previous case's apply; reopening must not ask
        Open({{"12", 10.f, 3800}, {" 12", 10.f, 3800}, {"12 ", 10.f, 3800}, {"13", 10.f, 3800}});
        bar.ScopeBox()->setCurrentText(QString::fromUtf8(c.scope));
        doc.Estimate().m_strScope = c.scope; // as a pick in the box would set it, without its write-through
        Type(bar.LengthEdit(), "20");
        bar.CommitLength();
        for (std::size_t i = 0; i < 4; ++i)
            EXPECT_EQ(doc.m_Piles[i].m_fPileLength == 20.f, c.changed[i]) << c.scope << " record " << i;
        EXPECT_TRUE(doc.m_bModified);
    }
}

// The bar's speed goes into every record with each toe kept: the lengths follow the speed (20 m at
// 4000 m/s is 15 m at 3000 m/s), and a defect keeps its time.
TEST_F(EstimateBarTest, PickingAScopeWritesTheBarsSpeedWithEachToeKept) {
    Open({{"1", 10.f, 3000}, {"2", 20.f, 4000}, {"3", 30.f, 4200}});
    doc.m_Piles[1].AddDefect(8.f, 2);
    const int all = bar.ScopeBox()->findText(QString::fromUtf8("全部波列"));
    bar.ScopeBox()->setCurrentIndex(all);
    bar.ChooseScope(all);
    const float lengths[] = {10.f, 15.f, 21.4f};
    for (std::size_t i = 0; i < 3; ++i) {
        EXPECT_NEAR(doc.m_Piles[i].m_fPileLength, lengths[i], 0.11f) << i;
        EXPECT_EQ(doc.m_Piles[i].m_nWaveSpeed, 3000) << i;
    }
    EXPECT_FLOAT_EQ(doc.m_Piles[1].m_Defects[0].fDepth, 6.f);
    EXPECT_EQ(doc.Estimate().m_strScope, "全部波列");
    EXPECT_TRUE(doc.m_bModified);
}

// A speed typed into the bar keeps the toe's and the defects' times: the length and the depths follow.
TEST_F(EstimateBarTest, ATypedSpeedKeepsTheDefectsOnTheirEchoes) {
    Open({{"1", 10.f, 4000}});
    doc.m_Piles[0].AddDefect(5.2f, 2);
    Type(bar.SpeedEdit(), "3400");
    bar.CommitSpeed();
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 3400);
    EXPECT_FLOAT_EQ(doc.m_Piles[0].m_fPileLength, 8.5f);
    EXPECT_FLOAT_EQ(doc.m_Piles[0].m_Defects[0].fDepth, 4.4f); // 2.6 ms after the head either way
    EXPECT_EQ(bar.LengthEdit()->text(), "8.5");
}

TEST_F(EstimateBarTest, EnterInTheSpeedEditCommitsAndLeavesTheEdit) {
    Open({{"1", 10.f, 3000}});
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    bar.SpeedEdit()->setFocus();
    bar.SpeedEdit()->selectAll();
    QTest::keyClicks(bar.SpeedEdit(), "4000");
    QTest::keyClick(bar.SpeedEdit(), Qt::Key_Return);
    EXPECT_EQ(doc.Estimate().LastEntered(), 1);
    EXPECT_EQ(doc.Estimate().m_bLengthEntered, 0);
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 4000);
    EXPECT_FALSE(bar.SpeedEdit()->hasFocus());
}

TEST_F(EstimateBarTest, EditsFollowTheCurrentPile) {
    EXPECT_EQ(bar.LengthEdit()->text(), "0");
    EXPECT_EQ(bar.SpeedEdit()->text(), "0");
    Open({{"1", 10.f, 3000}, {"2", 23.4f, 4100}});
    EXPECT_EQ(bar.LengthEdit()->text(), "10");
    doc.SetSelection({2});
    EXPECT_EQ(bar.LengthEdit()->text(), "23.4");
    EXPECT_EQ(bar.SpeedEdit()->text(), "4100");
}

} // namespace
} // namespace pw
