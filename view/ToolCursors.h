// Mouse pointers of the view's tools, drawn in code: zoom in, zoom out, translate, local zoom, and the
// marker pointer shown over a pile head, toe or defect.
#pragma once

#include <QCursor>

namespace pw {

// The pointer for a tool code (ViewTool); the arrow for tools without a picture of their own.
QCursor ToolCursor(int tool);
QCursor MarkerCursor();

} // namespace pw
