// The main frame: assembles the splitter (pile list | waveform view), the two toolbars, the status
// panes, menu 128 and the accelerators, and owns the frame's own commands. It computes nothing.
#pragma once

#include <QMainWindow>

#include "core/CDEVAzazDoc.h"

class FormalView;
class QSplitter;
class QToolBar;

namespace pw {

class CCommandRouter;
class CContextMenu;
class CDataListView;
class CEditCommands;
class CFileCommands;
class CPrintCommands;
class CReportCommands;
class CRecentFiles;
class CShellPrompts;
class CStatusPanes;
class CUndoCommands;
class EstimateBar;

class CMainFrame : public QMainWindow, public IDocumentListener {
    Q_OBJECT
public:
    // prompts: nullptr for the real dialogs; tests pass scripted answers.
    explicit CMainFrame(CDEVAzazDoc& doc, CShellPrompts* prompts = nullptr);
    ~CMainFrame() override;

    CDEVAzazDoc& Document() { return m_doc; }
    CCommandRouter& Router() { return *m_pRouter; }
    CFileCommands& Files() { return *m_pFiles; }
    CReportCommands& Reports() { return *m_pReports; }
    CPrintCommands& Prints() { return *m_pPrints; }
    CDataListView* ListView() const { return m_pList; }  // pane (0,0)
    FormalView* WaveView() const { return m_pWaveView; } // pane (0,1)
    EstimateBar* MainBar() const { return m_pMainBar; }
    QToolBar* EditBar() const { return m_pEditBar; }
    CStatusPanes* StatusPanes() const { return m_pPanes; }
    QSplitter* Splitter() const { return m_pSplitter; }
    CRecentFiles& Recent() { return *m_pRecent; }
    CContextMenu& ContextMenu() { return *m_pContextMenu; }

    void ToggleToolbars();             // both bars together
    // Size, position, splitter and layout of the last run (QSettings); false at the first start. Once
    // restored or asked for, the window keeps them when it closes.
    bool RestoreWindowState();
    void SaveWindowState() const;
    QMenu* createPopupMenu() override; // the right button on the bars: both bars as one item
    void OnDocumentChanged(unsigned changes) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void CreateBars();
    void CreateClient();
    void CreateMenus();
    void RegisterFrameCommands();
    void RegisterMarkerCommands(); // the view's commands at the cursor
    QString MarkerRefusal() const; // why they cannot act now; "" when they can
    void UpdateTitle();

    CDEVAzazDoc& m_doc;
    std::unique_ptr<CShellPrompts> m_pOwnPrompts;
    CShellPrompts* m_pPrompts;
    CCommandRouter* m_pRouter;
    CRecentFiles* m_pRecent;
    CFileCommands* m_pFiles;
    CEditCommands* m_pEdits;
    CReportCommands* m_pReports = nullptr;
    CPrintCommands* m_pPrints = nullptr;
    CContextMenu* m_pContextMenu;
    EstimateBar* m_pMainBar = nullptr;
    QToolBar* m_pEditBar = nullptr;
    CStatusPanes* m_pPanes = nullptr;
    QSplitter* m_pSplitter = nullptr;
    CDataListView* m_pList = nullptr;
    FormalView* m_pWaveView = nullptr;
    int m_bToolbarVisible = 1;
    bool m_bSplitSized = false;
    bool m_bRememberState = false;
    CUndoCommands* m_pUndo = nullptr;
};

} // namespace pw
