// Tool arithmetic on the current pile (see ViewTools.h).
#include "core/ViewTools.h"

#include <algorithm>
#include <cstdint>

#include "core/CPileRecord.h"

namespace pw {
namespace {

// The record keeps these as 16-bit fields: a long drag saturates instead of wrapping around.
int16_t Clamp16(long long v) {
    return static_cast<int16_t>(std::clamp<long long>(v, INT16_MIN, INT16_MAX));
}

bool ZoomKey(CPileRecord& rec, ToolKey key) {
    if (key == kKeyUp) {
        rec.m_nZoom = Clamp16(rec.m_nZoom + 1LL);
        return true;
    }
    if (key == kKeyDown && rec.m_nZoom > kZoomFloor) {
        rec.m_nZoom = Clamp16(rec.m_nZoom - 1LL);
        return true;
    }
    return false;
}

} // namespace

ViewTool ToolOf(int code) {
    return code >= kToolTranslate && code <= kToolLocalZoom ? static_cast<ViewTool>(code) : kToolNone;
}

bool ZoomClick(CPileRecord& rec, ViewTool tool) {
    if (tool == kToolZoomIn) {
        rec.m_nZoom = Clamp16(rec.m_nZoom + 2LL);
        return true;
    }
    if (tool == kToolZoomOut && rec.m_nZoom > kZoomFloor) {
        rec.m_nZoom = Clamp16(std::max(rec.m_nZoom - 2, kZoomFloor));
        return true;
    }
    return false;
}

void TranslateDrag(CPileRecord& rec, int pressX, int pressY, int oldShiftX, int oldShiftY, int x, int y) {
    rec.m_nShiftX = Clamp16(static_cast<long long>(x) - (static_cast<long long>(pressX) - oldShiftX));
    rec.m_nShiftY = Clamp16(static_cast<long long>(pressY) + oldShiftY - y);
}

void RotateDrag(CPileRecord& rec, int previousY, int y) {
    rec.m_nRotate = Clamp16(rec.m_nRotate + static_cast<long long>(previousY) - y);
}

void ApplyLocalZoom(CPileRecord& rec, ToolDrag drag, int up) {
    const int step = std::max<int>(1, rec.m_nStep);
    // The rectangle as the user sees it: a drag to the left gives the same range as one to the right.
    const int left = std::min(drag.nX0, drag.nX1);
    const int right = std::max(drag.nX0, drag.nX1);
    const int from = left - rec.m_nShiftX - 10;
    const int to = std::min(right, kSamples / step) - rec.m_nShiftX - 10;
    rec.AdjustSegment(from, to, up);
}

bool ToolKeyPress(CPileRecord& rec, ViewTool tool, ToolKey key, ToolDrag drag) {
    switch (tool) {
    case kToolTranslate:
        switch (key) {
        case kKeyUp:
            rec.m_nShiftY = Clamp16(rec.m_nShiftY + 1LL);
            return true;
        case kKeyDown:
            rec.m_nShiftY = Clamp16(rec.m_nShiftY - 1LL);
            return true;
        case kKeyLeft:
            rec.m_nShiftX = Clamp16(rec.m_nShiftX - 1LL);
            return true;
        case kKeyRight:
            rec.m_nShiftX = Clamp16(rec.m_nShiftX + 1LL);
            return true;
        }
        return false;
    case kToolRotate:
        if (key == kKeyUp) rec.m_nRotate = Clamp16(rec.m_nRotate + 1LL);
        if (key == kKeyDown) rec.m_nRotate = Clamp16(rec.m_nRotate - 1LL);
        return key == kKeyUp || key == kKeyDown;
    case kToolZoomIn:
    case kToolZoomOut:
        return ZoomKey(rec, key);
    case kToolLocalZoom:
        if (key != kKeyUp && key != kKeyDown) return false;
        ApplyLocalZoom(rec, drag, key == kKeyUp ? 1 : 0);
        return true;
    default:
        return false;
    }
}

} // namespace pw
