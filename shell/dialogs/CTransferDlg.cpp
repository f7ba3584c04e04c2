// The transfer dialog: the tester tree, the folder and transfer lists, the destination, the port
// choice, and the transfer on its worker thread.
#include "shell/dialogs/CTransferDlg.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpression>
#include <QSettings>
#include <QStandardPaths>
#include <QStyle>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/GbkText.h"
#include "link/TesterConversion.h"
#include "link/TesterSiteList.h"
#include "shell/CDialogProgress.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/CTransferPort.h"

namespace pw {

namespace {

constexpr int kKindRole = Qt::UserRole;    // tree items: ENodeKind
constexpr int kGbkRole = Qt::UserRole + 1; // tree and list items: the site name in GBK bytes
constexpr const char* kChooseCable = "choose-cable";
constexpr const char* kPortKey = "transfer/port";
constexpr const char* kDestinationKey = "transfer/destination";

QString T(const char* sz) {
    return QString::fromUtf8(sz);
}

QString DefaultPortChoice() {
    const QStringList devices = CTransferPort::ParallelDevices();
    return devices.isEmpty() ? QString::fromLatin1(CTransferPort::kEmulator)
                             : QStringLiteral("ppdev:") + devices.first();
}

} // namespace

CTransferDlg::CTransferDlg(QWidget* parent) : QDialog(parent), m_szSiteListFolder(SiteListFolder()) {
    setObjectName(QStringLiteral("transferDialog"));
    setWindowTitle(T(msg::kTransferTitle));
    BuildControls();
    QSettings settings;
    QString destination = settings.value(kDestinationKey).toString();
    if (destination.isEmpty())
        destination = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (destination.isEmpty()) destination = QDir::homePath();
    m_Destination = destination;
    m_pDestination->setText(QDir::toNativeSeparators(destination));
    ChoosePort(settings.value(kPortKey, DefaultPortChoice()).toString());
}

CTransferDlg::~CTransferDlg() {
    if (m_pWorker) m_pWorker->RequestStop();
    if (m_Thread.joinable()) m_Thread.join();
    m_pWorker.reset();
    m_pLink.reset();
    m_pPort.reset();
}

void CTransferDlg::BuildControls() {
    auto* layout = new QVBoxLayout(this);

    auto* portRow = new QHBoxLayout;
    m_pPortChoice = new QComboBox(this);
    m_pPortChoice->setObjectName(QStringLiteral("port"));
    m_pPortChoice->setMinimumWidth(280);
    connect(m_pPortChoice, &QComboBox::activated, this, &CTransferDlg::OnPortActivated);
    portRow->addWidget(new QLabel(T(msg::kPortLabel), this));
    portRow->addWidget(m_pPortChoice, 1);
    layout->addLayout(portRow);
    m_pPortState = new QLabel(this);
    m_pPortState->setObjectName(QStringLiteral("portState"));
    m_pPortState->setWordWrap(true);
    layout->addWidget(m_pPortState);

    auto* lists = new QHBoxLayout;
    auto* group = new QGroupBox(T(msg::kTesterGroup), this);
    auto* groupLayout = new QVBoxLayout(group);
    m_pTree = new QTreeWidget(group); // 1105
    m_pTree->setObjectName(QStringLiteral("testerTree"));
    m_pTree->setHeaderHidden(true);
    m_pTree->setRootIsDecorated(true);
    m_pTree->setExpandsOnDoubleClick(false); // a double-click fetches; expanding follows
    connect(m_pTree, &QTreeWidget::itemDoubleClicked, this,
            [this](QTreeWidgetItem* item) { ExpandNode(item); });
    groupLayout->addWidget(m_pTree);
    lists->addWidget(group, 3);

    m_pFolderList = new QListWidget(this); // 1110
    m_pFolderList->setObjectName(QStringLiteral("folderList"));
    m_pTransferList = new QListWidget(this); // 1109
    m_pTransferList->setObjectName(QStringLiteral("transferList"));
    for (QListWidget* list : {m_pFolderList, m_pTransferList}) {
        list->setSortingEnabled(true);
        list->setSelectionMode(QAbstractItemView::ExtendedSelection);
        list->setMinimumWidth(150);
    }
    connect(m_pFolderList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { AddOne(m_pFolderList->row(item)); });
    connect(m_pTransferList, &QListWidget::itemDoubleClicked, this,
            [this](QListWidgetItem* item) { RemoveOne(m_pTransferList->row(item)); });
    auto Column = [this](const char* szLabel, QListWidget* list) {
        auto* column = new QVBoxLayout;
        column->addWidget(new QLabel(T(szLabel), this));
        column->addWidget(list, 1);
        return column;
    };

    m_pAdd = new QPushButton(style()->standardIcon(QStyle::SP_ArrowRight), QString(), this); // 1107
    m_pAdd->setObjectName(QStringLiteral("add"));
    m_pAdd->setToolTip(T(msg::kAddSites));
    m_pRemove = new QPushButton(style()->standardIcon(QStyle::SP_ArrowLeft), QString(), this); // 1108
    m_pRemove->setObjectName(QStringLiteral("remove"));
    m_pRemove->setToolTip(T(msg::kRemoveSites));
    connect(m_pAdd, &QPushButton::clicked, this, &CTransferDlg::AddSelected);
    connect(m_pRemove, &QPushButton::clicked, this, &CTransferDlg::RemoveSelected);
    auto* arrows = new QVBoxLayout;
    arrows->addStretch();
    arrows->addWidget(m_pAdd);
    arrows->addWidget(m_pRemove);
    arrows->addStretch();
    lists->addLayout(Column(msg::kFolderListLabel, m_pFolderList), 2);
    lists->addLayout(arrows);
    lists->addLayout(Column(msg::kTransferListLabel, m_pTransferList), 2);
    layout->addLayout(lists, 1);

    m_pPathLabel = new QLabel(this); // 1111
    m_pPathLabel->setObjectName(QStringLiteral("pathLabel"));
    layout->addWidget(m_pPathLabel);

    auto* destinationRow = new QHBoxLayout;
    m_pDestinationButton = new QPushButton(T(msg::kDestinationButton), this); // 1106
    m_pDestinationButton->setObjectName(QStringLiteral("destinationButton"));
    connect(m_pDestinationButton, &QPushButton::clicked, this, [this] {
        const QString folder = AskFolder(m_Destination);
        if (!folder.isEmpty()) SetDestination(folder);
    });
    m_pDestination = new QLineEdit(this); // 1112
    m_pDestination->setObjectName(QStringLiteral("destination"));
    m_pDestination->setReadOnly(true);
    destinationRow->addWidget(m_pDestinationButton);
    destinationRow->addWidget(m_pDestination, 1);
    layout->addLayout(destinationRow);

    m_pProgress = new QProgressBar(this); // 1113
    m_pProgress->setObjectName(QStringLiteral("progress"));
    m_pProgress->setRange(0, 100);
    m_pProgress->setValue(0);
    layout->addWidget(m_pProgress);

    m_pLog = new QPlainTextEdit(this); // 1044, shown: it is where a broken site is explained
    m_pLog->setObjectName(QStringLiteral("log"));
    m_pLog->setReadOnly(true);
    m_pLog->setMaximumBlockCount(2000);
    m_pLog->setFixedHeight(m_pLog->fontMetrics().lineSpacing() * 5 + 12);
    layout->addWidget(m_pLog);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    m_pStart = new QPushButton(T(msg::kStartTransfer), this);
    m_pStart->setObjectName(QStringLiteral("start"));
    m_pStart->setDefault(true);
    m_pClose = new QPushButton(T(msg::kCancelTransfer), this);
    m_pClose->setObjectName(QStringLiteral("close"));
    connect(m_pStart, &QPushButton::clicked, this, &CTransferDlg::StartTransfer);
    connect(m_pClose, &QPushButton::clicked, this, &CTransferDlg::reject);
    buttons->addWidget(m_pStart);
    buttons->addWidget(m_pClose);
    layout->addLayout(buttons);
    resize(760, 560);
}

QString CTransferDlg::Caption() const {
    return T(msg::kAppTitle);
}

void CTransferDlg::Tell(const QString& caption, const QString& text, QMessageBox::Icon icon) {
    QMessageBox box(icon, caption, text, QMessageBox::Ok, this);
    box.exec();
}

QString CTransferDlg::AskFolder(const QString& start) {
    return QFileDialog::getExistingDirectory(this, T(msg::kChooseFolderTitle), start);
}

QString CTransferDlg::AskCableFile() {
    return QFileDialog::getSaveFileName(this, T(msg::kChooseCableTitle), QStringLiteral("/dev/shm"),
                                        QString(), nullptr, QFileDialog::DontConfirmOverwrite);
}

void CTransferDlg::SetLinkLimits(const SLinkLimits& limits) {
    m_Limits = limits;
    if (m_pLink) m_pLink->SetLimits(limits);
}

void CTransferDlg::SetDestination(const QString& folder) {
    m_Destination = folder;
    m_pDestination->setText(QDir::toNativeSeparators(folder));
    QSettings().setValue(kDestinationKey, folder);
}

QString CTransferDlg::LogText() const {
    return m_pLog->toPlainText();
}

void CTransferDlg::FillPortChoices(const QString& current) {
    m_pPortChoice->clear();
    m_pPortChoice->addItem(T(msg::kPortEmulator), QString::fromLatin1(CTransferPort::kEmulator));
    QStringList devices = CTransferPort::ParallelDevices();
    if (devices.isEmpty()) devices << QStringLiteral("/dev/parport0"); // to be told why it is missing
    for (const QString& device : devices)
        m_pPortChoice->addItem(T(msg::kPortParallel).arg(device), QStringLiteral("ppdev:") + device);
    if (current.startsWith(QLatin1String("ppdev:")) && m_pPortChoice->findData(current) < 0)
        m_pPortChoice->addItem(T(msg::kPortParallel).arg(current.mid(6)), current);
    if (current.startsWith(QLatin1String("sim:")))
        m_pPortChoice->addItem(T(msg::kPortCableFile).arg(current.mid(4)), current);
    m_pPortChoice->addItem(T(msg::kPortChooseCable), QString::fromLatin1(kChooseCable));
    m_pPortChoice->setCurrentIndex(std::max(0, m_pPortChoice->findData(current)));
}

void CTransferDlg::OnPortActivated(int index) {
    QString choice = m_pPortChoice->itemData(index).toString();
    if (choice == QLatin1String(kChooseCable)) {
        const QString file = AskCableFile();
        if (file.isEmpty()) {
            FillPortChoices(QSettings().value(kPortKey).toString());
            return;
        }
        choice = QStringLiteral("sim:") + file;
    }
    ChoosePort(choice);
}

void CTransferDlg::ChoosePort(const QString& choice) {
    if (m_bRunning || m_bFetching) return;
    // The old port goes first: a parallel port is claimed by one user at a time.
    m_pLink.reset();
    m_pPort.reset();
    m_pPort = std::make_unique<CTransferPort>(choice, m_EmulatorOptions);
    m_pLink = std::make_unique<CParallelLink>(m_pPort->Port(), m_pPort->Error());
    m_pLink->SetLimits(m_Limits);
    QSettings().setValue(kPortKey, choice);
    FillPortChoices(choice);
    if (m_pPort->Port()) {
        m_pPortState->setStyleSheet(QString());
        m_pPortState->setText(T(msg::kPortReady).arg(m_pPortChoice->currentText()));
    } else {
        m_pPortState->setStyleSheet(QStringLiteral("color: #b00000;"));
        m_pPortState->setText(QString::fromStdString(m_pPort->Error()));
    }
    ResetTree();
}

void CTransferDlg::ResetTree() {
    m_pTree->clear();
    auto* root = new QTreeWidgetItem(m_pTree, {QStringLiteral("t58")});
    root->setData(0, kKindRole, kRootNode);
    root->setIcon(0, style()->standardIcon(QStyle::SP_ComputerIcon));
    m_pTree->setCurrentItem(root);
    m_pFolderList->clear();
    m_pPathLabel->clear();
    m_szSiteListPath.clear();
}

void CTransferDlg::ExpandNode(QTreeWidgetItem* item) {
    if (!item || item->childCount() > 0 || m_bRunning || m_bFetching) return;
    auto AddChild = [item](const QString& text, ENodeKind eKind, QStyle::StandardPixmap icon) {
        auto* child = new QTreeWidgetItem(item, {text});
        child->setData(0, kKindRole, eKind);
        child->setIcon(0, QApplication::style()->standardIcon(icon));
        return child;
    };
    switch (item->data(0, kKindRole).toInt()) {
    case kRootNode: {
        if (!m_pLink->HasPort()) {
            Tell(Caption(),
                 T(msg::kConnectFailed) + QStringLiteral("\n\n") + QString::fromStdString(m_pPort->Error()),
                 QMessageBox::Warning);
            return;
        }
        // The fetch may wait for a silent tester: off the window's thread.
        m_bFetching = true;
        UpdateControls();
        QApplication::setOverrideCursor(Qt::BusyCursor);
        m_Thread = std::thread([this, szFolder = m_szSiteListFolder] {
            std::string szPath;
            const bool bArrived = FetchSiteList(*m_pLink, szFolder, szPath);
            QMetaObject::invokeMethod(
                this,
                [this, bArrived, szPath] {
                    m_szSiteListPath = bArrived ? szPath : std::string();
                    OnSiteListFetched(bArrived);
                },
                Qt::QueuedConnection);
        });
        return;
    }
    case kDriveNode:
        AddChild(QStringLiteral("DAT"), kDataFolderNode, QStyle::SP_DirIcon);
        item->setExpanded(true);
        return;
    case kDataFolderNode: {
        std::vector<std::string> sites;
        if (m_szSiteListPath.empty() || !ReadSiteList(m_szSiteListPath, sites)) {
            Tell(Caption(), T(msg::kSiteListOpenFailed), QMessageBox::Warning);
            return;
        }
        for (const std::string& szSite : sites) {
            QTreeWidgetItem* child =
                AddChild(QString::fromStdString(GbkToUtf8(szSite)), kSiteNode, QStyle::SP_DirClosedIcon);
            child->setData(0, kGbkRole, QByteArray::fromStdString(szSite));
        }
        item->setExpanded(true);
        FillFolderList(item);
        return;
    }
    default:
        return;
    }
}

void CTransferDlg::OnSiteListFetched(bool bArrived) {
    if (m_Thread.joinable()) m_Thread.join();
    m_bFetching = false;
    QApplication::restoreOverrideCursor();
    UpdateControls();
    if (m_bClosePending) return FinishClosing();
    QTreeWidgetItem* root = m_pTree->topLevelItem(0);
    if (!bArrived) {
        // No list: never one an earlier session left behind. The root can be double-clicked again.
        Tell(Caption(), T(msg::kConnectFailed), QMessageBox::Warning);
        return;
    }
    auto* drive = new QTreeWidgetItem(root, {QStringLiteral("C:")});
    drive->setData(0, kKindRole, kDriveNode);
    drive->setIcon(0, style()->standardIcon(QStyle::SP_DriveHDIcon));
    root->setExpanded(true);
}

void CTransferDlg::FillFolderList(QTreeWidgetItem* node) {
    if (!node || node->childCount() == 0) return;
    QStringList parts;
    for (QTreeWidgetItem* up = node; up && up->parent(); up = up->parent())
        parts.prepend(up->text(0));
    m_pPathLabel->setText(parts.join(QLatin1Char('\\')) + QLatin1Char('\\'));
    m_pFolderList->clear();
    for (int i = 0; i < node->childCount(); ++i) {
        QTreeWidgetItem* child = node->child(i);
        if (child->data(0, kKindRole).toInt() != kSiteNode) continue;
        auto* entry = new QListWidgetItem(child->text(0), m_pFolderList);
        entry->setData(kGbkRole, child->data(0, kGbkRole));
    }
}

void CTransferDlg::AddSite(const QByteArray& gbk) {
    const QString text = QString::fromStdString(GbkToUtf8(gbk.toStdString()));
    for (int i = 0; i < m_pTransferList->count(); ++i)
        if (m_pTransferList->item(i)->text().compare(text, Qt::CaseInsensitive) == 0) return;
    auto* entry = new QListWidgetItem(text, m_pTransferList);
    entry->setData(kGbkRole, gbk);
}

void CTransferDlg::AddSelected() {
    if (m_bRunning) return;
    const QList<QListWidgetItem*> selected = m_pFolderList->selectedItems();
    if (selected.isEmpty()) {
        Tell(T(msg::kNotice), T(msg::kNothingToAdd), QMessageBox::Warning);
        return;
    }
    for (QListWidgetItem* item : selected)
        AddSite(item->data(kGbkRole).toByteArray());
}

void CTransferDlg::AddOne(int row) {
    if (m_bRunning || row < 0 || row >= m_pFolderList->count()) return;
    AddSite(m_pFolderList->item(row)->data(kGbkRole).toByteArray());
}

void CTransferDlg::RemoveSelected() {
    if (m_bRunning) return;
    const QList<QListWidgetItem*> selected = m_pTransferList->selectedItems();
    if (selected.isEmpty()) {
        Tell(T(msg::kNotice), T(msg::kNothingToRemove), QMessageBox::Warning);
        return;
    }
    qDeleteAll(selected);
}

void CTransferDlg::RemoveOne(int row) {
    if (m_bRunning || row < 0 || row >= m_pTransferList->count()) return;
    delete m_pTransferList->takeItem(row);
}

void CTransferDlg::StartTransfer() {
    if (m_bRunning || m_bFetching) return;
    if (m_pTransferList->count() == 0) {
        Tell(Caption(), T(msg::kNothingToTransfer), QMessageBox::Warning);
        return;
    }
    if (!m_pLink->HasPort()) {
        Tell(Caption(),
             T(msg::kConnectFailed) + QStringLiteral("\n\n") + QString::fromStdString(m_pPort->Error()),
             QMessageBox::Warning);
        return;
    }
    STransferJob job;
    const QString path = m_pPathLabel->text();
    if (!path.isEmpty()) job.szTesterPath = Utf8ToGbk(path.toStdString());
    job.szDestination = QDir(m_Destination).absolutePath().toStdString();
    for (int i = 0; i < m_pTransferList->count(); ++i)
        job.sites.push_back(m_pTransferList->item(i)->data(kGbkRole).toByteArray().toStdString());

    // Everything below runs on the worker thread: it only posts to the window's thread.
    STransferEvents events;
    if (!m_pBarProgress) m_pBarProgress = std::make_unique<CPostedBarProgress>(m_pProgress);
    events.pProgress = m_pBarProgress.get();
    events.onLog = [this](const std::string& sz) {
        QMetaObject::invokeMethod(
            this, [this, text = QString::fromStdString(sz)] { AppendLog(text); }, Qt::QueuedConnection);
    };
    events.onMessage = [this](const std::string& sz) {
        QMetaObject::invokeMethod(
            this, [this, sz] { m_szFinalMessage = sz; }, Qt::QueuedConnection);
    };
    events.onSiteDone = [this, sites = job.sites](size_t nIndex, const SSiteResult&) {
        QMetaObject::invokeMethod(
            this, [this, gbk = QByteArray::fromStdString(sites[nIndex])] { OnSiteDone(gbk); },
            Qt::QueuedConnection);
    };
    m_szFinalMessage.clear();
    m_pProgress->setValue(0);
    m_pWorker = std::make_unique<CTransferWorker>(*m_pLink, std::move(job), std::move(events));
    m_bRunning = true;
    UpdateControls();
    m_Thread = std::thread([this] {
        m_pWorker->Run();
        QMetaObject::invokeMethod(
            this, [this] { OnWorkerFinished(); }, Qt::QueuedConnection);
    });
}

void CTransferDlg::OnSiteDone(const QByteArray& gbk) {
    // Handled sites leave the list, whatever became of them (the final message says).
    for (int i = 0; i < m_pTransferList->count(); ++i) {
        if (m_pTransferList->item(i)->data(kGbkRole).toByteArray() == gbk) {
            delete m_pTransferList->takeItem(i);
            return;
        }
    }
}

void CTransferDlg::AppendLog(const QString& text) {
    for (const QString& line : text.split(QRegularExpression(QStringLiteral("[\r\n]+")), Qt::SkipEmptyParts))
        m_pLog->appendPlainText(line);
}

void CTransferDlg::OnWorkerFinished() {
    if (m_Thread.joinable()) m_Thread.join();
    // A site saved beside an existing file, or files kept beside it, also deserve the warning icon.
    const bool bComplete = m_pWorker && m_pWorker->NothingToWarn();
    m_pWorker.reset();
    m_bRunning = false;
    UpdateControls();
    if (!m_szFinalMessage.empty())
        Tell(Caption(), QString::fromStdString(m_szFinalMessage),
             bComplete ? QMessageBox::Information : QMessageBox::Warning);
    m_szFinalMessage.clear();
    if (m_bClosePending) FinishClosing();
}

void CTransferDlg::reject() {
    if (m_bRunning || m_bFetching) {
        // Closing under a running transfer would pull the link from under it: stop it after the
        // current file and close once it has stopped.
        if (!m_bClosePending && m_pWorker) {
            m_pWorker->RequestStop();
            AppendLog(T(msg::kStopping));
        }
        m_bClosePending = true;
        UpdateControls();
        return;
    }
    FinishClosing();
}

void CTransferDlg::FinishClosing() {
    m_bClosePending = false;
    const bool bSent = m_pLink->Quit() == 1;
    AppendLog(T(bSent ? msg::kDisconnected : msg::kDisconnectFailed));
    QDialog::reject();
}

void CTransferDlg::UpdateControls() {
    const bool bBusy = m_bRunning || m_bFetching;
    m_pStart->setEnabled(!bBusy);
    m_pPortChoice->setEnabled(!bBusy);
    m_pAdd->setEnabled(!m_bRunning);
    m_pRemove->setEnabled(!m_bRunning);
    m_pDestinationButton->setEnabled(!m_bRunning);
    m_pClose->setEnabled(!m_bClosePending);
}

} // namespace pw
