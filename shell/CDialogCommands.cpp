// Dialog commands: fill the dialog from the document, run it, store what OK returned.
#include "shell/CDialogCommands.h"

#include "core/CommandIds.h"
#include "core/CoreMessages.h"
#include "core/ProjectInfo.h"
#include "shell/CCommandRouter.h"
#include "shell/CShellPrompts.h"
#include "shell/SettingsPaths.h"
#include "shell/ShellCommandIds.h"
#include "shell/dialogs/CFilterDlg.h"
#include "shell/dialogs/CGainDlg.h"
#include "shell/dialogs/CPrintSetupDlg.h"
#include "shell/dialogs/CProjectInfoDlg.h"
#include "shell/dialogs/CReportInfoDlg.h"

namespace pw {

CDialogCommands::CDialogCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QWidget* window)
    : QObject(window), m_doc(doc), m_prompts(prompts), m_pWindow(window) {}

void CDialogCommands::Register(CCommandRouter& router) {
    router.Handle(cmd::kProjectInfo, [this] { ProjectInfo(); });
    router.Handle(cmd::kGain, [this] { Gain(); });
    router.Handle(cmd::kFilter, [this] { Filter(); });
    router.Handle(cmd::kPrintSetup, [this] { PrintSetup(); });
}

void CDialogCommands::ProjectInfo() {
    CProjectInfo info;
    switch (ReadProjectInfo(m_doc, info)) {
    case ProjectInfoRead::NoPile:
        return;
    case ProjectInfoRead::Incomplete:
        return m_prompts.Tell(QString::fromUtf8(msg::kDataIncomplete));
    case ProjectInfoRead::Ready:
        break;
    }
    CProjectInfoDlg dialog(info, m_prompts, m_pWindow);
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted) return;
    StoreProjectInfo(m_doc, dialog.Info());
}

void CDialogCommands::Gain() {
    PendingParams& p = m_doc.m_Pending;
    GainValues values;
    values.m_nMode = p.m_nGainMode == 0 || p.m_nGainMode == 1 ? p.m_nGainMode : -1;
    values.m_fGain = p.m_fGain;
    values.m_fDelay = p.m_fGainDelay;
    CGainDlg dialog(values, m_doc.Estimate().m_fLength, m_prompts, m_pWindow);
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted) return;
    const PendingParams before = p;
    p.m_fGain = dialog.Values().m_fGain;
    p.m_fGainDelay = dialog.Values().m_fDelay;
    p.m_nGainMode = dialog.Values().m_nMode == 1 ? 1 : 0;
    ApplyOrPutBack(before);
}

void CDialogCommands::Filter() {
    PendingParams& p = m_doc.m_Pending;
    FilterValues values;
    values.m_fLowPass = p.m_fLowPass;
    values.m_nPasses = p.m_nLowPassPasses;
    values.m_fHighPass = p.m_fHighPass;
    CFilterDlg dialog(values, m_prompts, m_pWindow);
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted) return;
    const PendingParams before = p;
    p.m_fLowPass = dialog.Values().m_fLowPass;
    p.m_nLowPassPasses = static_cast<int16_t>(dialog.Values().m_nPasses);
    p.m_fHighPass = dialog.Values().m_fHighPass;
    ApplyOrPutBack(before); // the heads follow the filters' delay, or nothing changes
}

void CDialogCommands::ApplyOrPutBack(const PendingParams& before) {
    if (const std::string refusal = m_doc.ApplyPending(); !refusal.empty()) {
        m_doc.m_Pending = before;
        m_prompts.Tell(QString::fromUtf8(refusal));
    }
}

void CDialogCommands::PrintSetup() {
    CPrintSetupDlg dialog(PrintSettingsPath(), m_prompts, m_pWindow);
    m_prompts.RunDialog(dialog);
}

std::optional<CReportInfo> CDialogCommands::ReportInfo(const CReportInfo& info) {
    CReportInfoDlg dialog(info, SettingsFolder(), m_prompts, m_pWindow);
    if (m_prompts.RunDialog(dialog) != QDialog::Accepted) return std::nullopt;
    return dialog.Info();
}

} // namespace pw
