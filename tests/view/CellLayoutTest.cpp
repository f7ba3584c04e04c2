// Where a trace box's and a printed cell's texts go: as rectangles, none overlaps another, none
// leaves its box, none is cut, and the whole pile shows; for the sample site's piles on paper at one,
// two and three columns and in the picture, and for hand-made boxes that crowd the labels.
#include <algorithm>
#include <cmath>
#include <regex>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "core/AxisTicks.h"
#include "core/CDEVAzazDoc.h"
#include "core/PageLayout.h"
#include "core/TraceProcessing.h"
#include "view/CPilePicture.h"
#include "view/CPlotCanvas.h"
#include "view/CellLayout.h"
#include "view/TraceGeometry.h"

namespace pw {
namespace {

std::string Where(const QRect& r) {
    return "(" + std::to_string(r.left()) + "," + std::to_string(r.top()) + " " + std::to_string(r.width()) + "x" +
           std::to_string(r.height()) + ")";
}

// Every pair of rectangles apart, every one inside its box.
void ExpectApartAndInside(const std::vector<std::pair<QString, QRect>>& texts, const QRect& box,
                          const std::string& what) {
    for (std::size_t i = 0; i < texts.size(); ++i) {
        EXPECT_TRUE(box.contains(texts[i].second))
            << what << ": \"" << texts[i].first.toStdString() << "\" " << Where(texts[i].second) << " leaves "
            << Where(box);
        for (std::size_t j = i + 1; j < texts.size(); ++j)
            EXPECT_FALSE(texts[i].second.intersects(texts[j].second))
                << what << ": \"" << texts[i].first.toStdString() << "\" " << Where(texts[i].second) << " overlaps \""
                << texts[j].first.toStdString() << "\" " << Where(texts[j].second);
    }
}

std::vector<std::pair<QString, QRect>> LabelTexts(const CTraceLabels& l) {
    std::vector<std::pair<QString, QRect>> out;
    for (const auto* t : {&l.T1, &l.T2, &l.Number})
        if (*t) out.emplace_back((*t)->strText, (*t)->Rect);
    for (const auto* list : {&l.m_TickLabels, &l.m_DefectLabels})
        for (const CPlacedText& t : *list) out.emplace_back(t.strText, t.Rect);
    return out;
}

// The numbers a text holds, in order ("桩径:800mm" -> {"800"}).
std::vector<std::string> Numbers(const std::string& s) {
    static const std::regex number("[0-9]+(\\.[0-9]+)?");
    std::vector<std::string> out;
    for (auto it = std::sregex_iterator(s.begin(), s.end(), number); it != std::sregex_iterator(); ++it)
        out.push_back(it->str());
    return out;
}

// A device as the PDF's (1200 dpi, twips with y up) or the picture's (pixels).
struct CDevice {
    QImage image{8, 8, QImage::Format_RGB32};
    QPainter painter{&image};
    CPlotFonts fonts;
};

// --- the sample site in every layout ---

struct CSiteCase {
    const char* what;
    int columns; // 0: the picture
};

class SiteCells : public ::testing::TestWithParam<CSiteCase> {};

TEST_P(SiteCells, TextsApartInsideTheirBoxesAndTheWholePileShows) {
    const CSiteCase& c = GetParam();
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf").Ok());
    ASSERT_EQ(doc.GetPileCount(), 30);
    const CPrintSettings settings = CPrintSettings::Defaults();

    CDevice device;
    PlotScale scale;
    int w = 512, h = 240;
    if (c.columns > 0) {
        CPrintSettings s = settings;
        s.m_nColumns = static_cast<int16_t>(c.columns);
        const CPageGrid g = MakePageGrid(s);
        scale = PlotScale{g.nScale, g.nScale, -g.nScale};
        w = g.nCellW / g.nScale;
        h = static_cast<int>(std::fabs(g.fRowH / -g.nScale));
        device.painter.setWorldTransform(QTransform::fromScale(1200.0 / 1440, -1200.0 / 1440));
    }
    CPlotCanvas canvas(device.painter, device.fonts, scale, false);
    if (c.columns > 0) {
        CPrintSettings s = settings;
        s.m_nColumns = static_cast<int16_t>(c.columns);
        const CPageGrid g = MakePageGrid(s);
        canvas.SetPaperGrid(g.nColumns, g.nRows);
        canvas.SetPaperUnits(1440 / 25.4);
    }
    const int smallest = canvas.MinTextHeight();
    EXPECT_EQ(smallest, c.columns > 0 ? 140 : 9) << "7 pt on paper, 9 pixels in a picture";

    for (const CPileRecord& rec : doc.m_Piles) {
        const std::string what = std::string(c.what) + ", " + rec.GetPileName();
        const int stored = rec.m_nStep;
        const CCellLayout cell = LayoutPrintedCell(canvas, w, h, rec, settings, true);
        EXPECT_EQ(rec.m_nStep, stored) << what;

        // The trace box and the information box share the cell; the trace is drawn at the step
        // fitted to its box, and the toe lies at least 50 columns inside it.
        EXPECT_EQ(cell.TraceBox.width() + cell.InfoBox.width(), cell.nCellW) << what;
        EXPECT_EQ(cell.Drawn.m_nStep, AreaStep(rec, cell.nTraceColumns)) << what;
        int toe = 0;
        ASSERT_TRUE(ToeColumn(cell.Drawn, toe)) << what;
        EXPECT_LE(toe, cell.nTraceColumns - 50) << what;
        EXPECT_GE(HeadColumn(cell.Drawn), 0) << what;

        // Every line of the information box is there, in a wording that keeps its numbers, at the
        // smallest allowed height or more.
        const std::vector<CInfoLine> lines = CellInfoLines(rec, settings);
        EXPECT_EQ(cell.Info.nDropped, 0) << what;
        ASSERT_EQ(cell.Info.m_Lines.size(), lines.size()) << what;
        EXPECT_GE(cell.Info.nHeight, smallest) << what;
        std::vector<std::pair<QString, QRect>> info;
        for (std::size_t i = 0; i < lines.size(); ++i) {
            const std::string shown = cell.Info.m_Lines[i].strText.toStdString();
            EXPECT_EQ(Numbers(shown), Numbers(lines[i].m_Variants.front())) << what << ": " << shown;
            info.emplace_back(cell.Info.m_Lines[i].strText, cell.Info.m_Lines[i].Rect);
        }
        ExpectApartAndInside(info, cell.InfoBox, what);

        // T1, T2, "#n", the depths and the defect labels: apart, inside the trace box, T2 left of
        // the information box, every defect labelled.
        ExpectApartAndInside(LabelTexts(cell.Labels), cell.TraceBox, what);
        ASSERT_TRUE(cell.Labels.T1 && cell.Labels.T2 && cell.Labels.Number) << what;
        EXPECT_LT(cell.Labels.T2->Rect.right(), cell.InfoBox.left()) << what;
        EXPECT_EQ(cell.Labels.m_DefectLabels.size(), static_cast<std::size_t>(rec.GetDefectCount())) << what;
        for (const auto* t : {&cell.Labels.T1, &cell.Labels.T2, &cell.Labels.Number})
            EXPECT_GE((*t)->nHeight, smallest) << what;
        for (const CPlacedText& t : cell.Labels.m_TickLabels) EXPECT_GE(t.nHeight, smallest) << what;

        // Round depths from the head, and the unit last.
        const std::vector<CPlacedText>& ticks = cell.Labels.m_TickLabels;
        ASSERT_GE(ticks.size(), 3u) << what << ": at least two depths and the unit";
        EXPECT_EQ(ticks.back().strText, QStringLiteral("m")) << what;
        const double first = ticks[0].strText.toDouble(), second = ticks[1].strText.toDouble();
        const double step = RoundTickStep(10 * (second - first), 10);
        EXPECT_NEAR(second - first, step, 1e-9) << what << ": ticks 1, 2 or 5 x 10^n apart";
        for (std::size_t i = 0; i + 1 < ticks.size(); ++i) {
            const double v = ticks[i].strText.toDouble();
            EXPECT_NEAR(std::remainder(v, step), 0.0, 1e-9) << what << ": " << v;
            EXPECT_LE(v, rec.m_fPileLength + 1e-6) << what;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(Layouts, SiteCells,
                         ::testing::Values(CSiteCase{"one column", 1}, CSiteCase{"two columns", 2},
                                           CSiteCase{"three columns", 3}, CSiteCase{"picture", 0}),
                         [](const auto& info) {
                             return info.param.columns > 0 ? "Columns" + std::to_string(info.param.columns)
                                                           : std::string("Picture");
                         });

// The picture draws what the layout says: the trace stays in its box (none under the information
// box), and runs on past the toe line, so the toe's echo shows.
TEST(SiteCellsDrawn, PictureTraceStaysInItsBoxAndShowsPastTheToe) {
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf").Ok());
    for (const int index : {0, 26, 29}) { // 1#, C-21, C-24
        const CPileRecord& rec = doc.m_Piles[static_cast<std::size_t>(index)];
        const QImage picture = RenderPilePicture(rec, PictureLayout::Single);
        CDevice device;
        CPlotCanvas canvas(device.painter, device.fonts, PlotScale{}, false);
        const CCellLayout cell = LayoutPrintedCell(canvas, 512, 240, rec, CPrintSettings::Defaults(), true);
        int toe = 0;
        ASSERT_TRUE(ToeColumn(cell.Drawn, toe));
        int underBox = 0, pastToe = 0;
        for (int y = 0; y < picture.height(); ++y)
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixelColor(x, y) != kColorTrace) continue;
                if (x >= 10 + cell.InfoBox.left()) ++underBox;
                if (x > 10 + toe + 5 && x < 10 + cell.InfoBox.left()) ++pastToe;
            }
        EXPECT_EQ(underBox, 0) << rec.GetPileName();
        EXPECT_GT(pastToe, 40) << rec.GetPileName();
    }
}

// --- boxes that crowd the labels ---

// A face 0.6 h wide per character, 1 h for a Chinese one.
double ModelWidth(const QString& s, int h) {
    double w = 0;
    for (const QChar ch : s) w += (ch.unicode() >= 0x2E80 ? 1.0 : 0.6) * h;
    return w;
}

TEST(TraceLabels, CrowdedBoxesPlaceTextsApartOrSkipThem) {
    constexpr int kNoToe = -99999;
    struct Case {
        const char* what;
        int w, h, head, toe;
        double length;
        std::vector<int> defects;
        bool upward;
        std::size_t labelled; // defect labels placed
    };
    const Case cases[] = {
        {"depths of an odd length on a short axis", 200, 120, 20, 150, 40.9, {}, true, 0},
        {"head and toe close together", 300, 120, 100, 112, 2.0, {}, true, 0},
        {"two defects four units apart", 400, 200, 40, 340, 15.0, {150, 154}, true, 2},
        {"three defects close, reading downwards", 400, 200, 40, 340, 15.0, {150, 154, 158}, false, 3},
        {"a defect on the toe line", 400, 200, 40, 340, 15.0, {340}, true, 1},
        {"a box too low for the depths", 400, 30, 40, 340, 15.0, {200}, true, 0},
        {"a box too low to stand a defect label: written across", 400, 90, 40, 340, 15.0, {150, 300}, true, 2},
        {"head at the box's left edge", 300, 150, 0, 240, 12.0, {}, true, 0},
        {"head and toe outside the box", 300, 150, -400, -20, 12.0, {}, true, 0},
        {"no toe: the record cannot convert", 300, 150, 40, kNoToe, 12.0, {100}, true, 1},
        {"a pile of a million metres", 300, 150, 40, 240, 1e6, {}, true, 0},
    };
    for (const Case& c : cases) {
        CTraceLabelInput in;
        in.nW = c.w;
        in.nH = c.h;
        in.nHeadX = c.head;
        if (c.toe != kNoToe) in.nToeX = c.toe;
        in.fLength = c.length;
        in.strNumber = QStringLiteral("#27");
        in.nTextHeight = 12;
        in.nDefectHeight = 12;
        in.bDefectsUpward = c.upward;
        for (const int x : c.defects) in.m_Defects.push_back({x, QStringLiteral("缩径 5.20m")});
        const CTraceLabels l = LayoutTraceLabels(in, ModelWidth, ModelWidth);
        const std::vector<std::pair<QString, QRect>> texts = LabelTexts(l);
        ExpectApartAndInside(texts, QRect(0, 0, c.w, c.h), c.what);
        EXPECT_EQ(l.m_DefectLabels.size(), c.labelled) << c.what;
        if (c.h >= 120 && c.toe > 0) {
            EXPECT_TRUE(l.T1 && l.T2 && l.Number) << c.what;
        }
        // T1 and T2 never sit across their own line.
        for (const auto& [mark, x] : {std::pair{&l.T1, c.head}, std::pair{&l.T2, c.toe}})
            if (*mark) {
                EXPECT_FALSE((*mark)->Rect.left() <= x && x <= (*mark)->Rect.right()) << c.what;
            }
        // Depth labels, where there are any, are round and end in the unit.
        if (!l.m_TickLabels.empty()) {
            EXPECT_EQ(l.m_TickLabels.back().strText, QStringLiteral("m")) << c.what;
        }
    }
}

TEST(TraceLabels, DepthsAreRoundAndAsDenseAsTheirWidthAllows) {
    struct Case {
        const char* what;
        int axis;      // head to toe, units
        double length; // m
        const char* expected;
    };
    const Case cases[] = {
        {"15 m on a long axis", 300, 15.0, "0 2 4 6 8 10 12 14 m"},
        {"15 m on a short axis", 75, 15.0, "0 5 10 15 m"},
        {"12 m", 240, 12.0, "0 1 2 3 4 5 6 7 8 9 10 11 12 m"},
        {"a short pile in tenths", 200, 1.3, "0 0.2 0.4 0.6 0.8 1 1.2 m"},
        {"a long pile", 300, 41.0, "0 5 10 15 20 25 30 35 40 m"},
    };
    for (const Case& c : cases) {
        CTraceLabelInput in;
        in.nW = c.axis + 100;
        in.nH = 200;
        in.nHeadX = 20;
        in.nToeX = 20 + c.axis;
        in.fLength = c.length;
        in.nTextHeight = 10;
        const CTraceLabels l = LayoutTraceLabels(in, ModelWidth, ModelWidth);
        QStringList shown;
        for (const CPlacedText& t : l.m_TickLabels) shown << t.strText;
        EXPECT_EQ(shown.join(' ').toStdString(), c.expected) << c.what;
        EXPECT_EQ(l.nSkipped, 0) << c.what;
    }
}

// The information box gives way in wording and height, never in numbers, and keeps out of its border.
TEST(InfoBox, ShortensWordingsAndShrinksTheFontBeforeDroppingLines) {
    CPileRecord rec;
    rec.SetPileName("C-21");
    rec.m_nDiameter = 800;
    rec.m_fPileLength = 15.f;
    rec.m_nWaveSpeed = 3830;
    rec.m_fGain = 4.f;
    rec.m_fGainDelay = 3.f;
    rec.m_fLowPass = 2.f;
    rec.m_fHighPass = 10.f;
    rec.SetTestDate("2024-05-12");
    const std::vector<CInfoLine> lines = CellInfoLines(rec, CPrintSettings::Defaults());
    struct Case {
        const char* what;
        int w, h;
        int height;  // expected font height (0: any between the smallest and the nominal)
        int dropped; // lines left out
    };
    const Case cases[] = {
        {"roomy box: nominal height", 300, 300, 16, 0},
        {"narrow box: shorter wordings, smaller font", 110, 300, 0, 0},
        {"low box: smallest height", 200, 160, 9, 0},
        {"very low box: lines left out", 200, 60, 9, 7},
    };
    for (const Case& c : cases) {
        const QRect box(50, 0, c.w, c.h);
        const CInfoBoxLayout l = LayoutInfoBox(lines, box, 16, 9, ModelWidth);
        if (c.height) {
            EXPECT_EQ(l.nHeight, c.height) << c.what;
        }
        EXPECT_EQ(l.nDropped, c.dropped) << c.what;
        std::vector<std::pair<QString, QRect>> texts;
        for (const CPlacedText& t : l.m_Lines) {
            texts.emplace_back(t.strText, t.Rect);
            EXPECT_LE(t.Rect.width(), box.width()) << c.what;
        }
        ExpectApartAndInside(texts, box, c.what);
        EXPECT_EQ(l.m_Lines.size() + static_cast<std::size_t>(l.nDropped), lines.size()) << c.what;
    }
}

} // namespace
} // namespace pw
