// Page arithmetic of the printed pages, the .bmp layout and the picture file names.
#include <gtest/gtest.h>

#include "core/CPileRecord.h"
#include "core/PageLayout.h"
#include "core/PictureFiles.h"

namespace pw {
namespace {

CPrintSettings A4(int columns, int rows, bool pairs = false) {
    CPrintSettings s = CPrintSettings::Defaults();
    s.m_nPaperHeight = 297;
    s.m_nPaperWidth = 210;
    s.m_fTopMargin = s.m_fBottomMargin = s.m_fLeftMargin = s.m_fRightMargin = 2.f;
    s.m_nColumns = static_cast<int16_t>(columns);
    s.m_nRows = static_cast<int16_t>(rows);
    s.m_bSpectra = pairs ? 1 : 0;
    return s;
}

TEST(PageGrid, A4WithTwoCentimetreMarginsScalesByColumns) {
    // Columns 4 and 5 are beyond what the layout takes: they are laid out as three.
    const struct {
        int columns, scale, cellW;
    } cases[] = {{1, 14, 9520}, {2, 7, 4760}, {3, 4, 3173}, {4, 4, 3173}, {5, 4, 3173}};
    const int scales[] = {14, 7, 4, 3, 2}; // one to five columns
    for (int columns = 1; columns <= 5; ++columns)
        EXPECT_EQ(PageScale(9520, columns), scales[columns - 1]) << columns;
    for (const auto& c : cases) {
        const CPageGrid g = MakePageGrid(A4(c.columns, 5));
        EXPECT_EQ(g.nPrintW, 9520) << c.columns;
        EXPECT_EQ(g.nPrintH, 14392) << c.columns;
        EXPECT_EQ(g.nScale, c.scale) << c.columns;
        EXPECT_EQ(g.nCellW, c.cellW) << c.columns;
    }
}

TEST(PageGrid, ScaleBeforeColumnsFollowsThePrintableWidth) {
    // e = pw / 640 at most 15, then divided by the columns, at least 2. A paper of 400 mm gives
    // pw = 360 x 56 = 20160 twips, 31 -> 15.
    const struct {
        int paperW, columns, scale;
    } cases[] = {{400, 1, 15}, {400, 2, 7}, {400, 3, 5}, {100, 1, 5}, {100, 3, 2}};
    for (const auto& c : cases) {
        CPrintSettings s = A4(c.columns, 5);
        s.m_nPaperWidth = c.paperW;
        EXPECT_EQ(MakePageGrid(s).nScale, c.scale) << c.paperW << " mm, " << c.columns;
    }
}

TEST(PageGrid, SettingsThatLeaveNoBodyAreClamped) {
    CPrintSettings s = A4(0, 0);
    s.m_fLeftMargin = s.m_fRightMargin = 15.f; // 30 cm of margins on 21 cm paper
    s.m_fTopMargin = -3.f;
    const CPageGrid g = MakePageGrid(s);
    EXPECT_EQ(g.nColumns, 1);
    EXPECT_EQ(g.nRows, 1);
    EXPECT_GE(g.nPrintW, kMinPrintable);
    EXPECT_EQ(g.fTop, 0.0);
    EXPECT_GE(g.Left(), 0);
    EXPECT_LE(g.Left() + g.nPrintW, 210 * kTwipsPerMm);
    EXPECT_EQ(PageCount(g, 3), 3);
}

TEST(PageGrid, PagesAndCells) {
    const struct {
        const char* what;
        int columns, rows;
        bool pairs;
        int piles, pages;
        std::vector<int> cellsPerPage; // trace cells on each page
    } cases[] = {
        {"five piles, 2 x 3", 2, 3, false, 5, 1, {5}},
        {"five piles with pairs, 2 x 4", 2, 4, true, 5, 2, {4, 1}},
        {"pairs with three rows: one pair row", 2, 3, true, 5, 3, {2, 2, 1}},
        {"pairs with one row: one pair row", 1, 1, true, 3, 3, {1, 1, 1}},
        {"five rows, one column, 500 piles", 1, 5, false, 500, 100, {}},
        {"nothing to print", 1, 5, false, 0, 0, {}},
    };
    for (const auto& c : cases) {
        const CPageGrid g = MakePageGrid(A4(c.columns, c.rows, c.pairs));
        ASSERT_EQ(PageCount(g, c.piles), c.pages) << c.what;
        int item = 0;
        for (std::size_t p = 0; p < c.cellsPerPage.size(); ++p) {
            int traces = 0;
            for (const CPageCell& cell : PageCells(g, c.piles, static_cast<int>(p) + 1)) {
                if (cell.bSpectrum) continue;
                EXPECT_EQ(cell.nItem, item++) << c.what;
                ++traces;
            }
            EXPECT_EQ(traces, c.cellsPerPage[p]) << c.what << ", page " << p + 1;
        }
        EXPECT_TRUE(PageCells(g, c.piles, c.pages + 1).empty()) << c.what;
    }
}

TEST(PageGrid, CellPositions) {
    // Five piles, two columns, three rows: rh = (14392 - 1000) / 3; the third row holds one cell.
    const CPageGrid g = MakePageGrid(A4(2, 3));
    const std::vector<CPageCell> cells = PageCells(g, 5, 1);
    ASSERT_EQ(cells.size(), 5u);
    const double rh = (14392 - 1000) / 3.0;
    const struct {
        int x, y, row, column;
    } want[] = {{1120, -2120, 0, 0},
                {1120 + 4760, -2120, 0, 1},
                {1120, static_cast<int>(-2120 - rh), 1, 0},
                {1120 + 4760, static_cast<int>(-2120 - rh), 1, 1},
                {1120, static_cast<int>(-2120 - 2 * rh), 2, 0}};
    for (std::size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].nX, want[i].x) << i;
        EXPECT_EQ(cells[i].nY, want[i].y) << i;
        EXPECT_EQ(cells[i].nRow, want[i].row) << i;
        EXPECT_EQ(cells[i].nColumn, want[i].column) << i;
    }
    // With pairs the spectrum lies in the row below its trace.
    const CPageGrid pg = MakePageGrid(A4(2, 4, true));
    const std::vector<CPageCell> paired = PageCells(pg, 5, 2);
    ASSERT_EQ(paired.size(), 2u);
    EXPECT_EQ(paired[0].nItem, 4);
    EXPECT_FALSE(paired[0].bSpectrum);
    EXPECT_TRUE(paired[1].bSpectrum);
    EXPECT_EQ(paired[1].nY, static_cast<int>(-2120 - (14392 - 1000) / 4.0));
}

TEST(PageNumber, Styles) {
    const struct {
        int style, total, number;
        const char* text;
    } cases[] = {{0, 12, 3, " 3 "},
                 {1, 12, 3, ".3."},
                 {2, 12, 3, "--3--"},
                 {3, 12, 3, "第 3 页"},
                 {4, 12, 3, "共 12 页 第 3 页"},
                 {5, 12, 3, ""},
                 {-1, 12, 3, ""}};
    for (const auto& c : cases)
        EXPECT_EQ(PageNumberText(c.style, c.total, c.number), c.text) << c.style;
}

// The total a page number counts to: 0 (the default) counts this print's pages on from the first page
// number; a total the user stored wins, the old default 10 among them; no file gives 0.
TEST(PageNumber, TotalAutomaticUnlessTyped) {
    const struct {
        int stored, first, pages, total;
    } cases[] = {
        {0, 1, 3, 3},   {0, 1, 1, 1},   {0, 5, 3, 7},   {0, 0, 4, 3}, {0, 1, 0, 0},
        {10, 1, 1, 10}, {40, 4, 2, 40}, {-3, 1, 2, 2}, {7, 1, 12, 7},
    };
    for (const auto& c : cases) {
        CPrintSettings s = CPrintSettings::Defaults();
        s.m_nTotalPages = static_cast<int16_t>(c.stored);
        s.m_nStartPage = static_cast<int16_t>(c.first);
        EXPECT_EQ(PrintedPageTotal(s, c.pages), c.total) << c.stored << " from " << c.first << ", " << c.pages;
    }
    CPrintSettings automatic = LoadPrintSettings("/nonexistent/pilewave/set.ini");
    EXPECT_EQ(automatic.m_nTotalPages, 0);
    EXPECT_EQ(PageNumberText(4, PrintedPageTotal(automatic, 3), automatic.m_nStartPage), "共 3 页 第 1 页");
}

TEST(PageNumber, PlacesAndBands) {
    const CPageGrid g = MakePageGrid(A4(1, 5));
    const struct {
        int position;
        bool placed, footer;
        BandAlign align;
    } cases[] = {{0, true, true, BandAlign::Right}, {1, true, true, BandAlign::Centre},
                 {2, true, true, BandAlign::Left},  {3, true, false, BandAlign::Right},
                 {4, true, false, BandAlign::Left}, {5, false, false, BandAlign::Left}};
    for (const auto& c : cases) {
        CBand band;
        BandAlign align = BandAlign::Left;
        ASSERT_EQ(PageNumberPlace(g, c.position, band, align), c.placed) << c.position;
        if (!c.placed) continue;
        EXPECT_EQ(band.nTop, c.footer ? -(297 - 20) * 56 : -1120 + 300) << c.position;
        EXPECT_EQ(band.nTop - band.nBottom, 300) << c.position;
        EXPECT_EQ(align, c.align) << c.position;
        EXPECT_EQ(band.nLeft, 1120);
        EXPECT_EQ(band.nRight, (210 - 20) * 56);
    }
}

TEST(Heading, LinesFollowTheirFlags) {
    const CPageGrid g = MakePageGrid(A4(1, 5));
    CPrintSettings s = A4(1, 5);
    std::vector<CPageText> lines = HeadingLines(g, s, "单位", "a.wvf", "工地", CDate{2026, 3, 9});
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].strText, "检测单位名称: 单位");
    EXPECT_EQ(lines[0].nX, 1120 + 476);
    EXPECT_EQ(lines[0].nY, -1120 - 250);
    EXPECT_EQ(lines[1].strText, "打印日期: 2026-03-09");
    EXPECT_EQ(lines[1].nY, -1120 - 600);
    EXPECT_EQ(lines[2].strText, "文件名: a.wvf");
    EXPECT_EQ(lines[2].nX, 1120 + 4760);
    EXPECT_EQ(lines[3].strText, "工地名: 工地");
    s.m_bTestUnit = s.m_bReportDate = s.m_bFileName = 0;
    lines = HeadingLines(g, s, "单位", "a.wvf", "工地", CDate{2026, 3, 9});
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].strText, "工地名: 工地");
}

TEST(InfoBox, LinesAndFlags) {
    CPileRecord rec;
    rec.SetPileName("12-3");
    rec.m_nDiameter = 800;
    rec.m_nPileType = 0;
    rec.SetTestDate("2026-03-09 10:20");
    rec.m_nRotate = -4;
    CPrintSettings s = CPrintSettings::Defaults();
    std::array<std::string, 7> lines = InfoBoxLines(rec, s);
    EXPECT_EQ(lines[0], "桩号:12-3");
    EXPECT_EQ(lines[1], "桩径:800mm");
    EXPECT_EQ(lines[2], "沉管灌注桩");
    EXPECT_EQ(lines[3], "2026-03-09 "); // at most 11 characters
    EXPECT_EQ(lines[4], "");            // no filters: lines 5 and 6 stay empty
    EXPECT_EQ(lines[5], "");
    EXPECT_EQ(lines[6], "旋转:-4");
    rec.m_fLowPass = 1.5f;
    rec.m_fHighPass = 20.f;
    s.m_bPileNo = s.m_bDiameter = s.m_bPileType = s.m_bTestDate = 0;
    lines = InfoBoxLines(rec, s);
    EXPECT_EQ(lines[0] + lines[1] + lines[2] + lines[3], "");
    EXPECT_EQ(lines[4], "低通:1.50kHz");
    EXPECT_EQ(lines[5], "高通:20.00Hz");
}

TEST(Bmp, HeaderOfA24BitPicture) {
    const int w = 532, h = 260;
    std::vector<uint32_t> px(static_cast<std::size_t>(w) * h, 0xFFFFFFFF);
    px[0] = 0xFF0A141E;                                   // top left: R 10, G 20, B 30
    px[static_cast<std::size_t>(h - 1) * w] = 0xFF010203; // bottom left
    const std::vector<uint8_t> bmp = EncodeBmp24Xrgb(w, h, px.data(), w * 4);
    auto u32 = [&](int at) {
        return bmp[at] | bmp[at + 1] << 8 | bmp[at + 2] << 16 | static_cast<uint32_t>(bmp[at + 3]) << 24;
    };
    auto u16 = [&](int at) { return bmp[at] | bmp[at + 1] << 8; };
    EXPECT_EQ(BmpRowSize(24, w), 1596);
    ASSERT_EQ(bmp.size(), 415014u);
    EXPECT_EQ(u16(0), 19778);
    EXPECT_EQ(u32(2), 415014u);
    EXPECT_EQ(u32(6), 0u);
    EXPECT_EQ(u32(10), 54u);
    EXPECT_EQ(u32(14), 40u);
    EXPECT_EQ(u32(18), 532u);
    EXPECT_EQ(u32(22), 260u);
    EXPECT_EQ(u16(26), 1);
    EXPECT_EQ(u16(28), 24);
    EXPECT_EQ(u32(30), 0u);
    EXPECT_EQ(u32(34), 0u);
    EXPECT_EQ(u32(38), 532u);
    EXPECT_EQ(u32(42), 260u);
    EXPECT_EQ(u32(46), 0u);
    EXPECT_EQ(u32(50), 0u);
    // Bottom-up rows in B G R.
    EXPECT_EQ(bmp[54], 3);
    EXPECT_EQ(bmp[56], 1);
    const std::size_t topRow = 54 + 1596u * 259;
    EXPECT_EQ(bmp[topRow], 30);
    EXPECT_EQ(bmp[topRow + 2], 10);
    EXPECT_TRUE(EncodeBmp24Xrgb(0, 5, px.data(), 0).empty());
}

TEST(Bmp, RowsArePaddedToFourBytes) {
    // Five pixels of three bytes: rows of 16 bytes, the last one padding.
    const std::vector<uint32_t> px(5 * 2, 0xFFFFFFFF);
    const std::vector<uint8_t> bmp = EncodeBmp24Xrgb(5, 2, px.data(), 20);
    EXPECT_EQ(BmpRowSize(24, 5), 16);
    ASSERT_EQ(bmp.size(), 54u + 32u);
    EXPECT_EQ(bmp[54 + 14], 255);
    EXPECT_EQ(bmp[54 + 15], 0);
    EXPECT_EQ(bmp[54 + 31], 0);
    EXPECT_EQ(BmpRowSize(8, 5), 8);
    EXPECT_EQ(BmpRowSize(1, 33), 8);
}

TEST(PictureFileNames, PileNamesCannotLeaveTheFolder) {
    const struct {
        const char* pile;
        const char* file;
    } cases[] = {{"12-3", "12-3-4.bmp"},   {"../x", "_x-4.bmp"},  {"a/b", "a_b-4.bmp"},
                 {"..", "_-4.bmp"},        {"", "_-4.bmp"},       {" 桩7 ", "桩7-4.bmp"},
                 {"a:b*?", "a_b__-4.bmp"}, {"c\\d", "c_d-4.bmp"}, {"x\ty", "x_y-4.bmp"}};
    for (const auto& c : cases)
        EXPECT_EQ(PictureFileName(c.pile, 4), c.file) << c.pile;
}

TEST(PrintedPiles, TickedInListOrderElseSelected) {
    std::vector<CPileRecord> piles(4);
    for (int i = 0; i < 4; ++i)
        piles[i].m_nPileNo = i + 1;
    EXPECT_EQ(PrintedPiles(piles, {3, 1}), (std::vector<int>{0, 2}));
    piles[3].m_bChecked = 1;
    piles[1].m_bChecked = 1;
    EXPECT_EQ(PrintedPiles(piles, {3, 1}), (std::vector<int>{1, 3}));
}

} // namespace
} // namespace pw
