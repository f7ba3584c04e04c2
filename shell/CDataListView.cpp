// Pile list: filling, selection to the document, check boxes, delete and the pop-up menu.
#include "shell/CDataListView.h"

#include <QContextMenuEvent>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

#include "core/CommandIds.h"
#include "core/ReportContent.h"
#include "shell/CCommandRouter.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellCommandIds.h"
#include "shell/ShellMessages.h"

namespace pw {

CDataListView::CDataListView(CDEVAzazDoc& doc, CCommandRouter& router, CShellPrompts& prompts,
                             QWidget* parent)
    : QTreeWidget(parent), m_doc(doc), m_router(router), m_prompts(prompts) {
    setObjectName(QStringLiteral("pileList"));
    setColumnCount(4);
    setHeaderLabels({QStringLiteral("序号"), QStringLiteral("桩号"), QStringLiteral("检测日期"), QStringLiteral("类别")});
    // 50, 50 and 75 pixels, or what a typical cell needs in the installed font when that is more.
    const QFontMetrics fm(font());
    header()->resizeSection(0, std::max(50, fm.horizontalAdvance(QStringLiteral("0000")) + 36));
    header()->resizeSection(1, std::max(50, fm.horizontalAdvance(QStringLiteral("WWWW")) + 12));
    header()->resizeSection(2, std::max(75, fm.horizontalAdvance(QStringLiteral("2024-05-17")) + 12));
    header()->resizeSection(3, std::max(40, fm.horizontalAdvance(QStringLiteral("Ⅱ/Ⅲ*")) + 12));
    header()->setStretchLastSection(false);
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setFrameShape(QFrame::NoFrame);
    setAllColumnsShowFocus(true);
    // The record follows its box at once (keyboard Space included), not only when the pointer moves.
    connect(this, &QTreeWidget::itemChanged, this, [this](QTreeWidgetItem* item, int column) {
        if (m_bFilling || column != 0) return;
        emit ActionStarted(QString::fromUtf8(msg::kStepTick));
        m_doc.SetChecked(item->data(0, Qt::UserRole).toInt(), item->checkState(0) == Qt::Checked);
    });
    m_doc.AddListener(this);
    Fill();
    ShowDocumentSelection();
}

CDataListView::~CDataListView() {
    m_doc.RemoveListener(this);
}

void CDataListView::SetRowTexts(QTreeWidgetItem* item, CPileRecord& rec) {
    item->setText(0, QString::number(rec.m_nPileNo));
    item->setData(0, Qt::UserRole, int(rec.m_nPileNo));
    item->setText(1, QString::fromUtf8(GbkToUtf8(TrimmedPileName(rec))));
    item->setText(2, QString::fromUtf8(GbkToUtf8(ListDateText(rec))));
    // The class the report gives: the engineer's decision, or the defect rule's (marked "*" so the
    // two can be told apart; "Ⅱ/Ⅲ*" still waits for a decision).
    item->setText(3, QString::fromUtf8(PileClassText(PileClassOf(rec))) +
                         (rec.m_nClassDecision ? QString() : QStringLiteral("*")));
    item->setCheckState(0, rec.m_bChecked ? Qt::Checked : Qt::Unchecked);
}

void CDataListView::Fill() {
    m_bFilling = true;
    clear();
    QList<QTreeWidgetItem*> items;
    items.reserve(m_doc.GetPileCount());
    for (auto& rec : m_doc.m_Piles) {
        auto* item = new QTreeWidgetItem;
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        SetRowTexts(item, rec);
        items.push_back(item);
    }
    addTopLevelItems(items);
    m_bFilling = false;
}

void CDataListView::RefreshRows() {
    // Applies change trace values, not rows: keep the rows (and the scroll position) when the records
    // are the same ones in the same order, and rebuild only when rows were added, removed or renumbered.
    bool same = topLevelItemCount() == m_doc.GetPileCount();
    for (int i = 0; same && i < topLevelItemCount(); ++i)
        same = topLevelItem(i)->data(0, Qt::UserRole).toInt() ==
               m_doc.m_Piles[static_cast<std::size_t>(i)].m_nPileNo;
    if (!same) {
        Fill();
        return;
    }
    m_bFilling = true;
    for (int i = 0; i < topLevelItemCount(); ++i)
        SetRowTexts(topLevelItem(i), m_doc.m_Piles[static_cast<std::size_t>(i)]);
    m_bFilling = false;
}

std::vector<CRowPile> CDataListView::Rows(bool selected) const {
    std::vector<CRowPile> rows;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = topLevelItem(i);
        if (selected ? item->isSelected() : item->checkState(0) == Qt::Checked)
            rows.push_back({item->data(0, Qt::UserRole).toInt(), i});
    }
    return rows;
}

std::vector<CRowPile> CDataListView::CollectSelected() const {
    return SortByPileName(m_doc, Rows(true));
}

std::vector<CRowPile> CDataListView::CollectTicked() const {
    return SortByPileName(m_doc, Rows(false));
}

void CDataListView::SetRowState(int row, int mode) {
    QTreeWidgetItem* item = topLevelItem(row);
    if (!item) return;
    m_bFilling = true;
    item->setSelected(mode == 1);
    m_bFilling = false;
    if (mode != 2) viewport()->update(visualItemRect(item));
}

void CDataListView::SelectionToDocument() {
    if (m_bFilling) return;
    const std::vector<CRowPile> rows = CollectSelected();
    if (rows.empty()) return;
    std::vector<int> pileNos;
    pileNos.reserve(rows.size());
    for (const auto& r : rows)
        pileNos.push_back(r.nPileNo);
    m_doc.SetSelection(pileNos); // the first (smallest name) becomes current and loads its values
}

void CDataListView::ShowDocumentSelection() {
    std::vector<int> wanted = m_doc.m_nSelection;
    std::sort(wanted.begin(), wanted.end());
    std::vector<int> shown;
    for (const auto& r : Rows(true))
        shown.push_back(r.nPileNo);
    std::sort(shown.begin(), shown.end());
    if (wanted == shown) return; // the user's own selection: leave the keyboard position alone
    m_bFilling = true;
    clearSelection();
    QTreeWidgetItem* first = nullptr;
    for (int i = 0; i < topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = topLevelItem(i);
        if (std::binary_search(wanted.begin(), wanted.end(), item->data(0, Qt::UserRole).toInt())) {
            item->setSelected(true);
            if (!first || item->data(0, Qt::UserRole).toInt() == m_doc.GetCurrentPileNo()) first = item;
        }
    }
    if (first) {
        setCurrentItem(first, 0, QItemSelectionModel::NoUpdate);
        scrollToItem(first);
    }
    m_bFilling = false;
}

void CDataListView::DeleteCurrent() {
    if (m_prompts.Ask(QString::fromUtf8(msg::kAppTitle), QString::fromUtf8(msg::kConfirmDelete),
                      QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
        return;
    int row = -1;
    for (int i = 0; i < topLevelItemCount() && row < 0; ++i)
        if (topLevelItem(i)->isSelected()) row = i;
    if (row < 0) return;
    // Only this one record, also when several rows are selected. The document makes the record now in
    // its place (or the new last one) current and marks itself modified; the list follows its notice.
    m_doc.DeletePile(row);
}

void CDataListView::OnDocumentChanged(unsigned changes) {
    if (changes & kChangedRecords) RefreshRows();
    if (changes & (kChangedRecords | kChangedCurrent)) ShowDocumentSelection();
}

void CDataListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeWidget::mouseReleaseEvent(event);
    SelectionToDocument();
}

void CDataListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeWidget::mouseDoubleClickEvent(event);
    m_router.Dispatch(cmd::kProjectInfo);
}

void CDataListView::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && event->key() == Qt::Key_Space) {
        // Space ticks every selected row, or unticks them when the current row is ticked: one step.
        QTreeWidgetItem* current = currentItem();
        const QList<QTreeWidgetItem*> rows = selectedItems();
        if (!current && rows.isEmpty()) return;
        const bool tick = (current ? current : rows.front())->checkState(0) != Qt::Checked;
        for (QTreeWidgetItem* item : rows.isEmpty() ? QList<QTreeWidgetItem*>{current} : rows)
            item->setCheckState(0, tick ? Qt::Checked : Qt::Unchecked);
        return;
    }
    if (plain && event->key() == Qt::Key_Delete) {
        // The current pile, with the confirmation, as the menu's 删除波形.
        SelectionToDocument();
        m_router.Dispatch(cmd::kDeletePile);
        return;
    }
    QTreeWidget::keyPressEvent(event);
    if (event->key() == Qt::Key_Up || event->key() == Qt::Key_Down) SelectionToDocument();
}

void CDataListView::contextMenuEvent(QContextMenuEvent* event) {
    // The right-clicked row was selected by the press; it becomes current before the menu opens, so
    // the item acts on the row under the pointer. Menu 178: the delete command under another name.
    SelectionToDocument();
    QMenu menu(this);
    QAction* remove = menu.addAction(QString::fromUtf8(msg::kDeleteFileItem));
    remove->setEnabled(m_router.StateOf(cmd::kDeletePile).enabled);
    // The 类别 column's own items: the class of the pile under the pointer.
    QMenu* classes = menu.addMenu(QStringLiteral("桩身完整性类别"));
    static const char* const kClassItems[] = {"按缺陷判定", "Ⅰ类", "Ⅱ类", "Ⅲ类", "Ⅳ类"};
    for (int id = cmd::kClassRule; id <= cmd::kClassIV; ++id) {
        QAction* a = classes->addAction(QString::fromUtf8(kClassItems[id - cmd::kClassRule]));
        a->setData(id);
        const CommandState state = m_router.StateOf(id);
        a->setEnabled(state.enabled);
        a->setCheckable(true);
        a->setChecked(state.checked);
    }
    QAction* chosen = menu.exec(event->globalPos());
    if (chosen == remove) m_router.Dispatch(cmd::kDeletePile);
    else if (chosen && chosen->data().isValid()) m_router.Dispatch(chosen->data().toInt());
}

} // namespace pw
