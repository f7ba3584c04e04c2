// One painter per layout of the waveform view: single trace, three traces, wave train and spectrum.
// Each draws its layout over the white client and answers where the cursor line runs and what a
// cursor column hits there (the arithmetic itself is LayoutGeometry's, shared with the marker editor).
#pragma once

#include <QPainter>
#include <QSize>

#include "view/CPlotFonts.h"
#include "view/LayoutGeometry.h"
#include "view/ViewState.h"

namespace pw {

class CDEVAzazDoc;
class CPileRecord;

class CLayoutPainter {
public:
    CLayoutPainter(CDEVAzazDoc& doc, ViewState& state, const CPlotFonts& fonts)
        : m_Doc(doc), m_State(state), m_Fonts(fonts) {}
    virtual ~CLayoutPainter() = default;

    virtual Layout Kind() const = 0;
    // Draws the layout; the painter's origin is the client's top left, the background is already white.
    // scrollY: layout y at the client's top (only the wave train scrolls). screen: window only marks.
    virtual void Render(QPainter& painter, QSize client, int scrollY, bool screen) = 0;

    CursorSpan CursorExtent(QSize client) const;
    int HitTest(const CPileRecord& rec, int cursorX) const { return pw::HitTest(Kind(), rec, cursorX); }

protected:
    ViewGeometry Geometry(QSize client) const;

    CDEVAzazDoc& m_Doc;
    ViewState& m_State;
    const CPlotFonts& m_Fonts;
};

class CSingleTracePainter : public CLayoutPainter {
public:
    using CLayoutPainter::CLayoutPainter;
    Layout Kind() const override { return Layout::Single; }
    void Render(QPainter& painter, QSize client, int scrollY, bool screen) override;
};

class CThreeTracePainter : public CLayoutPainter {
public:
    using CLayoutPainter::CLayoutPainter;
    Layout Kind() const override { return Layout::ThreeTraces; }
    void Render(QPainter& painter, QSize client, int scrollY, bool screen) override;
};

class CWaveTrainPainter : public CLayoutPainter {
public:
    using CLayoutPainter::CLayoutPainter;
    Layout Kind() const override { return Layout::WaveTrain; }
    // Also records the train's area in the view state, where the cursor and its readout read it.
    void Render(QPainter& painter, QSize client, int scrollY, bool screen) override;
};

// The amplitude (layout 3) or power (layout 4) spectrum of the current pile in the box (10, 10),
// Wc - 20 by Hc - 20; no parameter band, no current-row indicator.
class CSpectrumPainter : public CLayoutPainter {
public:
    CSpectrumPainter(CDEVAzazDoc& doc, ViewState& state, const CPlotFonts& fonts, Layout kind)
        : CLayoutPainter(doc, state, fonts), m_eKind(kind) {}
    Layout Kind() const override { return m_eKind; }
    void Render(QPainter& painter, QSize client, int scrollY, bool screen) override;

private:
    Layout m_eKind;
};

} // namespace pw
