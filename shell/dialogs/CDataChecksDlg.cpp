// The data-checks dialog: a tree of piles and their findings over core's checks, and the site box.
#include "shell/dialogs/CDataChecksDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHeaderView>
#include <QLabel>
#include <QSpinBox>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/CoreMessages.h"

namespace pw {
namespace {

constexpr int kRecordRole = Qt::UserRole;     // the record an item stands for
constexpr int kMaxSiteTotal = 100000;          // beyond any site; the box needs some top

QString FindingCount(const std::vector<CCheckFinding>& findings) {
    int warnings = 0, notes = 0;
    for (const CCheckFinding& f : findings)
        (f.m_nLevel == CheckLevel::kWarning ? warnings : notes) += 1;
    if (warnings == 0 && notes == 0) return QString::fromUtf8("无问题");
    QStringList parts;
    if (warnings > 0) parts << QString::fromUtf8("不符合%1项").arg(warnings);
    if (notes > 0) parts << QString::fromUtf8("提示%1项").arg(notes);
    return parts.join(QString::fromUtf8("，"));
}

} // namespace

CDataChecksDlg::CDataChecksDlg(const std::vector<CPileRecord>& piles, std::optional<int> siteTotal, QWidget* parent)
    : QDialog(parent), m_Piles(piles), m_Checks(CheckData(piles, {}, siteTotal)), m_pSummary(new QLabel(this)),
      m_pTree(new QTreeWidget(this)), m_pTotal(new QSpinBox(this)), m_pSite(new QLabel(this)) {
    setWindowTitle(QString::fromUtf8("数据检查"));
    m_pTree->setColumnCount(3);
    m_pTree->setHeaderLabels({QString::fromUtf8("桩号"), QString::fromUtf8("记录"), QString::fromUtf8("检查结果")});
    m_pTree->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_pTree->setExpandsOnDoubleClick(false); // a double click selects the pile
    m_pTree->setRootIsDecorated(true);
    m_pTree->setWordWrap(true);
    FillTree();
    connect(m_pTree, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { OnDoubleClick(item); });

    m_pTotal->setRange(0, kMaxSiteTotal);
    m_pTotal->setSpecialValueText(QString::fromUtf8("未知"));
    m_pTotal->setSuffix(QString::fromUtf8(" 根"));
    m_pTotal->setValue(siteTotal.value_or(0));
    m_pSite->setWordWrap(true);
    m_pSite->setTextInteractionFlags(Qt::TextSelectableByMouse);
    ShowSite();
    connect(m_pTotal, &QSpinBox::valueChanged, this, [this] {
        m_Checks = CheckData(m_Piles, {}, m_pTotal->value() > 0 ? std::optional<int>(m_pTotal->value()) : std::nullopt);
        ShowSite();
    });

    auto* siteBox = new QGroupBox(QString::fromUtf8("场地"), this);
    auto* siteLayout = new QFormLayout(siteBox);
    siteLayout->addRow(QString::fromUtf8("场地总桩数："), m_pTotal);
    siteLayout->addRow(m_pSite);
    auto* basis = new QLabel(QString::fromUtf8(msg::kCheckBasis), this);
    basis->setWordWrap(true);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pSummary);
    layout->addWidget(m_pTree, 1);
    layout->addWidget(siteBox);
    layout->addWidget(basis);
    layout->addWidget(buttons);
    resize(760, 600);
}

void CDataChecksDlg::FillTree() {
    m_pTree->clear();
    int records = 0, warnings = 0, notes = 0;
    for (const CPileCheck& p : m_Checks.m_Piles) {
        records += static_cast<int>(p.m_Records.size());
        for (const CCheckFinding& f : p.m_Findings)
            (f.m_nLevel == CheckLevel::kWarning ? warnings : notes) += 1;
        auto* pile = new QTreeWidgetItem(m_pTree);
        pile->setText(0, QString::fromStdString(p.m_strName.empty() ? msg::kCheckUnnamedPile : p.m_strName));
        pile->setText(1, QString::fromUtf8("%1个，有效%2个").arg(p.m_Records.size()).arg(p.m_nValidSignals));
        pile->setText(2, QString::fromUtf8("%1类，").arg(QString::fromUtf8(PileClassText(p.m_nClass))) +
                             FindingCount(p.m_Findings));
        pile->setData(0, kRecordRole, p.m_Records.front());
        for (const CCheckFinding& f : p.m_Findings) {
            auto* item = new QTreeWidgetItem(pile);
            // A pile's own finding leads to its first record.
            const int record = f.m_nRecord >= 0 ? f.m_nRecord : p.m_Records.front();
            item->setText(1, f.m_nRecord >= 0 ? QString::fromUtf8("第%1号").arg(f.m_nRecord + 1) : QString::fromUtf8("全桩"));
            const bool warning = f.m_nLevel == CheckLevel::kWarning;
            item->setText(2, (warning ? QString() : QString::fromUtf8("提示：")) + QString::fromStdString(f.m_strText));
            item->setToolTip(2, item->text(2));
            if (warning) item->setForeground(2, QColor(0xa0, 0x10, 0x10));
            item->setData(0, kRecordRole, record);
        }
        pile->setExpanded(!p.m_Findings.empty());
    }
    m_pTree->header()->setStretchLastSection(true);
    m_pTree->resizeColumnToContents(0);
    m_pTree->resizeColumnToContents(1);
    m_pSummary->setText(QString::fromUtf8("共检查%1根桩、%2个记录：不符合%3项，提示%4项。双击桩或检查结果可选中该桩。")
                            .arg(m_Checks.m_Piles.size())
                            .arg(records)
                            .arg(warnings)
                            .arg(notes));
}

void CDataChecksDlg::ShowSite() {
    QStringList lines;
    for (const std::string& line : m_Checks.m_Site.m_strLines)
        lines << QString::fromStdString(line);
    m_pSite->setText(lines.join('\n'));
}

void CDataChecksDlg::OnDoubleClick(QTreeWidgetItem* item) {
    if (!item) return;
    const QVariant record = item->data(0, kRecordRole);
    if (record.isValid()) emit RecordChosen(record.toInt());
}

} // namespace pw
