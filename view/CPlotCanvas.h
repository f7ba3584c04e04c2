// The drawing primitives every plot goes through: lines with optional software clipping, frames,
// filled rectangles and text in the five text styles, over any QPainter (widget, QImage, printer) and
// parameterised by the pen, x and y scale factors.
#pragma once

#include <vector>

#include <QColor>
#include <QPainter>
#include <QPen>
#include <QPoint>
#include <QRect>
#include <QSizeF>
#include <QString>

#include "view/CPlotFonts.h"
#include "view/ViewState.h"

namespace pw {

// Text styles: 0 plain, 1 legend, 2 vertical (paper: reads downwards), 3 vertical, 4 title.
enum TextStyle : int {
    kTextPlain = 0,
    kTextLegend = 1,
    kTextVertical = 2,
    kTextVerticalUp = 3,
    kTextTitle = 4
};

// Colours of the plots.
inline const QColor kColorBackground(255, 255, 255);
inline const QColor kColorTrace(0, 0, 255);
inline const QColor kColorBlack(0, 0, 0);
inline const QColor kColorDefect(0, 200, 0);
inline const QColor kColorMark(192, 0, 168);
inline const QColor kColorCursor(0, 255, 0);
inline const QColor kColorIndicator(221, 0, 221);
inline const QColor kColorZoomRect(0, 255, 255);

class CPlotCanvas {
public:
    // screen: the picture is for the window (the current-row indicator is drawn only there).
    CPlotCanvas(QPainter& painter, const CPlotFonts& fonts, PlotScale scale = {}, bool screen = true);

    QPainter& Painter() { return m_Painter; }
    const PlotScale& Scale() const { return m_Scale; }
    bool IsScreen() const { return m_bScreen; }

    // Height factor k of the paper legend and title fonts, from the print layout's columns and rows:
    // one column and fewer than 6 rows 1.0; one column and 6 or more 0.6; two columns 1.4; three 1.7;
    // any other count 0, the font's default height (taken as the plain style's height).
    void SetPaperGrid(int columns, int rows);
    // On paper: logical units per millimetre. Thin pens and the dots of dotted pens are then given in
    // millimetres, as one device pixel of a 1200 dpi printer is a hairline and its dots run together.
    void SetPaperUnits(double unitsPerMm) { m_fUnitsPerMm = unitsPerMm; }

    // Clip to the box (x, y, w, h in logical units; w and h may be negative on a page whose y axis
    // points up) enlarged by half the pen scale. A box with a positive origin clips on the device;
    // any other switches on software clipping of lines and text against the box.
    void BeginClip(int x, int y, int w, int h);
    void EndClip();
    bool SoftwareClipping() const { return m_bSoftClip; }

    QPen SolidPen(const QColor& c, int width) const;
    QPen DottedPen(const QColor& c, int width) const;
    void SetPen(const QPen& pen) { m_Painter.setPen(pen); }

    void Line(int x0, int y0, int x1, int y1);
    void Polyline(const std::vector<QPoint>& points);
    void Lines(const std::vector<QLine>& lines);
    // Frame of the rectangle x, y, w, h (logical units, w and h already scaled), 2 x pen scale wide.
    void Frame(int x, int y, int w, int h);
    void FillRect(int x, int y, int w, int h, const QColor& c);
    // Text with the top left of its cell at x, y (before rotation) in one of the five styles.
    void Text(int x, int y, const QString& s, int style);
    // The same at a font height of its own (logical units) instead of the style's.
    void Text(int x, int y, const QString& s, int style, int height);

    // A style's font height (logical units) and escapement (tenths of a degree, counter-clockwise).
    int StyleHeight(int style) const { return StyleFont(style).m_nHeight; }
    int StyleEscapement(int style) const { return StyleFont(style).m_nEscapement; }
    // The smallest text a reader is given, in logical units: 7 pt on paper, 9 pixels elsewhere.
    int MinTextHeight() const;
    // Width in logical units of s in a style's face at a font height (logical units), measured as this
    // device draws it (the font at the device's pixel size).
    double TextWidth(const QString& s, int style, int height) const;
    // How far a text of a style runs along its line and the height of its cell, logical units.
    QSizeF TextExtent(const QString& s, int style) const;

    // The last end point the line routine drew to.
    QPoint LastPoint() const { return m_LastPoint; }

private:
    PlotFont StyleFont(int style) const;
    bool InsideClip(double x, double y) const;
    void ClippedLine(int x0, int y0, int x1, int y1);

    QPainter& m_Painter;
    const CPlotFonts& m_Fonts;
    PlotScale m_Scale;
    bool m_bScreen;
    double m_fPaperK = 1.0;
    double m_fUnitsPerMm = 0; // 0: screen and pictures, pens in pixels
    bool m_bSoftClip = false;
    bool m_bDeviceClip = false;
    QRect m_ClipBox; // normalised, edges inclusive
    QPoint m_LastPoint;
};

} // namespace pw
