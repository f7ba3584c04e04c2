// Print parameters page: three groups of check boxes and radio buttons; the custom paper edits are
// editable only while "自定义" is chosen.
#include "shell/dialogs/CPrintParamsPage.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QVBoxLayout>

#include "shell/dialogs/FieldExchange.h"

namespace pw {

CPrintParamsPage::CPrintParamsPage(const CPrintSettings& s, QDialog& dialog, CShellPrompts& prompts,
                                   QWidget* parent)
    : QWidget(parent) {
    auto check = [this](int id, const char* text, int32_t flag) {
        auto* c = new QCheckBox(QString::fromUtf8(text), this);
        c->setObjectName(ControlName(id));
        c->setChecked(flag != 0);
        return c;
    };
    m_pSpectra = check(1018, "打印谱图", s.m_bSpectra);
    m_pHeader = check(1019, "打印页眉", s.m_bHeader);
    m_pFooter = check(1065, "打印页脚", s.m_bFooter);
    m_pTrain = check(1066, "打印波列", s.m_bWaveTrain);
    m_pTrain->setEnabled(false);
    m_pSiteName = check(1027, "打印工地名称", s.m_bSiteName);
    m_pUnit = check(1020, "打印检测单位", s.m_bTestUnit);
    m_pReportDate = check(1021, "打印报告日期", s.m_bReportDate);
    m_pTestDate = check(1023, "打印检测日期", s.m_bTestDate);
    m_pPileNo = check(1024, "打印桩号", s.m_bPileNo);
    m_pPileType = check(1025, "打印桩型", s.m_bPileType);
    m_pDiameter = check(1022, "打印桩径", s.m_bDiameter);
    m_pFileName = check(1026, "文件名称", s.m_bFileName);

    auto radio = [this](int id, const char* text) {
        auto* r = new QRadioButton(QString::fromUtf8(text), this);
        r->setObjectName(ControlName(id));
        return r;
    };
    m_pA4 = radio(1048, "A4(297mmx210mm)");
    m_pB5 = radio(1049, "B5(250mmx176mm)");
    m_pCustom = radio(1050, "自定义");
    auto* group = new QButtonGroup(this);
    for (QRadioButton* r : {m_pA4, m_pB5, m_pCustom}) {
        group->addButton(r);
        connect(r, &QRadioButton::toggled, this, &CPrintParamsPage::PaperChosen);
    }
    // A kind the record does not know ticks no button.
    if (s.m_nPaperKind == kPaperA4) m_pA4->setChecked(true);
    if (s.m_nPaperKind == kPaperB5) m_pB5->setChecked(true);
    if (s.m_nPaperKind == kPaperCustom) m_pCustom->setChecked(true);
    // Each edit shows its own side of the record's size: height in the height edit.
    m_pHeight = new QLineEdit(QString::number(s.m_nPaperHeight), this);
    m_pHeight->setObjectName(ControlName(1051));
    m_pWidth = new QLineEdit(QString::number(s.m_nPaperWidth), this);
    m_pWidth->setObjectName(ControlName(1052));
    for (QLineEdit* e : {m_pHeight, m_pWidth})
        e->setFixedWidth(48);
    PaperChosen();

    auto* range = new QGroupBox(QStringLiteral("打印范围"), this);
    auto* rangeGrid = new QGridLayout(range);
    rangeGrid->addWidget(m_pSpectra, 0, 0);
    rangeGrid->addWidget(m_pHeader, 0, 1);
    rangeGrid->addWidget(m_pFooter, 1, 0);
    rangeGrid->addWidget(m_pTrain, 1, 1);

    auto* paper = new QGroupBox(QStringLiteral("纸张大小"), this);
    auto* paperLayout = new QVBoxLayout(paper);
    paperLayout->addWidget(m_pA4);
    paperLayout->addWidget(m_pB5);
    auto* custom = new QHBoxLayout;
    custom->addWidget(m_pCustom);
    custom->addWidget(m_pHeight);
    custom->addWidget(new QLabel(QStringLiteral("mm"), this));
    custom->addWidget(new QLabel(QStringLiteral("x"), this));
    custom->addWidget(m_pWidth);
    custom->addWidget(new QLabel(QStringLiteral("mm"), this));
    custom->addStretch();
    paperLayout->addLayout(custom);

    auto* items = new QGroupBox(QStringLiteral("打印参数选择"), this);
    auto* itemGrid = new QGridLayout(items);
    QCheckBox* itemBoxes[] = {m_pSiteName, m_pUnit,     m_pReportDate, m_pTestDate,
                              m_pPileNo,   m_pPileType, m_pDiameter,   m_pFileName};
    for (int i = 0; i < 8; ++i)
        itemGrid->addWidget(itemBoxes[i], i / 2, i % 2);

    auto* layout = new QGridLayout(this);
    layout->addWidget(range, 0, 0);
    layout->addWidget(paper, 1, 0);
    layout->addWidget(items, 0, 1, 2, 1);
    layout->setRowStretch(2, 1);

    m_pGuard = new CFieldGuard(dialog, prompts);
    m_pGuard->AddInteger(m_pHeight, -32768, 32767);
    m_pGuard->AddInteger(m_pWidth, -32768, 32767);
}

void CPrintParamsPage::PaperChosen() {
    const bool custom = m_pCustom->isChecked();
    for (QLineEdit* e : {m_pHeight, m_pWidth}) {
        if (!e) continue;
        e->setReadOnly(!custom);
        e->setEnabled(true);
    }
}

bool CPrintParamsPage::Read(CPrintSettings& s) {
    // The custom size is read only when it is used: a read-only edit the user cannot change must not
    // hold the dialog open.
    if (m_pCustom->isChecked() && !m_pGuard->CheckAll()) return false;
    s.m_bSiteName = m_pSiteName->isChecked();
    s.m_bFooter = m_pFooter->isChecked();
    s.m_bHeader = m_pHeader->isChecked();
    s.m_bDiameter = m_pDiameter->isChecked();
    s.m_bPileNo = m_pPileNo->isChecked();
    s.m_bPileType = m_pPileType->isChecked();
    s.m_bSpectra = m_pSpectra->isChecked();
    s.m_bTestUnit = m_pUnit->isChecked();
    s.m_bReportDate = m_pReportDate->isChecked();
    s.m_bTestDate = m_pTestDate->isChecked();
    s.m_bWaveTrain = m_pTrain->isChecked();
    s.m_bFileName = m_pFileName->isChecked();
    if (m_pA4->isChecked()) {
        s.m_nPaperKind = kPaperA4;
        s.m_nPaperHeight = 297;
        s.m_nPaperWidth = 210;
    } else if (m_pCustom->isChecked()) {
        s.m_nPaperKind = kPaperCustom;
        s.m_nPaperHeight = *m_pGuard->Integer(m_pHeight);
        s.m_nPaperWidth = *m_pGuard->Integer(m_pWidth);
    } else if (m_pB5->isChecked()) {
        s.m_nPaperKind = kPaperB5;
        s.m_nPaperHeight = 250;
        s.m_nPaperWidth = 176;
    }
    return true;
}

} // namespace pw
