// The pile list (left pane): one row per record in stored order, a check box per row mirrored into
// the record's m_bChecked, and the selection that chooses the current pile.
#pragma once

#include <QTreeWidget>

#include <vector>

#include "core/CDEVAzazDoc.h"
#include "core/PileOrder.h"

namespace pw {

class CCommandRouter;
class CShellPrompts;

class CDataListView : public QTreeWidget, public IDocumentListener {
    Q_OBJECT
public:
    CDataListView(CDEVAzazDoc& doc, CCommandRouter& router, CShellPrompts& prompts,
                  QWidget* parent = nullptr);
    ~CDataListView() override;

    void Fill();                                   // rebuild every row from the document
    std::vector<CRowPile> CollectSelected() const; // sorted by trimmed pile name, byte-wise
    std::vector<CRowPile> CollectTicked() const;   // same order
    void SetRowState(int row, int mode);           // 1 select, 2 deselect, other: deselect and repaint
    void DeleteCurrent(); // the list part of "删除波形": confirm, delete, reselect

    void OnDocumentChanged(unsigned changes) override;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

signals:
    void ActionStarted(const QString& name); // a tick about to change records

private:
    void SelectionToDocument(); // the user's selection becomes the document's, current pile first
    void ShowDocumentSelection();
    void RefreshRows();
    void SetRowTexts(QTreeWidgetItem* item, CPileRecord& rec);
    std::vector<CRowPile> Rows(bool selected) const;

    CDEVAzazDoc& m_doc;
    CCommandRouter& m_router;
    CShellPrompts& m_prompts;
    bool m_bFilling = false; // programmatic changes must not echo back into the document
};

} // namespace pw
