// Gain dialog: the factor must lie in 1.0..1000.0, the delay in 0..0.8 x the bar's pile length.
#include "shell/dialogs/CGainDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "shell/ShellMessages.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {

CGainDlg::CGainDlg(const GainValues& values, float barLength, CShellPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_Values(values), m_pExponential(new QRadioButton(QStringLiteral("指数"), this)),
      m_pLinear(new QRadioButton(QStringLiteral("线性"), this)), m_pGain(new QLineEdit(this)),
      m_pDelay(new QLineEdit(this)) {
    setWindowTitle(QString::fromUtf8(msg::kGainTitle));
    m_pExponential->setObjectName(ControlName(1099));
    m_pLinear->setObjectName(ControlName(1100));
    m_pGain->setObjectName(ControlName(1094));
    m_pDelay->setObjectName(ControlName(1095));
    m_pExponential->setChecked(values.m_nMode == 0);
    m_pLinear->setChecked(values.m_nMode == 1);
    m_pGain->setText(FormatNumber(values.m_fGain));
    m_pDelay->setText(FormatNumber(values.m_fDelay));

    auto* modes = new QHBoxLayout;
    modes->addWidget(m_pExponential);
    modes->addWidget(m_pLinear);
    modes->addStretch();
    auto* form = new QFormLayout(this);
    form->addRow(modes);
    form->addRow(QStringLiteral("放大系数"), m_pGain);
    form->addRow(QStringLiteral("放大延迟(m)"), m_pDelay);
    QDialogButtonBox* buttons = MakeOkCancel(this);
    form->addRow(buttons);

    m_pGuard = new CFieldGuard(*this, prompts, buttons->buttons().at(1));
    m_pGuard->AddNumber(m_pGain, CheckGainFactor);
    const float limit = GainDelayLimit(barLength);
    m_pGuard->AddNumber(m_pDelay, [limit](float v) { return CheckGainDelay(v, limit); });
}

void CGainDlg::accept() {
    if (!m_pGuard->CheckAll()) return;
    m_Values.m_nMode = m_pLinear->isChecked() ? 1 : m_pExponential->isChecked() ? 0 : -1;
    m_Values.m_fGain = static_cast<float>(*m_pGuard->Number(m_pGain));
    m_Values.m_fDelay = static_cast<float>(*m_pGuard->Number(m_pDelay));
    QDialog::accept();
}

} // namespace pw
