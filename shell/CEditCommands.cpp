// Editing commands: ask what the command needs, call the document, show its refusal.
#include "shell/CEditCommands.h"

#include "core/CommandIds.h"
#include "shell/CCommandRouter.h"
#include "shell/CDataListView.h"
#include "shell/CShellPrompts.h"
#include "shell/ShellMessages.h"

namespace pw {

CEditCommands::CEditCommands(CDEVAzazDoc& doc, CShellPrompts& prompts, QObject* parent)
    : QObject(parent), m_doc(doc), m_prompts(prompts) {}

void CEditCommands::Register(CCommandRouter& router, CDataListView& list) {
    CDEVAzazDoc& d = m_doc;
    router.Handle(cmd::kRemoveDC, [&d] { d.ToggleRemoveDC(); });
    router.Handle(cmd::kInvert, [&d] { d.ToggleInvert(); });
    router.Handle(cmd::kVariableArea, [&d] { d.ToggleVariableArea(); });
    router.Handle(cmd::kIntegrate, [this] { Show(m_doc.ToggleIntegrate()); });
    router.Handle(cmd::kScale, [&d] { d.ToggleScale(); });
    for (int id : {cmd::kSingleTrace, cmd::kThreeTraces, cmd::kWaveTrain, cmd::kAmplitudeSpectrum,
                   cmd::kPowerSpectrum})
        router.Handle(id, [&d, id] { d.SetLayout(id); });
    for (int id :
         {cmd::kToolShift, cmd::kToolRotate, cmd::kToolZoomIn, cmd::kToolZoomOut, cmd::kToolLocalZoom})
        router.Handle(id, [&d, id] { d.ChooseTool(id); });
    router.Handle(cmd::kPreZero, [this] { PreZero(); });
    router.Handle(cmd::kPostCut, [this] { PostCut(); });
    router.Handle(cmd::kSmooth, [this] { Smoothing(); });
    router.Handle(cmd::kAverage, [this] { Show(m_doc.AverageSelection()); });
    router.Handle(cmd::kRestore, [this] { Show(m_doc.RestoreParameters()); });
    router.Handle(cmd::kDeletePile, [&list] { list.DeleteCurrent(); });
}

void CEditCommands::Show(const std::string& refusal) {
    if (!refusal.empty()) m_prompts.Tell(QString::fromUtf8(refusal));
}

void CEditCommands::PreZero() {
    if (const auto v = m_prompts.AskInt(QString::fromUtf8(msg::kPreZeroPrompt), m_doc.m_Pending.m_nPreZero))
        Show(m_doc.PreZero(*v));
}

void CEditCommands::PostCut() {
    if (const auto v = m_prompts.AskInt(QString::fromUtf8(msg::kPostCutPrompt), m_doc.m_Pending.m_nPostCut))
        Show(m_doc.PostCut(*v));
}

void CEditCommands::Smoothing() {
    const CPileRecord* cur = m_doc.GetCurrentPile();
    if (const auto v = m_prompts.AskInt(QString::fromUtf8(msg::kSmoothPrompt), cur ? cur->m_nSmooth : 1))
        Show(m_doc.Smoothing(*v));
}

} // namespace pw
