// The site-speed dialog: a read-only table and one action.
#include "shell/dialogs/CSiteSpeedDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "core/ReportContent.h"

namespace pw {

CSiteSpeedDlg::CSiteSpeedDlg(const CSiteSpeedResult& r, QWidget* parent)
    : QDialog(parent), m_pTable(new QTableWidget(static_cast<int>(r.m_Piles.size()), 5, this)),
      m_pVerdict(new QLabel(this)), m_pApply(new QPushButton(QString::fromUtf8("应用到全部波列"), this)) {
    setWindowTitle(QString::fromUtf8("场地平均波速"));
    m_pTable->setHorizontalHeaderLabels({QString::fromUtf8("桩号"), QString::fromUtf8("波速(m/s)"),
                                         QString::fromUtf8("类别"), QString::fromUtf8("偏差(%)"),
                                         QString::fromUtf8("采用情况")});
    m_pTable->verticalHeader()->hide();
    m_pTable->verticalHeader()->setDefaultSectionSize(fontMetrics().height() + 8);
    m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
    for (int i = 0; i < static_cast<int>(r.m_Piles.size()); ++i) {
        const CSpeedPile& p = r.m_Piles[static_cast<std::size_t>(i)];
        const QString blows = p.m_RecordIndices.size() > 1
                                  ? QString::fromUtf8("（%1次锤击）").arg(p.m_RecordIndices.size())
                                  : QString();
        m_pTable->setItem(i, 0, new QTableWidgetItem(QString::fromStdString(p.m_strName) + blows));
        m_pTable->setItem(i, 1, new QTableWidgetItem(QString::number(p.m_fSpeed, 'f', 0)));
        m_pTable->setItem(i, 2, new QTableWidgetItem(QString::fromUtf8(PileClassText(p.m_nClass))));
        m_pTable->setItem(i, 3, new QTableWidgetItem(r.m_bHasSpeed ? QString::asprintf("%+.1f", p.m_fDeviation) : QString()));
        m_pTable->setItem(i, 4, new QTableWidgetItem(p.m_strWhy.empty() ? QString::fromUtf8("采用")
                                                                         : QString::fromStdString(p.m_strWhy)));
        for (int c = 1; c < 4; ++c)
            m_pTable->item(i, c)->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    }
    m_pTable->resizeColumnsToContents();
    m_pTable->horizontalHeader()->setStretchLastSection(true);

    QString text = QString::fromStdString(r.m_strVerdict);
    if (r.m_nUsed > 1)
        text += QString::fromUtf8("\n波速范围 %1～%2m/s，标准差 %3m/s；剔除 %4 轮。")
                    .arg(r.m_fMin, 0, 'f', 0)
                    .arg(r.m_fMax, 0, 'f', 0)
                    .arg(r.m_fStdDev, 0, 'f', 1)
                    .arg(r.m_nRounds);
    m_pVerdict->setText(text);
    m_pVerdict->setWordWrap(true);
    m_pApply->setEnabled(r.m_bHasSpeed);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    buttons->addButton(m_pApply, QDialogButtonBox::ActionRole);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(m_pApply, &QPushButton::clicked, this, [this] {
        m_bApply = true;
        accept();
    });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTable, 1);
    layout->addWidget(m_pVerdict);
    layout->addWidget(buttons);
    resize(640, 520);
}

} // namespace pw
