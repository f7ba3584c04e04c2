// Print settings dialog. OK, in order: format page read; footer margin within the bottom margin,
// header margin within the top margin, the page grid; parameters page read; spectra need two rows; a
// footer and a centred page number would overlap; a custom paper needs a size; then the file.
#include "shell/dialogs/CPrintSetupDlg.h"

#include <QDialogButtonBox>
#include <QTabWidget>
#include <QVBoxLayout>

#include "core/CoreMessages.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellMessages.h"
#include "shell/dialogs/CPrintFormatPage.h"
#include "shell/dialogs/CPrintParamsPage.h"
#include "core/ValueRules.h"
#include "shell/dialogs/FieldExchange.h"

namespace pw {

CPrintSetupDlg::CPrintSetupDlg(const QString& path, CShellPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_strPath(path), m_prompts(prompts), m_Settings(LoadPrintSettings(path.toStdString())),
      m_pTabs(new QTabWidget(this)) {
    setWindowTitle(QString::fromUtf8(msg::kPrintSetupTitle));
    m_pTabs->setObjectName(ControlName(1066));
    m_pFormat = new CPrintFormatPage(m_Settings, *this, prompts, m_pTabs);
    m_pParams = new CPrintParamsPage(m_Settings, *this, prompts, m_pTabs);
    m_pTabs->addTab(m_pFormat, QStringLiteral("打印格式"));
    m_pTabs->addTab(m_pParams, QStringLiteral("打印参数"));
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_pTabs);
    layout->addWidget(MakeOkCancel(this, QStringLiteral("确  定"), QStringLiteral("取  消")));
}

void CPrintSetupDlg::ShowPage(int page, const std::string& message) {
    m_pTabs->setCurrentIndex(page);
    if (!message.empty()) m_prompts.Tell(QString::fromUtf8(message));
}

void CPrintSetupDlg::accept() {
    CPrintSettings s = m_Settings;
    // A field that does not parse has shown its message already; its page comes to the front.
    if (!m_pFormat->Read(s)) return ShowPage(0, "");
    if (const std::string m = CheckPrintFormat(s); !m.empty()) return ShowPage(0, m);
    if (!m_pParams->Read(s)) return ShowPage(1, "");
    if (const std::string m = CheckPrintParameters(s); !m.empty())
        return ShowPage(m == msg::kFooterOverlap ? 0 : 1, m);
    m_Settings = s;
    // A file that cannot be written is reported; the dialog still closes.
    if (!SavePrintSettings(m_strPath.toStdString(), s).empty())
        m_prompts.Tell(QString::fromUtf8(msg::kWriteSettingsFailed));
    QDialog::accept();
}

} // namespace pw
