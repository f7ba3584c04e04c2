// Cursor, readouts, hit test, grab-move-confirm and the commands at the cursor (see CMarkerEditor.h).
#include "view/CMarkerEditor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"
#include "core/PlotGeometry.h"
#include "core/TraceProcessing.h"
#include "view/ViewTexts.h"

namespace pw {
namespace {

constexpr int kIdle = -1;
constexpr int kGrabbed = 3;

std::string Format(const char* label, const char* format, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return std::string(label) + buf;
}

std::string FormatInt(const char* label, const char* format, int value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return std::string(label) + buf;
}

bool NoTool(const CDEVAzazDoc& doc) {
    return doc.m_nToolCode == -1;
}

} // namespace

bool CMarkerEditor::CursorInside() const {
    return m_State.m_nCursorX >= 0 && CursorArea(m_Geom).ContainsX(m_State.m_nCursorX);
}

void CMarkerEditor::WriteReadouts(EditorEffects& out) const {
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) return;
    const int x = m_State.m_nCursorX;
    if (IsSpectrumLayout(m_Geom.eLayout)) {
        const auto f = ColumnFrequency(*rec, std::abs(x - 10), m_State.m_nBinWidth);
        out.Panes[1] = f ? Format(vtext::kFrequency, "%.2fHz", *f) : std::string(vtext::kFrequency);
        for (int pane = 2; pane <= 5; ++pane)
            out.Panes[pane] = std::string();
        // Beyond the readout: the spacing of the marked resonance peaks and the length it implies.
        if (const auto spacing = SpectrumMarkSpacing(*rec, m_State.m_nBinWidth)) {
            std::string text = Format("", vtext::kMarkSpacing, spacing->fSpacing);
            if (spacing->fLength) text += Format("", vtext::kSpacingLength, *spacing->fLength);
            out.Panes[2] = text;
        }
        return;
    }
    if (m_Geom.eLayout == Layout::WaveTrain) {
        // The wave train draws one sample per column whatever the pile's step: the time is that sample's.
        const double us = static_cast<double>(x - 40) * rec->m_fSampleInterval;
        out.Panes[1] = Format(vtext::kTime, "%.1fus", us);
        for (int pane = 2; pane <= 5; ++pane)
            out.Panes[pane] = std::string();
        return;
    }
    const int step = PlotStep(*rec);
    const int column = x - 10;
    const int c = column - PlotHeadColumn(*rec);
    const auto time = rec->TimeOfPoint(c);
    const auto depth = rec->DepthOfPoint(c);
    // At or before the head no speed puts the toe there (it would divide by zero or turn negative).
    const auto speed = c > 0 ? rec->SpeedFromToePoint(c) : std::nullopt;
    out.Panes[1] = time ? Format(vtext::kTime, "%.2fms", *time) : std::string(vtext::kTime);
    out.Panes[2] =
        Format(vtext::kAmplitude, "%.2fmv",
               SampleAt(*rec, static_cast<int>(std::clamp<long long>(1LL * column * step, -1, kSamples))));
    out.Panes[3] = depth ? Format(vtext::kDepth, "%.1fm", *depth) : std::string(vtext::kDepth);
    out.Panes[4] = speed ? FormatInt(vtext::kWaveSpeed, "%dm/s", *speed) : std::string(vtext::kWaveSpeed);
    out.Panes[5] = FormatInt(vtext::kPoints, "%d", column);
}

void CMarkerEditor::HitAtCursor(EditorEffects& out) {
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) return;
    const int hit = HitTest(m_Geom.eLayout, *rec, m_State.m_nCursorX);
    m_State.m_nGrabbed = hit;
    if (IsSpectrumLayout(m_Geom.eLayout)) {
        out.Panes[0] = hit == kMarkNone ? vtext::kHintAddMark : vtext::kHintDeleteMark;
    } else {
        const bool headOrToe = hit == kMarkHead || hit == kMarkToe;
        out.Panes[0] = headOrToe ? vtext::kHintGrabMarker : vtext::kHintSetMarker;
    }
    out.ePointer = hit == kMarkNone ? PointerShape::Unavailable : PointerShape::Marker;
}

void CMarkerEditor::RemoveCursor(EditorEffects& out) {
    m_State.m_nCursorX = -1;
    out.bRepaint = true;
}

bool CMarkerEditor::CursorOnTrace() const {
    return IsMarkerLayout(m_Geom.eLayout) && CursorInside();
}

void CMarkerEditor::Refuse(EditorEffects& out, const std::string& refusal) {
    if (refusal == msg::kHeadOutsideTrace)
        out.Panes[0] = refusal;
    else
        out.strMessage = refusal;
}

EditorEffects CMarkerEditor::PointerMove(int x, int y) {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile() || !CursorArea(m_Geom).Contains(x, y)) return out;
    const bool spectrum = IsSpectrumLayout(m_Geom.eLayout);
    // On the spectra the frequency follows the pointer whatever the tool and the state.
    if (!spectrum && (!NoTool(m_Doc) || m_State.m_nInteraction != kIdle)) return out;
    if (m_State.m_nInteraction == kIdle) {
        out.bCursorMoved = true;
        out.nOldCursorX = m_State.m_nCursorX;
        m_State.m_nCursorX = x;
        m_State.m_nCursorY = y;
        if (m_Geom.eLayout != Layout::WaveTrain) HitAtCursor(out);
    }
    // The readout of a spectrum is the pointer's, even while a mark is held.
    const int cursor = m_State.m_nCursorX;
    m_State.m_nCursorX = x;
    WriteReadouts(out);
    m_State.m_nCursorX = cursor;
    return out;
}

EditorEffects CMarkerEditor::LeftDown() {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile()) return out;
    if (IsSpectrumLayout(m_Geom.eLayout)) {
        if (m_State.m_nGrabbed != kMarkNone) { // the cursor stays where it is
            out.Panes[0] = vtext::kHintMoveKeys;
            m_State.m_nInteraction = kGrabbed;
        }
        return out;
    }
    out.bRepaint = true;
    // A press with a tool is the tool's: a marker hovered before the tool was chosen is not grabbed.
    if (!NoTool(m_Doc) && m_State.m_nInteraction != kGrabbed) m_State.m_nGrabbed = kMarkNone;
    if (m_State.m_nGrabbed == kMarkNone && m_State.m_nInteraction != kGrabbed) m_State.m_nCursorX = -1;
    if (m_State.m_nGrabbed != kMarkNone) {
        out.Panes[0] = vtext::kHintMoveKeys;
        m_State.m_nInteraction = kGrabbed;
    }
    return out;
}

EditorEffects CMarkerEditor::LeftUp() {
    EditorEffects out;
    if (m_State.m_nInteraction == kGrabbed && m_Doc.GetCurrentPile()) {
        // The grabbed marker stays grabbed until the pointer moves inside the box again.
        m_State.m_nInteraction = kIdle;
        out.bRepaint = true;
    }
    return out;
}

EditorEffects CMarkerEditor::RightDown(int x, int y) {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile() || !IsSpectrumLayout(m_Geom.eLayout)) return out;
    if (!CursorArea(m_Geom).Contains(x, y)) return out;
    if (m_State.m_nGrabbed == kMarkNone)
        m_Doc.AddSpectrumMark(x - 10); // a sixth is refused without a word
    else
        m_Doc.DeleteSpectrumMark(m_State.m_nGrabbed);
    out.bRepaint = true;
    // The pointer has not moved: what lies under it now (the new mark, or nothing) is what it holds.
    if (m_State.m_nInteraction == kIdle) {
        const int cursor = m_State.m_nCursorX;
        m_State.m_nCursorX = x;
        HitAtCursor(out);
        m_State.m_nCursorX = cursor;
    } else {
        m_State.m_nGrabbed = kMarkNone;
    }
    WriteReadouts(out);
    return out;
}

EditorEffects CMarkerEditor::MoveCursorBy(int dx) {
    EditorEffects out;
    const int x = m_State.m_nCursorX + dx;
    if (!CursorArea(m_Geom).ContainsX(x)) return out; // the cursor stays inside the box
    out.bCursorMoved = true;
    out.nOldCursorX = m_State.m_nCursorX;
    m_State.m_nCursorX = x;
    WriteReadouts(out);
    return out;
}

EditorEffects CMarkerEditor::Key(EditorKey key) {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile()) {
        out.bHandled = false;
        return out;
    }
    if (key == EditorKey::Escape) {
        m_State.m_nInteraction = kIdle;
        RemoveCursor(out);
        return out;
    }
    const bool spectrum = IsSpectrumLayout(m_Geom.eLayout);
    if (!IsMarkerLayout(m_Geom.eLayout) && !spectrum) {
        out.bHandled = false; // the wave train scrolls with the arrows
        return out;
    }
    if (!NoTool(m_Doc) || !CursorInside()) return out;
    const int grabbed = m_State.m_nGrabbed;
    if (key == EditorKey::Left || key == EditorKey::Right) {
        if (!spectrum && grabbed == kMarkNone) return out;
        return MoveCursorBy(key == EditorKey::Left ? -1 : 1);
    }
    // Enter
    if (grabbed == kMarkNone) return out;
    if (spectrum) {
        m_State.m_nGrabbed = m_Doc.MoveSpectrumMark(grabbed, m_State.m_nCursorX - 10);
        RemoveCursor(out);
        WriteReadouts(out);
        return out;
    }
    const int column = CursorColumn();
    std::string refusal;
    if (grabbed == kMarkHead)
        refusal = m_Doc.SetHeadAtColumn(column);
    else if (grabbed == kMarkToe)
        refusal = m_Doc.SetToeAtColumn(column, false);
    else
        m_Doc.MoveDefectToColumn(grabbed, column);
    if (!refusal.empty()) { // nothing changed: the cursor stays for another try
        Refuse(out, refusal);
        return out;
    }
    m_State.m_nInteraction = kIdle;
    RemoveCursor(out);
    return out;
}

EditorEffects CMarkerEditor::AddDefect(int kind) {
    EditorEffects out;
    CPileRecord* rec = m_Doc.GetCurrentPile();
    if (!rec) return out;
    // Without a cursor on the trace there is no place to add it at: say so, rather than that the
    // place is not between head and toe.
    if (!CursorOnTrace()) {
        out.Panes[0] = vtext::kNoCursorForDefect;
        return out;
    }
    const bool full = rec->GetDefectCount() >= kMaxDefects;
    out.strMessage = m_Doc.AddDefectAtColumn(kind, CursorColumn());
    // The eleventh is dropped without a box; the status bar still says why nothing appeared.
    if (full && out.strMessage.empty()) out.Panes[0] = vtext::kDefectsFull;
    RemoveCursor(out); // in every case, the eleventh defect too
    return out;
}

EditorEffects CMarkerEditor::DeleteDefect() {
    EditorEffects out;
    const int grabbed = m_State.m_nGrabbed;
    if (grabbed >= 0 && grabbed < kMaxDefects && m_Doc.DeleteDefect(grabbed))
        m_State.m_nGrabbed = kMarkNone;
    else
        out.Panes[0] = vtext::kNoDefectAtCursor;
    out.bRepaint = true;
    return out;
}

EditorEffects CMarkerEditor::PreZero() {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile()) return out;
    out.strMessage = m_Doc.PreZeroAtColumn(CursorColumn());
    out.bRepaint = true;
    return out;
}

EditorEffects CMarkerEditor::PostCut() {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile()) return out;
    out.strMessage = m_Doc.PostCutAtColumn(CursorColumn());
    out.bRepaint = true;
    return out;
}

EditorEffects CMarkerEditor::SetHead() {
    return SetMarkerAtCursor(vtext::kNoCursorForHead, [this](int column) { return m_Doc.SetHeadAtColumn(column); });
}

EditorEffects CMarkerEditor::SetToe() {
    return SetMarkerAtCursor(vtext::kNoCursorForToe, [this](int column) { return m_Doc.SetToeAtColumn(column); });
}

// The head and toe commands: they act at the cursor on the trace only, and say why when there is none.
EditorEffects CMarkerEditor::SetMarkerAtCursor(const char* noCursor, const std::function<std::string(int)>& set) {
    EditorEffects out;
    if (!m_Doc.GetCurrentPile()) return out;
    if (!CursorOnTrace()) {
        out.Panes[0] = noCursor;
        return out;
    }
    Refuse(out, set(CursorColumn()));
    out.bRepaint = true;
    return out;
}

EditorEffects CMarkerEditor::Reset() {
    EditorEffects out;
    m_State.m_nCursorX = m_State.m_nCursorY = -1;
    m_State.m_nGrabbed = kMarkNone;
    m_State.m_nInteraction = kIdle;
    out.bResetPanes = true;
    out.bRepaint = true;
    return out;
}

} // namespace pw
