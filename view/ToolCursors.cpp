// Tool pointers painted into 32 x 32 pixmaps with a white outline so they show on the white plot.
#include "view/ToolCursors.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include "core/ViewTools.h"

namespace pw {
namespace {

constexpr int kSize = 32;

// Draws the shape twice: a wide white stroke under a narrow black one.
void Outlined(QPainter& p, const QPainterPath& path, qreal width = 1.5) {
    p.strokePath(path, QPen(Qt::white, width + 2.5, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.strokePath(path, QPen(Qt::black, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
}

QPixmap Blank() {
    QPixmap pm(kSize, kSize);
    pm.fill(Qt::transparent);
    return pm;
}

// A magnifying glass whose lens centre (the hot spot) is at (12, 12); sign: '+', '-' or 'r' (rectangle).
QCursor Magnifier(char sign) {
    QPixmap pm = Blank();
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        p.setBrush(QColor(255, 255, 255, 200));
        p.setPen(Qt::NoPen);
        p.drawEllipse(QPointF(12, 12), 8, 8);
        QPainterPath glass;
        glass.addEllipse(QPointF(12, 12), 8, 8);
        Outlined(p, glass);
        QPainterPath handle;
        handle.moveTo(18, 18);
        handle.lineTo(27, 27);
        Outlined(p, handle, 3.0);
        QPainterPath mark;
        if (sign == 'r') {
            mark.addRect(QRectF(8, 9, 8, 6));
        } else {
            mark.moveTo(8, 12);
            mark.lineTo(16, 12);
            if (sign == '+') {
                mark.moveTo(12, 8);
                mark.lineTo(12, 16);
            }
        }
        p.strokePath(mark, QPen(Qt::black, 1.5));
    }
    return QCursor(pm, 12, 12);
}

// Four arrows from the centre (16, 16).
QCursor Translate() {
    QPixmap pm = Blank();
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.moveTo(16, 3);
        path.lineTo(16, 29);
        path.moveTo(3, 16);
        path.lineTo(29, 16);
        const QPointF tips[4] = {{16, 3}, {16, 29}, {3, 16}, {29, 16}};
        const QPointF dirs[4] = {{0, 1}, {0, -1}, {1, 0}, {-1, 0}};
        for (int i = 0; i < 4; ++i) {
            const QPointF side(dirs[i].y(), dirs[i].x());
            path.moveTo(tips[i] + 5 * dirs[i] + 4 * side);
            path.lineTo(tips[i]);
            path.lineTo(tips[i] + 5 * dirs[i] - 4 * side);
        }
        Outlined(p, path);
    }
    return QCursor(pm, 16, 16);
}

// A vertical bar with arrows left and right: the marker under the pointer can be moved sideways.
QCursor Marker() {
    QPixmap pm = Blank();
    {
        QPainter p(&pm);
        p.setRenderHint(QPainter::Antialiasing);
        QPainterPath path;
        path.moveTo(16, 4);
        path.lineTo(16, 28);
        path.moveTo(5, 16);
        path.lineTo(27, 16);
        path.moveTo(9, 12);
        path.lineTo(5, 16);
        path.lineTo(9, 20);
        path.moveTo(23, 12);
        path.lineTo(27, 16);
        path.lineTo(23, 20);
        Outlined(p, path);
    }
    return QCursor(pm, 16, 16);
}

} // namespace

QCursor ToolCursor(int tool) {
    switch (tool) {
    case kToolTranslate: {
        static const QCursor c = Translate();
        return c;
    }
    case kToolRotate:
        return QCursor(Qt::SizeVerCursor); // the rotation follows vertical movement
    case kToolZoomIn: {
        static const QCursor c = Magnifier('+');
        return c;
    }
    case kToolZoomOut: {
        static const QCursor c = Magnifier('-');
        return c;
    }
    case kToolLocalZoom: {
        static const QCursor c = Magnifier('r');
        return c;
    }
    default:
        return QCursor(Qt::ArrowCursor);
    }
}

QCursor MarkerCursor() {
    static const QCursor c = Marker();
    return c;
}

} // namespace pw
