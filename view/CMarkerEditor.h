// The cursor and marker editing of the waveform view as plain code: pointer moves, presses and keys
// go in with the view's geometry; the document's commands run; what the window must do comes back
// (status texts, hint, pointer, redraw, a refusal to show). The widget only forwards its events here,
// so tests drive the whole interaction from tables of positions and keys.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "view/LayoutGeometry.h"
#include "view/ViewState.h"

namespace pw {

class CDEVAzazDoc;

enum class PointerShape { Keep, Marker, Unavailable };
enum class EditorKey { Left, Right, Enter, Escape };

struct EditorEffects {
    bool bHandled = true;                            // false: the key is the widget's (it scrolls)
    std::array<std::optional<std::string>, 6> Panes; // status panes 0 (hint) .. 5; "" clears one
    bool bResetPanes = false;                        // every pane back to its empty readout
    bool bRepaint = false;                           // the picture must be drawn again
    bool bCursorMoved = false;                       // only the cursor line moved, from nOldCursorX
    int nOldCursorX = -1;
    PointerShape ePointer = PointerShape::Keep;
    std::string strMessage; // a refusal to show in a message box
};

class CMarkerEditor {
public:
    CMarkerEditor(CDEVAzazDoc& doc, ViewState& state) : m_Doc(doc), m_State(state) {}

    // The layout's geometry as the view has it now; set before every event.
    void SetGeometry(const ViewGeometry& g) { m_Geom = g; }
    const ViewGeometry& Geometry() const { return m_Geom; }

    EditorEffects PointerMove(int x, int y);
    // Left press, after the three-trace row choice and the active tool's own action.
    EditorEffects LeftDown();
    EditorEffects LeftUp();
    // Right press with no tool active (the widget puts an active tool away instead).
    EditorEffects RightDown(int x, int y);
    // Left, Right and Enter with no tool active (a tool's arrows are its own, and a marker seen before
    // the tool was chosen is not committed); Escape in any layout with any tool.
    EditorEffects Key(EditorKey key);

    // Commands at the cursor (single and three-trace layouts).
    EditorEffects AddDefect(int kind); // 1..7
    EditorEffects DeleteDefect();      // the grabbed defect
    EditorEffects PreZero();
    EditorEffects PostCut();
    // The head and the toe at the cursor (the menu's and the keys' path: the toe writes the bar).
    // Without a cursor on the trace of a single or three-trace layout they change nothing and say
    // why in pane 0; a head off the trace's samples is refused there too.
    EditorEffects SetHead();
    EditorEffects SetToe();

    // Another project, a new document or another layout: no cursor, nothing grabbed, empty readouts.
    EditorEffects Reset();

    // The readouts of the cursor where it stands, for the current layout.
    void WriteReadouts(EditorEffects& out) const;

    // Cursor column counted from the box's left edge (-11 without a cursor).
    int CursorColumn() const { return m_State.m_nCursorX - 10; }

private:
    bool CursorInside() const;
    void HitAtCursor(EditorEffects& out);
    EditorEffects MoveCursorBy(int dx);
    void RemoveCursor(EditorEffects& out);
    bool CursorOnTrace() const; // a cursor on a layout that places head, toe and defects
    // Where a refusal of the document goes: about the cursor's place, pane 0; the rest, a box.
    static void Refuse(EditorEffects& out, const std::string& refusal);
    EditorEffects SetMarkerAtCursor(const char* noCursor, const std::function<std::string(int)>& set);

    CDEVAzazDoc& m_Doc;
    ViewState& m_State;
    ViewGeometry m_Geom;
};

} // namespace pw
