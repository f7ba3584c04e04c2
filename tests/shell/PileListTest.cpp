// The pile list with a real document: rows, the name order of a selection, keys and clicks that
// choose the current pile, check boxes into m_bChecked and the files, and deleting rows.
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/ProjectFile.h"
#include "shell/CCommandRouter.h"
#include "shell/CDataListView.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"

namespace pw {
namespace {

using test::CPileDescription;

struct PileListTest : ::testing::Test {
    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    CDataListView& list = *frame.ListView();

    PileListTest() {
        frame.resize(1000, 600);
        frame.show(); // clicks need laid-out rows
    }
    void Open(const std::vector<CPileDescription>& piles) {
        ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "p.wvf", piles)));
    }
    void ClickRow(int row, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        const QRect r = list.visualItemRect(list.topLevelItem(row));
        QTest::mouseClick(list.viewport(), Qt::LeftButton, mods, r.center() + QPoint(40, 0));
    }
};

TEST_F(PileListTest, RowsShowNumberTrimmedNameAndDate) {
    Open({{" A1 "}, {"桩2"}});
    ASSERT_EQ(list.topLevelItemCount(), 2);
    EXPECT_EQ(list.topLevelItem(0)->text(0), "1");
    EXPECT_EQ(list.topLevelItem(0)->text(1), "A1");
    EXPECT_EQ(list.topLevelItem(1)->text(1), QString::fromUtf8("桩2"));
    EXPECT_EQ(list.topLevelItem(1)->text(2), "2024-05-17");
    EXPECT_TRUE(list.topLevelItem(0)->isSelected()); // the first pile is current after opening
}

// The 类别 column: the rule's class marked "*", the engineer's decision plain, for every record of
// the pile; a decision marks the project modified.
TEST_F(PileListTest, ClassColumnShowsTheRuleOrTheDecisionOfThePile) {
    Open({{"A1"}, {"B2"}, {" A1 "}});
    EXPECT_EQ(list.headerItem()->text(3), QString::fromUtf8("类别"));
    EXPECT_EQ(list.topLevelItem(0)->text(3), QString::fromUtf8("Ⅰ*"));
    doc.SetModified(false);
    doc.SetPileClass(1, 3);
    EXPECT_EQ(list.topLevelItem(0)->text(3), QString::fromUtf8("Ⅲ"));
    EXPECT_EQ(list.topLevelItem(2)->text(3), QString::fromUtf8("Ⅲ")) << "the other record of A1";
    EXPECT_EQ(list.topLevelItem(1)->text(3), QString::fromUtf8("Ⅰ*"));
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST_F(PileListTest, DateColumnTakesTheFixedCharacterPositions) {
    const std::pair<const char*, const char*> cases[] = {
        {"2024-05-17", "2024-05-17"}, {"2024/5/17 ", "2024-5/-7 "}, {"2024", "2024--"}, {"", "--"}};
    for (const auto& [stored, shown] : cases) {
        CPileRecord r;
        r.SetTestDate(stored);
        EXPECT_EQ(ListDateText(r), shown) << stored;
    }
}

TEST_F(PileListTest, SelectionIsSortedByNameBytesAndTheFirstBecomesCurrent) {
    Open({{"3"}, {"10"}, {"2"}, {"x"}});
    ClickRow(0);
    ClickRow(1, Qt::ControlModifier);
    ClickRow(2, Qt::ControlModifier);
    EXPECT_EQ(doc.m_nSelection, (std::vector<int>{2, 3, 1})); // "10" < "2" < "3"
    EXPECT_EQ(doc.GetCurrentPileNo(), 2);

    // Equal trimmed names keep list order; GBK bytes sort after ASCII.
    doc.SetModified(false);
    Open({{"b"}, {" a"}, {"桩"}, {"a "}, {"B"}});
    const auto sorted = SortByPileName(doc, {{1, 0}, {2, 1}, {3, 2}, {4, 3}, {5, 4}});
    EXPECT_EQ(sorted, (std::vector<CRowPile>{{5, 4}, {2, 1}, {4, 3}, {1, 0}, {3, 2}}));
}

TEST_F(PileListTest, UpAndDownMoveTheCurrentPileAndItsValues) {
    Open({{"1", 10.f, 3000}, {"2", 20.f, 4000}, {"3", 30.f, 4200}});
    ClickRow(0);
    list.setFocus();
    QTest::keyClick(&list, Qt::Key_Down);
    EXPECT_EQ(doc.GetCurrentPileNo(), 2);
    EXPECT_FLOAT_EQ(doc.Estimate().m_fLength, 20.f); // LoadPending ran for the new current pile
    QTest::keyClick(&list, Qt::Key_Down);
    QTest::keyClick(&list, Qt::Key_Up);
    EXPECT_EQ(doc.GetCurrentPileNo(), 2);
}

TEST_F(PileListTest, CheckBoxesReachTheRecordsAndTheFiles) {
    Open({{"1"}, {"2", 10.f, 3800, true}, {"3"}});
    EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Checked);
    list.topLevelItem(0)->setCheckState(0, Qt::Checked);
    list.topLevelItem(1)->setCheckState(0, Qt::Unchecked);
    list.topLevelItem(2)->setCheckState(0, Qt::Checked);
    EXPECT_EQ(doc.m_Piles[0].m_bChecked, 1);
    EXPECT_EQ(doc.m_Piles[1].m_bChecked, 0);
    EXPECT_EQ(list.CollectTicked(), (std::vector<CRowPile>{{1, 0}, {3, 2}}));

    const QString checked = dir.filePath("checked.wvf");
    prompts.m_Paths = {checked};
    frame.Router().Dispatch(32956);
    CProjectData data;
    int version = 0;
    ASSERT_TRUE(LoadProjectFile(checked.toStdString(), data, &version).m_bOk);
    EXPECT_EQ(version, 1);
    ASSERT_EQ(data.m_Piles.size(), 2u);
    EXPECT_EQ(data.m_Piles[1].GetPileName(), "3");

    // The version-3 file keeps the ticks; reopening shows them.
    const QString saved = dir.filePath("saved.wvf");
    prompts.m_Paths = {saved};
    frame.Router().Dispatch(57604);
    ASSERT_TRUE(frame.Files().OpenPath(saved));
    EXPECT_EQ(list.topLevelItem(0)->checkState(0), Qt::Checked);
    EXPECT_EQ(list.topLevelItem(1)->checkState(0), Qt::Unchecked);
    EXPECT_EQ(list.topLevelItem(2)->checkState(0), Qt::Checked);
}

TEST_F(PileListTest, DeleteAsksThenRemovesTheFirstSelectedRow) {
    Open({{"1"}, {"2"}, {"3"}, {"4"}, {"5"}});
    ClickRow(4);
    prompts.m_Answers = {QMessageBox::No};
    frame.Router().Dispatch(32909);
    EXPECT_EQ(prompts.m_Asked, QStringList{QString::fromUtf8("您确定删除这根桩吗?")});
    EXPECT_EQ(doc.GetPileCount(), 5);

    prompts.m_Answers = {QMessageBox::Yes};
    frame.Router().Dispatch(32909);
    ASSERT_EQ(list.topLevelItemCount(), 4);
    EXPECT_TRUE(list.topLevelItem(3)->isSelected()); // the new last row
    EXPECT_EQ(doc.GetCurrentPileNo(), 4);
    EXPECT_TRUE(doc.m_bModified);

    ClickRow(1);
    prompts.m_Answers = {QMessageBox::Yes};
    frame.Router().Dispatch(32909);
    EXPECT_EQ(list.topLevelItem(1)->text(1), "3"); // renumbered rows: the record after it moved up
    EXPECT_EQ(list.topLevelItem(1)->text(0), "2");
    EXPECT_TRUE(list.topLevelItem(1)->isSelected());
}

TEST_F(PileListTest, DeletingTheOnlyRowLeavesNothingCurrent) {
    Open({{"1"}});
    prompts.m_Answers = {QMessageBox::Yes};
    frame.Router().Dispatch(32909);
    EXPECT_EQ(list.topLevelItemCount(), 0);
    EXPECT_EQ(doc.GetCurrentPileNo(), -1);
    EXPECT_FALSE(frame.Router().StateOf(32909).enabled);
}

TEST_F(PileListTest, DoubleClickAsksForProjectInformation) {
    Open({{"1"}});
    QSignalSpy sent(&frame.Router(), &CCommandRouter::CommandRequested);
    const QRect r = list.visualItemRect(list.topLevelItem(0));
    QTest::mouseDClick(list.viewport(), Qt::LeftButton, Qt::NoModifier, r.center() + QPoint(40, 0));
    ASSERT_FALSE(sent.isEmpty());
    EXPECT_EQ(sent.last().at(0).toInt(), 32783);
}

} // namespace
} // namespace pw
