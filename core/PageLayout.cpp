// Page arithmetic of the printed pages (see PageLayout.h).
#include "core/PageLayout.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/CPileRecord.h"
#include "core/PileTypes.h"
#include "core/TextFormat.h"

namespace pw {
namespace {

double SafeCm(float v) {
    return std::isfinite(v) && v > 0 ? static_cast<double>(v) : 0.0;
}

// Shrinks two margins (cm) in proportion so that the paper side (mm) keeps at least 2 cm between them.
void FitMargins(int paperMm, double& a, double& b) {
    const double room = paperMm - 10.0 * (a + b);
    if (room >= 20.0) return;
    const double allowed = std::max(0.0, paperMm - 20.0) / 10.0;
    const double sum = a + b;
    const double f = sum > 0 ? allowed / sum : 0.0;
    a *= f;
    b *= f;
}

// The first n characters of a UTF-8 text.
std::string FirstCharacters(const std::string& s, std::size_t n) {
    std::size_t i = 0, count = 0;
    while (i < s.size() && count < n) {
        ++i;
        while (i < s.size() && (static_cast<unsigned char>(s[i]) & 0xC0) == 0x80)
            ++i;
        ++count;
    }
    return s.substr(0, i);
}

} // namespace

int CPageGrid::Left() const {
    return static_cast<int>(fLeft * kTwipsPerCm);
}
int CPageGrid::Right() const {
    return static_cast<int>((nPaperW - 10.0 * fRight) * kTwipsPerMm);
}
int CPageGrid::Top() const {
    return static_cast<int>(-fTop * kTwipsPerCm);
}

CPageGrid MakePageGrid(const CPrintSettings& s) {
    CPageGrid g;
    g.nColumns = std::clamp<int>(s.m_nColumns, 1, kMaxColumns);
    g.nRows = std::max<int>(s.m_nRows, 1);
    g.bPairs = s.m_bSpectra != 0;
    g.nPaperW = std::max<int>(s.m_nPaperWidth, 20);
    g.nPaperH = std::max<int>(s.m_nPaperHeight, 20);
    g.fTop = SafeCm(s.m_fTopMargin);
    g.fBottom = SafeCm(s.m_fBottomMargin);
    g.fLeft = SafeCm(s.m_fLeftMargin);
    g.fRight = SafeCm(s.m_fRightMargin);
    g.fHeader = SafeCm(s.m_fHeaderMargin);
    g.fFooter = SafeCm(s.m_fFooterMargin);
    FitMargins(g.nPaperW, g.fLeft, g.fRight);
    FitMargins(g.nPaperH, g.fTop, g.fBottom);

    g.nPrintH =
        std::max(kMinPrintable, static_cast<int>((g.nPaperH - 10 * g.fTop - 10 * g.fBottom) * kTwipsPerMm));
    g.nPrintW =
        std::max(kMinPrintable, static_cast<int>((g.nPaperW - 10 * g.fLeft - 10 * g.fRight) * kTwipsPerMm));

    // With pairs the rows are taken in twos (a trace row and its spectrum row). One row per page
    // still holds one pair: its two halves share the body.
    int bodyRows = g.nRows;
    if (g.bPairs) {
        if (g.nRows == 1) bodyRows = 2;
        g.nCellRows = bodyRows / 2;
    } else {
        g.nCellRows = g.nRows;
    }

    g.nScale = PageScale(g.nPrintW, g.nColumns);
    g.nCellW = g.nPrintW / g.nColumns;
    g.fRowH = static_cast<double>(g.nPrintH - kHeadingHeight) / bodyRows;
    return g;
}

int PageScale(int printWidth, int columns) {
    const int e = std::min(printWidth / 640, 15) / std::max(columns, 1);
    return std::max(e, 2);
}

int PageCount(const CPageGrid& g, int piles) {
    if (piles <= 0) return 0;
    const int perPage = g.nColumns * g.nCellRows; // piles (a pile is two items with pairs)
    return (piles + perPage - 1) / perPage;
}

std::vector<CPageCell> PageCells(const CPageGrid& g, int piles, int page) {
    std::vector<CPageCell> cells;
    if (page < 1) return cells;
    const long long first = static_cast<long long>(g.PilesPerPage()) * (page - 1);
    const long long left = piles - first;
    if (left <= 0) return cells;
    const int onPage = static_cast<int>(std::min<long long>(left, g.PilesPerPage()));
    const int rows = (onPage + g.nColumns - 1) / g.nColumns;
    const double top = g.Top() - kHeadingHeight;
    for (int i = 0; i < rows; ++i) {
        const int inRow = std::min(g.nColumns, onPage - i * g.nColumns);
        for (int j = 0; j < inRow; ++j) {
            CPageCell c;
            c.nItem = static_cast<int>(first) + i * g.nColumns + j;
            c.nColumn = j;
            c.nRow = g.bPairs ? 2 * i : i;
            c.nX = static_cast<int>(g.fLeft * kTwipsPerCm + j * g.nCellW);
            c.nY = static_cast<int>(top - c.nRow * g.fRowH);
            cells.push_back(c);
            if (g.bPairs) {
                c.bSpectrum = true;
                c.nRow = 2 * i + 1;
                c.nY = static_cast<int>(top - c.nRow * g.fRowH);
                cells.push_back(c);
            }
        }
    }
    return cells;
}

int PrintedPageTotal(const CPrintSettings& s, int pages) {
    if (s.m_nTotalPages > 0) return s.m_nTotalPages;
    return s.m_nStartPage - 1 + std::max(pages, 0);
}

std::string PageNumberText(int style, int total, int number) {
    switch (style) {
    case 0:
        return Format(" %d ", number);
    case 1:
        return Format(".%d.", number);
    case 2:
        return Format("--%d--", number);
    case 3:
        return Format("第 %d 页", number);
    case 4: {
        char buf[96];
        std::snprintf(buf, sizeof buf, "共 %d 页 第 %d 页", total, number);
        return buf;
    }
    default:
        return {};
    }
}

CBand HeaderBand(const CPageGrid& g) {
    const int line = static_cast<int>(-g.fHeader * kTwipsPerCm);
    return CBand{g.Left(), g.Right(), line + kBandHeight, line};
}

CBand FooterBand(const CPageGrid& g) {
    const int line = static_cast<int>(-(g.nPaperH - 10 * g.fFooter) * kTwipsPerMm);
    return CBand{g.Left(), g.Right(), line, line - kBandHeight};
}

bool PageNumberPlace(const CPageGrid& g, int position, CBand& band, BandAlign& align) {
    switch (position) {
    case 0:
    case 1:
    case 2:
        band = FooterBand(g);
        align = position == 0 ? BandAlign::Right : position == 1 ? BandAlign::Centre : BandAlign::Left;
        return true;
    case 3:
    case 4:
        band = HeaderBand(g);
        align = position == 3 ? BandAlign::Right : BandAlign::Left;
        return true;
    default:
        return false;
    }
}

std::string PrintDateText(CDate d) {
    char buf[32];
    std::snprintf(buf, sizeof buf, "%4d-%02d-%02d", d.nYear, d.nMonth, d.nDay);
    return buf;
}

std::vector<CPageText> HeadingLines(const CPageGrid& g, const CPrintSettings& s, const std::string& testUnit,
                                    const std::string& title, const std::string& siteName, CDate today) {
    std::vector<CPageText> lines;
    const int x1 = g.Left() + g.nPrintW / 20;
    const int x2 = g.Left() + g.nPrintW / 2;
    const int y1 = g.Top() - 250;
    const int y2 = g.Top() - 600;
    if (s.m_bTestUnit) lines.push_back({x1, y1, "检测单位名称: " + testUnit});
    if (s.m_bReportDate) lines.push_back({x1, y2, "打印日期: " + PrintDateText(today)});
    if (s.m_bFileName) lines.push_back({x2, y1, "文件名: " + title});
    if (s.m_bSiteName) lines.push_back({x2, y2, "工地名: " + siteName});
    return lines;
}

std::array<std::string, 7> InfoBoxLines(const CPileRecord& rec, const CPrintSettings& s) {
    std::array<std::string, 7> lines;
    if (s.m_bPileNo) lines[0] = "桩号:" + rec.GetPileName();
    if (s.m_bDiameter) lines[1] = Format("桩径:%dmm", static_cast<int>(rec.m_nDiameter));
    if (s.m_bPileType) lines[2] = PileTypeText(rec.m_nPileType);
    if (s.m_bTestDate) lines[3] = FirstCharacters(rec.GetTestDate(), 11);
    if (rec.m_fLowPass > 0) lines[4] = Format("低通:%.2fkHz", static_cast<double>(rec.m_fLowPass));
    if (rec.m_fHighPass > 0) lines[5] = Format("高通:%.2fHz", static_cast<double>(rec.m_fHighPass));
    lines[6] = Format("旋转:%d", static_cast<int>(rec.m_nRotate));
    return lines;
}

} // namespace pw
