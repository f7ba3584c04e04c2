// "数据检查": the findings of the data checks by pile (a double click selects that pile), and the
// site's lines with the site's total typed in the dialog itself.
#pragma once

#include <optional>
#include <vector>

#include <QDialog>

#include "core/DataChecks.h"

class QLabel;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace pw {

class CDataChecksDlg : public QDialog {
    Q_OBJECT
public:
    // piles must outlive the dialog. siteTotal fills the total box (empty: "未知").
    CDataChecksDlg(const std::vector<CPileRecord>& piles, std::optional<int> siteTotal, QWidget* parent = nullptr);

    QTreeWidget* Tree() const { return m_pTree; }
    QSpinBox* TotalBox() const { return m_pTotal; }
    QLabel* SiteLabel() const { return m_pSite; }
    const CDataChecks& Checks() const { return m_Checks; }

signals:
    // A pile or one of its findings was double-clicked: the record it stands for (its first record
    // for a pile), as an index into piles.
    void RecordChosen(int index);

private:
    void FillTree();
    void ShowSite(); // the site's lines for the total in the box
    void OnDoubleClick(QTreeWidgetItem* item);

    const std::vector<CPileRecord>& m_Piles;
    CDataChecks m_Checks;
    QLabel* m_pSummary;
    QTreeWidget* m_pTree;
    QSpinBox* m_pTotal;
    QLabel* m_pSite;
};

} // namespace pw
