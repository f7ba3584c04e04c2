// The waveform view's layouts drawn for a client area of a given size, on the screen or into any other
// paint device: the white background, then the painter of the project's layout.
#pragma once

#include <QPainter>
#include <QSize>

#include "view/CLayoutPainter.h"
#include "view/CPlotFonts.h"
#include "view/ViewState.h"

namespace pw {

class CDEVAzazDoc;

class CLayoutRenderer {
public:
    CLayoutRenderer(CDEVAzazDoc& doc, ViewState& state, const CPlotFonts& fonts);

    // Fills the client area (and 200 units to its right) white and draws the project's layout, with
    // the painter's origin at the client's top left. scrollY is the layout y at the client's top (the
    // wave train scrolls; the other layouts fill the client). screen: draw the current-row indicator.
    // The cursor line is not part of this picture.
    void Render(QPainter& painter, QSize client, int scrollY, bool screen);

    // Where the cursor line runs in the current layout (the three-trace layout: the current third only).
    CursorSpan CursorExtent(QSize client) const;

    // Current third the three-trace layout uses: the stored one, within the rows the pile count fills.
    int EffectiveThird() const;

    // The painter of the project's current layout.
    CLayoutPainter& Painter() const;

private:
    CDEVAzazDoc& m_Doc;
    ViewState& m_State;
    mutable CSingleTracePainter m_Single;
    mutable CThreeTracePainter m_Three;
    mutable CWaveTrainPainter m_Train;
    mutable CSpectrumPainter m_Amplitude;
    mutable CSpectrumPainter m_Power;
};

} // namespace pw
