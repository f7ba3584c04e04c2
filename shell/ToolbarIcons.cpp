// Each icon is drawn on an 18x18 grid (painted at twice the size for sharp high-density screens):
// simple pictograms in a few colours, so the two bars read at a glance.
#include "shell/ToolbarIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

#include <cmath>

#include "core/CommandIds.h"
#include "shell/ShellCommandIds.h"

namespace pw {
namespace {

const QColor kInk(40, 40, 40);
const QColor kBlue(30, 90, 190);
const QColor kRed(200, 40, 40);
const QColor kGreen(30, 140, 60);
const QColor kPaper(250, 250, 245);

// A small wave across the box, used by the trace commands.
QPainterPath Wave(double x0, double x1, double yMid, double amp, double cycles, bool invert = false) {
    QPainterPath path;
    const int n = 40;
    for (int i = 0; i <= n; ++i) {
        const double t = double(i) / n;
        const double decay = std::exp(-2.0 * t);
        const double y = yMid + (invert ? 1 : -1) * amp * decay * std::sin(t * cycles * 2 * M_PI);
        const double x = x0 + t * (x1 - x0);
        i == 0 ? path.moveTo(x, y) : path.lineTo(x, y);
    }
    return path;
}

void Page(QPainter& p, QRectF r) {
    p.setPen(QPen(kInk, 1));
    p.setBrush(kPaper);
    p.drawRect(r);
}

void Magnifier(QPainter& p, QPointF c, double r, const QString& sign) {
    p.setPen(QPen(kInk, 1.6));
    p.setBrush(QColor(220, 235, 255));
    p.drawEllipse(c, r, r);
    p.drawLine(c + QPointF(r * 0.7, r * 0.7), c + QPointF(r * 1.6, r * 1.6));
    p.setPen(QPen(kBlue, 1.6));
    if (sign.contains('-') || sign.contains('+'))
        p.drawLine(c - QPointF(r * 0.5, 0), c + QPointF(r * 0.5, 0));
    if (sign.contains('+')) p.drawLine(c - QPointF(0, r * 0.5), c + QPointF(0, r * 0.5));
}

void Letters(QPainter& p, QRectF r, const QString& text, const QColor& color, double size = 7) {
    QFont f(QStringLiteral("DejaVu Sans"));
    f.setPixelSize(int(size));
    f.setBold(true);
    p.setFont(f);
    p.setPen(color);
    p.drawText(r, Qt::AlignCenter, text);
}

// False when the command has no button picture.
bool DrawIcon(QPainter& p, int id) {
    p.setBrush(Qt::NoBrush);
    switch (id) {
    case cmd::kOpen:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(240, 200, 90));
        p.drawPolygon(QPolygonF({{1.5, 4.5}, {6.5, 4.5}, {8, 6}, {15.5, 6}, {15.5, 14.5}, {1.5, 14.5}}));
        p.setBrush(QColor(250, 220, 120));
        p.drawPolygon(QPolygonF({{3.5, 8.5}, {17, 8.5}, {15.5, 14.5}, {1.5, 14.5}}));
        break;
    case cmd::kSave:
    case cmd::kSaveSelectedTraces:
        p.setPen(QPen(kInk, 1));
        p.setBrush(kBlue);
        p.drawRect(QRectF(2.5, 2.5, 13, 13));
        p.setBrush(kPaper);
        p.drawRect(QRectF(5, 3, 8, 5));
        p.setBrush(QColor(200, 200, 200));
        p.drawRect(QRectF(5.5, 11, 7, 4.5));
        if (id == cmd::kSaveSelectedTraces) {
            p.setPen(QPen(kGreen, 2));
            p.drawPolyline(QPolygonF({{9, 13}, {12, 16}, {17, 9}}));
        }
        break;
    case cmd::kWordReport:
    case cmd::kExcelTable:
        Page(p, QRectF(3.5, 1.5, 11, 15));
        if (id == cmd::kWordReport) {
            Letters(p, QRectF(3.5, 2, 11, 14), QStringLiteral("W"), kBlue, 9);
        } else {
            p.setPen(QPen(kGreen, 1));
            for (double y = 5.5; y < 16; y += 3)
                p.drawLine(QPointF(5, y), QPointF(13, y));
            p.drawLine(QPointF(8.5, 4), QPointF(8.5, 15));
        }
        break;
    case cmd::kProjectInfo:
        p.setPen(QPen(kBlue, 1.2));
        p.setBrush(QColor(225, 238, 255));
        p.drawEllipse(QPointF(9, 9), 7, 7);
        Letters(p, QRectF(2, 2, 14, 14), QStringLiteral("i"), kBlue, 10);
        break;
    case cmd::kDeletePile:
        p.setPen(QPen(kInk, 1.2));
        p.drawPath(Wave(1, 17, 9, 6, 2.5));
        p.setPen(QPen(kRed, 2));
        p.drawLine(QPointF(10, 10), QPointF(16.5, 16.5));
        p.drawLine(QPointF(16.5, 10), QPointF(10, 16.5));
        break;
    case cmd::kPrint:
    case cmd::kPrintSetup:
        Page(p, QRectF(5.5, 1.5, 7, 6));
        p.setBrush(QColor(190, 190, 190));
        p.drawRect(QRectF(1.5, 7.5, 15, 6));
        Page(p, QRectF(4.5, 11.5, 9, 5));
        if (id == cmd::kPrintSetup) {
            p.setPen(QPen(kBlue, 1.5));
            p.drawLine(QPointF(12, 2), QPointF(17, 2));
            p.drawLine(QPointF(12, 5), QPointF(17, 5));
        }
        break;
    case cmd::kPrintPreview:
        Page(p, QRectF(2.5, 1.5, 10, 14));
        Magnifier(p, QPointF(10.5, 9.5), 3.5, {});
        break;
    case cmd::kVariableArea: {
        QPainterPath w = Wave(1, 17, 9, 7, 2.5);
        p.save();
        p.setClipRect(QRectF(0, 0, 18, 9));
        QPainterPath area = w;
        area.lineTo(17, 9);
        area.lineTo(1, 9);
        p.fillPath(area, kInk);
        p.restore();
        p.setPen(QPen(kInk, 1));
        p.drawPath(w);
        break;
    }
    case cmd::kRemoveDC:
        p.setPen(QPen(kInk, 1.2));
        p.drawPath(Wave(1, 17, 5, 3.5, 2.5));
        p.setPen(QPen(kRed, 1, Qt::DashLine));
        p.drawLine(QPointF(1, 5), QPointF(17, 5));
        Letters(p, QRectF(0, 9, 18, 9), QStringLiteral("DC"), kRed, 8);
        break;
    case cmd::kInvert:
        p.setPen(QPen(kInk, 1.2));
        p.drawPath(Wave(1, 12, 9, 7, 2));
        p.setPen(QPen(kBlue, 1.5));
        p.drawLine(QPointF(15, 2), QPointF(15, 16));
        p.drawPolyline(QPolygonF({{13, 4.5}, {15, 2}, {17, 4.5}}));
        p.drawPolyline(QPolygonF({{13, 13.5}, {15, 16}, {17, 13.5}}));
        break;
    case cmd::kIntegrate:
        Letters(p, QRectF(0, 0, 18, 18), QString(QChar(0x222B)), kBlue, 16);
        break;
    case cmd::kScale:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(245, 225, 150));
        p.drawRect(QRectF(1.5, 6.5, 15, 6));
        for (int x = 3; x < 17; x += 2)
            p.drawLine(QPointF(x + 0.5, 6.5), QPointF(x + 0.5, x % 4 == 3 ? 10 : 8.5));
        break;
    case cmd::kGain:
        p.setPen(QPen(kInk, 1.2));
        p.drawPath(Wave(1, 17, 9, 3, 2.5));
        p.setPen(QPen(kGreen, 1.6));
        p.drawLine(QPointF(9, 1.5), QPointF(9, 16.5));
        p.drawPolyline(QPolygonF({{6.5, 4}, {9, 1.5}, {11.5, 4}}));
        p.drawPolyline(QPolygonF({{6.5, 14}, {9, 16.5}, {11.5, 14}}));
        break;
    case cmd::kFilter:
        p.setPen(QPen(kInk, 1));
        p.setBrush(QColor(200, 225, 255));
        p.drawPolygon(
            QPolygonF({{1.5, 2.5}, {16.5, 2.5}, {10.5, 9.5}, {10.5, 15.5}, {7.5, 15.5}, {7.5, 9.5}}));
        break;
    case cmd::kPreZero:
    case cmd::kPostCut: {
        const bool pre = id == cmd::kPreZero;
        p.setPen(QPen(kInk, 1.2));
        p.drawPath(Wave(1, 17, 9, 6, 2.5));
        p.fillRect(pre ? QRectF(0, 0, 6, 18) : QRectF(12, 0, 6, 18), QColor(255, 255, 255, 210));
        p.setPen(QPen(kRed, 1.5));
        p.drawLine(QPointF(pre ? 6 : 12, 1), QPointF(pre ? 6 : 12, 17));
        p.drawLine(pre ? QPointF(0.5, 9) : QPointF(12, 9), pre ? QPointF(6, 9) : QPointF(17.5, 9));
        break;
    }
    case cmd::kSmooth: {
        p.setPen(QPen(QColor(150, 150, 150), 1));
        QPolygonF rough;
        for (int i = 0; i <= 16; ++i)
            rough << QPointF(1 + i, 9 + ((i % 2) ? -3.0 : 3.0) * (i % 3 ? 1 : 0.5));
        p.drawPolyline(rough);
        p.setPen(QPen(kBlue, 1.6));
        p.drawPath(Wave(1, 17, 9, 2, 1));
        break;
    }
    case cmd::kAverage:
        p.setPen(QPen(QColor(150, 150, 150), 1));
        p.drawPath(Wave(1, 17, 7, 5, 2));
        p.drawPath(Wave(1, 17, 11, 5, 2.2));
        p.setPen(QPen(kBlue, 1.6));
        p.drawPath(Wave(1, 17, 9, 5, 2.1));
        break;
    case cmd::kUndo:
    case cmd::kRedo: {
        // A hooked arrow: back to the left for undo, on to the right for redo.
        const bool undo = id == cmd::kUndo;
        p.setPen(QPen(kBlue, 1.8));
        p.setBrush(Qt::NoBrush);
        QPainterPath hook;
        hook.moveTo(undo ? 4 : 14, 7);
        hook.lineTo(undo ? 11 : 7, 7);
        hook.cubicTo(undo ? 17 : 1, 7, undo ? 17 : 1, 15, undo ? 11 : 7, 15);
        hook.lineTo(undo ? 6 : 12, 15);
        p.drawPath(hook);
        const QPointF tip(undo ? 3.5 : 14.5, 7);
        const double back = undo ? 3.5 : -3.5;
        p.drawPolyline(QPolygonF({tip + QPointF(back, -3.2), tip, tip + QPointF(back, 3.2)}));
        break;
    }
    case cmd::kRestore:
    case cmd::kToolRotate: {
        p.setPen(QPen(id == cmd::kRestore ? kGreen : kBlue, 1.8));
        p.drawArc(QRectF(3, 3, 12, 12), 60 * 16, 280 * 16);
        const QPointF tip(12, 3.8);
        p.drawPolyline(QPolygonF({tip + QPointF(-3.5, -2), tip, tip + QPointF(-2, 3)}));
        if (id == cmd::kRestore) Letters(p, QRectF(3, 3, 12, 12), QStringLiteral("P"), kGreen, 7);
        break;
    }
    case cmd::kSingleTrace:
    case cmd::kThreeTraces:
    case cmd::kWaveTrain: {
        const int n = id == cmd::kSingleTrace ? 1 : id == cmd::kThreeTraces ? 3 : 6;
        p.setPen(QPen(kInk, 1));
        if (n <= 3) {
            const double h = 16.0 / n;
            for (int i = 0; i < n; ++i) {
                p.setPen(QPen(kInk, 1));
                p.drawRect(QRectF(1.5, 1.5 + i * h, 15, h - 1));
                p.setPen(QPen(kBlue, 1));
                p.drawPath(Wave(2.5, 15.5, 1.5 + i * h + (h - 1) / 2, (h - 2) / 2, 2));
            }
        } else {
            p.setPen(QPen(kBlue, 0.9));
            for (int i = 0; i < n; ++i)
                p.drawPath(Wave(1, 17, 2.5 + i * 2.6, 2, 2));
        }
        break;
    }
    case cmd::kAmplitudeSpectrum:
    case cmd::kPowerSpectrum: {
        const bool power = id == cmd::kPowerSpectrum;
        const double heights[] = {4, 10, 14, 9, 6, 3, 2};
        p.setPen(QPen(kInk, 1));
        p.drawLine(QPointF(1.5, 16.5), QPointF(16.5, 16.5));
        for (int i = 0; i < 7; ++i) {
            double h = heights[i];
            if (power) h = h * h / 14.0;
            p.fillRect(QRectF(2 + i * 2, 16 - h, 1.5, h), power ? kRed : kBlue);
        }
        break;
    }
    case cmd::kToolShift:
        p.setPen(QPen(kBlue, 1.5));
        p.drawLine(QPointF(9, 1.5), QPointF(9, 16.5));
        p.drawLine(QPointF(1.5, 9), QPointF(16.5, 9));
        p.drawPolyline(QPolygonF({{7, 3.5}, {9, 1.5}, {11, 3.5}}));
        p.drawPolyline(QPolygonF({{7, 14.5}, {9, 16.5}, {11, 14.5}}));
        p.drawPolyline(QPolygonF({{3.5, 7}, {1.5, 9}, {3.5, 11}}));
        p.drawPolyline(QPolygonF({{14.5, 7}, {16.5, 9}, {14.5, 11}}));
        break;
    case cmd::kToolZoomIn:
        Magnifier(p, QPointF(7.5, 7.5), 5, QStringLiteral("+"));
        break;
    case cmd::kToolZoomOut:
        Magnifier(p, QPointF(7.5, 7.5), 5, QStringLiteral("-"));
        break;
    case cmd::kToolLocalZoom:
        p.setPen(QPen(kInk, 1));
        p.drawPath(Wave(1, 17, 9, 7, 2.5));
        p.setPen(QPen(kRed, 1, Qt::DashLine));
        p.drawRect(QRectF(5.5, 3.5, 7, 11));
        break;
    default:
        return false;
    }
    return true;
}

} // namespace

QIcon ToolbarIcon(int id) {
    QPixmap pixmap(36, 36);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.scale(2, 2);
    const bool drawn = DrawIcon(p, id);
    p.end();
    if (!drawn) return {};
    pixmap.setDevicePixelRatio(2);
    return QIcon(pixmap);
}

} // namespace pw
