// The spectrum layouts rendered offscreen: the curve scaled to its largest line, an all-zero spectrum
// flat on the bottom, marks that keep their column when the window is resized, a wider window showing
// more lines at the same scale; and the mark spacing read off a simulated pile's resonance peaks.
#include <cmath>

#include <gtest/gtest.h>

#include "ViewFixtures.h"
#include "dsp/Spectrum.h"
#include "sim/PileSimulator.h"
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

TEST(ViewSpectrum, AllZeroSpectrumLiesOnTheBottom) {
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, [](int) { return 0.f; })});
    const QImage img = Spectrum(doc, QSize(800, 600));
    // Box (10, 10), 780 x 580: its bottom is y 590.
    EXPECT_GT(CountInRow(img, 590, 20, 780, kBlue), 700);
    for (int y = 20; y < 580; y += 7)
        EXPECT_EQ(CountInRow(img, y, 20, 780, kBlue), 0) << y;
}

TEST(ViewSpectrum, LargestLineTouchesTheTopAndMarksKeepTheirColumn) {
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, Ring)});
    CPileRecord& p = *doc.GetCurrentPile();
    p.m_nMarks[0] = 200;
    p.m_nMarkCount = 1;
    std::pair<int, int> narrowExtent;
    for (int width : {800, 1000}) {
        const QImage img = Spectrum(doc, QSize(width, 600), 4);
        // The power spectrum's peak (500 Hz, line 41, x 10 + 205) reaches the top of the box.
        int top = 600;
        for (int x = 190; x < 240; ++x)
            top = std::min(top, ExtentInColumn(img, x, kBlue).first);
        EXPECT_LE(top, 12) << width;
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
