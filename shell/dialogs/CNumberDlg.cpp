// Numeric input: the parse is the only check here; the commands check the range after OK.
#include "shell/dialogs/CNumberDlg.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "shell/ShellMessages.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {

CNumberDlg::CNumberDlg(const QString& title, int value, CShellPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_nValue(value), m_pEdit(new QLineEdit(QString::number(value), this)) {
    setWindowTitle(title);
    m_pEdit->setObjectName(ControlName(1093));
    m_pEdit->selectAll(); // typing replaces the value shown
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QString::fromUtf8(msg::kEnterData), this));
    layout->addWidget(m_pEdit);
    QDialogButtonBox* buttons = MakeOkCancel(this);
    layout->addWidget(buttons);
    setMinimumWidth(260);
    m_pGuard = new CFieldGuard(*this, prompts, buttons->buttons().at(1));
    m_pGuard->AddInteger(m_pEdit, -32768, 32767);
}

void CNumberDlg::accept() {
    if (!m_pGuard->CheckAll()) return;
    m_nValue = *m_pGuard->Integer(m_pEdit);
    QDialog::accept();
}

} // namespace pw
