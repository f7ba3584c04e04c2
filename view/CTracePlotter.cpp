// Plotting of one trace, its marks and defects, the parameter texts and the wave train.
#include "view/CTracePlotter.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/CDEVAzazDoc.h"
#include "core/CPileRecord.h"
#include "core/PlotGeometry.h"
#include "dsp/Round1.h"
#include "view/CellLayout.h"
#include "view/ViewTexts.h"

namespace pw {
namespace {

QString Printf(const char* label, const char* format, double value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return QString::fromUtf8(label) + QString::fromUtf8(buf);
}

QString PrintfInt(const char* label, const char* format, int value) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, value);
    return QString::fromUtf8(label) + QString::fromUtf8(buf);
}

QString LengthText(const char* label, double metres) {
    return QString::fromUtf8(label) + QString::fromStdString(Round1Text(metres)) + QStringLiteral("m");
}

} // namespace

std::array<QString, 10> ParameterTexts(const CPileRecord& rec) {
    return {LengthText(vtext::kLength, rec.m_fPileLength),
            PrintfInt(vtext::kSpeed, "%dm/s", rec.m_nWaveSpeed),
            Printf(vtext::kGain, "%.1f", rec.m_fGain),
            PrintfInt(vtext::kPasses, "%d", rec.m_nLowPassPasses),
            Printf(vtext::kHighPass, "%.1f", rec.m_fHighPass),
            Printf(vtext::kLowPass, "%.1f", rec.m_fLowPass),
            PrintfInt(vtext::kPreZero, "%d", rec.m_nPreZero),
            PrintfInt(vtext::kPostCut, "%d", rec.m_nPostCut),
            PrintfInt(vtext::kShiftY, "%d", rec.m_nShiftY),
            PrintfInt(vtext::kRotate, "%d", rec.m_nRotate)};
}

TracePlacement CTracePlotter::PlotTrace(const TraceBox& box, const CPileRecord& rec, const float* trace,
                                        const TraceOptions& opt) {
    const PlotScale& sc = m_Canvas.Scale();
    const int xs = sc.nX, ys = sc.nY;
    const int x0 = box.nX, y0 = box.nY, w = box.nW, h = box.nH;
    m_Canvas.BeginClip(x0, y0, w * xs, h * ys);
    m_Canvas.Frame(x0, y0, w * xs, h * ys);

    TracePlacement out;
    out.nStep = PlotStep(rec);
    const int step = out.nStep;
    const TraceRange range = FindTraceRange(trace, kSamples, step);
    const double peak =
        std::max(std::fabs(static_cast<double>(range.fMax)), std::fabs(static_cast<double>(range.fMin)));
    out.fScale = AmplitudeScale(h, peak);
    out.nMiddleY = y0 + ys * (h / 2);
    out.nZeroY = ZeroLineY(y0, h, rec.m_nShiftY, ys);

    m_Canvas.SetPen(m_Canvas.DottedPen(kColorBlack, 0));
    m_Canvas.Line(x0, out.nMiddleY, x0 + w * xs, out.nMiddleY);

    const double zoom = ZoomFactor(rec.m_nZoom);
    auto yOf = [&](int s) { return SampleY(out.nZeroY, ys, trace[s], opt.nPolarity, zoom, out.fScale); };
    const int offset = rec.m_nShiftX;
    m_Canvas.SetPen(m_Canvas.SolidPen(kColorTrace, sc.nPen));
    if (offset > 0) m_Canvas.Line(x0, out.nZeroY, x0 + std::min(offset, w) * xs, out.nZeroY);

    // The polyline ends post-cut samples before the end of the trace; the column arithmetic keeps
    // every index inside it whatever the file held.
    const TraceColumns cols = TracePolyline(w, offset, step, PlotPostCut(rec));
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(cols.Count()) + 1);
    out.nEndSample = -1;
    for (int i = cols.nFirst; i < cols.nEnd; ++i) {
        const int s = cols.SampleOfColumn(i);
        if (points.empty()) points.emplace_back(x0 + i * xs, yOf(s));
        points.emplace_back(x0 + (i + 1) * xs, yOf(s + step));
        out.nEndSample = s + step;
    }
    m_Canvas.Polyline(points);

    if (opt.bVariableArea && !points.empty()) {
        // Positive half-waves filled with vertical lines down to the middle line; on a page whose y
        // axis points up "above" is the larger y.
        const bool upIsLarger = ys < 0 && m_Canvas.SoftwareClipping();
        std::vector<QLine> fill;
        for (std::size_t j = 0; j + 1 < points.size(); ++j) {
            const QPoint& p = points[j];
            if (upIsLarger ? p.y() > out.nMiddleY : p.y() < out.nMiddleY)
                fill.emplace_back(p.x(), out.nMiddleY, p.x(), p.y());
        }
        m_Canvas.Lines(fill);
    }

    DrawDefects(box, rec);

    if (opt.bZoomRect) {
        const QRect& r = opt.ZoomRect;
        m_Canvas.SetPen(m_Canvas.DottedPen(kColorZoomRect, 1));
        m_Canvas.Line(r.left(), r.top(), r.right(), r.top());
        m_Canvas.Line(r.right(), r.top(), r.right(), r.bottom());
        m_Canvas.Line(r.right(), r.bottom(), r.left(), r.bottom());
        m_Canvas.Line(r.left(), r.bottom(), r.left(), r.top());
    }
    m_Canvas.EndClip();
    return out;
}

void CTracePlotter::DrawMarks(const TraceBox& box, const CPileRecord& rec, const TraceOptions& opt) {
    DrawMarks(box, rec, opt, TraceLabelsOf(m_Canvas, box, rec, opt.bScaleMarks));
}

void CTracePlotter::DrawMarks(const TraceBox& box, const CPileRecord& rec, const TraceOptions& opt,
                              const CTraceLabels& labels) {
    const PlotScale& sc = m_Canvas.Scale();
    const int xs = sc.nX, ys = sc.nY;
    const int x0 = box.nX, y0 = box.nY;
    const int down = ys < 0 ? -1 : 1;
    const int hh = box.nH * ys; // h'
    // The labels' coordinates run from the box's top left, downwards on the page.
    auto X = [&](int x) { return x0 + x; };
    auto Y = [&](int y) { return y0 + down * y; };
    auto write = [&](const CPlacedText& t, int style) { m_Canvas.Text(X(t.At.x()), Y(t.At.y()), t.strText, style, t.nHeight); };

    m_Canvas.BeginClip(x0, y0, box.nW * xs, hh);
    const int headX = x0 + HeadColumn(rec) * xs;
    int toeColumn = 0;
    const bool hasToe = ToeColumn(rec, toeColumn);
    const int toeX = x0 + toeColumn * xs;
    // With the scale the head and toe lines end on its axis, clear of the depths written under it.
    const int lineEnd = opt.bScaleMarks && hasToe ? Y(labels.nAxisY) : y0 + hh;
    m_Canvas.SetPen(m_Canvas.DottedPen(kColorBlack, sc.nPen));
    m_Canvas.Line(headX, y0, headX, lineEnd);
    if (hasToe) m_Canvas.Line(toeX, y0, toeX, lineEnd);

    if (opt.bScaleMarks && hasToe) {
        const int axisY = Y(labels.nAxisY);
        m_Canvas.SetPen(m_Canvas.SolidPen(kColorBlack, 1));
        m_Canvas.Line(headX, axisY, toeX, axisY);
        const int toeColumns = toeColumn - HeadColumn(rec);
        if (toeColumns > 0) {
            std::vector<int> gain(static_cast<std::size_t>(std::min(toeColumns, 4 * kSamples)));
            const int count = rec.GainCurve(gain);
            std::vector<QPoint> curve;
            curve.reserve(static_cast<std::size_t>(count));
            for (int i = 0; i < count; ++i)
                curve.emplace_back(headX + i * xs, axisY - (gain[i] + 5) * ys + 3);
            m_Canvas.Polyline(curve);
        }
        for (const int x : labels.m_MinorTicks) m_Canvas.Line(X(x), axisY, X(x), Y(labels.nAxisY - labels.nMinorRise));
        for (const int x : labels.m_MajorTicks) m_Canvas.Line(X(x), axisY, X(x), Y(labels.nAxisY - labels.nMajorRise));
        for (const CPlacedText& t : labels.m_TickLabels) write(t, kTextPlain);
        if (labels.T1) write(*labels.T1, kTextPlain);
        if (labels.T2) write(*labels.T2, kTextPlain);
    }
    if (labels.Number) write(*labels.Number, kTextPlain);
    for (const CPlacedText& t : labels.m_DefectLabels) write(t, t.bVertical ? kTextVertical : kTextPlain);
    m_Canvas.EndClip();
}

void CTracePlotter::DrawDefects(const TraceBox& box, const CPileRecord& rec) {
    const PlotScale& sc = m_Canvas.Scale();
    const int n = rec.GetDefectCount();
    for (int i = 0; i < n; ++i) {
        int type = 0, point = 0;
        if (!rec.GetDefect(i, type, point)) continue;
        const int x = box.nX + sc.nX * HeadColumn(rec) + sc.nX * point;
        m_Canvas.SetPen(m_Canvas.DottedPen(kColorDefect, sc.nPen));
        m_Canvas.Line(x, box.nY, x, box.nY + box.nH * sc.nY);
    }
}

void CTracePlotter::DrawParamSummary(int /*clientWidth*/, int clientHeight, const CPileRecord& rec) {
    const std::array<QString, 10> t = ParameterTexts(rec);
    const int ys = m_Canvas.Scale().nY;
    const int rowY[3] = {clientHeight - 20 - 70 * ys, clientHeight - 20 - 50 * ys,
                         clientHeight - 20 - 30 * ys};
    // Columns of three, three, two and two texts.
    const int columnX[4] = {60, 210, 360, 510};
    const int first[5] = {0, 3, 6, 8, 10};
    for (int c = 0; c < 4; ++c)
        for (int j = first[c]; j < first[c + 1]; ++j)
            m_Canvas.Text(columnX[c], rowY[j - first[c]], t[j], kTextPlain);
}

void CTracePlotter::DrawParamColumn(int clientWidth, int /*clientHeight*/, const CPileRecord& rec) {
    const std::array<QString, 10> t = ParameterTexts(rec);
    for (int j = 0; j < 10; ++j)
        m_Canvas.Text(clientWidth - 100, 10 + 30 * (j + 1), t[j], kTextPlain);
}

void CTracePlotter::DrawWaveTrain(CDEVAzazDoc& doc, const TrainArea& area, int polarity, bool variableArea,
                                  int visibleTop, int visibleBottom) {
    const PlotScale& sc = m_Canvas.Scale();
    const int n = doc.GetPileCount();
    const int columns = std::min(area.nX1 - area.nX0, kSamples);
    if (columns <= 0) return;
    std::vector<QPoint> points;
    std::vector<QLine> fill;
    for (int k = 1; k <= n; ++k) {
        // A row's trace stays within about two row heights of its zero line, which lies in the row:
        // rows further than that from the visible band are skipped without fitting them.
        const int rowTop = area.nY0 + (k - 1) * area.nRowHeight;
        const int reach = 4 * std::max(area.nRowHeight, 1);
        if (rowTop + reach < visibleTop || rowTop - reach > visibleBottom) continue;
        CPileRecord& rec = *doc.GetPileAt(k - 1);
        const float* trace = doc.FitScreenStep(rec, area.nX1 - area.nX0);
        const TrainRow row = WaveTrainRow(area, n, k, FindTraceRange(trace, kSamples, PlotStep(rec)), sc.nY);
        m_Canvas.Text(area.nX0 + 5 * sc.nX - 26, row.nZeroY + 5 * sc.nY - 10, QStringLiteral("#%1").arg(k),
                      kTextPlain);
        // The pile number as written ("C-21"), in the margin right of the traces, level with its zero line.
        m_Canvas.Text(area.nX1 + 6 * sc.nX, row.nZeroY - 6 * sc.nY, QString::fromStdString(rec.GetPileName()),
                      kTextPlain);

        // One sample per column, whatever the step; the polyline stops where sample index + 1 reaches
        // the post-cut.
        const int segments = TrainSegments(area.nX1 - area.nX0, PlotPostCut(rec));
        auto yOf = [&](int i) {
            return ToCoord(row.nZeroY - sc.nY * polarity * trace[i] * row.fScale * 2, row.nZeroY);
        };
        points.clear();
        fill.clear();
        for (int i = 0; i < segments; ++i) {
            if (points.empty()) points.emplace_back(area.nX0, yOf(0));
            points.emplace_back(area.nX0 + (i + 1) * sc.nX, yOf(i + 1));
            if (variableArea && polarity * trace[i] > 0)
                fill.emplace_back(area.nX0 + i * sc.nX, row.nZeroY, area.nX0 + i * sc.nX, yOf(i));
        }
        m_Canvas.SetPen(m_Canvas.SolidPen(kColorBlack, 1));
        m_Canvas.Polyline(points);
        m_Canvas.Lines(fill);
    }
}

} // namespace pw
