// The layouts rendered offscreen at fixed sizes: frames, head and toe lines, sample heights, the end
// of the polyline, the three-trace rows and the wave-train rows land where the geometry puts them.
#include <gtest/gtest.h>

#include "ViewFixtures.h"
#include "view/CPlotCanvas.h"
#include "view/CTracePlotter.h"
#include "view/TraceGeometry.h"

using namespace pw;
using namespace pw::test;

namespace {

const QColor kBlack(0, 0, 0);
const QColor kBlue(0, 0, 255);
const QColor kMagenta(221, 0, 221);

// An 800 x 600 client: single-trace box at (10, 10), 780 columns by 480; zero line at 10 + 240.
// The plain record fits step 1 there, so its head (sample 40) is column 40 and its toe column 290.
constexpr int kZeroY = 250;
constexpr int kHalfRange = 90; // |(480 - 300) / 2|

} // namespace

TEST(ViewSingleTrace, FramesHeadToeAndIndicator) {
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, Spike)});
    ViewState state;
    const QImage img = Render(doc, state, QSize(800, 600));
    EXPECT_EQ(doc.FindPile(1)->m_nStep, 1);

    EXPECT_GT(CountInColumn(img, 10, 20, 480, kBlack), 455) << "left frame of the trace box";
    EXPECT_GT(CountInRow(img, 10, 20, 780, kBlack), 755) << "top frame of the trace box";
    EXPECT_GT(CountInRow(img, 490, 20, 780, kBlack), 755) << "top of the bottom band at Hc - 110";
    // Dotted head and toe lines: every few pixels black over the box height, nothing beside them.
    for (int x : {10 + 40, 10 + 290}) {
        EXPECT_GT(CountInColumn(img, x, 100, 400, kBlack), 60) << x;
        EXPECT_LT(CountInColumn(img, x - 2, 100, 400, kBlack), 3) << x;
        EXPECT_LT(CountInColumn(img, x + 2, 100, 400, kBlack), 3) << x;
    }
    EXPECT_TRUE(Is(img, 20, 20, kMagenta) && Is(img, 31, 31, kMagenta) && !Is(img, 32, 32, kMagenta));

    const QImage paper = Render(doc, state, QSize(800, 600), false);
    EXPECT_FALSE(Is(paper, 25, 25, kMagenta)) << "the current-row indicator is drawn on screen only";
}

struct AmplitudeCase {
    const char* name;
    int zoom, invert, shiftY;
    int top, bottom; // extent of the trace in the spike's column
};

class ViewAmplitude : public ::testing::TestWithParam<AmplitudeCase> {};

TEST_P(ViewAmplitude, SpikeReachesTheComputedHeight) {
    const AmplitudeCase& c = GetParam();
    CDEVAzazDoc doc;
    CPileRecord rec = PlainRecord(1, Spike);
    rec.m_nZoom = static_cast<int16_t>(c.zoom);
    rec.m_nShiftY = static_cast<int16_t>(c.shiftY);
    FillDoc(doc, {rec});
    doc.m_Display.m_bInvert = c.invert;
    ViewState state;
    const QImage img = Render(doc, state, QSize(800, 600));
    // The spike's two segments share columns 109..111 with the zero line around them.
    int top = img.height(), bottom = -1;
    for (int x = 10 + 99; x <= 10 + 101; ++x) {
        const auto [t, b] = ExtentInColumn(img, x, kBlue);
        if (t >= 0) top = std::min(top, t), bottom = std::max(bottom, b);
    }
    // Within the pixel the line rasteriser may add at a polyline's sharp turn.
    EXPECT_NEAR(top, c.top, 1);
    EXPECT_NEAR(bottom, c.bottom, 1);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewAmplitude,
    ::testing::Values(AmplitudeCase{"plain", 0, 0, 0, kZeroY - kHalfRange, kZeroY},
                      AmplitudeCase{"inverted", 0, 1, 0, kZeroY, kZeroY + kHalfRange},
                      AmplitudeCase{"zoom_doubles", 10, 0, 0, kZeroY - 2 * kHalfRange, kZeroY},
                      AmplitudeCase{"zoom_halves", -5, 0, 0, kZeroY - kHalfRange / 2, kZeroY},
                      AmplitudeCase{"zoom_floor_is_flat", -10, 0, 0, kZeroY, kZeroY},
                      AmplitudeCase{"shift_raises_zero_line", 0, 0, 30, kZeroY - 30 - kHalfRange,
                                    kZeroY - 30}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ViewSingleTrace, VariableAreaFillsPositiveHalfWaves) {
    auto bump = [](int i) { return i >= 100 && i <= 120 ? 50.f : i == 300 ? 100.f : 0.f; };
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, bump)});
    ViewState state;
    const int between = kZeroY - kHalfRange / 2 + 1; // under the bump's top, above the zero line
    EXPECT_LT(CountInColumn(Render(doc, state, QSize(800, 600)), 10 + 110, between, kZeroY - 1, kBlue), 2);
    doc.m_Display.m_bVariableArea = 1;
    EXPECT_EQ(CountInColumn(Render(doc, state, QSize(800, 600)), 10 + 110, between, kZeroY - 1, kBlue),
              kZeroY - between);
}

TEST(ViewSingleTrace, FlatTraceLiesOnItsZeroLine) {
    CDEVAzazDoc doc;
    FillDoc(doc, {PlainRecord(1, [](int) { return 0.f; })});
    ViewState state;
    const QImage img = Render(doc, state, QSize(800, 600));
    EXPECT_GT(CountInRow(img, kZeroY, 11, 780, kBlue), 700);
    int elsewhere = 0;
    for (int y = 11; y < 490; ++y)
        if (y != kZeroY) elsewhere += CountInRow(img, y, 11, 780, kBlue);
    EXPECT_EQ(elsewhere, 0);
}

struct PostCutCase {
    const char* name;
    int layout;
    int postCut;
    int lastX; // column of the polyline's last point
};

class ViewPostCut : public ::testing::TestWithParam<PostCutCase> {};

// A tail at half height from sample 600 on makes the end of the polyline visible off the zero line.
TEST_P(ViewPostCut, PolylineEndsBeforeTheCutSamples) {
    const PostCutCase& c = GetParam();
    CDEVAzazDoc doc;
    CPileRecord rec = PlainRecord(1, [](int i) { return i == 100 ? 100.f : i >= 600 ? 50.f : 0.f; });
    rec.m_nPostCut = static_cast<int16_t>(c.postCut);
    FillDoc(doc, {rec});
    doc.m_Display.m_nLayout = c.layout;
    ViewState state;
    const QColor ink = c.layout == 2 ? kBlack : kBlue;
    const QImage img = Render(doc, state, QSize(1200, 600));
    const int top = c.layout == 2 ? 0 : 11, bottom = c.layout == 2 ? 100 : 480;
    EXPECT_GT(CountInColumn(img, c.lastX - 1, top, bottom, ink), 0);
    for (int x = c.lastX + 2; x < c.lastX + 40; ++x)
        ASSERT_EQ(CountInColumn(img, x, top, bottom, ink), 0) << x;
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewPostCut,
                         ::testing::Values(PostCutCase{"single_none", 0, 0, 10 + 1023},
                                           PostCutCase{"single_200", 0, 200, 10 + 1023 - 200},
                                           PostCutCase{"train_none", 2, 0, 40 + 1023},
                                           PostCutCase{"train_200", 2, 200, 40 + 1023 - 200}),
                         [](const auto& info) { return std::string(info.param.name); });

struct ThreeRowCase {
    int piles;
    bool middle, bottom; // rows drawn
};

class ViewThreeTrace : public ::testing::TestWithParam<ThreeRowCase> {};

// Client 800 x 600: third height 193.33, rows at y 10, 203 and 396; right band at x 690.
TEST_P(ViewThreeTrace, RowsDrawnForThePileCount) {
    const ThreeRowCase& c = GetParam();
    CDEVAzazDoc doc;
    FillDoc(doc, std::vector<CPileRecord>(static_cast<std::size_t>(c.piles), PlainRecord(1, Spike)));
    doc.m_Display.m_nLayout = 1;
    ViewState state;
    state.m_nThird = 1;
    const QImage img = Render(doc, state, QSize(800, 600));
    EXPECT_GT(CountInColumn(img, 690, 20, 580, kBlack), 550) << "right band";
    EXPECT_GT(CountInColumn(img, 10, 20, 195, kBlack), 170) << "top row";
    EXPECT_EQ(CountInColumn(img, 10, 210, 390, kBlack) > 170, c.middle);
    EXPECT_EQ(CountInColumn(img, 10, 404, 580, kBlack) > 170, c.bottom);
    // Each drawn row has its zero line (plus the spike) at its own middle.
    const int middles[3] = {10 + 96, 203 + 96, 396 + 96};
    EXPECT_GT(CountInRow(img, middles[0], 60, 600, kBlue), 400);
    EXPECT_EQ(CountInRow(img, middles[1], 60, 600, kBlue) > 400, c.middle);
    EXPECT_EQ(CountInRow(img, middles[2], 60, 600, kBlue) > 400, c.bottom);
    EXPECT_TRUE(Is(img, 25, 25, kMagenta)) << "indicator in the current (top) row";
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewThreeTrace,
                         ::testing::Values(ThreeRowCase{1, false, false}, ThreeRowCase{2, true, false},
                                           ThreeRowCase{3, true, true}, ThreeRowCase{7, true, true}));

TEST(ViewWaveTrain, RowsOneRowHeightApartAndScrollHeight) {
    constexpr int n = 6;
    CDEVAzazDoc doc;
    FillDoc(doc, std::vector<CPileRecord>(n, PlainRecord(1, Spike)));
    doc.m_Display.m_nLayout = 2;
    ViewState state;
    const QImage img = Render(doc, state, QSize(800, 600));
    // Area 40..740 by 40..210 (the rows start a row's swing below the top margin): rows of
    // (210 - 40) / 6 = 28; the spike (max 100, min 0) puts each zero line 170 / 100 / 6 * 100 = 28.3
    // below its row top.
    EXPECT_EQ(state.m_nTrainX0, 40);
    EXPECT_EQ(state.m_nTrainX1, 740);
    EXPECT_EQ(state.m_nTrainY0, 10 + 30);
    EXPECT_EQ(state.m_nTrainY1, n * 30 + 30);
    for (int k = 1; k <= n; ++k) {
        const int zero = 40 + 28 + (k - 1) * 28;
        EXPECT_TRUE(Is(img, 40 + 50, zero, kBlack)) << "row " << k;
        EXPECT_FALSE(Is(img, 40 + 50, zero - 1, kBlack) || Is(img, 40 + 50, zero + 1, kBlack)) << "row " << k;
    }
    for (int piles : {1, 6, 30, 500})
        EXPECT_EQ(ScrollHeight(Layout::WaveTrain, piles, 600), piles * 30 + 60);
    EXPECT_EQ(ScrollHeight(Layout::Single, 500, 600), 600);
}

TEST(ViewLayouts, NoCurrentPileDrawsOnlyTheBackground) {
    for (int layout : {0, 1, 2, 3, 4}) {
        CDEVAzazDoc doc;
        doc.m_Display.m_nLayout = layout;
        ViewState state;
        QImage img = Render(doc, state, QSize(300, 200));
        QImage white(img.size(), img.format());
        white.fill(Qt::white);
        EXPECT_EQ(img, white) << layout;
    }
}

struct ClipCase {
    const char* name;
    QLine line;      // logical units; the clip box is -100..100 both ways
    int inkedPixels; // pixels of the line inside the box (0: dropped)
    QRect inkBounds; // where those pixels lie, in device pixels (origin moved to 150, 150)
};

class ViewSoftwareClip : public ::testing::TestWithParam<ClipCase> {};

TEST_P(ViewSoftwareClip, LinesCutAtTheBox) {
    const ClipCase& c = GetParam();
    QImage img(300, 300, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    p.translate(150, 150); // a negative box origin, as on a printed page
    CPlotFonts fonts;
    CPlotCanvas canvas(p, fonts);
    canvas.BeginClip(-100, -100, 200, 200);
    ASSERT_TRUE(canvas.SoftwareClipping());
    canvas.SetPen(QPen(Qt::red, 1));
    canvas.Line(c.line.x1(), c.line.y1(), c.line.x2(), c.line.y2());
    canvas.EndClip();
    p.end();
    int count = 0;
    QRect bounds;
    for (int y = 0; y < 300; ++y)
        for (int x = 0; x < 300; ++x)
            if (img.pixelColor(x, y) == QColor(Qt::red)) {
                ++count;
                bounds |= QRect(x, y, 1, 1);
            }
    EXPECT_EQ(count, c.inkedPixels);
    if (c.inkedPixels) {
        EXPECT_EQ(bounds, c.inkBounds);
    }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewSoftwareClip,
    ::testing::Values(ClipCase{"inside", QLine(-50, 0, 50, 0), 101, QRect(100, 150, 101, 1)},
                      ClipCase{"one_end_out", QLine(0, 0, 0, 300), 101, QRect(150, 150, 1, 101)},
                      ClipCase{"through", QLine(-300, 20, 300, 20), 201, QRect(50, 170, 201, 1)},
                      ClipCase{"diagonal_corners", QLine(-200, -200, 200, 200), 201, QRect(50, 50, 201, 201)},
                      ClipCase{"beside", QLine(-150, -150, -120, 150), 0, QRect()}),
    [](const auto& info) { return std::string(info.param.name); });

// Hostile values from a file: a negative post-cut (dt 0 keeps a stored step), a wave train 1024 and
// more columns wide. The polyline and the train end on the trace's last sample, never past it.
TEST(ViewHostileRecord, PlotsNeverReadPastTheTrace) {
    for (int postCut : {-32768, -1, 0}) {
        CPileRecord rec = PlainRecord(1, Spike);
        rec.m_nPostCut = static_cast<int16_t>(postCut);
        rec.m_fSampleInterval = 0.f; // not processable: the stored step stays
        rec.m_nStep = 1;
        CPlotFonts fonts;
        QImage img(QSize(1400, 600), QImage::Format_RGB32);
        QPainter p(&img);
        CPlotCanvas canvas(p, fonts);
        CTracePlotter plotter(canvas);
        const TracePlacement placed =
            plotter.PlotTrace(TraceBox{10, 10, 1300, 480}, rec, SettleStep(rec), TraceOptions{});
        EXPECT_EQ(placed.nEndSample, 1023) << postCut;
    }
    CDEVAzazDoc doc;
    CPileRecord rec = PlainRecord(1, Spike);
    rec.m_nPostCut = -32768;
    FillDoc(doc, {rec, rec});
    doc.m_Display.m_nLayout = 2;
    ViewState state;
    const QImage img = Render(doc, state, QSize(1200, 400)); // train 1100 columns wide
    EXPECT_EQ(state.m_nTrainX1 - state.m_nTrainX0, 1100);    // one sample per column: 1023 segments
    EXPECT_GT(CountInColumn(img, 40 + 500, 0, 399, kBlack), 0) << "the train is drawn";
}

// Boxes about 300 high used to draw their trace a few pixels tall: the single trace of an 800 x 560
// window and the three rows of a maximised 1920 x 1080 one. The spike now reaches an eighth of the box.
TEST(ViewAmplitudeNearThreeHundred, SpikeReachesAnEighthOfTheBox) {
    struct Case {
        const char* what;
        int layout;
        QSize client;
        int zeroY, half; // top box: its zero line and the spike's height above it
    };
    const Case cases[] = {
        {"single trace, box 300 high", 0, QSize(800, 420), 10 + 150, 300 / 8},
        {"single trace, box 320 high", 0, QSize(800, 440), 10 + 160, 320 / 8},
        {"three traces, rows 306 high", 1, QSize(1400, 938), 10 + 153, 306 / 8},
        {"single trace, box 480 high (unchanged)", 0, QSize(800, 600), 10 + 240, 90},
    };
    for (const Case& c : cases) {
        CDEVAzazDoc doc;
        FillDoc(doc, {PlainRecord(1, Spike), PlainRecord(2, Spike), PlainRecord(3, Spike)}, 2);
        doc.m_Display.m_nLayout = c.layout;
        ViewState state;
        const QImage img = Render(doc, state, c.client);
        int top = img.height();
        for (int x = 10 + 99; x <= 10 + 101; ++x)
            if (const int t = ExtentInColumn(img, x, kBlue).first; t >= 0) top = std::min(top, t);
        EXPECT_NEAR(top, c.zeroY - c.half, 1) << c.what;
    }
}
