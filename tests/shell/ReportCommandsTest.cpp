// The Word report and Excel table commands of the window, with scripted answers.
#include <QDateEdit>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTreeWidget>

#include <cmath>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/CoreMessages.h"
#include "core/ReportContent.h"
#include "shell/CCommandRouter.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/CReportCommands.h"
#include "shell/ShellCommandIds.h"
#include "shell/dialogs/CDataChecksDlg.h"
#include "shell/dialogs/CReportInfoDlg.h"
#include "shell/dialogs/FieldExchange.h"
#include "shell/dialogs/CSiteSpeedDlg.h"

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
    prompts.m_Answers = {QMessageBox::Yes}; // written in spite of the empty fields
    prompts.m_Paths = {out};
    frame.Router().Dispatch(cmd::kWordReport);
    EXPECT_EQ(prompts.m_DialogTitles, QStringList{QString::fromUtf8("工程信息")});
    EXPECT_TRUE(prompts.m_SaveSuggestions.front().endsWith(QString::fromUtf8("WVF报告文档.docx")));
    EXPECT_TRUE(prompts.m_Told.isEmpty()) << prompts.m_Told.join('\n').toStdString();
    EXPECT_GT(QFileInfo(out).size(), 5000);
    EXPECT_EQ(doc.m_bModified, 0); // nothing of the project changed
}

// A current pile without a date: the report says so before the dialog, the dialog shows no made-up
// day, and the report's dates stay empty.
TEST_F(ReportCommandsTest, ACurrentPileWithoutADateIsSaidAndGivesNoDate) {
    Open({{"A1", 10.f, 3800, true}});
    doc.m_Piles[0].SetTestDate("");
    const QString out = dir.filePath(QStringLiteral("report.docx"));
    QString shownTest = QStringLiteral("not shown");
    prompts.m_Hands.push_back([&](QDialog& d) {
        EXPECT_EQ(prompts.m_Told, QStringList{QString::fromUtf8(msg::kPileHasNoDate)}); // before the report
        if (auto* date = d.findChild<QDateEdit*>(ControlName(1125))) shownTest = date->text().trimmed();
        const int result = test::CScriptedPrompts::PressOk(d);
        EXPECT_FALSE(static_cast<CReportInfoDlg&>(d).Info().m_TestDate.IsValid());
        return result;
    });
    prompts.m_Answers = {QMessageBox::Yes};
    prompts.m_Paths = {out};
    frame.Router().Dispatch(cmd::kWordReport);
    EXPECT_EQ(shownTest, QString());
    EXPECT_GT(QFileInfo(out).size(), 5000);
}

// Before writing, the empty fields, the undecided piles and a pile ticked twice are named; "No" goes
// back to the dialog with what was typed, "Yes" writes.
TEST_F(ReportCommandsTest, WarningsComeBeforeWritingAndNoGoesBack) {
    Open({{"A-1", 10.f, 3800, true}, {"A-12", 12.f, 3900, true}, {"A-1", 9.f, 3700, true}});
    doc.m_Piles[1].m_Defects[0] = DefectMark{2, 4.f}; // 缩径: undecided between Ⅱ and Ⅲ
    const QString out = dir.filePath(QStringLiteral("report.docx"));
    QString ownerSeen;
    prompts.m_Hands.push_back([](QDialog& d) {
        d.findChild<QLineEdit*>(ControlName(1118))->setText(QStringLiteral("建设方"));
        return test::CScriptedPrompts::PressOk(d);
    });
    prompts.m_Hands.push_back([&](QDialog& d) {
        ownerSeen = d.findChild<QLineEdit*>(ControlName(1118))->text();
        return test::CScriptedPrompts::PressOk(d);
    });
    prompts.m_Answers = {QMessageBox::No, QMessageBox::Yes};
    prompts.m_Paths = {out};
    frame.Router().Dispatch(cmd::kWordReport);
    ASSERT_EQ(prompts.m_Asked.size(), 2);
    const QString asked = prompts.m_Asked.front();
    for (const char* part : {"未填写：施工单位、工程地点、委托单位。", "以下桩尚未判定为Ⅱ类或Ⅲ类，报告中记为Ⅱ/Ⅲ：A-12。",
                             "A-1（第1条记录）"})
        EXPECT_TRUE(asked.contains(QString::fromUtf8(part))) << part << "\n" << asked.toStdString();
    EXPECT_FALSE(asked.contains(QString::fromUtf8("建设单位")));
    EXPECT_EQ(prompts.m_DialogTitles.size(), 2) << "No went back to the dialog";
    EXPECT_EQ(ownerSeen, QStringLiteral("建设方")) << "with what was typed";
    EXPECT_TRUE(QFileInfo::exists(out));

    // The class items of the menus decide the current pile's class, checked where it stands.
    doc.SetModified(false);
    doc.SetSelection({2});
    frame.Router().Dispatch(cmd::kClassIII);
    EXPECT_EQ(doc.m_Piles[1].m_nClassDecision, kClassIII);
    EXPECT_TRUE(frame.Router().StateOf(cmd::kClassIII).checked);
    EXPECT_FALSE(frame.Router().StateOf(cmd::kClassRule).checked);
    EXPECT_EQ(doc.m_bModified, 1);
    frame.Router().Dispatch(cmd::kClassRule);
    EXPECT_EQ(doc.m_Piles[1].m_nClassDecision, 0);
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

// The site speed dialog agrees with the computation, and its apply changes speeds, lengths and
// nothing else; a pile that would leave the length range keeps its values and is named.
TEST_F(ReportCommandsTest, SiteSpeedIsShownAndAppliedSpeedOnly) {
    Open({{"P1", 10.f, 3700}, {"P2", 10.f, 3750}, {"P3", 10.f, 3800}, {"P4", 10.f, 3720}, {"P5", 10.f, 3760},
          {"FAR", 10.f, 4400}, {"LONG", 190.f, 3000}});
    doc.m_Piles[0].m_fLowPass = 1.5f;
    int rows = -1;
    prompts.m_Hands.push_back([&rows](QDialog& d) {
        auto& dialog = static_cast<CSiteSpeedDlg&>(d);
        rows = dialog.Table()->rowCount();
        dialog.ApplyButton()->click();
        return d.result();
    });
    prompts.m_Answers = {QMessageBox::Yes};
    frame.Router().Dispatch(cmd::kSiteSpeed);
    EXPECT_EQ(rows, 7);
    ASSERT_EQ(prompts.m_Asked.size(), 1);
    EXPECT_EQ(prompts.m_Asked.front(), QString::fromUtf8("将平均波速3746m/s应用到全部7根桩？"));
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 3746);
    EXPECT_FLOAT_EQ(doc.m_Piles[0].m_fPileLength, 10.1f); // 10 m at 3700 m/s: the same time at 3746
    EXPECT_FLOAT_EQ(doc.m_Piles[0].m_fLowPass, 1.5f);
    EXPECT_EQ(doc.m_Piles[6].m_nWaveSpeed, 3000); // 190 m would become 237 m
    ASSERT_EQ(prompts.m_Told.size(), 1);
    EXPECT_TRUE(prompts.m_Told.front().contains(QStringLiteral("LONG")));
    EXPECT_EQ(doc.m_bModified, 1);
}

// The confirmation counts piles: two blows of P1 are one pile.
TEST_F(ReportCommandsTest, SiteSpeedConfirmationCountsPilesNotBlows) {
    Open({{"P1", 10.f, 3700}, {"P1", 10.f, 3700}, {"P2", 10.f, 3750}, {"P3", 10.f, 3800}, {"P4", 10.f, 3720},
          {"P5", 10.f, 3760}});
    prompts.m_Hands.push_back([](QDialog& d) {
        static_cast<CSiteSpeedDlg&>(d).ApplyButton()->click();
        return d.result();
    });
    prompts.m_Answers = {QMessageBox::No};
    frame.Router().Dispatch(cmd::kSiteSpeed);
    ASSERT_EQ(prompts.m_Asked.size(), 1);
    EXPECT_EQ(prompts.m_Asked.front(), QString::fromUtf8("将平均波速3746m/s应用到全部5根桩？"));
    EXPECT_EQ(doc.m_Piles[0].m_nWaveSpeed, 3700); // answered No
}

// The data checks dialog lists core's findings by pile; a double click on a finding selects the pile
// of its record; the total typed in the dialog checks the sampling rule.
TEST_F(ReportCommandsTest, DataChecksListFindingsByPileAndSelectOnDoubleClick) {
    // P3 is 30 m long: 2L/c + 5 ms = 20.8 ms, but 974 samples of 20 µs after the head are 19.5 ms.
    Open({{"P1", 10.f, 3800}, {"P2", 10.f, 3800}, {"P1", 10.f, 3800}, {"P1", 10.f, 3800}, {"P3", 30.f, 3800}});
    for (CPileRecord& r : doc.m_Piles)
        for (int k = 0; k < kSamples; ++k) // a clean pulse after the head
            r.m_fRaw[k] = static_cast<float>(100.0 * std::exp(-std::pow((k - 60) / 5.0, 2)));
    doc.m_Piles[1].m_fLowPass = 1.5f;
    const CDataChecks expected = CheckData(doc.m_Piles);
    QStringList piles, p3, site;
    int currentAfterDoubleClick = -1;
    prompts.m_Hands.push_back([&](QDialog& d) {
        auto& dialog = static_cast<CDataChecksDlg&>(d);
        QTreeWidget* tree = dialog.Tree();
        for (int i = 0; i < tree->topLevelItemCount(); ++i)
            piles << tree->topLevelItem(i)->text(0) + "|" + tree->topLevelItem(i)->text(1);
        QTreeWidgetItem* last = tree->topLevelItem(tree->topLevelItemCount() - 1);
        for (int i = 0; last && i < last->childCount(); ++i)
            p3 << last->child(i)->text(1) + "|" + last->child(i)->text(2);
        if (last && last->childCount() > 0) emit tree->itemDoubleClicked(last->child(0), 2);
        currentAfterDoubleClick = doc.GetCurrentPileNo();
        dialog.TotalBox()->setValue(40);
        site = dialog.SiteLabel()->text().split('\n');
        return int(QDialog::Rejected);
    });
    frame.Router().Dispatch(cmd::kDataChecks);
    EXPECT_EQ(prompts.m_DialogTitles, QStringList{QString::fromUtf8("数据检查")});
    EXPECT_EQ(piles, (QStringList{QString::fromUtf8("P1|3个，有效3个"), QString::fromUtf8("P2|1个，有效1个"),
                                  QString::fromUtf8("P3|1个，有效1个")}));
    ASSERT_EQ(expected.m_Piles.size(), 3u);
    ASSERT_EQ(expected.m_Piles[2].m_Findings.size(), 2u);
    EXPECT_EQ(p3, (QStringList{QString::fromUtf8("第5号|") + QString::fromStdString(expected.m_Piles[2].m_Findings[0].m_strText),
                               QString::fromUtf8("全桩|") + QString::fromStdString(expected.m_Piles[2].m_Findings[1].m_strText)}));
    EXPECT_EQ(currentAfterDoubleClick, 5);
    EXPECT_TRUE(site.contains(QString::fromUtf8("受检桩3根，少于应检的10根（总桩数40根的20%且不少于10根）。"))) << site.join('\n').toStdString();
    EXPECT_EQ(doc.m_bModified, 0); // checking changes nothing
}

} // namespace
} // namespace pw
