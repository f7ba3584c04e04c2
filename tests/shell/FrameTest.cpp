// The main frame: start-up by command line and drop, enable states with and without records, the
// toolbar toggle, the status panes, the bars' layout, merge and the numeric commands' refusals.
#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QMimeData>
#include <QSplitter>
#include <QToolBar>
#include <QToolButton>
#include <QUrl>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/CommandIds.h"
#include "core/CoreMessages.h"
#include "shell/CCommandRouter.h"
#include "shell/CDEVAzazApp.h"
#include "shell/CDataListView.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/CRecentFiles.h"
#include "shell/CStatusPanes.h"
#include "shell/EstimateBar.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

using test::CPileDescription;
const QString kSamples = QStringLiteral(PILEWAVE_SAMPLES);

struct FrameTest : ::testing::Test {
    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    QString Project(const std::vector<CPileDescription>& piles, const std::string& name = "p.wvf") {
        return test::WriteProject(dir, name, piles);
    }
};

TEST_F(FrameTest, EnableStatesFollowTheRecords) {
    struct Case {
        int id;
        bool empty, loaded;
    };
    const Case cases[] = {
        {57601, true, true},   {32959, true, true},  {57603, false, true},  {57604, false, true},
        {32956, false, true},  {32909, false, true}, {32873, false, true},  {32828, false, true},
        {32944, false, true},  {32936, false, true}, {32848, false, true},  {59392, true, true},
        {57664, true, true},   {57600, true, true},  {57607, false, true},  {32846, true, true},
        {32783, false, true},  {32819, false, true}, {32830, false, true},  {32960, false, true},
        {32868, false, true},  {32850, false, true}, {32831, true, true}, {57634, false, false},
        {57616, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(frame.Router().StateOf(c.id).enabled, c.empty) << c.id;
        if (QAction* a = frame.Router().Action(c.id)) {
            EXPECT_EQ(a->isEnabled(), c.empty) << c.id;
        }
    }
    ASSERT_TRUE(frame.Files().OpenPath(Project({{"1"}, {"2"}})));
    for (const Case& c : cases) {
        EXPECT_EQ(frame.Router().StateOf(c.id).enabled, c.loaded) << c.id;
        if (QAction* a = frame.Router().Action(c.id)) { // updated by the document's notice
            EXPECT_EQ(a->isEnabled(), c.loaded) << c.id;
        }
    }
    EXPECT_TRUE(frame.Router().Action(32944)->isChecked());
    EXPECT_TRUE(frame.Router().Dispatch(32946));
    EXPECT_FALSE(frame.Router().Action(32944)->isChecked());
    EXPECT_TRUE(frame.Router().Action(32946)->isChecked());
}

TEST_F(FrameTest, ToolbarToggleHidesAndShowsBothBars) {
    frame.show();
    QAction* toggle = frame.Router().Action(59392);
    frame.Router().UpdateAll();
    EXPECT_TRUE(toggle->isChecked());
    for (bool visible : {false, true, false}) {
        frame.Router().Dispatch(59392);
        EXPECT_EQ(frame.MainBar()->isVisible(), visible);
        EXPECT_EQ(frame.EditBar()->isVisible(), visible);
        EXPECT_EQ(toggle->isChecked(), visible);
    }
}

TEST_F(FrameTest, StatusPanesStartWithTheirTexts) {
    const char* texts[] = {
        "声时:                        ", "幅度:                ", "深度:                        ",
        "波速:                       ", "数据点数:          "};
    for (int pane = 1; pane <= 5; ++pane)
        EXPECT_EQ(frame.StatusPanes()->Text(pane), QString::fromUtf8(texts[pane - 1]));
    // A shorter readout keeps the pane as wide as its initial text.
    auto* pane1 = frame.findChild<QLabel*>(QStringLiteral("statusPane1"));
    const int width = pane1->minimumWidth();
    frame.StatusPanes()->SetText(1, QStringLiteral("声时: 1.2ms"));
    EXPECT_EQ(pane1->minimumWidth(), width);
}

TEST_F(FrameTest, BarsHoldTheirButtonsThenTheEstimateControls) {
    std::vector<int> main;
    std::vector<QString> widgets;
    for (QAction* a : frame.MainBar()->actions()) {
        if (a->isSeparator())
            main.push_back(0);
        else if (a->data().isValid())
            main.push_back(a->data().toInt());
        else
            widgets.push_back(frame.MainBar()->widgetForAction(a)->objectName());
    }
    const std::vector<int> expectMain = {57601, 57603, 0, 57643, 57644, 0, 32908, 32830, 32960, 0,
                                         32783, 32909, 0, 57607, 57609, 32846, 0};
    EXPECT_EQ(main, expectMain);
    const std::vector<QString> expectWidgets = {"estimate32858", "estimate32854", "estimate32855",
                                                "estimate32859", "estimate32860", "estimate32861"};
    EXPECT_EQ(widgets, expectWidgets);
    EXPECT_EQ(frame.findChild<QLabel*>("estimate32860")->text(),
              QString::fromUtf8("             估计波速(m/s):"));
    EXPECT_EQ(frame.findChild<QLabel*>("estimate32860")->width(), 100);
    std::vector<int> edit;
    for (QAction* a : frame.EditBar()->actions())
        edit.push_back(a->isSeparator() ? 0 : a->data().toInt());
    const std::vector<int> expectEdit = {32871, 32848, 32849, 32851, 32905, 32850, 32868, 32873,
                                         32869, 32918, 32828, 32876, 0,     32944, 32945, 32946,
                                         32825, 32826, 0,     32937, 32919, 32936, 32931, 32942};
    EXPECT_EQ(edit, expectEdit);
}

TEST_F(FrameTest, SplitterGivesTheListAQuarter) {
    frame.resize(1200, 700);
    frame.show();
    QCoreApplication::processEvents();
    const QList<int> sizes = frame.Splitter()->sizes();
    const int total = sizes[0] + sizes[1];
    EXPECT_NEAR(sizes[0], (total + frame.Splitter()->handleWidth()) / 4, 2);
    EXPECT_EQ(frame.ListView()->minimumWidth(), 120);
}

TEST_F(FrameTest, DropOpensTheFileLikeOpen) {
    const QString path = Project({{"A1"}, {"A2"}, {"A3"}}, "dropped.wvf");
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(path)});
    // Straight to the frame's event handler: without a drag in progress the application would not
    // route a synthetic drop.
    QObject& target = frame;
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    target.event(&enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    target.event(&drop);
    EXPECT_EQ(doc.GetPileCount(), 3);
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("dropped.wvf[*] - 反射波基桩动测仪数据处理软件"));
    EXPECT_EQ(frame.ListView()->topLevelItemCount(), 3);
    EXPECT_EQ(frame.Recent().Paths().value(0), path);
}

TEST_F(FrameTest, MergeAsksFirstAndCancelChangesNothing) {
    ASSERT_TRUE(frame.Files().OpenPath(Project({{"1"}, {"2"}})));
    doc.SetModified(true);
    prompts.m_Answers = {QMessageBox::Cancel};
    frame.Router().Dispatch(32959);
    EXPECT_EQ(prompts.m_Asked, QStringList{QString::fromUtf8(msg::kSaveBeforeMerge)});
    EXPECT_EQ(prompts.m_nMergeDialogs, 0);
    EXPECT_EQ(doc.GetPileCount(), 2);
}

TEST_F(FrameTest, MergeNamesTheResultNewDataAndAsksToSaveOnClose) {
    const QString a = Project({{"1"}, {"2"}, {"3"}}, "a.wvf"), b = Project({{"4"}, {"5"}}, "b.wvf");
    prompts.m_Paths = {a, b};
    frame.Router().Dispatch(32959);
    EXPECT_EQ(doc.GetPileCount(), 5);
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("New_Data[*] - 反射波基桩动测仪数据处理软件"));
    EXPECT_EQ(frame.ListView()->topLevelItemCount(), 5);
    prompts.m_Answers = {QMessageBox::Cancel};
    EXPECT_FALSE(frame.close());
    EXPECT_EQ(prompts.m_Asked.value(0), QString::fromUtf8("将改动保存到 New_Data？"));
    // A failed merge says so.
    prompts.m_Paths = {a, dir.filePath("missing.wvf")};
    prompts.m_Answers = {QMessageBox::No};
    frame.Router().Dispatch(32959);
    EXPECT_EQ(prompts.m_Told.value(0), QString::fromUtf8(msg::kMergeFailed));
}

TEST_F(FrameTest, NumericCommandsAskThenShowTheRefusal) {
    ASSERT_TRUE(frame.Files().OpenPath(Project({{"1", 10.f, 3800}})));
    struct Case {
        int id;
        const char* title;
        int value;
        const char* refusal; // nullptr: accepted
    };
    const Case cases[] = {
        {32873, "请输入前置零点数", 10000, msg::kPreZeroBeforeHead},
        {32873, "请输入前置零点数", 3, nullptr},
        {32869, "请输入后截除点数", -1, msg::kPostCutAfterToe},
        {32918, "请输入平滑点数", 33, msg::kSmoothRange},
        {32918, "请输入平滑点数", 4, nullptr},
    };
    for (const Case& c : cases) {
        prompts.m_Told.clear();
        prompts.m_IntTitles.clear();
        prompts.m_Ints = {c.value};
        frame.Router().Dispatch(c.id);
        EXPECT_EQ(prompts.m_IntTitles, QStringList{QString::fromUtf8(c.title)}) << c.id;
        EXPECT_EQ(prompts.m_Told, c.refusal ? QStringList{QString::fromUtf8(c.refusal)} : QStringList{})
            << c.id;
    }
    EXPECT_EQ(doc.m_Piles[0].m_nPreZero, 3);
    EXPECT_EQ(doc.m_Piles[0].m_nSmooth, 4);
}

TEST(ShellStartUp, CommandLineFileOpensInTheMaximisedFrame) {
    QTemporaryDir dir;
    const QString path = test::WriteProject(dir, "site.wvf", {{"1"}, {"2"}, {"3"}, {"4"}});
    test::CScriptedPrompts prompts;
    CDEVAzazApp app;
    ASSERT_TRUE(app.InitInstance({path}, &prompts));
    EXPECT_EQ(app.Document().GetPileCount(), 4);
    EXPECT_TRUE(app.Frame()->windowState() & Qt::WindowMaximized);
    EXPECT_EQ(app.Frame()->ListView()->topLevelItemCount(), 4);

    // A file that is missing, or that is no project file in a folder without idindx.par: the window
    // still opens (an empty project), and a missing file is reported.
    CDEVAzazApp failing;
    EXPECT_TRUE(failing.InitInstance({dir.filePath("nothing-here.wvf")}, &prompts));
    EXPECT_TRUE(failing.Frame()->isVisible());
    EXPECT_FALSE(prompts.m_Told.isEmpty());
    QFile notes(dir.filePath("notes.txt"));
    ASSERT_TRUE(notes.open(QIODevice::WriteOnly));
    notes.write("not a pile");
    notes.close();
    CDEVAzazApp empty;
    EXPECT_TRUE(empty.InitInstance({notes.fileName()}, &prompts));
    EXPECT_TRUE(empty.Frame()->isVisible());
    EXPECT_EQ(empty.Document().GetPileCount(), 0);

    CDEVAzazApp bare;
    ASSERT_TRUE(bare.InitInstance({}, &prompts));
    EXPECT_EQ(bare.Frame()->windowTitle(), QString::fromUtf8("无标题[*] - 反射波基桩动测仪数据处理软件"));
    EXPECT_FALSE(bare.Frame()->isWindowModified());
}

// Piles opened from a tester folder: Save asks for a name and proposes "<folder>.wvf" beside the
// folder; the tester's files stay as they were.
TEST_F(FrameTest, SaveAfterOpeningATesterFolderAsksForAProjectName) {
    const QString site = dir.filePath(QStringLiteral("BJHY2"));
    QDir().mkpath(site);
    for (const char* name : {"idindx.par", "1.wvf", "2.wvf"})
        QFile::copy(kSamples + QStringLiteral("/sample-site/") + QString::fromLatin1(name),
                    site + "/" + name);
    auto bytesOf = [](const QString& p) {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };
    const QByteArray before = bytesOf(site + "/1.wvf");
    ASSERT_TRUE(frame.Files().OpenPath(site + "/1.wvf"));
    doc.SetChecked(1, !doc.m_Piles[0].m_bChecked); // a change worth saving
    ASSERT_EQ(doc.m_bModified, 1);
    prompts.m_Paths = {dir.filePath(QStringLiteral("BJHY2.wvf"))};
    frame.Router().Dispatch(cmd::kSave);
    EXPECT_EQ(prompts.m_SaveSuggestions, QStringList{dir.filePath(QStringLiteral("BJHY2.wvf"))});
    EXPECT_EQ(bytesOf(site + "/1.wvf"), before);
    EXPECT_TRUE(QFile::exists(dir.filePath(QStringLiteral("BJHY2.wvf"))));
    EXPECT_EQ(doc.m_bModified, 0);
    // From now on the project file is saved in place, without a question.
    doc.SetChecked(1, !doc.m_Piles[0].m_bChecked);
    frame.Router().Dispatch(cmd::kSave);
    EXPECT_EQ(prompts.m_SaveSuggestions.size(), 1);
    EXPECT_EQ(doc.m_bModified, 0);
}

// A project file cut short keeps the records before the cut; Ctrl+S asks for another name (offering
// one beside it) and never writes the damaged file, even when the user cancels.
TEST_F(FrameTest, SavingAFileReadOnlyInPartAsksForAnotherName) {
    const QString half = Project({{"1"}, {"2"}, {"3"}, {"4"}}, "half.wvf");
    QFile file(half);
    ASSERT_TRUE(file.open(QIODevice::ReadWrite));
    ASSERT_TRUE(file.resize(file.size() - 100));
    file.close();
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray before = file.readAll();
    file.close();
    EXPECT_FALSE(frame.Files().OpenPath(half));
    ASSERT_EQ(doc.GetPileCount(), 3);
    ASSERT_EQ(prompts.m_Told.size(), 1);
    EXPECT_TRUE(prompts.m_Told[0].endsWith(QString::fromUtf8(msg::kSavePartAs))) << prompts.m_Told[0].toStdString();

    const QString offered = dir.filePath(QString::fromUtf8("half_部分.wvf"));
    frame.Router().Dispatch(cmd::kSave); // cancelled: nothing written
    EXPECT_EQ(prompts.m_SaveSuggestions, QStringList{offered});
    prompts.m_Paths = {offered};
    frame.Router().Dispatch(cmd::kSave);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), before);
    EXPECT_TRUE(QFile::exists(offered));
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("half_部分.wvf[*] - 反射波基桩动测仪数据处理软件"));
}

// The title follows a save under another name at once, also when there was nothing modified.
TEST_F(FrameTest, SaveAsShowsTheNewNameInTheTitleAtOnce) {
    ASSERT_TRUE(frame.Files().OpenPath(Project({{"A1"}}, "old.wvf")));
    ASSERT_EQ(doc.m_bModified, 0);
    prompts.m_Paths = {dir.filePath(QStringLiteral("new.wvf"))};
    frame.Router().Dispatch(cmd::kSaveAs);
    EXPECT_EQ(frame.windowTitle(), QString::fromUtf8("new.wvf[*] - 反射波基桩动测仪数据处理软件"));
}

TEST_F(FrameTest, TheBarsPopUpMenuHidesBothBarsTogether) {
    frame.show();
    std::unique_ptr<QMenu> menu(frame.createPopupMenu());
    ASSERT_TRUE(menu);
    QAction* toolbars = nullptr;
    for (QAction* a : menu->actions()) {
        EXPECT_FALSE(a->text().isEmpty());
        if (a == frame.Router().Action(cmd::kToolbar)) toolbars = a;
    }
    ASSERT_TRUE(toolbars);
    EXPECT_TRUE(toolbars->isChecked());
    toolbars->trigger();
    for (QToolBar* bar : frame.findChildren<QToolBar*>())
        EXPECT_TRUE(bar->isHidden()) << bar->objectName().toStdString();
    menu.reset(frame.createPopupMenu());
    EXPECT_FALSE(frame.Router().Action(cmd::kToolbar)->isChecked());
}

} // namespace
} // namespace pw

namespace pw {
namespace {

// On a small laptop (1024 x 600) the estimate bar's labels, scope box and both edits stay on the bar,
// none behind the toolbar's overflow button.
TEST_F(FrameTest, EstimateFieldsStayVisibleAtTenTwentyFourPixels) {
    for (int width : {1024, 1280}) {
        frame.resize(width, 600);
        frame.show();
        QCoreApplication::processEvents();
        QToolBar* bar = frame.MainBar();
        ASSERT_LE(frame.width(), width);
        for (const char* name : {"estimate32858", "estimate32854", "estimate32855", "estimate32859",
                                 "estimate32860", "estimate32861"}) {
            auto* w = bar->findChild<QWidget*>(QString::fromLatin1(name));
            ASSERT_TRUE(w) << name;
            EXPECT_TRUE(w->isVisible()) << name << " at " << width;
            EXPECT_LE(w->geometry().right(), bar->width()) << name << " at " << width;
        }
        auto* more = bar->findChild<QToolButton*>(QStringLiteral("qt_toolbar_ext_button"));
        EXPECT_FALSE(more && more->isVisible()) << "overflow button at " << width;
    }
}

} // namespace
} // namespace pw
