// Drawing of one spectrum (see CSpectrumPlotter.h).
#include "view/CSpectrumPlotter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <string>
#include <vector>

#include "core/AxisTicks.h"
#include "core/CPileRecord.h"
#include "core/PlotGeometry.h"
#include "dsp/Spectrum.h"
#include "view/LayoutGeometry.h"
#include "view/TraceGeometry.h"
#include "view/ViewTexts.h"

namespace pw {
namespace {

constexpr double kMinPaperText = 140; // twips: 7 pt

} // namespace

SpectrumPlacement CSpectrumPlotter::Draw(const TraceBox& box, const CPileRecord& rec, const float* trace, int kind,
                                         int binWidth, int markStyle) {
    const PlotScale& sc = m_Canvas.Scale();
    const int xs = sc.nX, ys = sc.nY;
    const int sy = ys < 0 ? -1 : 1; // the way down the page in logical units
    const int x0 = box.nX, y0 = box.nY, w = box.nW, h = box.nH;
    const double width = static_cast<double>(w) * xs;
    const double height = static_cast<double>(h) * std::abs(ys);
    // A point `depth` logical units below the box's top edge.
    auto down = [&](double depth) { return static_cast<int>(std::lround(y0 + sy * depth)); };
    SpectrumPlacement out;
    std::array<float, kSamples> spectrum{};
    out.fMax = TraceSpectrum(std::span<const float>(trace, kSamples), kind, spectrum);
    const float* s = spectrum.data();
    out.nLines = SpectrumLineCount(w, binWidth);
    const std::optional<double> perColumn = ColumnFrequency(rec, 1, binWidth);
    if (perColumn && out.nLines > 0) out.fRangeEnd = *perColumn * (out.nLines - 1) * binWidth;

    m_Canvas.Frame(x0, y0, w * xs, h * ys);

    // The bands of text: the title row and the range row at the top, the tick labels at the bottom.
    const QString amplitude = QString::fromUtf8(vtext::kSpectrumAmplitude);
    const QString title = QString::fromUtf8(vtext::kSpectrumTitle) + QStringLiteral("  ") +
                          QString::fromUtf8(kind == kSpectrumPower ? vtext::kPowerSpectrum
                                                                   : vtext::kAmplitudeSpectrum) +
                          QStringLiteral("  ") + QString::fromStdString(PileLabel(rec));
    // On paper (twips, pens wider than a pixel) the plain style of a page of two or three columns is
    // under 7 pt, too small to read: the texts take the legend style there.
    const bool paper = sc.nPen > 1;
    const int style =
        paper && m_Canvas.TextExtent(amplitude, kTextPlain).height() < kMinPaperText ? kTextLegend : kTextPlain;
    const double plainH = m_Canvas.TextExtent(amplitude, style).height();
    const QSizeF titleSize = m_Canvas.TextExtent(title, kTextTitle);
    const double pad = std::max(1.0, 0.3 * plainH);
    const double margin = std::max(2.0 * xs, pad); // text keeps this far from the frame
    QString range;
    if (perColumn)
        range = QString::fromUtf8(vtext::kSpectrumRange)
                    .arg(QString::fromStdString(TickLabel(out.fRangeEnd, 0.1)));
    QString spacing;
    if (const auto sp = SpectrumMarkSpacing(rec, binWidth)) {
        spacing = QString::asprintf(vtext::kMarkSpacing, sp->fSpacing);
        if (sp->fLength) spacing += QString::asprintf(vtext::kSpacingLength, *sp->fLength);
        spacing = spacing.trimmed();
    }
    // A line of text takes more than its cell: the faces' ascent and descent reach 0.3 of the height
    // above it and 0.15 below.
    constexpr double kLineSpacing = 1.5;
    const double titleRow = pad + 0.3 * std::max(titleSize.height(), plainH);
    const double rangeRow = titleRow + kLineSpacing * std::max(titleSize.height(), plainH);
    const double rangeW = m_Canvas.TextExtent(range, style).width();
    const double spacingW = m_Canvas.TextExtent(spacing, style).width();
    // The spacing shares the range's row when both fit; otherwise it takes the row below.
    const bool spacingBelow = !spacing.isEmpty() && rangeW + spacingW + 3 * margin > width;
    const double spacingRow = spacingBelow ? rangeRow + kLineSpacing * plainH : rangeRow;
    const double textBottom = (range.isEmpty() && spacing.isEmpty() ? titleRow + titleSize.height()
                                                                     : spacingRow + plainH);
    const double tickLen = std::max(1.0, 0.4 * plainH);
    const double labelRow = height - pad - kLineSpacing * plainH;
    out.fAxisDepth = labelRow - tickLen;
    out.fTopDepth = std::min(textBottom + pad, out.fAxisDepth);

    // The largest line reaches the top of the curve's room; an all-zero spectrum has no finite scale
    // and lies on the axis.
    const double room = out.fAxisDepth - out.fTopDepth;
    const double k = out.fMax > 0 && std::isfinite(out.fMax) ? std::fabs(room / out.fMax) : 0.0;
    out.fScale = k;
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(out.nLines));
    const int axisY = down(out.fAxisDepth);
    for (int i = 0; i < out.nLines; ++i) {
        const double v = std::isfinite(s[i]) ? s[i] : 0.0;
        points.emplace_back(x0 + i * binWidth * xs, ToCoord(y0 + sy * (out.fAxisDepth - k * v), axisY));
    }
    // The frequency axis under the curve, with its ticks.
    m_Canvas.SetPen(m_Canvas.SolidPen(kColorBlack, 1));
    m_Canvas.Line(x0, axisY, x0 + w * xs, axisY);
    if (perColumn && *perColumn > 0 && out.fRangeEnd > 0) {
        const QString unit = QString::fromUtf8(vtext::kSpectrumFrequency);
        const double unitW = m_Canvas.TextExtent(unit, style).width();
        const double widest =
            m_Canvas.TextExtent(QString::fromStdString(TickLabel(out.fRangeEnd, 1)), style).width();
        const int maxTicks = std::max(2, static_cast<int>((width - unitW) / (2 * std::max(widest, 1.0))));
        out.Ticks = RoundTicks(0, out.fRangeEnd, maxTicks);
        const double step = RoundTickStep(out.fRangeEnd, maxTicks);
        const double labelsEnd = x0 + width - margin - unitW - pad; // the unit's place at the right
        double lastRight = -1e300;
        for (const double f : out.Ticks) {
            const int x = static_cast<int>(std::lround(x0 + f / *perColumn * xs));
            m_Canvas.Line(x, axisY, x, down(out.fAxisDepth + tickLen));
            const QString label = QString::fromStdString(TickLabel(f, step));
            const double lw = m_Canvas.TextExtent(label, style).width();
            const double left = std::max(x - lw / 2, x0 + margin);
            if (left < lastRight + pad || left + lw > labelsEnd) continue; // skipped, never overlapped
            m_Canvas.Text(static_cast<int>(std::lround(left)), down(labelRow), label, style);
            lastRight = left + lw;
            out.LabelledTicks.push_back(f);
        }
        m_Canvas.Text(static_cast<int>(std::lround(x0 + width - margin - unitW)), down(labelRow), unit,
                      style);
    }
    m_Canvas.SetPen(m_Canvas.SolidPen(kColorTrace, 1));
    // The curve stays within the box by its scale, and it must show on the axis (an all-zero
    // spectrum lies there), which a clip might leave out: drawn unclipped.
    m_Canvas.Polyline(points);

    m_Canvas.BeginClip(x0, y0, w * xs, h * ys);

    const int marks = std::clamp<int>(rec.m_nMarkCount, 0, kMaxMarks);
    for (int i = 0; i < marks; ++i) {
        const int m = rec.m_nMarks[i];
        const int x = x0 + m * xs;
        m_Canvas.SetPen(m_Canvas.DottedPen(kColorMark, sc.nPen));
        m_Canvas.Line(x, down(out.fTopDepth), x, axisY);
        if (const auto f = ColumnFrequency(rec, m, binWidth)) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.2f", *f);
            m_Canvas.Text(x0 + (m + 1) * xs, down((out.fTopDepth + out.fAxisDepth) / 2), QString::fromUtf8(buf),
                          markStyle);
        }
    }

    // Title row: the amplitude's name at the left, the title centred where it fits beside it.
    const double amplitudeRight = x0 + margin + m_Canvas.TextExtent(amplitude, style).width();
    m_Canvas.Text(static_cast<int>(std::lround(x0 + margin)), down(titleRow), amplitude, style);
    const double titleX = std::max(x0 + (width - titleSize.width()) / 2, amplitudeRight + 2 * pad);
    m_Canvas.Text(static_cast<int>(std::lround(titleX)), down(titleRow), title, kTextTitle);
    m_Canvas.Text(static_cast<int>(std::lround(x0 + margin)), down(rangeRow), range, style);
    m_Canvas.Text(static_cast<int>(std::lround(x0 + width - margin - spacingW)), down(spacingRow), spacing,
                  style);
    m_Canvas.EndClip();
    return out;
}

} // namespace pw
