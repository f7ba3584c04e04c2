// What the mouse tools do to the current pile: translate, rotate, dynamic zoom in/out and local zoom,
// by mouse and by the arrow keys. Plain functions on the record, so tests drive them without a window;
// the view calls them and then reloads the pending set, marks the project modified and redraws.
#pragma once

namespace pw {

class CPileRecord;

// Tool codes of the document's active tool (2 has a menu command but nothing to do in the view).
enum ViewTool : int {
    kToolNone = -1,
    kToolTranslate = 0,
    kToolRotate = 1,
    kToolCode2 = 2,
    kToolZoomIn = 3,
    kToolZoomOut = 4,
    kToolLocalZoom = 5,
};

enum ToolKey : int { kKeyUp, kKeyDown, kKeyLeft, kKeyRight };

// The document's tool code as a tool; codes no tool has read as none.
ViewTool ToolOf(int code);

// The horizontal edges of the local-zoom rectangle as the mouse gave them, client columns.
struct ToolDrag {
    int nX0 = 0;
    int nX1 = 0;
};

// The amplitude zoom level never goes below this by a key or a zoom-out click (factor 1 + 0.1 * -10 = 0).
inline constexpr int kZoomFloor = -10;

// A left click with the zoom-in (+2) or zoom-out (-2, not below the floor) tool. True when it changed
// the record.
bool ZoomClick(CPileRecord& rec, ViewTool tool);

// Translate drag: horizontal offset = x - (press x - old offset); vertical shift = (press y + old
// shift) - y. The press point and the old values come from the drag start.
void TranslateDrag(CPileRecord& rec, int pressX, int pressY, int oldShiftX, int oldShiftY, int x, int y);

// Rotate drag: rotation += previous y - y.
void RotateDrag(CPileRecord& rec, int previousY, int y);

// Hands the pile the column range of the local-zoom rectangle (x0 ... min(x1, 1024 / step), less the
// horizontal offset and the 10-column margin) with up = 1 enlarge or 0 reduce.
void ApplyLocalZoom(CPileRecord& rec, ToolDrag drag, int up);

// An arrow key with the given tool active. True when it changed the record.
bool ToolKeyPress(CPileRecord& rec, ViewTool tool, ToolKey key, ToolDrag drag);

} // namespace pw
