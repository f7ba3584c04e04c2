// The spectrum layouts rendered offscreen: the curve scaled to its largest line, an all-zero spectrum
// flat on the bottom, marks that keep their column when the window is resized, a wider window showing
// more lines at the same scale; and the mark spacing read off a simulated pile's resonance peaks.
#include <algorithm>
#include <cmath>

#include <gtest/gtest.h>

#include "ViewFixtures.h"
#include "dsp/Spectrum.h"
#include "sim/PileSimulator.h"
#include "view/CSpectrumPlotter.h"
#include "view/LayoutGeometry.h"

using namespace pw;
using namespace pw::test;

namespace {

const QColor kBlue(0, 0, 255);
const QColor kMark(192, 0, 168);

QImage Spectrum(CDEVAzazDoc& doc, QSize size, int layout = 3) {
    doc.m_Display.m_nLayout = layout;
    ViewState state;
    return Render(doc, state, size);
}

// A decaying 500 Hz ring from the head on: a single broad peak.
float Ring(int i) {
    const int n = i - 40;
    return n < 0 ? 0.f
                 : static_cast<float>(100 * std::exp(-n / 150.0) * std::sin(2 * M_PI * 500 * n * 20e-6));
}

} // namespace

TEST(ViewSpectrum, AllZeroSpectrumLiesOnTheAxis) {
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, [](int) { return 0.f; })});
    const QImage img = Spectrum(doc, QSize(800, 600));
    // Box (10, 10), 780 x 580: the frequency axis runs above the tick labels at its bottom, and the
    // flat curve lies on it.
    int axis = -1;
    for (int y = 590; y > 500 && axis < 0; --y)
        if (CountInRow(img, y, 20, 780, kBlue) > 700) axis = y;
    ASSERT_GT(axis, 550);
    for (int y = 20; y < 580; y += 7) {
        if (y == axis) continue;
        EXPECT_EQ(CountInRow(img, y, 20, 780, kBlue), 0) << y;
    }
}

TEST(ViewSpectrum, LargestLineInsideTheBoxAndMarksKeepTheirColumn) {
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, Ring)});
    CPileRecord& p = *doc.GetCurrentPile();
    p.m_nMarks[0] = 200;
    p.m_nMarkCount = 1;
    std::pair<int, int> narrowExtent;
    for (int width : {800, 1000}) {
        const QImage img = Spectrum(doc, QSize(width, 600), 4);
        // The power spectrum's peak (500 Hz, line 41, x 10 + 205) reaches the top of the curve's room,
        // below the title and the range, whole inside the box.
        int top = 600;
        for (int x = 190; x < 240; ++x)
            top = std::min(top, ExtentInColumn(img, x, kBlue).first);
        EXPECT_GT(top, 10 + 30) << width;
        EXPECT_LT(top, 10 + 80) << width;
        EXPECT_GT(CountInColumn(img, 210, 20, 580, kMark), 100) << "the mark at column 200, width " << width;
        EXPECT_EQ(CountInColumn(img, 212, 20, 580, kMark), 0) << width;
        // The same vertical scale whatever the width: the curve crosses column 400 at the same height.
        const auto extent = ExtentInColumn(img, 400, kBlue);
        if (width == 800)
            narrowExtent = extent;
        else
            EXPECT_EQ(extent, narrowExtent);
    }
    // The wider window shows more lines: the curve runs on to 10 + 5 * (980 / 5).
    const QImage wide = Spectrum(doc, QSize(1000, 600), 4);
    EXPECT_GT(CountInColumn(wide, 985, 400, 592, kBlue), 0);
    EXPECT_EQ(p.m_nStep, 1) << "drawing the spectrum leaves the pile's step alone";
}

// The frequency axis: round ticks in Hz from 0 across the range drawn, labels that never overlap, and
// the largest line below the title rows and above the axis, on the screen's scale, in a picture's
// box and on paper (y pointing up, twips), for several sampling intervals.
TEST(ViewSpectrum, FrequencyAxisHasRoundTicksAndThePeakStaysInside) {
    const struct {
        float dt;   // µs
        int w, h;   // box, plot units
        int e;      // scale: 1 screen and pictures, else paper (pen, x and -y)
    } cases[] = {{20.f, 780, 580, 1}, {20.f, 512, 200, 1}, {10.f, 512, 200, 1}, {50.f, 780, 580, 1},
                 {20.f, 640, 250, 15}, {20.f, 640, 140, 5}, {100.f, 640, 250, 15}, {20.f, 300, 140, 5}};
    for (const auto& c : cases) {
        CPileRecord rec = PlainRecord(1, Ring);
        rec.m_fSampleInterval = c.dt;
        rec.SetPileName("C-21");
        const bool paper = c.e > 1;
        // Paper: a 72 dpi image of twips with y pointing up, the box's top left at (0, 0).
        const double toPixels = paper ? 72.0 / 1440 : 1.0;
        QImage img(static_cast<int>((c.w * c.e + 40) * toPixels), static_cast<int>((c.h * c.e + 40) * toPixels),
                   QImage::Format_RGB32);
        img.fill(Qt::white);
        QPainter painter(&img);
        if (paper) painter.setWorldTransform(QTransform::fromScale(toPixels, -toPixels));
        const CPlotFonts fonts;
        CPlotCanvas canvas(painter, fonts, paper ? PlotScale{c.e, c.e, -c.e} : PlotScale{}, !paper);
        if (paper) canvas.SetPaperGrid(1, 5);
        const TraceBox box{paper ? 0 : 10, paper ? 0 : 10, c.w, c.h};
        const SpectrumPlacement at =
            CSpectrumPlotter(canvas).Draw(box, rec, ProcessedTrace(rec), kSpectrumPower, 5, kTextVertical);
        painter.end();
        const std::string name = std::to_string(c.dt) + "us " + std::to_string(c.w) + "x" + std::to_string(c.e);

        // The range analysed ends at the last line drawn.
        EXPECT_NEAR(at.fRangeEnd, (at.nLines - 1) * *BinWidth(4096, c.dt), 1e-6) << name;
        ASSERT_GE(at.Ticks.size(), 2u) << name;
        EXPECT_EQ(at.Ticks.front(), 0.0) << name;
        const double step = at.Ticks[1] - at.Ticks[0];
        const double decade = std::pow(10.0, std::floor(std::log10(step) + 1e-9));
        const double m = step / decade;
        EXPECT_TRUE(std::fabs(m - 1) < 1e-9 || std::fabs(m - 2) < 1e-9 || std::fabs(m - 5) < 1e-9)
            << name << ": step " << step;
        for (std::size_t k = 0; k < at.Ticks.size(); ++k)
            EXPECT_NEAR(at.Ticks[k], k * step, step * 1e-9) << name;
        EXPECT_LE(at.Ticks.back(), at.fRangeEnd + 1e-6) << name;
        EXPECT_GT(at.Ticks.back() + step, at.fRangeEnd) << name;
        ASSERT_GE(at.LabelledTicks.size(), 2u) << name;
        EXPECT_EQ(at.LabelledTicks.front(), 0.0) << name;
        for (const double f : at.LabelledTicks)
            EXPECT_NE(std::find(at.Ticks.begin(), at.Ticks.end(), f), at.Ticks.end()) << name;

        // The largest line reaches the top of the curve's room, which lies below the text rows, and the
        // axis lies inside the box above the tick labels.
        const double height = static_cast<double>(c.h) * c.e;
        EXPECT_GT(at.fTopDepth, 0.0) << name;
        EXPECT_LT(at.fTopDepth, at.fAxisDepth) << name;
        EXPECT_LT(at.fAxisDepth, height) << name;
        EXPECT_NEAR(at.fScale * at.fMax, at.fAxisDepth - at.fTopDepth, 1e-6 * height) << name;
        // No blue curve above that top: the title rows are the text's.
        const int topRow = static_cast<int>((box.nY + at.fTopDepth) * toPixels) - 2;
        EXPECT_EQ(CountInRow(img, topRow, 0, img.width() - 1, kBlue), 0) << name;
    }
}

// A 10 m pile at 4000 m/s rings at multiples of c / 2L = 200 Hz. Marks on five resonance peaks, as an
// engineer would set them, give a length within 5 % of 10 m.
TEST(ViewSpectrum, MarkSpacingOfResonancePeaksGivesThePileLength) {
    CPileDescription pile;
    pile.fLength = 10.f;
    pile.fWaveSpeed = 4000.f;
    pile.fToeFixity = 0.f;
    CBlowDescription blow;
    blow.fSampleInterval = 20.f;
    blow.fDuration = 0.6f;
    CPileRecord rec = SimulatePile(pile, blow, CPileLabel{});
    rec.m_nWaveSpeed = 4000;
    rec.m_fPileLength = 10.f;
    std::vector<float> s(kSamples);
    SettleStep(rec);
    RecordSpectrum(rec, kSpectrumAmplitude, std::span<float, kSamples>(s.data(), kSamples));
    const double df = *BinWidth(4096, 20.0);
    int marks = 0;
    for (int k = 2; k <= 6; ++k) {
        // The largest line within half a spacing of k * 200 Hz, as the eye finds the peak.
        const int centre = static_cast<int>(std::lround(k * 200 / df));
        const int reach = static_cast<int>(100 / df);
        int best = centre - reach;
        for (int i = centre - reach; i <= centre + reach; ++i)
            if (s[i] > s[best]) best = i;
        ASSERT_GT(best, centre - reach) << "a peak, not the edge of the window, near " << k * 200 << " Hz";
        ASSERT_LT(best, centre + reach) << k;
        ASSERT_TRUE(rec.AddMark(best * 5));
        ++marks;
    }
    const auto spacing = SpectrumMarkSpacing(rec);
    ASSERT_TRUE(spacing && spacing->fLength);
    EXPECT_NEAR(spacing->fSpacing, 200.0, 10.0);
    EXPECT_NEAR(*spacing->fLength, 10.0, 0.5);
    EXPECT_EQ(marks, 5);
}
