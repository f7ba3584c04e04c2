// Drawing primitives with software clipping and the five text styles (see CPlotCanvas.h).
#include "view/CPlotCanvas.h"

#include <algorithm>
#include <cmath>

#include <QFontMetricsF>
#include <QTransform>

namespace pw {
namespace {

// Where the top of a text cell lies above the baseline, as a fraction of the cell height: the
// proportions of the classic Chinese screen faces, whose ideographs fill the cell. The CJK faces we
// draw with have taller ascents, so their own metrics would push every label down.
constexpr double kAscentRatio = 0.86;

} // namespace

CPlotCanvas::CPlotCanvas(QPainter& painter, const CPlotFonts& fonts, PlotScale scale, bool screen)
    : m_Painter(painter), m_Fonts(fonts), m_Scale(scale), m_bScreen(screen) {}

void CPlotCanvas::SetPaperGrid(int columns, int rows) {
    if (columns == 1)
        m_fPaperK = rows < 6 ? 1.0 : 0.6;
    else if (columns == 2)
        m_fPaperK = 1.4;
    else if (columns == 3)
        m_fPaperK = 1.7;
    else
        m_fPaperK = 0.0;
}

void CPlotCanvas::BeginClip(int x, int y, int w, int h) {
    const int e = m_Scale.nPen / 2;
    m_ClipBox = QRect(QPoint(std::min(x, x + w) - e, std::min(y, y + h) - e),
                      QPoint(std::max(x, x + w) + e, std::max(y, y + h) + e));
    if (x > 0 && y > 0) {
        // The device clip excludes the far edges, as a box's own frame line there is drawn by its
        // neighbour: stacked boxes share one frame line.
        m_Painter.setClipRect(QRect(m_ClipBox.topLeft(), m_ClipBox.bottomRight()).adjusted(0, 0, -1, -1));
        m_bDeviceClip = true;
        m_bSoftClip = false;
    } else {
        m_bSoftClip = true;
        m_bDeviceClip = false;
    }
}

void CPlotCanvas::EndClip() {
    if (m_bDeviceClip) m_Painter.setClipping(false);
    m_bDeviceClip = false;
    m_bSoftClip = false;
}

// A width of 1 or less is the one-pixel cosmetic pen: exact end pixels and the raster engine's
// fastest lines. Wider pens are in logical units, so they scale with a page's mapping. On paper a thin
// pen is 0.1 mm and a dotted one at least 0.15 mm wide with 0.4 mm dots 0.5 mm apart.
QPen CPlotCanvas::SolidPen(const QColor& c, int width) const {
    if (m_fUnitsPerMm > 0 && width <= 1)
        return QPen(c, 0.1 * m_fUnitsPerMm, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
    return QPen(c, width <= 1 ? 0 : width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

QPen CPlotCanvas::DottedPen(const QColor& c, int width) const {
    if (m_fUnitsPerMm > 0) {
        const double w = std::max<double>(width, 0.15 * m_fUnitsPerMm);
        QPen pen(c, w, Qt::CustomDashLine, Qt::FlatCap, Qt::MiterJoin);
        pen.setDashPattern({0.4 * m_fUnitsPerMm / w, 0.5 * m_fUnitsPerMm / w});
        return pen;
    }
    return QPen(c, width <= 1 ? 0 : width, Qt::DotLine, Qt::FlatCap, Qt::MiterJoin);
}

bool CPlotCanvas::InsideClip(double x, double y) const {
    return x >= m_ClipBox.left() && x <= m_ClipBox.right() && y >= m_ClipBox.top() && y <= m_ClipBox.bottom();
}

void CPlotCanvas::ClippedLine(int x0, int y0, int x1, int y1) {
    const bool in0 = InsideClip(x0, y0);
    const bool in1 = InsideClip(x1, y1);
    if (in0 && in1) {
        m_Painter.drawLine(x0, y0, x1, y1);
        return;
    }
    // Intersections of the segment with the four border lines that lie on both the segment and the border.
    const double dx = static_cast<double>(x1) - x0;
    const double dy = static_cast<double>(y1) - y0;
    std::vector<QPoint> hits;
    auto add = [&](double t) {
        if (t < 0.0 || t > 1.0) return;
        const QPoint p(static_cast<int>(std::lround(x0 + t * dx)),
                       static_cast<int>(std::lround(y0 + t * dy)));
        if (!InsideClip(p.x(), p.y())) return;
        if (std::find(hits.begin(), hits.end(), p) == hits.end()) hits.push_back(p);
    };
    if (dx != 0) {
        add((m_ClipBox.left() - x0) / dx);
        add((m_ClipBox.right() - x0) / dx);
    }
    if (dy != 0) {
        add((m_ClipBox.top() - y0) / dy);
        add((m_ClipBox.bottom() - y0) / dy);
    }
    if (in0 || in1) {
        // Drawn from the inside end to the border point farthest from it (the inside end may itself
        // lie on the border).
        const QPoint inside = in0 ? QPoint(x0, y0) : QPoint(x1, y1);
        if (hits.empty()) return;
        QPoint far = hits.front();
        for (const QPoint& h : hits)
            if ((h - inside).manhattanLength() > (far - inside).manhattanLength()) far = h;
        m_Painter.drawLine(inside, far);
    } else if (hits.size() >= 2) {
        m_Painter.drawLine(hits[0], hits[1]);
    }
}

void CPlotCanvas::Line(int x0, int y0, int x1, int y1) {
    if (m_bSoftClip)
        ClippedLine(x0, y0, x1, y1);
    else
        m_Painter.drawLine(x0, y0, x1, y1);
    m_LastPoint = QPoint(x1, y1);
}

void CPlotCanvas::Polyline(const std::vector<QPoint>& points) {
    if (points.size() < 2) return;
    if (m_bSoftClip) {
        for (std::size_t i = 1; i < points.size(); ++i)
            ClippedLine(points[i - 1].x(), points[i - 1].y(), points[i].x(), points[i].y());
    } else {
        m_Painter.drawPolyline(points.data(), static_cast<int>(points.size()));
    }
    m_LastPoint = points.back();
}

void CPlotCanvas::Lines(const std::vector<QLine>& lines) {
    if (lines.empty()) return;
    if (m_bSoftClip) {
        for (const QLine& l : lines)
            ClippedLine(l.x1(), l.y1(), l.x2(), l.y2());
    } else {
        m_Painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    }
    m_LastPoint = lines.back().p2();
}

void CPlotCanvas::Frame(int x, int y, int w, int h) {
    const QPen old = m_Painter.pen();
    QPen pen = SolidPen(kColorBlack, 2 * m_Scale.nPen);
    pen.setCapStyle(Qt::SquareCap); // closed corners
    m_Painter.setPen(pen);
    Line(x, y, x + w, y);
    Line(x + w, y, x + w, y + h);
    Line(x + w, y + h, x, y + h);
    Line(x, y + h, x, y);
    m_Painter.setPen(old);
}

void CPlotCanvas::FillRect(int x, int y, int w, int h, const QColor& c) {
    m_Painter.fillRect(QRect(QPoint(std::min(x, x + w), std::min(y, y + h)), QSize(std::abs(w), std::abs(h))),
                       c);
}

PlotFont CPlotCanvas::StyleFont(int style) const {
    if (m_Scale.nPen == 1) { // screen: the prebuilt fonts
        switch (style) {
        case kTextLegend:
            return m_Fonts.At(2);
        case kTextVertical:
        case kTextVerticalUp:
            return m_Fonts.At(6);
        case kTextTitle:
            return m_Fonts.At(4);
        default:
            return m_Fonts.At(0);
        }
    }
    const int e = m_Scale.nPen;
    const int plain = 10 * e;
    const int scaled = m_fPaperK > 0 ? static_cast<int>(16 * e * m_fPaperK) : plain;
    switch (style) {
    case kTextLegend:
        return MakePlotFont(kFaceArial, scaled, 0);
    case kTextVertical:
        return MakePlotFont(kFaceArial, plain, -900);
    case kTextVerticalUp:
        return MakePlotFont(kFaceArial, plain, 900);
    case kTextTitle:
        return MakePlotFont(kFaceKai, scaled, 0, 90);
    default:
        return MakePlotFont(kFaceArial, plain, 0);
    }
}

int CPlotCanvas::MinTextHeight() const {
    constexpr double kMinPoints = 7.0, kMinPixels = 9.0;
    return m_fUnitsPerMm > 0 ? static_cast<int>(std::ceil(kMinPoints * 25.4 / 72.0 * m_fUnitsPerMm))
                             : static_cast<int>(kMinPixels);
}

double CPlotCanvas::TextWidth(const QString& s, int style, int height) const {
    const double unit = std::sqrt(std::abs(m_Painter.combinedTransform().determinant()));
    if (!(unit > 0) || s.isEmpty()) return 0;
    QFont font = StyleFont(style).m_Font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(height * unit))));
    return QFontMetricsF(font).horizontalAdvance(s) / unit;
}

QSizeF CPlotCanvas::TextExtent(const QString& s, int style) const {
    const int height = StyleHeight(style);
    return QSizeF(TextWidth(s, style, height), height);
}

void CPlotCanvas::Text(int x, int y, const QString& s, int style) { Text(x, y, s, style, StyleHeight(style)); }

void CPlotCanvas::Text(int x, int y, const QString& s, int style, int height) {
    if (s.isEmpty()) return;
    PlotFont pf = StyleFont(style);
    pf.m_nHeight = height;
    const QTransform t = m_Painter.combinedTransform();
    const double unit = std::sqrt(std::abs(t.determinant())); // device pixels per logical unit
    if (!(unit > 0)) return;
    QFont font = pf.m_Font;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(pf.m_nHeight * unit))));

    QString text = s;
    if (m_bSoftClip) {
        // A string wholly above or below the box is dropped; one crossing the left or right border
        // loses characters from that side until the rest fits (a surrogate pair goes as one).
        const int top = m_Scale.nY < 0 ? y - pf.m_nHeight : y;
        if (top > m_ClipBox.bottom() || top + pf.m_nHeight < m_ClipBox.top()) return;
        if (pf.m_nEscapement == 0) {
            const QFontMetricsF fm(font);
            auto width = [&](const QString& str) { return fm.horizontalAdvance(str) / unit; };
            while (!text.isEmpty() && x < m_ClipBox.left()) {
                const int n = text.size() > 1 && text[0].isHighSurrogate() ? 2 : 1;
                x += static_cast<int>(width(text.left(n)));
                text.remove(0, n);
            }
            while (!text.isEmpty() && x + width(text) > m_ClipBox.right() + 1) {
                const int n = text.size() > 1 && text[text.size() - 1].isLowSurrogate() ? 2 : 1;
                text.chop(n);
            }
            if (text.isEmpty()) return;
        } else if (!InsideClip(x, y)) {
            return;
        }
    }

    const QPen old = m_Painter.pen();
    m_Painter.setPen(kColorBlack);
    m_Painter.setFont(font);
    const double baseline = kAscentRatio * font.pixelSize();
    if (t.type() <= QTransform::TxTranslate && pf.m_nEscapement == 0) {
        m_Painter.drawText(QPointF(x, y + baseline), text);
    } else {
        // Draw in device pixels so that a page whose y axis points up does not mirror the glyphs.
        const QPointF at = t.map(QPointF(x, y));
        m_Painter.save();
        m_Painter.setViewTransformEnabled(false);
        m_Painter.setWorldTransform(QTransform());
        m_Painter.translate(at);
        m_Painter.rotate(-pf.m_nEscapement / 10.0);
        m_Painter.drawText(QPointF(0, baseline), text);
        m_Painter.restore();
    }
    m_Painter.setPen(old);
}

} // namespace pw
