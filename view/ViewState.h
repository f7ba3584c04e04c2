// The waveform view's state that the plotting routines read: scale factors and the per-view fields
// (current third, cursor, drag rectangle, wave-train area, export sizes, label mode).
#pragma once

namespace pw {

// Multipliers of pen widths and of every distance given in plot units. 1, 1, 1 on screen; the printed
// page sets them (its y scale is negative because the page's y axis points up).
struct PlotScale {
    int nPen = 1;
    int nX = 1;
    int nY = 1;
};

struct ViewState {
    int m_nLeftMargin = 10; // origin of all screen layouts, pixels
    int m_nTopMargin = 10;
    int m_nThird = 2; // row of the three-trace layout that holds the current pile, 1..3

    // Measuring cursor; -1 = no cursor. The marker logic keeps the grabbed marker (-1 none, 1000 head,
    // 1001 toe, 0..9 a defect) and its interaction state (-1 idle, 3 grabbed).
    int m_nCursorX = -1, m_nCursorY = -1;
    int m_nGrabbed = -1;
    int m_nInteraction = -1;

    // Mouse drag of the translate, rotate and local-zoom tools: press point and current point.
    int m_bDragging = 0;
    int m_nDragX0 = 0, m_nDragY0 = 0, m_nDragX1 = 0, m_nDragY1 = 0;

    // Wave-train area, rewritten by every paint of that layout.
    int m_nTrainX0 = 10, m_nTrainY0 = 10, m_nTrainX1 = 522, m_nTrainY1 = 522;

    // Picture size of the bitmap export and of the spectrum-plus-trace picture, pixels.
    int m_nExportWidth = 512, m_nExportHeight = 200, m_nExportGap = 3;
    int m_nBinWidth = 5; // pixels per spectrum bin

    // Direction of vertical labels: 2 on screen, 1 in print preview, 0 when printing.
    int m_nLabelMode = 2;
};

} // namespace pw
