// Frame assembly, the update pass, the frame's own commands, drop and close.
#include "shell/CMainFrame.h"

#include <QAction>
#include <QCloseEvent>
#include <QDesktopServices>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QProcess>
#include <QSettings>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>

#include <algorithm>
#include <iterator>

#include "core/CommandIds.h"
#include "shell/CAboutDlg.h"
#include "shell/CCommandRouter.h"
#include "shell/CContextMenu.h"
#include "shell/CDataListView.h"
#include "shell/CDialogCommands.h"
#include "shell/CEditCommands.h"
#include "shell/CFileCommands.h"
#include "shell/CPrintCommands.h"
#include "shell/CRecentFiles.h"
#include "shell/CReportCommands.h"
#include "shell/CShellPrompts.h"
#include "shell/CStatusPanes.h"
#include "shell/CUndoCommands.h"
#include "shell/CommandTable.h"
#include "shell/DesktopTools.h"
#include "shell/EstimateBar.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/CTransferDlg.h"
#include "view/FormalView.h"
#include "view/LayoutGeometry.h"

namespace pw {

CMainFrame::CMainFrame(CDEVAzazDoc& doc, CShellPrompts* prompts)
    : m_doc(doc), m_pOwnPrompts(prompts ? nullptr : std::make_unique<CShellPrompts>(this)),
      m_pPrompts(prompts ? prompts : m_pOwnPrompts.get()), m_pRouter(new CCommandRouter(doc, this)),
      m_pRecent(new CRecentFiles(this)), m_pFiles(new CFileCommands(doc, *m_pPrompts, *m_pRecent, this)),
      m_pEdits(new CEditCommands(doc, *m_pPrompts, this)),
      m_pContextMenu(new CContextMenu(*m_pRouter, this)) {
    setObjectName(QStringLiteral("mainFrame"));
    setAcceptDrops(true);
    CreateBars();
    CreateClient();
    CreateMenus();
    m_pFiles->Register(*m_pRouter);
    m_pEdits->Register(*m_pRouter, *m_pList);
    auto* dialogs = new CDialogCommands(doc, *m_pPrompts, this);
    dialogs->Register(*m_pRouter);
    m_pReports = new CReportCommands(doc, *m_pPrompts, *dialogs, this);
    m_pReports->Register(*m_pRouter);
    m_pPrints = new CPrintCommands(doc, *m_pPrompts, this, [this] {
        for (int pane = 1; pane <= 5; ++pane)
            m_pPanes->SetText(pane, QString());
    });
    m_pPrints->Register(*m_pRouter);
    RegisterFrameCommands();
    RegisterMarkerCommands();
    m_pUndo = new CUndoCommands(doc, *m_pRouter, this);
    connect(m_pMainBar, &EstimateBar::ActionStarted, m_pUndo, &CUndoCommands::NameNextStep);
    connect(m_pList, &CDataListView::ActionStarted, m_pUndo, &CUndoCommands::NameNextStep);
    m_doc.AddListener(this);
    UpdateTitle();
    m_pRouter->UpdateAll();
}

CMainFrame::~CMainFrame() {
    m_doc.RemoveListener(this);
}

void CMainFrame::CreateBars() {
    m_pMainBar = new EstimateBar(m_doc, *m_pPrompts, this);
    m_pMainBar->setObjectName(QStringLiteral("mainToolbar"));
    m_pMainBar->setIconSize(QSize(18, 18));
    m_pEditBar = new QToolBar(this);
    m_pEditBar->setObjectName(QStringLiteral("editToolbar"));
    m_pEditBar->setIconSize(QSize(19, 18));
    auto fill = [this](QToolBar* bar, std::span<const int> ids) {
        for (int id : ids) {
            if (id == kSeparator)
                bar->addSeparator();
            else
                bar->addAction(m_pRouter->Action(id));
        }
    };
    fill(m_pMainBar, MainToolbarButtons());
    m_pMainBar->AddControls();
    fill(m_pEditBar, EditToolbarButtons());
    for (QToolBar* bar : {static_cast<QToolBar*>(m_pMainBar), m_pEditBar}) {
        bar->setMovable(true);
        bar->setFloatable(true);
        bar->setAllowedAreas(Qt::AllToolBarAreas);
    }
    addToolBar(Qt::TopToolBarArea, m_pMainBar);
    addToolBarBreak(Qt::TopToolBarArea);
    addToolBar(Qt::TopToolBarArea, m_pEditBar);
    m_pPanes = new CStatusPanes(statusBar());
}

void CMainFrame::CreateClient() {
    m_pSplitter = new QSplitter(Qt::Horizontal, this);
    m_pSplitter->setObjectName(QStringLiteral("splitter"));
    m_pSplitter->setChildrenCollapsible(false);
    m_pList = new CDataListView(m_doc, *m_pRouter, *m_pPrompts, m_pSplitter);
    m_pList->setMinimumWidth(120);
    m_pWaveView = new FormalView(m_doc, m_pSplitter);
    m_pWaveView->setObjectName(QStringLiteral("waveView"));
    connect(m_pWaveView, &FormalView::StatusText, m_pPanes, &CStatusPanes::SetText);
    connect(m_pWaveView, &FormalView::StatusReset, m_pPanes, &CStatusPanes::Reset);
    connect(m_pWaveView, &FormalView::Refusal, this, [this](const QString& text) { m_pPrompts->Tell(text); });
    connect(m_pWaveView, &FormalView::ContextMenuRequested, this,
            [this](const QPoint& at) { m_pContextMenu->Popup(m_pWaveView, at); });
    // Clicking a pile and then pointing at its trace hands the keys to the view; so does pointing at
    // it after Enter in an estimate edit, which gives the keys to the frame.
    m_pWaveView->TakeFocusFrom(m_pList);
    m_pWaveView->TakeFocusFrom(this);
    m_pSplitter->addWidget(m_pList);
    m_pSplitter->addWidget(m_pWaveView);
    m_pSplitter->setStretchFactor(1, 1);
    setCentralWidget(m_pSplitter);
}

void CMainFrame::CreateMenus() {
    for (const MenuEntry& desc : MainMenu()) {
        QMenu* menu = menuBar()->addMenu(QString::fromUtf8(desc.szTitle));
        // Enable and check marks are computed when a menu opens, as the update handlers did.
        connect(menu, &QMenu::aboutToShow, m_pRouter, &CCommandRouter::UpdateAll);
        for (int id : desc.ids) {
            if (id == kSeparator) {
                menu->addSeparator();
            } else if (id == kRecentSlot) {
                QAction* placeholder = m_pRouter->Action(cmd::kRecentFirst);
                menu->addAction(placeholder);
                m_pRecent->AttachToMenu(menu, placeholder,
                                        [this](const QString& p) { m_pFiles->OpenPath(p); });
            } else {
                menu->addAction(m_pRouter->Action(id));
            }
        }
    }
}

void CMainFrame::RegisterFrameCommands() {
    CCommandRouter& r = *m_pRouter;
    // "最近文件" stands in for an empty list and does nothing itself.
    r.Handle(cmd::kRecentFirst, [] {});
    r.SetStateRule(cmd::kRecentFirst, [] { return CommandState{false, false}; });
    r.Handle(cmd::kExit, [this] { close(); });
    r.Handle(cmd::kToolbar, [this] { ToggleToolbars(); });
    r.SetStateRule(cmd::kToolbar, [this] { return CommandState{true, m_bToolbarVisible == 1}; });
    r.Handle(cmd::kStatusBar, [this] { statusBar()->setVisible(statusBar()->isHidden()); });
    r.SetStateRule(cmd::kStatusBar, [this] { return CommandState{true, !statusBar()->isHidden()}; });
    r.Handle(cmd::kMerge, [this] { m_pFiles->Merge(windowTitle().remove(QStringLiteral("[*]"))); });
    r.Handle(cmd::kAbout, [this] { CAboutDlg(this).exec(); });
    r.Handle(cmd::kTransfer, [this] { CTransferDlg(this).exec(); });
    // No address configured: no item that opens nothing.
    const QString webSite = WebSiteAddress();
    r.Handle(cmd::kWebSite, [webSite] { QDesktopServices::openUrl(QUrl(webSite)); });
    r.Action(cmd::kWebSite)->setVisible(!webSite.isEmpty());
    const QString calculator = FindCalculator();
    r.Handle(cmd::kCalculator, [calculator] { QProcess::startDetached(calculator, {}); });
    r.SetStateRule(cmd::kCalculator, [calculator] { return CommandState{!calculator.isEmpty(), false}; });
}

QMenu* CMainFrame::createPopupMenu() {
    // The toolkit's own menu would list each bar by its (empty) title and hide one alone: offer the
    // frame's commands instead, so both bars go together and the view menu's tick follows.
    m_pRouter->UpdateAll();
    auto* menu = new QMenu(this);
    menu->addAction(m_pRouter->Action(cmd::kToolbar));
    menu->addAction(m_pRouter->Action(cmd::kStatusBar));
    return menu;
}

QString CMainFrame::MarkerRefusal() const {
    if (!m_doc.GetCurrentPile()) return QString::fromUtf8(msg::kMarkerNeedsPile);
    if (!IsMarkerLayout(LayoutOf(m_doc.m_Display.m_nLayout))) return QString::fromUtf8(msg::kMarkerNeedsTraces);
    return {};
}

void CMainFrame::RegisterMarkerCommands() {
    // Only the view answers these, at its cursor, on a single trace or three traces with a current
    // pile, whichever pane has the focus. Sent where they cannot act, their keys say why in pane 0.
    auto rule = [this] { return CommandState{MarkerRefusal().isEmpty(), false}; };
    std::vector<int> ids{cmd::kSetHead, cmd::kSetToe, cmd::kDeleteDefect, cmd::kPreZeroAtCursor,
                         cmd::kPostCutAtCursor};
    for (int id = cmd::kDefectFirst; id <= cmd::kDefectLast; ++id)
        ids.push_back(id);
    for (int id : ids) {
        m_pRouter->Handle(id, [this, id] { m_pWaveView->RunMarkerCommand(id); });
        m_pRouter->SetStateRule(id, rule);
        m_pRouter->SetRefusal(id, [this] { return MarkerRefusal(); });
    }
    connect(m_pRouter, &CCommandRouter::CommandRefused, this,
            [this](int, const QString& why) { m_pPanes->SetText(0, why); });
}

void CMainFrame::ToggleToolbars() {
    const bool show = m_pMainBar->isHidden();
    m_pMainBar->setVisible(show);
    m_pEditBar->setVisible(show);
    m_bToolbarVisible = show ? 1 : 0;
}

void CMainFrame::UpdateTitle() {
    // "[*]" is where the desktop shows unsaved changes; the document's title itself never carries it.
    setWindowTitle(QString::fromUtf8(m_doc.m_strTitle) + QStringLiteral("[*] - ") +
                   QString::fromUtf8(msg::kFrameTitle));
    setWindowModified(m_doc.m_bModified != 0);
}

namespace {
// The layouts in the order of DisplayOptions::m_nLayout, by the command that chooses each.
const int kLayoutCommands[] = {cmd::kSingleTrace, cmd::kThreeTraces, cmd::kWaveTrain, cmd::kAmplitudeSpectrum,
                               cmd::kPowerSpectrum};
const char* const kGeometryKey = "Window/Geometry";
const char* const kStateKey = "Window/State";
const char* const kSplitterKey = "Window/Splitter";
const char* const kLayoutKey = "Window/Layout";
} // namespace

bool CMainFrame::RestoreWindowState() {
    m_bRememberState = true;
    QSettings settings;
    const QByteArray geometry = settings.value(QString::fromLatin1(kGeometryKey)).toByteArray();
    if (geometry.isEmpty() || !restoreGeometry(geometry)) return false;
    restoreState(settings.value(QString::fromLatin1(kStateKey)).toByteArray());
    if (m_pSplitter->restoreState(settings.value(QString::fromLatin1(kSplitterKey)).toByteArray()))
        m_bSplitSized = true; // no quarter split over the user's own
    const int layout = settings.value(QString::fromLatin1(kLayoutKey), cmd::kSingleTrace).toInt();
    if (std::find(std::begin(kLayoutCommands), std::end(kLayoutCommands), layout) != std::end(kLayoutCommands) &&
        layout != cmd::kSingleTrace)
        m_doc.SetLayout(layout); // also before any pile is open, unlike the menu's command
    return true;
}

void CMainFrame::SaveWindowState() const {
    QSettings settings;
    settings.setValue(QString::fromLatin1(kGeometryKey), saveGeometry());
    settings.setValue(QString::fromLatin1(kStateKey), saveState());
    settings.setValue(QString::fromLatin1(kSplitterKey), m_pSplitter->saveState());
    const int index = m_doc.m_Display.m_nLayout;
    if (index >= 0 && index < int(std::size(kLayoutCommands)))
        settings.setValue(QString::fromLatin1(kLayoutKey), kLayoutCommands[index]);
}

void CMainFrame::OnDocumentChanged(unsigned) {
    UpdateTitle();
    m_pRouter->UpdateAll();
}

void CMainFrame::showEvent(QShowEvent* event) {
    QMainWindow::showEvent(event);
    if (m_bSplitSized) return;
    m_bSplitSized = true;
    // The keys start with the pile list, not with the first control of the toolbar (the scope box),
    // so the first pointing at the trace hands them to the view.
    m_pList->setFocus(Qt::OtherFocusReason);
    // A quarter of the client width for the list (integer division), the rest for the view; after the
    // window manager has given the maximised size.
    QTimer::singleShot(0, this, [this] {
        const int width = m_pSplitter->width();
        m_pSplitter->setSizes({width / 4, width - width / 4});
    });
}

void CMainFrame::closeEvent(QCloseEvent* event) {
    if (!m_pFiles->SaveModified()) {
        event->ignore();
        return;
    }
    if (m_bRememberState) SaveWindowState();
    event->accept();
}

void CMainFrame::dragEnterEvent(QDragEnterEvent* event) {
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) return event->acceptProposedAction();
}

void CMainFrame::dropEvent(QDropEvent* event) {
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        event->acceptProposedAction();
        m_pFiles->OpenPath(url.toLocalFile());
        return;
    }
}

} // namespace pw
