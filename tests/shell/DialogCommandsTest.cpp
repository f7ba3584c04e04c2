// The commands behind the dialogs, through the frame's router: gain and filter fill the pending set
// and apply it to the estimate bar's scope; project information edits the name group; print setup
// writes set.ini in the settings folder.
#include <QFile>
#include <QLineEdit>
#include <QStandardPaths>

#include <gtest/gtest.h>

#include "ShellFixtures.h"
#include "core/PrintSettings.h"
#include "shell/CCommandRouter.h"
#include "shell/CDataListView.h"
#include "shell/CFileCommands.h"
#include "shell/CMainFrame.h"
#include "shell/SettingsPaths.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {
namespace {

using test::CPileDescription;
using Hand = std::function<int(QDialog&)>;

QString U(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A hand that types into the given edits and presses OK.
Hand Type(std::vector<std::pair<int, QString>> edits) {
    return [edits](QDialog& d) {
        for (const auto& [id, text] : edits) {
            auto* e = d.findChild<QLineEdit*>(ControlName(id));
            EXPECT_NE(e, nullptr) << id;
            if (e) e->setText(text);
        }
        return test::CScriptedPrompts::PressOk(d);
    };
}

struct DialogCommandsTest : ::testing::Test {
    QTemporaryDir dir;
    CDEVAzazDoc doc;
    test::CScriptedPrompts prompts;
    CMainFrame frame{doc, &prompts};
    void Open(const std::vector<CPileDescription>& piles) {
        ASSERT_TRUE(frame.Files().OpenPath(test::WriteProject(dir, "p.wvf", piles)));
        doc.SetModified(false);
    }
};

TEST_F(DialogCommandsTest, GainGoesIntoThePendingSetAndTheScope) {
    Open({{"A1"}, {"A1"}, {"B"}});
    doc.Estimate().m_strScope = "当前组";
    prompts.m_Hands.push_back(Type({{1094, "2.5"}, {1095, "1.5"}}));
    ASSERT_TRUE(frame.Router().Dispatch(32850));
    EXPECT_EQ(prompts.m_DialogTitles, QStringList{U("波形放大")});
    EXPECT_EQ(doc.m_Pending.m_fGain, 2.5f);
    EXPECT_EQ(doc.m_Pending.m_fGainDelay, 1.5f);
    EXPECT_EQ(doc.FindPile(1)->m_fGain, 2.5f);
    EXPECT_EQ(doc.FindPile(2)->m_fGain, 2.5f);
    EXPECT_NE(doc.FindPile(3)->m_fGain, 2.5f);
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(DialogCommandsTest, TheGainDelayLimitComesFromTheBar) {
    Open({{"A1", 10.f}});
    ASSERT_EQ(doc.Estimate().m_fLength, 10.f);
    prompts.m_Hands.push_back(Type({{1095, "8.01"}}));
    frame.Router().Dispatch(32850);
    EXPECT_EQ(prompts.m_Told, QStringList{U("放大延迟应在0到8.00之间")});
    EXPECT_FALSE(doc.m_bModified); // refused, then the hand gave up: Cancel changes nothing
}

TEST_F(DialogCommandsTest, FilterAppliesToAllTraces) {
    Open({{"1"}, {"2"}});
    doc.Estimate().m_strScope = "全部波列";
    prompts.m_Hands.push_back(Type({{1096, "1.5"}, {1097, "3"}, {1098, "100"}}));
    ASSERT_TRUE(frame.Router().Dispatch(32868));
    for (int no : {1, 2}) {
        EXPECT_EQ(doc.FindPile(no)->m_fLowPass, 1.5f);
        EXPECT_EQ(doc.FindPile(no)->m_nLowPassPasses, 3);
        EXPECT_EQ(doc.FindPile(no)->m_fHighPass, 100.f);
    }
}

// The filter dialog's apply moves the head with the filters' delay (at 20 µs a 1 kHz low-pass adds 25
// samples, a 20 Hz high-pass 62); one that would push the head off the trace is refused, shown, and
// changes nothing, the pending set included.
TEST_F(DialogCommandsTest, FilterMovesTheHeadWithTheDelayOrChangesNothing) {
    Open({{"1"}});
    prompts.m_Hands.push_back(Type({{1096, "1"}, {1097, "1"}, {1098, "20"}}));
    ASSERT_TRUE(frame.Router().Dispatch(32868));
    EXPECT_EQ(doc.FindPile(1)->m_nHeadSample, 50 + 25 + 62);
    doc.SetModified(false);
    prompts.m_Hands.push_back(Type({{1096, "0.05"}, {1097, "5"}, {1098, "20"}}));
    frame.Router().Dispatch(32868);
    EXPECT_EQ(prompts.m_Told, QStringList{U("滤波延迟会使桩头移出波形范围，参数未应用！")});
    EXPECT_EQ(doc.FindPile(1)->m_nHeadSample, 137);
    EXPECT_EQ(doc.FindPile(1)->m_fLowPass, 1.f);
    EXPECT_EQ(doc.m_Pending.m_fLowPass, 1.f);
    EXPECT_EQ(doc.m_Pending.m_nLowPassPasses, 1);
    EXPECT_FALSE(doc.m_bModified);
    // 恢复参数 takes the filters off and the head back.
    ASSERT_TRUE(frame.Router().Dispatch(32876));
    EXPECT_EQ(doc.FindPile(1)->m_nHeadSample, 50);
}

TEST_F(DialogCommandsTest, CancelChangesNothing) {
    Open({{"1"}});
    const float gain = doc.FindPile(1)->m_fGain;
    for (int id : {32850, 32868, 32783}) {
        prompts.m_Hands.push_back([](QDialog& d) {
            d.reject();
            return d.result();
        });
        frame.Router().Dispatch(id);
    }
    EXPECT_EQ(doc.FindPile(1)->m_fGain, gain);
    EXPECT_FALSE(doc.m_bModified);
}

// The second trace of a three-trace group: the second and third change, the first does not.
TEST_F(DialogCommandsTest, ProjectInformationEditsTheGroupFromTheCurrentPileUp) {
    Open({{"12"}, {"12"}, {"12"}, {"13"}});
    doc.SetSelection({2});
    prompts.m_Hands.push_back([](QDialog& d) {
        EXPECT_EQ(d.findChild<QLineEdit*>(ControlName(1000))->text(), U("检测单位"));
        EXPECT_EQ(d.findChild<QLineEdit*>(ControlName(1002))->text(), "12");
        d.findChild<QLineEdit*>(ControlName(1002))->setText("12B");
        return test::CScriptedPrompts::PressOk(d);
    });
    ASSERT_TRUE(frame.Router().Dispatch(32783));
    EXPECT_EQ(prompts.m_DialogTitles, QStringList{U("工程信息")});
    EXPECT_EQ(doc.FindPile(1)->GetPileName(), "12");
    EXPECT_EQ(doc.FindPile(2)->GetPileName(), "12B");
    EXPECT_EQ(doc.FindPile(3)->GetPileName(), "12B");
    EXPECT_EQ(doc.FindPile(4)->GetPileName(), "13");
    EXPECT_EQ(frame.ListView()->topLevelItem(2)->text(1), "12B"); // the list shows it
    EXPECT_TRUE(doc.m_bModified);
}

TEST_F(DialogCommandsTest, AShortDateIsIncompleteData) {
    Open({{"1"}});
    doc.FindPile(1)->SetTestDate("2024-5");
    frame.Router().Dispatch(32783);
    EXPECT_EQ(prompts.m_Told, QStringList{U("数据不完整")});
    EXPECT_TRUE(prompts.m_DialogTitles.isEmpty());
}

TEST_F(DialogCommandsTest, PrintSetupWritesIntoTheSettingsFolder) {
    // The test program's configuration home is a scratch folder.
    EXPECT_TRUE(PrintSettingsPath().startsWith(
        QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation)));
    EXPECT_TRUE(PrintSettingsPath().endsWith("/pilewave/set.ini"));
    QFile::remove(PrintSettingsPath());
    prompts.m_Hands.push_back(Type({{1084, "3"}}));
    ASSERT_TRUE(frame.Router().Dispatch(32846)); // enabled without a project
    EXPECT_EQ(prompts.m_DialogTitles, QStringList{U("打印设置")});
    EXPECT_EQ(LoadPrintSettings(PrintSettingsPath().toStdString()).m_nRows, 3);
    QFile::remove(PrintSettingsPath());
}

TEST_F(DialogCommandsTest, NumericCommandsUseTheNumberDialog) {
    Open({{"1"}});
    struct Scripted : CShellPrompts {
        using CShellPrompts::CShellPrompts;
        int RunDialog(QDialog& d) override {
            title = d.windowTitle();
            d.show();
            d.findChild<QLineEdit*>(ControlName(1093))->setText("7");
            return test::CScriptedPrompts::PressOk(d);
        }
        QString title;
    } numbers(&frame);
    EXPECT_EQ(numbers.AskInt(U("请输入平滑点数"), 3), 7);
    EXPECT_EQ(numbers.title, U("请输入平滑点数"));
}

} // namespace
} // namespace pw
