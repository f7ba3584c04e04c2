// The transfer dialog "数据传输" (dialog 145): browse the tester's storage as a tree, pick sites,
// choose a destination and fetch them, each converted into one wave data file. The tester's site
// list and the transfer run on worker threads that never touch the widgets: their results come back
// as queued calls. The port (parallel port, virtual cable file or the built-in emulator) is chosen
// in the dialog and remembered.
#pragma once

#include <QDialog>
#include <QMessageBox>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "link/CParallelLink.h"
#include "link/CTesterEmulator.h"
#include "link/CTransferWorker.h"

class QComboBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QPlainTextEdit;
class QProgressBar;
class QPushButton;
class QTreeWidget;
class QTreeWidgetItem;

namespace pw {

class CPostedBarProgress;
class CTransferPort;

class CTransferDlg : public QDialog {
    Q_OBJECT
public:
    // Tree item kinds, as the tester tree stores them.
    enum ENodeKind { kSiteNode = 0, kDataFolderNode = 1, kDriveNode = 2, kRootNode = 3 };

    explicit CTransferDlg(QWidget* parent = nullptr);
    ~CTransferDlg() override;

    // For tests and demonstrations: how the built-in emulator runs (storage, faults, time-outs),
    // the link's limits, the folder of the fetched site list. Take effect with the next port opened.
    void SetEmulatorOptions(const STesterEmulatorOptions& options) { m_EmulatorOptions = options; }
    void SetLinkLimits(const SLinkLimits& limits);
    void SetSiteListFolder(const std::string& szFolder) { m_szSiteListFolder = szFolder; }
    // Opens a port choice ("emulator", "sim:PATH", "ppdev:/dev/parportN") and remembers it.
    void ChoosePort(const QString& choice);
    void SetDestination(const QString& folder);
    QString Destination() const { return m_Destination; }
    bool TransferRunning() const { return m_bRunning; }
    QString LogText() const;

    // The operations of the dialog, as its controls trigger them.
    void ExpandNode(QTreeWidgetItem* item);
    void AddSelected();
    void AddOne(int row);
    void RemoveSelected();
    void RemoveOne(int row);
    void StartTransfer();

    void reject() override; // "取消传输", Esc and the close box

protected:
    // Message boxes and pickers, virtual so that tests can answer them.
    virtual void Tell(const QString& caption, const QString& text, QMessageBox::Icon icon);
    virtual QString AskFolder(const QString& start);
    virtual QString AskCableFile();

private:
    void BuildControls();
    void FillPortChoices(const QString& current);
    void OnPortActivated(int index);
    void ResetTree();
    void FillFolderList(QTreeWidgetItem* node);
    void AddSite(const QByteArray& gbk);
    void OnSiteListFetched(bool bArrived);
    void OnSiteDone(const QByteArray& gbk);
    void AppendLog(const QString& text);
    void OnWorkerFinished();
    void FinishClosing();
    void UpdateControls();
    QString Caption() const;

    QComboBox* m_pPortChoice = nullptr;
    QLabel* m_pPortState = nullptr;
    QTreeWidget* m_pTree = nullptr;
    QLabel* m_pPathLabel = nullptr;
    QListWidget* m_pFolderList = nullptr;
    QListWidget* m_pTransferList = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pRemove = nullptr;
    QPushButton* m_pDestinationButton = nullptr;
    QLineEdit* m_pDestination = nullptr;
    QProgressBar* m_pProgress = nullptr;
    std::unique_ptr<CPostedBarProgress> m_pBarProgress; // the worker's progress, shown on m_pProgress
    QPlainTextEdit* m_pLog = nullptr;
    QPushButton* m_pStart = nullptr;
    QPushButton* m_pClose = nullptr;

    QString m_Destination;
    STesterEmulatorOptions m_EmulatorOptions;
    std::string m_szSiteListFolder;
    std::string m_szSiteListPath;
    // The link is destroyed before the port it holds, the port before the emulator behind it.
    std::unique_ptr<CTransferPort> m_pPort;
    std::unique_ptr<CParallelLink> m_pLink;
    SLinkLimits m_Limits;
    std::unique_ptr<CTransferWorker> m_pWorker;
    std::thread m_Thread;     // the site-list fetch or the transfer; the only user of the link meanwhile
    bool m_bRunning = false;  // a transfer is running
    bool m_bFetching = false; // the site list is being fetched
    bool m_bClosePending = false;
    std::string m_szFinalMessage;
};

} // namespace pw
