// Menu 135 and the view's marks at the cursor in the frame: the menu's own texts in order, its check
// marks and enable states, its pre-zero being the command at the cursor, the accelerators of the defect
// kinds, refusals in a message box, and the status panes reset when another project opens.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEnterEvent>
#include <QMenu>
#include <QTest>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/TraceProcessing.h"
#include "shell/CCommandRouter.h"
#include "shell/CContextMenu.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/CStatusPanes.h"
#include "shell/CDataListView.h"
#include "shell/EstimateBar.h"
#include "shell/EstimateEdit.h"
#include "view/FormalView.h"

namespace pw {
namespace {

struct MenuFrame : ::testing::Test {
    void Open() {
        ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "p.wvf", {{"1"}, {"2"}})));
        frame.WaveView()->resize(800, 600);
        // A hidden scroll area lays out its viewport only when shown: give it the size now, so a
        // cursor column of the trace lies inside the trace's area.
        frame.WaveView()->viewport()->resize(800, 600);
        pw::FitViewStep(*doc.GetCurrentPile(), 780);
        pw::SettleStep(*doc.GetCurrentPile());
    }
    // "text" for an item, "-" for a separator, "[title" and "]" around a sub-menu.
    static void Flatten(QMenu* menu, std::vector<std::string>& out) {
        for (QAction* a : menu->actions()) {
            if (a->isSeparator()) {
                out.push_back("-");
            } else if (QMenu* sub = a->menu()) {
                out.push_back("[" + a->text().toStdString());
                Flatten(sub, out);
                out.push_back("]");
            } else {
                out.push_back(a->text().toStdString());
            }
        }
    }
    static QAction* Find(QMenu* menu, int id) {
        for (QAction* a : menu->actions()) {
            if (QMenu* sub = a->menu())
                if (QAction* found = Find(sub, id)) return found;
            if (a->data().toInt() == id) return a;
        }
        return nullptr;
    }

    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
};

} // namespace

TEST_F(MenuFrame, ItemsInOrderWithTheirOwnTexts) {
    Open();
    std::unique_ptr<QMenu> menu(frame.ContextMenu().Build(nullptr));
    std::vector<std::string> items;
    Flatten(menu.get(), items);
    const std::vector<std::string> expected = {"桩头(&T)\tCtrl+T",
                                               "桩底(&B)\tCtrl+B",
                                               "-",
                                               "[缺陷设置",
                                               "扩径(&K)\tShift+K",
                                               "缩径(&S)\tShift+S",
                                               "断桩(&D)\tShift+D",
                                               "裂纹(&W)\tShift+W",
                                               "夹泥(&J)\tShift+J",
                                               "离析(&L)\tShift+L",
                                               "扩底(&E)\tShift+E",
                                               "]",
                                               "删除缺陷\tAlt+D",
                                               "[桩身完整性类别",
                                               "按缺陷判定",
                                               "Ⅰ类",
                                               "Ⅱ类",
                                               "Ⅲ类",
                                               "Ⅳ类",
                                               "]",
                                               "-",
                                               "[波形编辑",
                                               "变面积\tCtrl+A",
                                               "去直流\tCtrl+Alt+D",
                                               "波形反向\tCtrl+R",
                                               "积分处理\tAlt+I",
                                               "刻度\tCtrl+Alt+S",
                                               "波形放大\tCtrl+M",
                                               "滤波\tCtrl+F",
                                               "前置零",
                                               "后截除",
                                               "波形平移",
                                               "波形旋转",
                                               "删除波形\tCtrl+D",
                                               "]",
                                               "幅值谱图\tCtrl+Alt+A",
                                               "功率谱图\tCtrl+Alt+P",
                                               "恢复参数\tAlt+R",
                                               "-",
                                               "打印...\tCtrl+P",
                                               "打印预览\tAlt+P",
                                               "-",
                                               "当前波形保存为...\tAlt+B"};
    EXPECT_EQ(items, expected);

    struct Case {
        int id;
        bool enabled, checkable, checked;
    };
    const Case cases[] = {
        {32838, true, false, false}, {32815, true, false, false}, {32811, true, false, false},
        {32848, true, true, true},   {32905, true, true, true},   {32849, true, true, false},
        {32871, true, true, false},  {32851, true, true, false},  {32841, true, false, false},
        {32842, true, false, false}, {32919, true, false, false}, {32825, true, false, false},
        {57607, true, false, false}, {57609, true, false, false}, {32829, true, false, false},
    };
    for (const Case& c : cases) {
        QAction* a = Find(menu.get(), c.id);
        ASSERT_TRUE(a) << c.id;
        EXPECT_EQ(a->isEnabled(), c.enabled) << c.id;
        EXPECT_EQ(a->isCheckable(), c.checkable) << c.id;
        EXPECT_EQ(a->isChecked(), c.checked) << c.id;
    }
}

TEST_F(MenuFrame, PreZeroOfTheMenuIsTheCommandAtTheCursor) {
    Open();
    // No cursor: the range test refuses with the cursor's own text (no trailing blank), no dialog.
    std::unique_ptr<QMenu> menu(frame.ContextMenu().Build(nullptr));
    Find(menu.get(), 32841)->trigger();
    QCoreApplication::processEvents();
    EXPECT_TRUE(prompts.m_IntTitles.isEmpty()) << "not the numeric dialog of menu 128";
    ASSERT_EQ(prompts.m_Told.size(), 1);
    EXPECT_EQ(prompts.m_Told.back(), QStringLiteral("前置零位置应在桩头之前！"));

    // The cursor at box column 30 (before the head at 50): pre-zero 30 samples.
    frame.WaveView()->SetCursorX(40);
    std::unique_ptr<QMenu> again(frame.ContextMenu().Build(nullptr));
    Find(again.get(), 32841)->trigger();
    QCoreApplication::processEvents();
    EXPECT_EQ(doc.GetCurrentPile()->m_nPreZero, 30);
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST_F(MenuFrame, DefectKeysAddAtTheCursorAndTheSpectraDisableThem) {
    Open();
    const int id = frame.Router().CommandForKey(QKeySequence(QStringLiteral("Shift+D")));
    ASSERT_EQ(id, 32815);
    // Head at column 50, 10 m at 3800 m/s: 100 columns below the head is 100 * 20 * 3800 * 5e-7 = 3.8 m.
    frame.WaveView()->SetCursorX(10 + 150);
    EXPECT_TRUE(frame.Router().Dispatch(id));
    ASSERT_EQ(doc.GetCurrentPile()->GetDefectCount(), 1);
    EXPECT_EQ(doc.GetCurrentPile()->m_Defects[0].nType, 3);
    EXPECT_FLOAT_EQ(doc.GetCurrentPile()->m_Defects[0].fDepth, 3.8f);
    EXPECT_EQ(frame.WaveView()->CursorColumn(), -11);
    EXPECT_EQ(doc.m_bModified, 1);
    EXPECT_TRUE(prompts.m_Told.isEmpty());

    EXPECT_TRUE(frame.Router().Dispatch(id)); // no cursor now: the status bar says so, no box
    EXPECT_EQ(doc.GetCurrentPile()->GetDefectCount(), 1);
    EXPECT_TRUE(prompts.m_Told.isEmpty());
    EXPECT_EQ(frame.StatusPanes()->Text(0),
              QStringLiteral("波形上没有光标，未添加缺陷：请先把鼠标移到波形上缺陷所在的位置。"));
    frame.WaveView()->SetCursorX(10 + 40); // the cursor above the head: the place is refused by the box
    EXPECT_TRUE(frame.Router().Dispatch(id));
    EXPECT_EQ(prompts.m_Told.value(0), QStringLiteral("设置缺陷应该在桩头与桩底之间!"));

    frame.Router().Dispatch(32826);
    EXPECT_FALSE(frame.Router().StateOf(id).enabled) << "no defects on a spectrum";
    EXPECT_FALSE(frame.Router().StateOf(32811).enabled);
}

TEST_F(MenuFrame, StatusPanesResetWhenAnotherProjectOpens) {
    Open();
    frame.StatusPanes()->SetText(1, QStringLiteral("声时: 1.00ms"));
    frame.StatusPanes()->SetText(5, QStringLiteral("数据点数: 90"));
    frame.WaveView()->SetCursorX(100);
    ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "q.wvf", {{"3"}})));
    EXPECT_EQ(frame.StatusPanes()->Text(1), QString::fromUtf8(CStatusPanes::kInitialTexts[1]));
    EXPECT_EQ(frame.StatusPanes()->Text(5), QString::fromUtf8(CStatusPanes::kInitialTexts[5]));
    EXPECT_EQ(frame.WaveView()->CursorColumn(), -11);
}

} // namespace pw

namespace pw {
namespace {

const char* kNoHead = "波形上没有光标，未设置桩头：请先把鼠标移到波形上要设置桩头的位置。";
const char* kNoToe = "波形上没有光标，未设置桩底：请先把鼠标移到波形上要设置桩底的位置。";
const char* kNeedTraces = "桩头、桩底、缺陷和截除位置只能在单道或三道波形上设置，请先切换到单道波形或三道波形。";

// Head and toe (Ctrl+T, Ctrl+B, menu 135) act at the cursor of the trace only. On a spectrum the
// cursor is a frequency (Ctrl+B there once set the speed from a spectrum column), on the wave train it
// may belong to another pile, and without a cursor the head went to sample -11. Where they cannot
// act they change nothing and pane 0 says why.
TEST_F(MenuFrame, HeadAndToeActAtTheTraceCursorOnlyAndSayWhyOtherwise) {
    struct Case {
        const char* what;
        int layout;  // command choosing the layout
        int cursorX; // -1: none
        int command;
        bool enabled;
        const char* status;
    };
    const Case cases[] = {
        {"toe on the amplitude spectrum", 32825, 10 + 385, 32839, false, kNeedTraces},
        {"head on the amplitude spectrum", 32825, 10 + 385, 32838, false, kNeedTraces},
        {"toe on the power spectrum", 32826, 200, 32839, false, kNeedTraces},
        {"head on the wave train", 32946, 200, 32838, false, kNeedTraces},
        {"head without a cursor", 32944, -1, 32838, true, kNoHead},
        {"toe without a cursor", 32944, -1, 32839, true, kNoToe},
        {"toe without a cursor, three traces", 32945, -1, 32839, true, kNoToe},
    };
    Open();
    for (const Case& c : cases) {
        frame.Router().Dispatch(c.layout);
        frame.WaveView()->SetCursorX(c.cursorX);
        doc.SetModified(false);
        frame.StatusPanes()->SetText(0, QString());
        const CPileRecord before = *doc.GetCurrentPile();
        EXPECT_EQ(frame.Router().StateOf(c.command).enabled, c.enabled) << c.what;
        frame.Router().Dispatch(c.command);
        EXPECT_EQ(frame.StatusPanes()->Text(0), QString::fromUtf8(c.status)) << c.what;
        const CPileRecord& after = *doc.GetCurrentPile();
        EXPECT_EQ(after.m_nHeadSample, before.m_nHeadSample) << c.what;
        EXPECT_EQ(after.m_nWaveSpeed, before.m_nWaveSpeed) << c.what;
        EXPECT_FLOAT_EQ(after.m_fPileLength, before.m_fPileLength) << c.what;
        EXPECT_EQ(doc.m_bModified, 0) << c.what;
        EXPECT_TRUE(prompts.m_Told.isEmpty()) << c.what;
    }
    // With the cursor on the trace the head goes there.
    frame.Router().Dispatch(32944);
    frame.WaveView()->SetCursorX(10 + 60);
    EXPECT_TRUE(frame.Router().Dispatch(32838));
    EXPECT_EQ(doc.GetCurrentPile()->m_nHeadSample, 60 * doc.GetCurrentPile()->m_nStep);
    EXPECT_EQ(doc.m_bModified, 1);
}

// Clicking a pile gives the list the keys; pointing at the trace takes them back, so Shift+S adds the
// defect under the pointer instead of doing nothing. A text field being typed in keeps its keys.
TEST_F(MenuFrame, PointingAtTheTraceHandsItTheKeys) {
    Open();
    frame.resize(1024, 700);
    frame.show();
    frame.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame));
    FormalView* view = frame.WaveView();
    auto enter = [&] {
        QEnterEvent e(QPointF(100, 100), QPointF(100, 100), view->mapToGlobal(QPointF(100, 100)));
        QApplication::sendEvent(view, &e);
    };

    EXPECT_TRUE(frame.ListView()->hasFocus()) << "the keys start with the pile list";
    enter();
    EXPECT_TRUE(view->hasFocus()) << "from the pile list";

    frame.setFocus(); // where Enter in an estimate edit leaves the keys
    enter();
    EXPECT_TRUE(view->hasFocus()) << "from the frame";

    frame.MainBar()->LengthEdit()->setFocus();
    enter();
    EXPECT_TRUE(frame.MainBar()->LengthEdit()->hasFocus()) << "a text field keeps the keys";

    frame.ListView()->setFocus();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, QPoint(400, 100));
    EXPECT_TRUE(view->hasFocus()) << "pressed";

    // The list has the keys and the cursor stands on the trace: Shift+S still adds the defect.
    frame.ListView()->setFocus();
    view->SetCursorX(10 + 150);
    QTest::keyClick(frame.ListView(), Qt::Key_S, Qt::ShiftModifier);
    ASSERT_EQ(doc.GetCurrentPile()->GetDefectCount(), 1);
    EXPECT_EQ(doc.GetCurrentPile()->m_Defects[0].nType, 2);

    // A key whose command cannot act says why.
    frame.Router().Dispatch(32826);
    QTest::keyClick(view, Qt::Key_T, Qt::ControlModifier);
    EXPECT_EQ(frame.StatusPanes()->Text(0), QString::fromUtf8(kNeedTraces));
}

} // namespace
} // namespace pw
