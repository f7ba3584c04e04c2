// "场地平均波速": the piles of the site with their speeds and why each is used or not, the site's mean
// speed, and the button that gives every pile that speed (a speed-only edit: times stay).
#pragma once

#include <QDialog>

#include "core/SiteSpeed.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace pw {

class CSiteSpeedDlg : public QDialog {
    Q_OBJECT
public:
    CSiteSpeedDlg(const CSiteSpeedResult& result, QWidget* parent = nullptr);

    QTableWidget* Table() const { return m_pTable; }
    QPushButton* ApplyButton() const { return m_pApply; }
    // 1 when the dialog was closed by "应用到全部波列".
    bool ApplyChosen() const { return m_bApply; }

private:
    QTableWidget* m_pTable;
    QLabel* m_pVerdict;
    QPushButton* m_pApply;
    bool m_bApply = false;
};

} // namespace pw
