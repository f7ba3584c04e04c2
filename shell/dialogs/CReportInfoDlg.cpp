// Report information dialog: two columns of fields, the geology below; the two number fields take
// digits only, the texts at most 200 (geology 2000) characters.
#include "shell/dialogs/CReportInfoDlg.h"

#include <QComboBox>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <limits>
#include <tuple>

#include "core/PileTypes.h"
#include "core/ValueRules.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {
namespace {

QString Q(const std::string& utf8) {
    return QString::fromUtf8(utf8);
}

// A date picker shows an empty date as a blank: its lowest date stands for "no date".
const QDate kEmptyDate(1900, 1, 1);

void ShowDate(QDateEdit* edit, const CDate& date) {
    edit->setDate(date.IsValid() ? ToQDate(date) : kEmptyDate);
}

CDate ReadDate(const QDateEdit* edit) {
    return edit->date() == kEmptyDate ? kNoDate : FromQDate(edit->date());
}

} // namespace

CReportInfoDlg::CReportInfoDlg(const CReportInfo& info, const QString& folder, CShellPrompts& prompts,
                               QWidget* parent)
    : QDialog(parent), m_Info(info), m_strFolder(folder), m_prompts(prompts) {
    setWindowTitle(QString::fromUtf8(msg::kReportInfoTitle));
    auto* grid = new QGridLayout(this);
    auto edit = [this](int id) {
        auto* e = new QLineEdit(this);
        e->setObjectName(ControlName(id));
        return e;
    };
    auto combo = [this](int id) {
        auto* c = new QComboBox(this);
        c->setObjectName(ControlName(id));
        c->setEditable(true); // both lists also take typed text
        return c;
    };
    auto date = [this](int id) {
        auto* d = new QDateEdit(this);
        d->setObjectName(ControlName(id));
        d->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
        d->setCalendarPopup(true);
        d->setMinimumDate(kEmptyDate);
        d->setSpecialValueText(QStringLiteral(" "));
        return d;
    };
    m_pReportNo = edit(1115);
    m_pAddress = edit(1117);
    m_pOwner = edit(1118);
    m_pProject = edit(1116);
    m_pDesign = edit(1119);
    m_pSupervision = edit(1121);
    m_pConstruction = edit(1120);
    m_pQuality = edit(1122);
    m_pClient = edit(1123);
    m_pStrength = combo(1126);
    for (const char* grade : {"C10", "C15", "C20", "C25", "C30", "C35", "C40", "C45", "C50"})
        m_pStrength->addItem(QString::fromLatin1(grade));
    m_pPourDate = date(1124);
    m_pPileType = combo(1091);
    for (int i = 0; i < kPileTypeCount; ++i)
        m_pPileType->addItem(QString::fromUtf8(PileTypeText(i)));
    m_pTestDate = date(1125);
    m_pUnit = edit(1083);
    m_pInspectors = edit(1084);
    m_pTotal = edit(1081);
    m_pDiameter = edit(1080);
    m_pGeology = new QPlainTextEdit(this);
    m_pGeology->setObjectName(ControlName(1128));
    m_pGeology->setFixedHeight(90);

    // Left column, right column, row by row.
    const std::pair<const char*, QWidget*> left[] = {
        {"报告编号：", m_pReportNo},     {"建设单位：", m_pOwner},      {"设计单位：", m_pDesign},
        {"施工单位：", m_pConstruction}, {"委托单位：", m_pClient},     {"浇筑日期：", m_pPourDate},
        {"检测日期：", m_pTestDate},     {"检测人员：", m_pInspectors}, {"桩      径：", m_pDiameter}};
    const std::pair<const char*, QWidget*> right[] = {
        {"工程名称：", m_pProject}, {"工程地址：", m_pAddress},  {"监理单位：", m_pSupervision},
        {"监督单位：", m_pQuality}, {"强度等级：", m_pStrength}, {"桩基类型：", m_pPileType},
        {"检测单位：", m_pUnit},    {"总 桩 数：", m_pTotal}};
    int row = 0;
    for (const auto& [text, widget] : left) {
        grid->addWidget(new QLabel(QString::fromUtf8(text), this), row, 0);
        grid->addWidget(widget, row++, 1);
    }
    row = 0;
    for (const auto& [text, widget] : right) {
        grid->addWidget(new QLabel(QString::fromUtf8(text), this), row, 2);
        grid->addWidget(widget, row++, 3);
    }
    // The fields the report states beyond the kept record, two to a row.
    const std::tuple<const char*, const char*, std::string CReportInfo::*> more[] = {
        {"勘察单位：", "surveyUnit", &CReportInfo::m_strSurveyUnit},
        {"检测依据：", "standard", &CReportInfo::m_strStandard},
        {"检测方法：", "method", &CReportInfo::m_strMethod},
        {"仪器型号：", "instrument", &CReportInfo::m_strInstrument},
        {"仪器编号：", "instrumentNo", &CReportInfo::m_strInstrumentNo},
        {"传 感 器：", "sensor", &CReportInfo::m_strSensor},
        {"审      核：", "reviewer", &CReportInfo::m_strReviewer},
        {"审核日期：", "reviewDate", &CReportInfo::m_strReviewDate},
        {"批      准：", "approver", &CReportInfo::m_strApprover},
        {"批准日期：", "approveDate", &CReportInfo::m_strApproveDate},
    };
    row = 9;
    int column = 0;
    for (const auto& [text, name, field] : more) {
        auto* e = new QLineEdit(this);
        e->setObjectName(QString::fromLatin1(name));
        m_MoreTexts.emplace_back(e, field);
        grid->addWidget(new QLabel(QString::fromUtf8(text), this), row, column);
        grid->addWidget(e, row, column + 1);
        column = column == 0 ? 2 : 0;
        if (column == 0) ++row;
    }
    m_pSiteTotal = new QLineEdit(this);
    m_pSiteTotal->setObjectName(QStringLiteral("siteTotal"));
    m_pSiteTotal->setPlaceholderText(QStringLiteral("空：按工程中的桩号计"));
    grid->addWidget(new QLabel(QStringLiteral("现场总桩数："), this), row, 0);
    grid->addWidget(m_pSiteTotal, row++, 1);
    grid->addWidget(new QLabel(QStringLiteral("地质概况："), this), row, 0, Qt::AlignTop);
    grid->addWidget(m_pGeology, row++, 1, 1, 3);
    QDialogButtonBox* buttons = MakeOkCancel(this);
    grid->addWidget(buttons, row, 0, 1, 4);
    grid->setColumnMinimumWidth(1, 200);
    grid->setColumnMinimumWidth(3, 200);

    for (QLineEdit* number : {m_pTotal, m_pDiameter, m_pSiteTotal})
        connect(number, &QLineEdit::textChanged, this, [this, number] { KeepDigits(number); });

    // On OK, in the order of the exchange.
    m_pGuard = new CFieldGuard(*this, prompts, buttons->buttons().at(1));
    for (QLineEdit* e : {m_pReportNo, m_pAddress, m_pOwner, m_pProject, m_pDesign, m_pSupervision,
                         m_pConstruction, m_pQuality, m_pClient})
        m_pGuard->AddText(
            e, [e] { return e->text(); }, kReportFieldChars);
    m_pGuard->AddText(
        m_pStrength, [this] { return m_pStrength->currentText(); }, kReportFieldChars);
    m_pGuard->AddText(
        m_pPileType, [this] { return m_pPileType->currentText(); }, kReportFieldChars);
    m_pGuard->AddText(
        m_pUnit, [this] { return m_pUnit->text(); }, kReportFieldChars);
    m_pGuard->AddText(
        m_pInspectors, [this] { return m_pInspectors->text(); }, kReportFieldChars);
    constexpr int kMin = std::numeric_limits<int>::min(), kMax = std::numeric_limits<int>::max();
    m_pGuard->AddInteger(m_pTotal, kMin, kMax);
    m_pGuard->AddInteger(m_pDiameter, kMin, kMax);
    for (const auto& [e, field] : m_MoreTexts) {
        QLineEdit* line = e;
        m_pGuard->AddText(
            line, [line] { return line->text(); }, 200);
    }
    m_pGuard->AddText(
        m_pGeology, [this] { return m_pGeology->toPlainText(); }, kGeologyChars);

    // Opening: the kept fields from the settings file (a missing file is made by the first OK).
    const CReportSettingsResult loaded = LoadReportSettings(m_strFolder.toStdString(), m_Info);
    Show();
    if (!loaded.m_strMessage.empty()) m_prompts.Tell(Q(loaded.m_strMessage));
}

void CReportInfoDlg::Show() {
    m_pReportNo->setText(Q(m_Info.m_strReportNo));
    m_pAddress->setText(Q(m_Info.m_strAddress));
    m_pOwner->setText(Q(m_Info.m_strOwner));
    m_pProject->setText(Q(m_Info.m_strProjectName));
    m_pDesign->setText(Q(m_Info.m_strDesignUnit));
    m_pSupervision->setText(Q(m_Info.m_strSupervisionUnit));
    m_pConstruction->setText(Q(m_Info.m_strConstructionUnit));
    m_pQuality->setText(Q(m_Info.m_strQualityUnit));
    m_pClient->setText(Q(m_Info.m_strClient));
    m_pStrength->setCurrentText(Q(m_Info.m_strStrength));
    ShowDate(m_pPourDate, m_Info.m_PourDate);
    m_pPileType->setCurrentText(Q(m_Info.m_strPileType));
    ShowDate(m_pTestDate, m_Info.m_TestDate);
    m_pUnit->setText(Q(m_Info.m_strTestUnit));
    m_pInspectors->setText(Q(m_Info.m_strInspectors));
    m_pTotal->setText(QString::number(m_Info.m_nTotalPiles));
    m_pDiameter->setText(QString::number(m_Info.m_nDiameter));
    for (const auto& [e, field] : m_MoreTexts) e->setText(Q(m_Info.*field));
    m_pSiteTotal->setText(m_Info.m_nSiteTotal > 0 ? QString::number(m_Info.m_nSiteTotal) : QString());
    // The file keeps a multi-line text with CR LF line ends; the edit works with LF.
    m_pGeology->setPlainText(Q(m_Info.m_strGeology).replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void CReportInfoDlg::KeepDigits(QLineEdit* edit) {
    const QString text = edit->text();
    for (const QChar c : text) {
        if (c < QLatin1Char('0') || c > QLatin1Char('9')) {
            edit->clear(); // everything typed into it goes, not only the stray character
            return;
        }
    }
}

bool CReportInfoDlg::ReadAll() {
    if (!m_pGuard->CheckAll()) return false;
    m_Info.m_strReportNo = m_pReportNo->text().toStdString();
    m_Info.m_strAddress = m_pAddress->text().toStdString();
    m_Info.m_strOwner = m_pOwner->text().toStdString();
    m_Info.m_strProjectName = m_pProject->text().toStdString();
    m_Info.m_strDesignUnit = m_pDesign->text().toStdString();
    m_Info.m_strSupervisionUnit = m_pSupervision->text().toStdString();
    m_Info.m_strConstructionUnit = m_pConstruction->text().toStdString();
    m_Info.m_strQualityUnit = m_pQuality->text().toStdString();
    m_Info.m_strClient = m_pClient->text().toStdString();
    m_Info.m_strStrength = m_pStrength->currentText().toStdString();
    m_Info.m_PourDate = ReadDate(m_pPourDate);
    m_Info.m_strPileType = m_pPileType->currentText().toStdString();
    m_Info.m_TestDate = ReadDate(m_pTestDate);
    m_Info.m_strTestUnit = m_pUnit->text().toStdString();
    m_Info.m_strInspectors = m_pInspectors->text().toStdString();
    m_Info.m_nTotalPiles = *m_pGuard->Integer(m_pTotal);
    m_Info.m_nDiameter = *m_pGuard->Integer(m_pDiameter);
    for (const auto& [e, field] : m_MoreTexts) m_Info.*field = e->text().toStdString();
    m_Info.m_nSiteTotal = m_pSiteTotal->text().isEmpty() ? 0 : m_pSiteTotal->text().toInt();
    m_Info.m_strGeology =
        m_pGeology->toPlainText().replace(QStringLiteral("\n"), QStringLiteral("\r\n")).toStdString();
    return true;
}

void CReportInfoDlg::accept() {
    if (!ReadAll()) return;
    const CReportSettingsResult saved = SaveReportSettings(m_strFolder.toStdString(), m_Info);
    if (!saved.m_strMessage.empty()) m_prompts.Tell(Q(saved.m_strMessage));
    QDialog::accept(); // the dialog closes whether or not the file could be written
}

} // namespace pw
