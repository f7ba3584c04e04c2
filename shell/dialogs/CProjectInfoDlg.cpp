// Project information dialog: the declared limits (50, 20 and 10 characters, diameter 0..5000) are
// tested on OK, and a pile name that was there cannot be cleared; the stored widths are the
// document's business.
#include "shell/dialogs/CProjectInfoDlg.h"

#include <QButtonGroup>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>

#include <limits>

#include "core/PileTypes.h"
#include "core/ValueRules.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {

CProjectInfoDlg::CProjectInfoDlg(const CProjectInfo& info, CShellPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_Info(info), m_prompts(prompts), m_pUnit(new QLineEdit(QString::fromStdString(info.m_strTestUnit), this)),
      m_pProject(new QLineEdit(QString::fromStdString(info.m_strProjectName), this)),
      m_pDiameter(new QLineEdit(QString::number(info.m_nDiameter), this)),
      m_pPileName(new QLineEdit(QString::fromStdString(info.m_strPileName), this)),
      m_pPileType(new QButtonGroup(this)), m_pDate(new QDateEdit(ToQDate(info.m_TestDate), this)) {
    setWindowTitle(QString::fromUtf8(msg::kProjectInfoTitle));
    m_pUnit->setObjectName(ControlName(1000));
    m_pProject->setObjectName(ControlName(1003));
    m_pDiameter->setObjectName(ControlName(1029));
    m_pPileName->setObjectName(ControlName(1002));
    m_pDate->setObjectName(ControlName(1132));
    m_pDate->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    m_pDate->setCalendarPopup(true);

    auto* grid = new QGridLayout(this);
    auto label = [this](const char* text) { return new QLabel(QString::fromUtf8(text), this); };
    grid->addWidget(label("检测单位:"), 0, 0);
    grid->addWidget(m_pUnit, 0, 1, 1, 3);
    grid->addWidget(label("工程名称:"), 1, 0);
    grid->addWidget(m_pProject, 1, 1, 1, 3);
    grid->addWidget(label("桩号:"), 2, 0);
    grid->addWidget(m_pPileName, 2, 1);
    grid->addWidget(label("桩径(mm):"), 2, 2);
    grid->addWidget(m_pDiameter, 2, 3);
    grid->addWidget(label("检测日期:"), 3, 0);
    grid->addWidget(m_pDate, 3, 1);

    auto* types = new QGroupBox(QStringLiteral("桩型"), this);
    auto* typeGrid = new QGridLayout(types);
    for (int i = 0; i < kPileTypeCount; ++i) {
        auto* button = new QRadioButton(QString::fromUtf8(PileTypeText(i)), types);
        button->setObjectName(ControlName(1030 + i));
        m_pPileType->addButton(button, i);
        typeGrid->addWidget(button, i / 4, i % 4);
    }
    if (QAbstractButton* chosen = m_pPileType->button(info.m_nPileType)) chosen->setChecked(true);
    grid->addWidget(types, 4, 0, 1, 4);
    QDialogButtonBox* buttons = MakeOkCancel(this);
    grid->addWidget(buttons, 5, 0, 1, 4);
    m_pUnit->setMinimumWidth(320);

    // In the order of the exchange: unit, project name, diameter, pile name.
    m_pGuard = new CFieldGuard(*this, prompts, buttons->buttons().at(1));
    m_pGuard->AddText(
        m_pUnit, [this] { return m_pUnit->text(); }, kUnitChars);
    m_pGuard->AddText(
        m_pProject, [this] { return m_pProject->text(); }, kProjectNameChars);
    m_pGuard->AddInteger(m_pDiameter, std::numeric_limits<int>::min(), std::numeric_limits<int>::max(), {},
                         std::pair{kDiameterMin, kDiameterMax});
    m_pGuard->AddText(
        m_pPileName, [this] { return m_pPileName->text(); }, kPileNameChars);
}

void CProjectInfoDlg::accept() {
    if (!m_pGuard->CheckAll()) return;
    const std::string pileName = m_pPileName->text().toStdString();
    if (const std::string refusal = CheckPileNameChange(m_Info.m_strPileName, pileName); !refusal.empty()) {
        m_prompts.Tell(QString::fromUtf8(refusal));
        m_pPileName->setText(QString::fromStdString(m_Info.m_strPileName)); // the name it had
        m_pPileName->setFocus();
        return;
    }
    m_Info.m_strTestUnit = m_pUnit->text().toStdString();
    m_Info.m_strProjectName = m_pProject->text().toStdString();
    m_Info.m_nDiameter = *m_pGuard->Integer(m_pDiameter);
    m_Info.m_strPileName = pileName;
    m_Info.m_nPileType = m_pPileType->checkedId(); // -1 when none is chosen
    m_Info.m_TestDate = FromQDate(m_pDate->date());
    QDialog::accept();
}

} // namespace pw
