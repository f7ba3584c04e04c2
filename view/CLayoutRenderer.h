// The trace layouts of the waveform view (single trace, three traces, wave train) drawn for a client
// area of a given size, on the screen or into any other paint device.
#pragma once

#include <QPainter>
#include <QSize>

#include "view/CPlotFonts.h"
#include "view/ViewState.h"

namespace pw {

class CDEVAzazDoc;

// Vertical extent of the cursor line in the current layout, client coordinates of the layout.
struct CursorSpan {
    int nTop = 0;
    int nBottom = 0;
};

class CLayoutRenderer {
public:
    CLayoutRenderer(CDEVAzazDoc& doc, ViewState& state, const CPlotFonts& fonts)
        : m_Doc(doc), m_State(state), m_Fonts(fonts) {}

    // Fills the client area (and 200 units to its right) white and draws the project's layout, with
    // the painter's origin at the client's top left. scrollY is the layout y at the client's top (the
    // wave train scrolls; the other layouts fill the client). screen: draw the current-row indicator.
    // The cursor line is not part of this picture.
    void Render(QPainter& painter, QSize client, int scrollY, bool screen);

    // Where the cursor line runs in the current layout (the three-trace layout: the current third only).
    CursorSpan CursorExtent(QSize client) const;

    // Current third the three-trace layout uses: the stored one, within the rows the pile count fills.
    int EffectiveThird() const;

private:
    CDEVAzazDoc& m_Doc;
    ViewState& m_State;
    const CPlotFonts& m_Fonts;
};

} // namespace pw
