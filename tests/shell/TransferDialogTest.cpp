// The transfer dialog driven offscreen against the tester emulator on its own thread: the tree, the
// two lists with their messages, a transfer of two sites, a broken site that must not replace a
// complete file, closing while a transfer runs, and the port choice.
#include <QLabel>
#include <QListWidget>
#include <QProgressBar>
#include <QSettings>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "link/TesterSampleStorage.h"
#include "shell/dialogs/CTransferDlg.h"

namespace pw {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;

// Records what the dialog tells instead of showing boxes.
class CRecordingTransferDlg : public CTransferDlg {
public:
    using CTransferDlg::CTransferDlg;
    QStringList m_Told; // "caption|text"

protected:
    void Tell(const QString& caption, const QString& text, QMessageBox::Icon) override {
        m_Told << caption + QLatin1Char('|') + text;
    }
};

class TransferDialog : public ::testing::Test {
protected:
    void SetUp() override {
        std::string szError;
        fs::create_directories(Storage());
        ASSERT_TRUE(WriteSampleTesterStorage(Storage(), szError)) << szError;
        fs::create_directories(Dest());
    }
    std::string Storage() const { return (m_Dir.path() + "/storage").toStdString(); }
    fs::path Dest() const { return fs::path(m_Dir.path().toStdString()) / "dest"; }

    // A dialog on the emulator serving the sample storage, with short time-outs.
    std::unique_ptr<CRecordingTransferDlg> Open(STesterFault fault = {}) {
        auto pDlg = std::make_unique<CRecordingTransferDlg>();
        STesterEmulatorOptions options;
        options.szStorage = Storage();
        options.fault = fault;
        options.tByteTimeout = 300ms;
        options.tSendWait = 1000ms;
        pDlg->SetEmulatorOptions(options);
        SLinkLimits limits;
        limits.tReplyWait = 600ms;
        limits.nMaxFailedReceptions = 2;
        pDlg->SetLinkLimits(limits);
        pDlg->SetSiteListFolder(m_Dir.path().toStdString() + "/cache");
        pDlg->ChoosePort(QStringLiteral("emulator"));
        pDlg->SetDestination(QString::fromStdString(Dest().string()));
        return pDlg;
    }

    template <class T> static T* Find(QWidget& dlg, const char* name) {
        T* widget = dlg.findChild<T*>(QString::fromLatin1(name));
        EXPECT_TRUE(widget) << name;
        return widget;
    }

    // Double-clicks down to C:\DAT, which lists the sites in the folder list.
    static void ExpandToSites(CTransferDlg& dlg) {
        auto* tree = Find<QTreeWidget>(dlg, "testerTree");
        QTreeWidgetItem* root = tree->topLevelItem(0);
        ASSERT_EQ(root->text(0), "t58");
        dlg.ExpandNode(root);
        ASSERT_TRUE(QTest::qWaitFor([&] { return root->childCount() == 1; }, 5000));
        dlg.ExpandNode(root); // an expanded node is never fetched again
        ASSERT_EQ(root->childCount(), 1);
        dlg.ExpandNode(root->child(0));
        ASSERT_EQ(root->child(0)->text(0), "C:");
        dlg.ExpandNode(root->child(0)->child(0));
        ASSERT_EQ(root->child(0)->child(0)->text(0), "DAT");
        EXPECT_EQ(Find<QLabel>(dlg, "pathLabel")->text(), "C:\\DAT\\");
    }

    static QStringList Texts(QListWidget* list) {
        QStringList texts;
        for (int i = 0; i < list->count(); ++i)
            texts << list->item(i)->text();
        return texts;
    }

    static void WaitUntilIdle(CTransferDlg& dlg) {
        ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.TransferRunning(); }, 20000));
    }

    QTemporaryDir m_Dir;
};

TEST_F(TransferDialog, TwoSitesArriveAndTheListsSayWhatIsMissing) {
    auto pDlg = Open();
    CRecordingTransferDlg& dlg = *pDlg;
    auto* folders = Find<QListWidget>(dlg, "folderList");
    auto* transfers = Find<QListWidget>(dlg, "transferList");

    dlg.StartTransfer();
    dlg.AddSelected();
    dlg.RemoveSelected();
    EXPECT_EQ(dlg.m_Told, QStringList({"反射波法桩基完整性检测分析仪|请选择所要传输的文件!",
                                       "提示|您还没选择要添加的文件,请选择......",
                                       "提示|您还没选择要取消下载的文件,请选择......"}));
    dlg.m_Told.clear();

    ExpandToSites(dlg);
    EXPECT_EQ(Texts(folders), QStringList({"DEMO1", "DEMO2"}));
    folders->selectAll();
    dlg.AddSelected();
    dlg.AddOne(0); // already there: not added twice
    EXPECT_EQ(Texts(transfers), QStringList({"DEMO1", "DEMO2"}));
    dlg.RemoveOne(1);
    dlg.AddOne(1);
    EXPECT_EQ(Texts(transfers), QStringList({"DEMO1", "DEMO2"}));

    dlg.StartTransfer();
    EXPECT_TRUE(dlg.TransferRunning());
    dlg.StartTransfer(); // does nothing while the worker runs
    WaitUntilIdle(dlg);
    EXPECT_EQ(dlg.m_Told, QStringList({"反射波法桩基完整性检测分析仪|WVF文件传输结束!"}));
    EXPECT_TRUE(fs::exists(Dest() / "demo1.wvf"));
    EXPECT_TRUE(fs::exists(Dest() / "demo2.wvf"));
    EXPECT_EQ(std::distance(fs::directory_iterator(Dest()), fs::directory_iterator()), 2);
    EXPECT_EQ(transfers->count(), 0);
    EXPECT_EQ(Find<QProgressBar>(dlg, "progress")->value(), 100);
}

// The tester cannot deliver one block: the final message names the site, and the complete file of
// that site from an earlier transfer stays as it was.
TEST_F(TransferDialog, BrokenSiteIsNamedAndReplacesNothing) {
    const std::string earlier = "an earlier complete transfer";
    std::ofstream(Dest() / "demo1.wvf") << earlier;
    auto pDlg = Open({ETesterFault::BadHeader, 0});
    CRecordingTransferDlg& dlg = *pDlg;
    ExpandToSites(dlg);
    dlg.AddOne(0);
    dlg.StartTransfer();
    WaitUntilIdle(dlg);
    ASSERT_EQ(dlg.m_Told.size(), 1);
    EXPECT_EQ(dlg.m_Told[0], "反射波法桩基完整性检测分析仪|WVF文件传输结束!\n\n以下工地没有完整传输：\n"
                             "DEMO1：5 根桩只收到 4 根，已存为 demo1.incomplete.wvf");
    std::ifstream in(Dest() / "demo1.wvf");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), earlier);
    EXPECT_TRUE(fs::exists(Dest() / "demo1.incomplete.wvf"));
    EXPECT_TRUE(dlg.LogText().contains("DEMO1：5 根桩只收到 4 根"));
}

// Closing while the worker runs stops it after the current file, then says goodbye to the tester and
// closes; the window's thread is never blocked meanwhile.
TEST_F(TransferDialog, CloseWhileRunningWaitsForTheWorker) {
    auto pDlg = Open();
    CRecordingTransferDlg& dlg = *pDlg;
    QSignalSpy finished(&dlg, &QDialog::finished);
    ExpandToSites(dlg);
    Find<QListWidget>(dlg, "folderList")->selectAll();
    dlg.AddSelected();
    dlg.StartTransfer();
    dlg.reject();
    EXPECT_EQ(finished.count(), 0);
    EXPECT_TRUE(dlg.TransferRunning());
    ASSERT_TRUE(finished.wait(20000));
    EXPECT_FALSE(dlg.TransferRunning());
    EXPECT_TRUE(dlg.m_Told.isEmpty()); // a stop the user asked for needs no box
    EXPECT_TRUE(dlg.LogText().endsWith("断开连接!")) << dlg.LogText().toStdString();
    // The site that was stopped is not written; nothing is left behind.
    for (const auto& entry : fs::directory_iterator(Dest()))
        EXPECT_EQ(entry.path().extension(), ".wvf") << entry.path();
    EXPECT_FALSE(fs::exists(Dest() / "demo2.wvf") && fs::exists(Dest() / "demo1.wvf"));
}

TEST_F(TransferDialog, SilentTesterGivesTheConnectionMessageAndNoTree) {
    auto pDlg = Open({ETesterFault::NoHandshake, 0});
    CRecordingTransferDlg& dlg = *pDlg;
    QTreeWidgetItem* root = Find<QTreeWidget>(dlg, "testerTree")->topLevelItem(0);
    dlg.ExpandNode(root);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dlg.m_Told.isEmpty(); }, 5000));
    EXPECT_EQ(dlg.m_Told, QStringList({"反射波法桩基完整性检测分析仪|连接失败，请检查连接线后重试！"}));
    EXPECT_EQ(root->childCount(), 0);
    dlg.reject();
    EXPECT_TRUE(dlg.LogText().endsWith("断开失败!"));
}

TEST_F(TransferDialog, PortChoiceIsRememberedAndAMissingDeviceSaysWhatToDo) {
    auto pDlg = Open();
    pDlg->ChoosePort(QStringLiteral("ppdev:/nonexistent/parport0"));
    EXPECT_EQ(QSettings().value("transfer/port").toString(), "ppdev:/nonexistent/parport0");
    const QString state = Find<QLabel>(*pDlg, "portState")->text();
    EXPECT_TRUE(state.startsWith("找不到并口设备 /nonexistent/parport0。")) << state.toStdString();
    EXPECT_FALSE(state.contains("No such")); // the system's English words stay out of the window
    pDlg->ExpandNode(Find<QTreeWidget>(*pDlg, "testerTree")->topLevelItem(0));
    ASSERT_EQ(pDlg->m_Told.size(), 1);
    EXPECT_TRUE(pDlg->m_Told[0].startsWith(
        "反射波法桩基完整性检测分析仪|连接失败，请检查连接线后重试！\n\n找不到并口设备"));
    // A new dialog opens the port chosen last.
    CRecordingTransferDlg again;
    EXPECT_TRUE(Find<QLabel>(again, "portState")->text().startsWith("找不到并口设备"));
    EXPECT_EQ(QSettings().value("transfer/destination").toString(), QString::fromStdString(Dest().string()));
    // The built-in emulator serves the storage bundled with the program.
    again.SetSiteListFolder(m_Dir.path().toStdString() + "/cache");
    again.ChoosePort(QStringLiteral("emulator"));
    EXPECT_TRUE(Find<QLabel>(again, "portState")->text().startsWith("端口已打开："));
    ExpandToSites(again);
    EXPECT_EQ(Texts(Find<QListWidget>(again, "folderList")), QStringList({"BJHY2"}));
}

} // namespace
} // namespace pw
