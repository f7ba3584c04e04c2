// The Word report and Excel table commands of the window, with scripted answers.
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/CoreMessages.h"
#include "shell/CCommandRouter.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/CReportCommands.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

struct ReportCommandsTest : ::testing::Test {
    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    void SetUp() override {
        qputenv("XDG_CONFIG_HOME", dir.filePath(QStringLiteral("config")).toUtf8()); // report settings go here
        frame.Reports().m_bOpenWhenDone = false;
    }
    void Open(std::vector<test::CPileDescription> piles) {
        ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "site.wvf", piles)));
    }
};

TEST_F(ReportCommandsTest, TheReportAsksForItsInformationAndWritesTheFile) {
    Open({{"A2", 10.f, 3800, true}, {"A1", 12.f, 3900, true}, {"A3", 9.f, 3700, false}});
    const QString out = dir.filePath(QStringLiteral("report.docx"));
    prompts.m_Hands.push_back(test::CScriptedPrompts::PressOk);
    prompts.m_Paths = {out};
    frame.Router().Dispatch(cmd::kWordReport);
    EXPECT_EQ(prompts.m_DialogTitles, QStringList{QString::fromUtf8("工程信息")});
    EXPECT_TRUE(prompts.m_SaveSuggestions.front().endsWith(QString::fromUtf8("WVF报告文档.docx")));
    EXPECT_TRUE(prompts.m_Told.isEmpty()) << prompts.m_Told.join('\n').toStdString();
    EXPECT_GT(QFileInfo(out).size(), 5000);
    EXPECT_EQ(doc.m_bModified, 0); // nothing of the project changed
}

TEST_F(ReportCommandsTest, NoTickedPileRefusesTheReportButNotTheTable) {
    Open({{"A1"}, {"A2"}});
    frame.Router().Dispatch(cmd::kWordReport);
    EXPECT_EQ(prompts.m_Told, QStringList{QString::fromUtf8(msg::kNothingChecked)});
    EXPECT_TRUE(prompts.m_DialogTitles.isEmpty());
    const QString table = dir.filePath(QStringLiteral("t.xlsx"));
    prompts.m_Paths = {table};
    frame.Router().Dispatch(cmd::kExcelTable);
    EXPECT_TRUE(QFileInfo::exists(table)); // the header row alone
    // Cancelling the report dialog writes nothing.
    doc.SetChecked(1, true);
    prompts.m_Told.clear();
    frame.Router().Dispatch(cmd::kWordReport);
    EXPECT_TRUE(prompts.m_SaveSuggestions.size() == 1); // only the table's
}

} // namespace
} // namespace pw
