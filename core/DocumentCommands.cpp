// Switches, layouts, the mouse-tool choice, and the enable/check state of the document's commands.
#include "core/CDEVAzazDoc.h"
#include "core/CommandIds.h"
#include "core/ViewLayout.h"

namespace pw {
namespace {

// Tool commands in the order of the document's tool flags; the index is the tool code they set,
// except the last, which only raises its own flag.
constexpr int kToolCommands[7] = {cmd::kToolShift,  cmd::kToolRotate,    cmd::kToolCode2,  cmd::kToolZoomIn,
                                  cmd::kToolZoomOut, cmd::kToolLocalZoom, cmd::kToolOwnFlag};

// The tools shift, rotate and zoom a drawn trace: only the single and three-trace layouts draw that
// (any number but the wave train's and the spectra's is drawn as a single trace).
bool ToolsApply(int layout) { return IsMarkerLayout(LayoutOf(layout)); }

int ToolIndex(int commandId) {
    for (int i = 0; i < 7; ++i)
        if (kToolCommands[i] == commandId) return i;
    return -1;
}

} // namespace

void CDEVAzazDoc::ToggleRemoveDC() {
    m_bRemoveDC = !m_bRemoveDC;
    for (auto& p : m_Piles) {
        p.m_bRemoveDC = m_bRemoveDC;
        p.Touch();
    }
    Notify(kChangedDisplay | kChangedRecords);
}

void CDEVAzazDoc::ToggleInvert() {
    m_Display.m_bInvert = !m_Display.m_bInvert;
    Notify(kChangedDisplay);
}

void CDEVAzazDoc::ToggleVariableArea() {
    m_Display.m_bVariableArea = !m_Display.m_bVariableArea;
    Notify(kChangedDisplay);
}

std::string CDEVAzazDoc::ToggleIntegrate() {
    m_Pending.m_bIntegrate = !m_Pending.m_bIntegrate;
    std::string refusal = ApplyPending();
    if (!refusal.empty()) m_Pending.m_bIntegrate = !m_Pending.m_bIntegrate;
    Notify(kChangedDisplay);
    return refusal;
}

void CDEVAzazDoc::ToggleScale() {
    m_bScale = !m_bScale;
    Notify(kChangedDisplay);
}

void CDEVAzazDoc::SetLayout(int commandId) {
    switch (commandId) {
    case cmd::kSingleTrace:
        m_bSingle = 1, m_bThree = 0, m_bTrain = 0, m_Display.m_nLayout = LayoutCode(Layout::Single);
        break;
    case cmd::kThreeTraces:
        m_bSingle = 0, m_bThree = 1, m_bTrain = 0, m_Display.m_nLayout = LayoutCode(Layout::ThreeTraces);
        break;
    case cmd::kWaveTrain:
        m_bSingle = 0, m_bThree = 0, m_bTrain = 1, m_Display.m_nLayout = LayoutCode(Layout::WaveTrain);
        break;
    case cmd::kManyTraces:
        m_Display.m_nLayout = LayoutCode(Layout::WaveTrain);
        break;
    case cmd::kAmplitudeSpectrum:
        m_bSingle = m_bThree = m_bTrain = 0, m_Display.m_nLayout = LayoutCode(Layout::AmplitudeSpectrum);
        break;
    case cmd::kPowerSpectrum:
        m_bSingle = m_bThree = m_bTrain = 0, m_Display.m_nLayout = LayoutCode(Layout::PowerSpectrum);
        break;
    default: return;
    }
    // A tool left active on the wave train or a spectrum would change records out of sight.
    if (!ToolsApply(m_Display.m_nLayout)) {
        for (int i = 0; i < 6; ++i) m_bToolFlags[i] = 0;
        m_nToolCode = -1;
    }
    Notify(kChangedDisplay);
}


void CDEVAzazDoc::ChooseTool(int commandId) {
    const int i = ToolIndex(commandId);
    // Off the trace layouts a tool can only be put away (one a loaded project left active).
    if (i < 0 || (i != 6 && !ToolsApply(m_Display.m_nLayout) && !m_bToolFlags[i])) return;
    const bool wasActive = m_bToolFlags[i] != 0;
    for (int& f : m_bToolFlags) f = 0;
    if (i == 6) {
        // This command raises only its own flag; the tool code stays as it was.
        m_bToolFlags[i] = wasActive ? 0 : 1;
    } else if (wasActive) {
        m_nToolCode = -1; // choosing the active tool again puts it away
    } else {
        m_bToolFlags[i] = 1;
        m_nToolCode = i;
    }
    Notify(kChangedDisplay);
}

CommandState CDEVAzazDoc::GetCommandState(int id) const {
    const bool any = !m_Piles.empty();
    switch (id) {
    case cmd::kOpen:
    case cmd::kMerge:
        return {true, false};
    case cmd::kRemoveDC: return {any, m_bRemoveDC != 0};
    case cmd::kInvert: return {any, m_Display.m_bInvert != 0};
    case cmd::kVariableArea: return {any, m_Display.m_bVariableArea != 0};
    case cmd::kIntegrate: return {any, m_Pending.m_bIntegrate != 0};
    case cmd::kScale: return {any, m_bScale != 0};
    case cmd::kSingleTrace: return {any, m_bSingle != 0};
    case cmd::kThreeTraces: return {any, m_bThree != 0};
    case cmd::kWaveTrain: return {any, m_bTrain != 0};
    case cmd::kAmplitudeSpectrum: return {any, LayoutOf(m_Display.m_nLayout) == Layout::AmplitudeSpectrum};
    case cmd::kPowerSpectrum: return {any, LayoutOf(m_Display.m_nLayout) == Layout::PowerSpectrum};
    case cmd::kSave:
    case cmd::kSaveAs:
    case cmd::kSaveChecked:
    case cmd::kDeletePile:
    case cmd::kProjectInfo:
    case cmd::kGain:
    case cmd::kFilter:
    case cmd::kPreZero:
    case cmd::kPostCut:
    case cmd::kSmooth:
    case cmd::kRestore:
    case cmd::kSetHead:
    case cmd::kSetToe:
    case cmd::kManyTraces:
    case cmd::kAverage:
        return {any, false};
    default:
        break;
    }
    if (const int i = ToolIndex(id); i >= 0) return {any && (i == 6 || ToolsApply(m_Display.m_nLayout) || m_bToolFlags[i] != 0), m_bToolFlags[i] != 0};
    return {false, false}; // not a command of the document
}

} // namespace pw
