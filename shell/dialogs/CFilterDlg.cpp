// Filter dialog: each field checked as it is left; OK also wants the low-pass above the high-pass.
#include "shell/dialogs/CFilterDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>

#include "shell/CShellPrompts.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {

CFilterDlg::CFilterDlg(const FilterValues& values, CShellPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_Values(values), m_prompts(prompts), m_pLowPass(new QLineEdit(this)),
      m_pPasses(new QLineEdit(this)), m_pHighPass(new QLineEdit(this)) {
    setWindowTitle(QString::fromUtf8(msg::kFilterTitle));
    m_pLowPass->setObjectName(ControlName(1096));
    m_pPasses->setObjectName(ControlName(1097));
    m_pHighPass->setObjectName(ControlName(1098));
    m_pLowPass->setText(FormatNumber(values.m_fLowPass));
    m_pPasses->setText(QString::number(values.m_nPasses));
    m_pHighPass->setText(FormatNumber(values.m_fHighPass));
    m_pLowPass->selectAll(); // the first field takes the focus: typing replaces its value
    auto* form = new QFormLayout(this);
    form->addRow(QStringLiteral("低通滤波(kHz)"), m_pLowPass);
    form->addRow(QStringLiteral("滤波次数"), m_pPasses);
    form->addRow(QStringLiteral("高通滤波(Hz)"), m_pHighPass);
    QDialogButtonBox* buttons = MakeOkCancel(this);
    form->addRow(buttons);

    m_pGuard = new CFieldGuard(*this, prompts, buttons->buttons().at(1));
    m_pGuard->AddNumber(m_pLowPass, CheckLowPass);
    m_pGuard->AddInteger(m_pPasses, -32768, 32767, CheckPasses);
    m_pGuard->AddNumber(m_pHighPass, CheckHighPass);
}

void CFilterDlg::accept() {
    if (!m_pGuard->CheckAll()) return;
    FilterValues v;
    v.m_fLowPass = static_cast<float>(*m_pGuard->Number(m_pLowPass));
    v.m_nPasses = *m_pGuard->Integer(m_pPasses);
    v.m_fHighPass = static_cast<float>(*m_pGuard->Number(m_pHighPass));
    if (const std::string refusal = CheckFilterOrder(v); !refusal.empty()) {
        m_prompts.Tell(QString::fromUtf8(refusal));
        return;
    }
    m_Values = v;
    QDialog::accept();
}

} // namespace pw
