// Print format page: margins' spins step by a tenth of a centimetre; the rows spin allows 5 rows with
// one column and 10 with more, and moving the columns back to 1 lowers the rows to 5.
#include "shell/dialogs/CPrintFormatPage.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>

#include <cmath>

#include "shell/dialogs/CPrintPreviewBox.h"
#include "shell/dialogs/CSpinButton.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {
namespace {

// An edit with its spin on the right, as one cell of a grid.
QWidget* WithSpin(QLineEdit* edit, CSpinButton* spin, QWidget* parent) {
    auto* box = new QWidget(parent);
    auto* row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(1);
    edit->setFixedWidth(48);
    row->addWidget(edit);
    row->addWidget(spin);
    row->addStretch();
    return box;
}

// The total pages field shows 0, the total counted from the pages printed, as this word.
const QString kAutomaticTotal = QStringLiteral("自动");

QString TotalText(int total) {
    return total == 0 ? kAutomaticTotal : QString::number(total);
}

} // namespace

CPrintFormatPage::CPrintFormatPage(const CPrintSettings& s, QDialog& dialog, CShellPrompts& prompts,
                                   QWidget* parent)
    : QWidget(parent) {
    auto edit = [this](int id, const QString& text) {
        auto* e = new QLineEdit(text, this);
        e->setObjectName(ControlName(id));
        return e;
    };
    auto spin = [this](int id, QLineEdit* buddy, double scale, int lo, int hi, int position) {
        auto* sp = new CSpinButton(buddy, scale, this);
        sp->setObjectName(ControlName(id));
        sp->SetRange(lo, hi);
        sp->SetPosition(position);
        return sp;
    };
    m_pHeader = edit(1063, QString::fromStdString(s.GetHeader()));
    m_pFooter = edit(1065, QString::fromStdString(s.GetFooter()));
    m_pFormat = new QComboBox(this);
    m_pFormat->setObjectName(ControlName(1102));
    m_pPosition = new QComboBox(this);
    m_pPosition->setObjectName(ControlName(1091));
    for (const std::string& f : PageNumberFormats())
        m_pFormat->addItem(QString::fromStdString(f));
    for (const std::string& p : PageNumberPositions())
        m_pPosition->addItem(QString::fromStdString(p));
    m_pFormat->setCurrentIndex(s.m_nPageFormat >= 0 && s.m_nPageFormat < m_pFormat->count() ? s.m_nPageFormat
                                                                                            : -1);
    m_pPosition->setCurrentIndex(
        s.m_nPagePosition >= 0 && s.m_nPagePosition < m_pPosition->count() ? s.m_nPagePosition : -1);
    m_pStart = edit(1068, QString::number(s.m_nStartPage));
    m_pTotal = edit(1069, TotalText(s.m_nTotalPages));
    m_pTotal->setToolTip(QStringLiteral("0 或“自动”：总页码按本次打印的页数计算"));
    auto* startSpin = spin(1072, m_pStart, 1, 0, 50, s.m_nStartPage);
    auto* totalSpin = spin(1073, m_pTotal, 1, 0, 50, s.m_nTotalPages);

    const float margins[6] = {s.m_fTopMargin,   s.m_fBottomMargin, s.m_fLeftMargin,
                              s.m_fRightMargin, s.m_fHeaderMargin, s.m_fFooterMargin};
    const int marginIds[6] = {1070, 1071, 1080, 1082, 1076, 1078};
    const int spinIds[6] = {1074, 1075, 1081, 1083, 1077, 1079};
    const char* marginTexts[6] = {"上边距", "下边距", "左边距", "右边距", "页眉边距", "页脚边距"};
    CSpinButton* marginSpins[6];
    for (int i = 0; i < 6; ++i) {
        m_pMargins[i] = edit(marginIds[i], FormatNumber(margins[i]));
        marginSpins[i] =
            spin(spinIds[i], m_pMargins[i], 0.1, 0, 50, static_cast<int>(std::lround(margins[i] * 10)));
        connect(marginSpins[i], &CSpinButton::Moved, this,
                [e = m_pMargins[i]](int position) { e->setText(QString::asprintf("%.1f", position * 0.1)); });
    }
    m_pRows = edit(1084, QString::number(s.m_nRows));
    m_pColumns = edit(1087, QString::number(s.m_nColumns));
    m_pColumnsSpin = spin(1088, m_pColumns, 1, 1, kMaxColumns, s.m_nColumns);
    m_pRowsSpin = spin(1086, m_pRows, 1, 1, MaxRows(s.m_nColumns), s.m_nRows);
    m_pPreview = new CPrintPreviewBox(this);
    m_pPreview->setObjectName(ControlName(1103));

    connect(startSpin, &CSpinButton::Moved, this,
            [e = m_pStart](int position) { e->setText(QString::number(position)); });
    connect(totalSpin, &CSpinButton::Moved, this, [e = m_pTotal](int position) { e->setText(TotalText(position)); });
    connect(m_pRowsSpin, &CSpinButton::Moved, this, [this](int position) {
        m_pRows->setText(QString::number(position));
        UpdatePreview();
    });
    connect(m_pColumnsSpin, &CSpinButton::Moved, this, &CPrintFormatPage::ColumnsMoved);
    // Typing redraws the miniature too.
    connect(m_pRows, &QLineEdit::textChanged, this, &CPrintFormatPage::UpdatePreview);
    connect(m_pColumns, &QLineEdit::textChanged, this, &CPrintFormatPage::UpdatePreview);
    connect(m_pHeader, &QLineEdit::textChanged, this, &CPrintFormatPage::UpdatePreview);
    connect(m_pFooter, &QLineEdit::textChanged, this, &CPrintFormatPage::UpdatePreview);

    auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    auto* grid = new QGridLayout(this);
    grid->addWidget(label("页眉内容"), 0, 0);
    grid->addWidget(m_pHeader, 0, 1, 1, 3);
    grid->addWidget(label("页脚内容"), 1, 0);
    grid->addWidget(m_pFooter, 1, 1, 1, 3);
    grid->addWidget(label("页码格式"), 2, 0);
    grid->addWidget(m_pFormat, 2, 1);
    grid->addWidget(label("页码位置"), 2, 2);
    grid->addWidget(m_pPosition, 2, 3);
    grid->addWidget(label("起始页码"), 3, 0);
    grid->addWidget(WithSpin(m_pStart, startSpin, this), 3, 1);
    grid->addWidget(label("总页码"), 3, 2);
    grid->addWidget(WithSpin(m_pTotal, totalSpin, this), 3, 3);

    auto* page = new QGroupBox(QStringLiteral("页面设置(单位:cm)"), this);
    auto* pageGrid = new QGridLayout(page);
    for (int i = 0; i < 6; ++i) {
        pageGrid->addWidget(new QLabel(QString::fromUtf8(marginTexts[i]), page), i / 2, (i % 2) * 2);
        pageGrid->addWidget(WithSpin(m_pMargins[i], marginSpins[i], page), i / 2, (i % 2) * 2 + 1);
    }
    grid->addWidget(page, 4, 0, 1, 4);
    grid->addWidget(label("行       数"), 5, 0);
    grid->addWidget(WithSpin(m_pRows, m_pRowsSpin, this), 5, 1);
    grid->addWidget(label("列       数"), 5, 2);
    grid->addWidget(WithSpin(m_pColumns, m_pColumnsSpin, this), 5, 3);

    auto* previewGroup = new QGroupBox(QStringLiteral("打印预览"), this);
    auto* previewLayout = new QHBoxLayout(previewGroup);
    previewLayout->addWidget(m_pPreview);
    m_pPreview->setFixedSize(150, 200);
    grid->addWidget(previewGroup, 0, 4, 6, 1);
    m_pHeader->setMinimumWidth(260);

    // Read on OK in this order; all are parsed only then.
    m_pGuard = new CFieldGuard(dialog, prompts);
    m_pGuard->AddInteger(m_pStart, -32768, 32767);
    m_pGuard->AddInteger(m_pTotal, -32768, 32767);
    m_pGuard->SetZeroText(m_pTotal, kAutomaticTotal);
    for (QLineEdit* e : m_pMargins)
        m_pGuard->AddNumber(e);
    m_pGuard->AddInteger(m_pRows, -32768, 32767);
    m_pGuard->AddInteger(m_pColumns, -32768, 32767);
    UpdatePreview();
}

void CPrintFormatPage::ColumnsMoved(int columns) {
    m_pColumns->setText(QString::number(columns));
    m_pRowsSpin->SetRange(1, MaxRows(columns));
    if (columns == 1) {
        // The rows edit may hold more than the spin's position when it was typed.
        const auto rows = ParseInteger(m_pRows->text(), -32768, 32767);
        if (rows && *rows > MaxRows(1)) m_pRows->setText(QString::number(MaxRows(1)));
        m_pRowsSpin->SetPosition(std::min(m_pRowsSpin->Position(), MaxRows(1)));
    }
    UpdatePreview();
}

void CPrintFormatPage::UpdatePreview() {
    const auto rows = ParseInteger(m_pRows->text(), -32768, 32767);
    const auto columns = ParseInteger(m_pColumns->text(), -32768, 32767);
    m_pPreview->SetGrid(rows.value_or(0), columns.value_or(0));
    m_pPreview->SetTexts(m_pHeader->text(), m_pFooter->text());
}

bool CPrintFormatPage::Read(CPrintSettings& s) {
    if (!m_pGuard->CheckAll()) return false;
    s.SetHeader(m_pHeader->text().toStdString());
    s.SetFooter(m_pFooter->text().toStdString());
    s.m_nStartPage = static_cast<int16_t>(*m_pGuard->Integer(m_pStart));
    s.m_nTotalPages = static_cast<int16_t>(*m_pGuard->Integer(m_pTotal));
    float* margins[6] = {&s.m_fTopMargin,   &s.m_fBottomMargin, &s.m_fLeftMargin,
                         &s.m_fRightMargin, &s.m_fHeaderMargin, &s.m_fFooterMargin};
    for (int i = 0; i < 6; ++i)
        *margins[i] = static_cast<float>(*m_pGuard->Number(m_pMargins[i]));
    s.m_nRows = static_cast<int16_t>(*m_pGuard->Integer(m_pRows));
    s.m_nColumns = static_cast<int16_t>(*m_pGuard->Integer(m_pColumns));
    // A list with nothing chosen keeps the record's index.
    if (m_pFormat->currentIndex() >= 0) s.m_nPageFormat = static_cast<int16_t>(m_pFormat->currentIndex());
    if (m_pPosition->currentIndex() >= 0)
        s.m_nPagePosition = static_cast<int16_t>(m_pPosition->currentIndex());
    return true;
}

} // namespace pw
