// Records and documents made in code for the view tests, and pixel probes over rendered images.
#pragma once

#include <functional>
#include <vector>

#include <QColor>
#include <QImage>
#include <QPainter>

#include "core/CDEVAzazDoc.h"
#include "core/TraceProcessing.h"
#include "view/CLayoutRenderer.h"

namespace pw::test {

// A pile whose processed trace equals its raw samples: no DC removal, filters, gain or rotation.
// 10 m at 4000 m/s sampled every 20 µs: the toe lies 250 samples after the head (sample 40).
inline CPileRecord PlainRecord(int pileNo, const std::function<float(int)>& sample) {
    CPileRecord r;
    r.m_nPileNo = static_cast<int16_t>(pileNo);
    r.m_bRemoveDC = 0;
    r.m_fPileLength = 10.f;
    r.m_nWaveSpeed = 4000;
    r.m_fSampleInterval = 20.f;
    r.m_fGain = 1.f;
    r.m_nHeadSample = 40;
    r.m_nStep = 1;
    for (int i = 0; i < kSamples; ++i)
        r.m_fRaw[i] = sample(i);
    r.Touch();
    return r;
}

// One spike of height 100 at sample 100, zero elsewhere.
inline float Spike(int i) {
    return i == 100 ? 100.f : 0.f;
}

// Puts the records into the document, numbered 1..n, with pile `current` current.
inline void FillDoc(CDEVAzazDoc& doc, std::vector<CPileRecord> piles, int current = 1) {
    doc.m_Piles = std::move(piles);
    for (std::size_t i = 0; i < doc.m_Piles.size(); ++i)
        doc.m_Piles[i].m_nPileNo = static_cast<int16_t>(i + 1);
    doc.m_Header.m_nPileCount = static_cast<int>(doc.m_Piles.size());
    doc.SetSelection({current});
}

inline QImage Render(CDEVAzazDoc& doc, ViewState& state, QSize size, bool screen = true) {
    CPlotFonts fonts;
    CLayoutRenderer renderer(doc, state, fonts);
    QImage img(size, QImage::Format_RGB32);
    QPainter p(&img);
    renderer.Render(p, size, 0, screen);
    return img;
}

inline bool Is(const QImage& img, int x, int y, const QColor& c) {
    return img.rect().contains(x, y) && img.pixelColor(x, y) == c;
}

// How many pixels of column x between y0 and y1 (inclusive) have colour c.
inline int CountInColumn(const QImage& img, int x, int y0, int y1, const QColor& c) {
    int n = 0;
    for (int y = y0; y <= y1; ++y)
        n += Is(img, x, y, c);
    return n;
}

inline int CountInRow(const QImage& img, int y, int x0, int x1, const QColor& c) {
    int n = 0;
    for (int x = x0; x <= x1; ++x)
        n += Is(img, x, y, c);
    return n;
}

// Topmost and bottommost y of colour c in column x (-1 when absent).
inline std::pair<int, int> ExtentInColumn(const QImage& img, int x, const QColor& c) {
    int top = -1, bottom = -1;
    for (int y = 0; y < img.height(); ++y)
        if (Is(img, x, y, c)) {
            if (top < 0) top = y;
            bottom = y;
        }
    return {top, bottom};
}

} // namespace pw::test
