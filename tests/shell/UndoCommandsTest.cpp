// Undo and redo in the window: one named step per action, whether it came through a command, the pile
// list's keys or the estimate bar; the list, the title and the menu follow; the window's state is kept.
#include <QAction>
#include <QSettings>
#include <QSplitter>
#include <QTest>
#include <QTreeWidgetItem>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/CommandIds.h"
#include "shell/CCommandRouter.h"
#include "shell/CDataListView.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

const QString kSamples = QStringLiteral(PILEWAVE_SAMPLES);

struct UndoTest : ::testing::Test {
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    void SetUp() override { ASSERT_TRUE(frame.Files().OpenPath(kSamples + QStringLiteral("/sample-site.wvf"))); }
    QString UndoText() { return frame.Router().Action(cmd::kUndo)->text(); }
    QString RedoText() { return frame.Router().Action(cmd::kRedo)->text(); }
};

TEST_F(UndoTest, ADeletedPileComesBackNamedInTheMenu) {
    EXPECT_FALSE(frame.Router().Action(cmd::kUndo)->isEnabled());
    EXPECT_EQ(UndoText(), QString::fromUtf8("撤销(&U)\tCtrl+Z"));
    const int piles = doc.GetPileCount();
    const std::string second = doc.m_Piles[1].GetPileName();
    doc.SetSelection({2});
    prompts.m_Answers = {QMessageBox::Yes};
    ASSERT_TRUE(frame.Router().Dispatch(cmd::kDeletePile));
    ASSERT_EQ(doc.GetPileCount(), piles - 1);
    EXPECT_TRUE(frame.Router().Action(cmd::kUndo)->isEnabled());
    EXPECT_EQ(UndoText(), QString::fromUtf8("撤销 删除波形(&U)\tCtrl+Z"));
    EXPECT_TRUE(frame.isWindowModified());

    ASSERT_TRUE(frame.Router().Dispatch(cmd::kUndo));
    EXPECT_EQ(doc.GetPileCount(), piles);
    EXPECT_EQ(doc.m_Piles[1].GetPileName(), second);
    EXPECT_EQ(frame.ListView()->topLevelItemCount(), piles) << "the list follows";
    EXPECT_EQ(doc.GetCurrentPileNo(), 2) << "the pile that was current";
    EXPECT_FALSE(frame.isWindowModified()) << "back at the opened file";
    EXPECT_EQ(RedoText(), QString::fromUtf8("重做 删除波形(&R)\tCtrl+Y"));
    EXPECT_FALSE(frame.Router().Action(cmd::kUndo)->isEnabled());

    ASSERT_TRUE(frame.Router().Dispatch(cmd::kRedo));
    EXPECT_EQ(doc.GetPileCount(), piles - 1);
    EXPECT_TRUE(frame.isWindowModified());
}

TEST_F(UndoTest, TheKeysOfTheEditMenuAndTheList) {
    EXPECT_EQ(frame.Router().CommandForKey(QKeySequence(QStringLiteral("Ctrl+Z"))), cmd::kUndo);
    EXPECT_EQ(frame.Router().CommandForKey(QKeySequence(QStringLiteral("Ctrl+Y"))), cmd::kRedo);
    EXPECT_EQ(frame.Router().CommandForKey(QKeySequence(QStringLiteral("Ctrl+Shift+Z"))), cmd::kRedo);
    // Space ticks the selected rows as one step; Ctrl+Z unticks them all.
    CDataListView* list = frame.ListView();
    list->setFocus();
    list->clearSelection();
    list->topLevelItem(3)->setSelected(true);
    list->topLevelItem(4)->setSelected(true);
    list->setCurrentItem(list->topLevelItem(3), 0, QItemSelectionModel::NoUpdate);
    ASSERT_FALSE(doc.m_Piles[3].m_bChecked);
    QTest::keyClick(list, Qt::Key_Space);
    EXPECT_TRUE(doc.m_Piles[3].m_bChecked);
    EXPECT_TRUE(doc.m_Piles[4].m_bChecked);
    QCoreApplication::processEvents(); // the step is recorded when the key's event is done
    EXPECT_EQ(UndoText(), QString::fromUtf8("撤销 勾选(&U)\tCtrl+Z"));
    ASSERT_TRUE(frame.Router().Dispatch(cmd::kUndo));
    EXPECT_FALSE(doc.m_Piles[3].m_bChecked);
    EXPECT_FALSE(doc.m_Piles[4].m_bChecked);
    EXPECT_EQ(list->topLevelItem(3)->checkState(0), Qt::Unchecked);
    EXPECT_FALSE(frame.Router().Action(cmd::kUndo)->isEnabled());
    // Delete asks first, as the menu's 删除波形 does.
    const int piles = doc.GetPileCount();
    prompts.m_Answers = {QMessageBox::No};
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(doc.GetPileCount(), piles);
    EXPECT_EQ(prompts.m_Asked.size(), 1);
    prompts.m_Answers = {QMessageBox::Yes};
    QTest::keyClick(list, Qt::Key_Delete);
    EXPECT_EQ(doc.GetPileCount(), piles - 1);
}

TEST_F(UndoTest, TheWindowKeepsItsStateBetweenRuns) {
    QSettings().remove(QStringLiteral("Window"));
    CDEVAzazDoc other;
    CMainFrame first(other, &prompts);
    EXPECT_FALSE(first.RestoreWindowState()) << "the first start keeps the maximised default";
    first.setGeometry(40, 50, 900, 600);
    first.Splitter()->setSizes({300, 600});
    other.SetLayout(cmd::kWaveTrain);
    first.SaveWindowState();

    CDEVAzazDoc again;
    CMainFrame second(again, &prompts);
    EXPECT_TRUE(second.RestoreWindowState());
    EXPECT_EQ(second.geometry().size(), QSize(900, 600));
    EXPECT_EQ(again.m_Display.m_nLayout, 2) << "the wave train again";
    QSettings().remove(QStringLiteral("Window"));
}

} // namespace
} // namespace pw
