// The picture commands of the window (32829, 32908) and the printing commands' states, with scripted
// answers.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/CommandIds.h"
#include "shell/CCommandRouter.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/CPrintCommands.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"

namespace pw {
namespace {

struct PictureCommandsTest : ::testing::Test {
    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    void SetUp() override { frame.Prints().m_strSettingsPath = dir.filePath(QStringLiteral("set.ini")); }
    void Open(std::vector<test::CPileDescription> piles) {
        ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "site.wvf", piles)));
    }
    QString Folder(const char* name) {
        QDir(dir.path()).mkpath(QString::fromUtf8(name));
        return dir.filePath(QString::fromUtf8(name));
    }
};

TEST_F(PictureCommandsTest, PrintingCommandsNeedPiles) {
    const int ids[] = {cmd::kPrint, cmd::kPrintPreview, cmd::kSaveSelectedTraces, cmd::kSaveTraceImage};
    for (const int id : ids)
        EXPECT_FALSE(frame.Router().StateOf(id).enabled) << id;
    Open({{"A1"}});
    for (const int id : ids)
        EXPECT_TRUE(frame.Router().StateOf(id).enabled) << id;
}

TEST_F(PictureCommandsTest, TickedPilesGoIntoTheChosenFolderUnderSafeNames) {
    Open({{"A1", 10.f, 3800, true}, {"../up", 10.f, 3800, true}, {"A3"}});
    const QString folder = Folder("pics");
    prompts.m_Paths = {folder};
    frame.Router().Dispatch(cmd::kSaveSelectedTraces);
    EXPECT_EQ(prompts.m_FolderTitles, QStringList{QString::fromUtf8("选择波形保存路径：")});
    EXPECT_TRUE(prompts.m_Told.isEmpty()) << prompts.m_Told.join('\n').toStdString();
    QStringList files = QDir(folder).entryList(QDir::Files);
    files.sort();
    EXPECT_EQ(files, (QStringList{"A1-1.bmp", "_up-2.bmp"}));
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("up-2.bmp"))));
    EXPECT_EQ(QFileInfo(QDir(folder).filePath("A1-1.bmp")).size(), 415014);
    EXPECT_EQ(doc.m_bModified, 0);

    // Existing files are replaced only when the user agrees.
    QFile stale(QDir(folder).filePath("A1-1.bmp"));
    ASSERT_TRUE(stale.open(QIODevice::WriteOnly));
    stale.write("old");
    stale.close();
    prompts.m_Paths = {folder};
    prompts.m_Answers = {QMessageBox::No};
    frame.Router().Dispatch(cmd::kSaveSelectedTraces);
    EXPECT_EQ(prompts.m_Asked.size(), 1);
    EXPECT_EQ(QFileInfo(QDir(folder).filePath("A1-1.bmp")).size(), 3);
    prompts.m_Paths = {folder};
    prompts.m_Answers = {QMessageBox::Yes};
    frame.Router().Dispatch(cmd::kSaveSelectedTraces);
    EXPECT_EQ(QFileInfo(QDir(folder).filePath("A1-1.bmp")).size(), 415014);
}

TEST_F(PictureCommandsTest, CancelledOrUnusableFolderWritesNothing) {
    Open({{"A1", 10.f, 3800, true}});
    const QString cwd = QDir::currentPath();
    QDir::setCurrent(dir.path());
    frame.Router().Dispatch(cmd::kSaveSelectedTraces); // cancelled
    EXPECT_FALSE(QFileInfo::exists(dir.filePath(QStringLiteral("A1-1.bmp"))));
    prompts.m_Paths = {dir.filePath(QStringLiteral("no/such/folder"))};
    frame.Router().Dispatch(cmd::kSaveSelectedTraces);
    EXPECT_EQ(prompts.m_Told, QStringList{QString::fromUtf8("不能得到所选的文件夹！")});
    QDir::setCurrent(cwd);
}

TEST_F(PictureCommandsTest, CurrentPictureProposesItsNameAndWritesTheChosenFormat) {
    Open({{"A1"}, {"B/2"}});
    doc.SetSelection({2});
    const QString png = dir.filePath(QStringLiteral("two.png"));
    prompts.m_Paths = {png};
    frame.Router().Dispatch(cmd::kSaveTraceImage);
    ASSERT_EQ(prompts.m_SaveSuggestions.size(), 1);
    EXPECT_TRUE(prompts.m_SaveSuggestions[0].endsWith(QStringLiteral("/B_2-2.bmp")))
        << prompts.m_SaveSuggestions[0].toStdString();
    const QImage written(png);
    EXPECT_EQ(written.size(), QSize(532, 260));
    EXPECT_TRUE(QFile(png).open(QIODevice::ReadOnly));
    // The wave train proposes the site's name; a file that cannot be written is reported with why.
    doc.SetLayout(cmd::kWaveTrain);
    doc.m_Header.SetProjectName("工地");
    const QString missing = dir.filePath(QStringLiteral("no/such/x.bmp"));
    prompts.m_Paths = {missing};
    frame.Router().Dispatch(cmd::kSaveTraceImage);
    EXPECT_TRUE(prompts.m_SaveSuggestions[1].endsWith(QString::fromUtf8("/工地.bmp")));
    EXPECT_EQ(prompts.m_Told, QStringList{QString::fromUtf8("波形图没有保存：%1\n文件夹不存在。").arg(missing)});
}

// One picture that cannot be written does not stop the others; the failures are listed with their
// reasons once the rest are written.
TEST_F(PictureCommandsTest, ABatchWritesEveryOtherPileAndListsTheFailures) {
    Open({{"A1", 10.f, 3800, true}, {"A2", 10.f, 3800, true}, {"A3", 10.f, 3800, true}});
    const QString folder = Folder("pics");
    QDir(folder).mkpath(QStringLiteral("A2-2.bmp/inside")); // a folder where A2's picture should go
    prompts.m_Paths = {folder};
    prompts.m_Answers = {QMessageBox::Yes}; // replace the "existing" one
    frame.Router().Dispatch(cmd::kSaveSelectedTraces);
    EXPECT_EQ(QFileInfo(QDir(folder).filePath("A1-1.bmp")).size(), 415014);
    EXPECT_EQ(QFileInfo(QDir(folder).filePath("A3-3.bmp")).size(), 415014);
    EXPECT_TRUE(QFileInfo(QDir(folder).filePath("A2-2.bmp/inside")).isDir());
    EXPECT_EQ(prompts.m_Told,
              QStringList{QString::fromUtf8("下列1个波形图没有保存：\nA2-2.bmp：同名的文件夹已存在。")});
}

} // namespace
} // namespace pw
