// Drawing of one spectrum (see CSpectrumPlotter.h).
#include "view/CSpectrumPlotter.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdio>
#include <vector>

#include "core/CPileRecord.h"
#include "core/PlotGeometry.h"
#include "dsp/Spectrum.h"
#include "view/LayoutGeometry.h"
#include "view/TraceGeometry.h"
#include "view/ViewTexts.h"

namespace pw {

SpectrumPlacement CSpectrumPlotter::Draw(const TraceBox& box, const CPileRecord& rec, const float* trace, int kind,
                                         int binWidth, int markStyle) {
    const PlotScale& sc = m_Canvas.Scale();
    const int xs = sc.nX, ys = sc.nY;
    const int x0 = box.nX, y0 = box.nY, w = box.nW, h = box.nH;
    SpectrumPlacement out;
    std::array<float, kSamples> spectrum{};
    out.fMax = TraceSpectrum(std::span<const float>(trace, kSamples), kind, spectrum);
    const float* s = spectrum.data();

    m_Canvas.Frame(x0, y0, w * xs, h * ys);

    // The largest line touches the top; an all-zero spectrum has no finite scale and lies on the bottom.
    const double k =
        out.fMax > 0 && std::isfinite(out.fMax) ? std::fabs(static_cast<double>(h) / out.fMax) : 0.0;
    out.fScale = k;
    out.nLines = SpectrumLineCount(w, binWidth);
    std::vector<QPoint> points;
    points.reserve(static_cast<std::size_t>(out.nLines));
    for (int i = 0; i < out.nLines; ++i) {
        const double v = std::isfinite(s[i]) ? s[i] : 0.0;
        points.emplace_back(x0 + i * binWidth * xs, ToCoord(y0 + (h - k * v) * ys, y0 + h * ys));
    }
    m_Canvas.SetPen(m_Canvas.SolidPen(kColorTrace, 1));
    // The curve stays within the box by its scale, and it must show on the box's bottom edge (an
    // all-zero spectrum lies there), which the box's clip leaves to the frame: drawn unclipped.
    m_Canvas.Polyline(points);

    m_Canvas.BeginClip(x0, y0, w * xs, h * ys);

    const int marks = std::clamp<int>(rec.m_nMarkCount, 0, kMaxMarks);
    for (int i = 0; i < marks; ++i) {
        const int m = rec.m_nMarks[i];
        const int x = x0 + m * xs;
        m_Canvas.SetPen(m_Canvas.DottedPen(kColorMark, sc.nPen));
        m_Canvas.Line(x, y0, x, y0 + h * ys);
        if (const auto f = ColumnFrequency(rec, m, binWidth)) {
            char buf[32];
            std::snprintf(buf, sizeof buf, "%.2f", *f);
            m_Canvas.Text(x0 + (m + 1) * xs, y0 + h * ys / 2, QString::fromUtf8(buf), markStyle);
        }
    }

    m_Canvas.Text(x0 + xs + 20, y0 + (h / 20) * ys, QString::fromUtf8(vtext::kSpectrumAmplitude), kTextPlain);
    m_Canvas.Text(static_cast<int>(x0 + 0.9 * w * xs), y0 + (17 * h / 20) * ys,
                  QString::fromUtf8(vtext::kSpectrumFrequency), kTextPlain);
    m_Canvas.Text(static_cast<int>(x0 + 0.375 * w * xs), y0 + (h / 20) * ys,
                  QString::fromUtf8(vtext::kSpectrumTitle), kTextTitle);
    m_Canvas.EndClip();
    return out;
}

} // namespace pw
