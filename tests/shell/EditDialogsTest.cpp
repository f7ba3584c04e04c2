// The editing dialogs driven offscreen: field checks when a field is left (message, previous value
// back, dialog open), the limits tested on OK, the filter's OK rule, the report dialog's digits and
// its settings file.
#include <QComboBox>
#include <QDateEdit>
#include <QCoreApplication>
#include <QFocusEvent>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRadioButton>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/ReportSettings.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/CFilterDlg.h"
#include "shell/dialogs/CGainDlg.h"
#include "shell/dialogs/CNumberDlg.h"
#include "shell/dialogs/CProjectInfoDlg.h"
#include "shell/dialogs/CReportInfoDlg.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {
namespace {

QLineEdit* Edit(QDialog& d, int id) {
    auto* e = d.findChild<QLineEdit*>(ControlName(id));
    EXPECT_NE(e, nullptr) << id;
    return e;
}

// Types text into the edit and leaves it, as a Tab to the next control would.
void TypeAndLeave(QLineEdit* edit, const QString& text) {
    edit->setText(text);
    QFocusEvent out(QEvent::FocusOut, Qt::TabFocusReason);
    QCoreApplication::sendEvent(edit, &out);
}

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

struct FieldCase {
    const char* typed;
    const char* message; // "" when accepted
};

struct GainDialog : ::testing::TestWithParam<std::tuple<int, FieldCase>> {};

// With an estimated pile length of 10 m the delay may reach 8.00 m.
TEST_P(GainDialog, FieldIsCheckedWhenLeft) {
    const auto& [id, c] = GetParam();
    test::CScriptedPrompts prompts;
    CGainDlg dialog(GainValues{0, 2.f, 1.f}, 10.f, prompts);
    dialog.show();
    QLineEdit* edit = Edit(dialog, id);
    const QString before = edit->text();
    TypeAndLeave(edit, U(c.typed));
    if (*c.message) {
        ASSERT_EQ(prompts.m_Told, QStringList{U(c.message)});
        EXPECT_EQ(edit->text(), before); // the previous value is back
    } else {
        EXPECT_TRUE(prompts.m_Told.isEmpty()) << prompts.m_Told.join('|').toStdString();
        EXPECT_EQ(edit->text(), U(c.typed));
    }
    EXPECT_TRUE(dialog.isVisible());
}

INSTANTIATE_TEST_SUITE_P(
    Fields, GainDialog,
    ::testing::Values(std::tuple{1094, FieldCase{"1.0", ""}}, std::tuple{1094, FieldCase{"1000.0", ""}},
                      std::tuple{1094, FieldCase{"0.99", "放大系数应在1.0到1000.0之间 "}},
                      std::tuple{1094, FieldCase{"1000.1", "放大系数应在1.0到1000.0之间 "}},
                      std::tuple{1094, FieldCase{"12a", "请键入一个数。"}},
                      std::tuple{1095, FieldCase{"8", ""}}, std::tuple{1095, FieldCase{"0", ""}},
                      std::tuple{1095, FieldCase{"8.01", "放大延迟应在0到8.00之间"}},
                      std::tuple{1095, FieldCase{"-0.1", "放大延迟应在0到8.00之间"}},
                      std::tuple{1095, FieldCase{"", "请键入一个数。"}}));

TEST(GainDialogOk, ReturnsTheValuesAndRefusesWhatTheFieldWouldRefuse) {
    test::CScriptedPrompts prompts;
    CGainDlg dialog(GainValues{7, 2.f, 1.f}, 10.f, prompts); // mode 7: neither button
    dialog.show();
    EXPECT_FALSE(dialog.findChild<QRadioButton*>(ControlName(1099))->isChecked());
    EXPECT_FALSE(dialog.findChild<QRadioButton*>(ControlName(1100))->isChecked());
    // Enter in the edit presses OK without leaving the field: OK checks it all the same.
    Edit(dialog, 1095)->setText("9");
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(prompts.m_Told, QStringList{U("放大延迟应在0到8.00之间")});
    EXPECT_EQ(Edit(dialog, 1095)->text(), "1");
    dialog.findChild<QRadioButton*>(ControlName(1100))->setChecked(true);
    Edit(dialog, 1094)->setText("25.5");
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Values().m_nMode, 1);
    EXPECT_EQ(dialog.Values().m_fGain, 25.5f);
    EXPECT_EQ(dialog.Values().m_fDelay, 1.f);
}

TEST(GainDialogOk, WithoutAnEstimatedLengthOnlyNoDelayIsAccepted) {
    test::CScriptedPrompts prompts;
    CGainDlg dialog(GainValues{0, 2.f, 0.f}, 0.f, prompts);
    dialog.show();
    TypeAndLeave(Edit(dialog, 1095), "0.1");
    EXPECT_EQ(prompts.m_Told, QStringList{U("放大延迟应在0到0.00之间")});
}

struct FilterField : ::testing::TestWithParam<std::tuple<int, FieldCase>> {};

TEST_P(FilterField, FieldIsCheckedWhenLeft) {
    const auto& [id, c] = GetParam();
    test::CScriptedPrompts prompts;
    CFilterDlg dialog(FilterValues{2.f, 1, 100.f}, prompts);
    dialog.show();
    QLineEdit* edit = Edit(dialog, id);
    const QString before = edit->text();
    TypeAndLeave(edit, U(c.typed));
    EXPECT_EQ(prompts.m_Told, *c.message ? QStringList{U(c.message)} : QStringList{});
    EXPECT_EQ(edit->text(), *c.message ? before : U(c.typed));
}

INSTANTIATE_TEST_SUITE_P(
    Fields, FilterField,
    ::testing::Values(std::tuple{1097, FieldCase{"0", "低通滤波次数应在1到5之间 "}},
                      std::tuple{1097, FieldCase{"6", "低通滤波次数应在1到5之间 "}},
                      std::tuple{1097, FieldCase{"1", ""}}, std::tuple{1097, FieldCase{"5", ""}},
                      std::tuple{1097, FieldCase{"2.5", "请键入一个整数。"}},
                      std::tuple{1096, FieldCase{"5.0", ""}},
                      std::tuple{1096, FieldCase{"5.01", "低通滤波频率应在0.0到5.0kHz之间 "}},
                      std::tuple{1098, FieldCase{"2000", ""}},
                      std::tuple{1098, FieldCase{"2000.5", "高通滤波频率应在0.0到2000.0Hz之间 "}},
                      std::tuple{1098, FieldCase{"-1", "高通滤波频率应在0.0到2000.0Hz之间 "}}));

TEST(FilterDialogOk, LowPassMustLieAboveTheHighPass) {
    struct Case {
        const char *low, *high;
        bool accepted;
    };
    const Case cases[] = {
        {"2", "2000", false}, // 2 x 1000 is not above 2000
        {"2.001", "2000", true}, {"0.5", "600", false},
        {"0", "500", true}, // the low-pass is switched off: nothing to compare
        {"0", "0", true},   // both off, as "恢复参数" leaves them
    };
    for (const Case& c : cases) {
        test::CScriptedPrompts prompts;
        CFilterDlg dialog(FilterValues{}, prompts);
        dialog.show();
        Edit(dialog, 1096)->setText(c.low);
        Edit(dialog, 1098)->setText(c.high);
        EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog) == QDialog::Accepted, c.accepted) << c.low;
        EXPECT_EQ(prompts.m_Told, c.accepted ? QStringList{} : QStringList{U("低通滤波不能小于高通滤波!")});
        if (c.accepted) {
            EXPECT_EQ(dialog.Values().m_fLowPass, Edit(dialog, 1096)->text().toFloat());
        }
    }
}

TEST(NumberDialog, OnlyAWholeSixteenBitNumberIsAccepted) {
    for (auto [typed, ok] : {std::pair{"12a", false}, std::pair{"70000", false}, std::pair{"", false},
                             std::pair{" -5 ", true}, std::pair{"32767", true}}) {
        test::CScriptedPrompts prompts;
        CNumberDlg dialog(U("请输入平滑点数"), 3, prompts);
        dialog.show();
        EXPECT_EQ(dialog.windowTitle(), U("请输入平滑点数"));
        Edit(dialog, 1093)->setText(typed);
        EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog) == QDialog::Accepted, ok) << typed;
        EXPECT_EQ(prompts.m_Told, ok ? QStringList{} : QStringList{U("请键入一个整数。")}) << typed;
        if (ok) {
            EXPECT_EQ(dialog.Value(), QString(typed).trimmed().toInt());
        }
    }
}

TEST(ProjectInfoDialog, DeclaredLimitsAreTestedOnOk) {
    struct Case {
        int id;
        QString typed;
        const char* message;
    };
    const Case cases[] = {
        {1002, "ABCDEFGHIJK", "“请填入不多于10个的字符。”"}, // eleven characters
        {1002, U("桩号桩号桩号桩号桩号"), ""},               // ten, whatever their bytes
        {1000, QString(51, 'u'), "“请填入不多于50个的字符。”"},
        {1003, QString(21, 'p'), "“请填入不多于20个的字符。”"},
        {1029, "5001", "“请填入一个在0和5000之间的整数。”"},
        {1029, "-1", "“请填入一个在0和5000之间的整数。”"},
        {1029, "12x", "请键入一个整数。"},
        {1029, "5000", ""},
    };
    CProjectInfo info;
    info.m_strPileName = "A1";
    info.m_nPileType = 3;
    info.m_TestDate = {2024, 5, 17};
    for (const Case& c : cases) {
        test::CScriptedPrompts prompts;
        CProjectInfoDlg dialog(info, prompts);
        dialog.show();
        Edit(dialog, c.id)->setText(c.typed);
        const bool accepted = test::CScriptedPrompts::PressOk(dialog) == QDialog::Accepted;
        EXPECT_EQ(accepted, !*c.message) << c.id << " " << c.typed.toStdString();
        EXPECT_EQ(prompts.m_Told, *c.message ? QStringList{U(c.message)} : QStringList{});
        if (*c.message) { // the typed text stays, to be fixed
            EXPECT_EQ(Edit(dialog, c.id)->text(), c.typed);
        }
    }
}

// A pile that had a name keeps one: clearing it is refused and the name comes back; a pile without a
// name (a tester's file may carry one) may stay without.
TEST(ProjectInfoDialog, ANameThePileHadCannotBeCleared) {
    struct Case {
        const char *before, *typed;
        bool accepted;
    } const cases[] = {{"7", "", false}, {"7", "  ", false}, {"7", "7A", true}, {"", "", true}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.before) + " -> '" + c.typed + "'");
        CProjectInfo info;
        info.m_strPileName = c.before;
        info.m_TestDate = {2024, 5, 17};
        test::CScriptedPrompts prompts;
        CProjectInfoDlg dialog(info, prompts);
        dialog.show();
        Edit(dialog, 1002)->setText(U(c.typed));
        EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog) == QDialog::Accepted, c.accepted);
        if (c.accepted) {
            EXPECT_TRUE(prompts.m_Told.isEmpty());
            EXPECT_EQ(dialog.Info().m_strPileName, c.typed);
        } else {
            EXPECT_EQ(prompts.m_Told, QStringList{U("桩号不能清空!")});
            EXPECT_EQ(Edit(dialog, 1002)->text(), U(c.before));
        }
    }
}

TEST(ProjectInfoDialog, ShowsAndReturnsEveryField) {
    CProjectInfo info;
    info.m_strTestUnit = "检测单位";
    info.m_strProjectName = "工程";
    info.m_nDiameter = 800;
    info.m_strPileName = "A1";
    info.m_nPileType = 5;
    info.m_TestDate = {2024, 5, 17};
    test::CScriptedPrompts prompts;
    CProjectInfoDlg dialog(info, prompts);
    dialog.show();
    EXPECT_EQ(dialog.windowTitle(), U("工程信息"));
    EXPECT_EQ(Edit(dialog, 1000)->text(), U("检测单位"));
    EXPECT_EQ(Edit(dialog, 1029)->text(), "800");
    EXPECT_TRUE(dialog.findChild<QRadioButton*>(ControlName(1035))->isChecked());
    EXPECT_EQ(dialog.findChild<QRadioButton*>(ControlName(1035))->text(), U("混凝土预制桩"));
    dialog.findChild<QRadioButton*>(ControlName(1037))->setChecked(true);
    Edit(dialog, 1002)->setText(U("B2"));
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    EXPECT_EQ(dialog.Info().m_nPileType, 7);
    EXPECT_EQ(dialog.Info().m_strPileName, "B2");
    EXPECT_EQ(dialog.Info().m_TestDate, (CDate{2024, 5, 17}));
    EXPECT_EQ(dialog.Info().m_nDiameter, 800);

    info.m_nPileType = -1; // none chosen stays none
    CProjectInfoDlg none(info, prompts);
    none.show();
    ASSERT_EQ(test::CScriptedPrompts::PressOk(none), QDialog::Accepted);
    EXPECT_EQ(none.Info().m_nPileType, -1);
}

struct ReportDialogTest : ::testing::Test {
    QTemporaryDir dir;
    test::CScriptedPrompts prompts;
    std::string Path(int n) const { return ReportSettingsPath(dir.path().toStdString(), n); }
};

TEST_F(ReportDialogTest, NumberFieldsKeepDigitsOnly) {
    CReportInfoDlg dialog(CReportInfo{}, dir.path(), prompts);
    dialog.show();
    for (int id : {1081, 1080}) {
        QLineEdit* edit = Edit(dialog, id);
        edit->setText("12a");
        EXPECT_EQ(edit->text(), "") << id;
        edit->setText("120");
        EXPECT_EQ(edit->text(), "120") << id;
    }
    // An emptied field is not a number on OK.
    Edit(dialog, 1080)->setText("");
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(prompts.m_Told, QStringList{U("请键入一个整数。")});
}

TEST_F(ReportDialogTest, OpeningReadsOnlyAndOkWritesTheKeptFields) {
    CReportInfo caller;
    caller.m_strProjectName = "工程A";
    caller.m_nTotalPiles = 30;
    {
        CReportInfoDlg dialog(caller, dir.path(), prompts);
        EXPECT_FALSE(std::filesystem::exists(Path(0))); // opening reads; OK makes the file
        EXPECT_EQ(Edit(dialog, 1116)->text(), U("工程A"));
        EXPECT_EQ(Edit(dialog, 1083)->text(), "QLVR");
        EXPECT_EQ(dialog.findChild<QComboBox*>(ControlName(1126))->currentText(), "C10");
        EXPECT_EQ(dialog.findChild<QComboBox*>(ControlName(1091))->currentText(), U("沉管灌注桩"));
        EXPECT_EQ(dialog.findChild<QPlainTextEdit*>(ControlName(1128))->toPlainText(), "    ");
        dialog.show();
        Edit(dialog, 1115)->setText(U("报告-7"));
        dialog.findChild<QComboBox*>(ControlName(1126))->setCurrentText("C35");
        dialog.findChild<QPlainTextEdit*>(ControlName(1128))->setPlainText(U("第一层\n第二层"));
        ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
        EXPECT_EQ(dialog.Info().m_nTotalPiles, 30);
    }
    CReportInfo again;
    ASSERT_EQ(LoadReportSettings(dir.path().toStdString(), again).m_strMessage, "");
    EXPECT_EQ(again.m_strReportNo, "报告-7");
    EXPECT_EQ(again.m_strStrength, "C35");
    EXPECT_EQ(again.m_strGeology, "第一层\r\n第二层"); // the file keeps CR LF line ends
    CReportInfoDlg reopened(CReportInfo{}, dir.path(), prompts);
    EXPECT_EQ(Edit(reopened, 1115)->text(), U("报告-7"));
    EXPECT_EQ(reopened.findChild<QPlainTextEdit*>(ControlName(1128))->toPlainText(), U("第一层\n第二层"));
    EXPECT_TRUE(prompts.m_Told.isEmpty());
}

TEST_F(ReportDialogTest, AForeignReportSet0Survives) {
    { std::ofstream(Path(0), std::ios::binary) << "not ours"; }
    CReportInfoDlg dialog(CReportInfo{}, dir.path(), prompts);
    dialog.show();
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    std::ifstream in(Path(0), std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "not ours");
    EXPECT_EQ(std::filesystem::file_size(Path(1)), kReportSettingsSize);
    EXPECT_TRUE(prompts.m_Told.isEmpty());
}

TEST_F(ReportDialogTest, TextsLongerThanTheirLimitAreRefusedOnOk) {
    CReportInfoDlg dialog(CReportInfo{}, dir.path(), prompts);
    dialog.show();
    Edit(dialog, 1123)->setText(QString(201, QChar(0x59D4)));
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Rejected);
    Edit(dialog, 1123)->setText(QString(200, QChar(0x59D4)));
    dialog.findChild<QPlainTextEdit*>(ControlName(1128))->setPlainText(QString(2001, 'g'));
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Rejected);
    EXPECT_EQ(prompts.m_Told,
              (QStringList{U("“请填入不多于200个的字符。”"), U("“请填入不多于2000个的字符。”")}));
}

// A folder that cannot be written opens the dialog without a message (nothing to read, nothing
// written); OK says the file could not be written and still closes.
TEST_F(ReportDialogTest, SettingsFileFailuresAreShownAndTheDialogStillWorks) {
    const QString blocked = dir.filePath("file");
    { std::ofstream(blocked.toStdString()) << "x"; }
    CReportInfoDlg dialog(CReportInfo{}, blocked + "/sub", prompts);
    EXPECT_TRUE(prompts.m_Told.isEmpty());
    dialog.show();
    EXPECT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    EXPECT_EQ(prompts.m_Told, QStringList{U("写设置文件失败！")});
}

// Empty dates (a pile without a date) show as blanks, not as a made-up day, and come back empty; the
// kept pouring date in the file is not replaced by an empty one.
TEST_F(ReportDialogTest, EmptyDatesShowBlankAndKeepTheStoredPouringDate) {
    CReportInfo stored;
    stored.m_PourDate = {2023, 11, 5};
    ASSERT_EQ(SaveReportSettings(dir.path().toStdString(), stored).m_strMessage, "");
    CReportInfo caller;
    caller.m_TestDate = kNoDate;
    CReportInfoDlg dialog(caller, dir.path(), prompts);
    dialog.show();
    auto* test = dialog.findChild<QDateEdit*>(ControlName(1125));
    auto* pour = dialog.findChild<QDateEdit*>(ControlName(1124));
    ASSERT_TRUE(test && pour);
    EXPECT_EQ(test->text().trimmed(), "");
    EXPECT_EQ(pour->date(), QDate(2023, 11, 5)); // the file's
    pour->setDate(pour->minimumDate());           // the user empties it
    ASSERT_EQ(test::CScriptedPrompts::PressOk(dialog), QDialog::Accepted);
    EXPECT_FALSE(dialog.Info().m_TestDate.IsValid());
    EXPECT_FALSE(dialog.Info().m_PourDate.IsValid());
    CReportInfo again;
    ASSERT_EQ(LoadReportSettings(dir.path().toStdString(), again).m_strMessage, "");
    EXPECT_EQ(again.m_PourDate, (CDate{2023, 11, 5}));
}

} // namespace
} // namespace pw
