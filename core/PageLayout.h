// Layout of the printed pages in twips (1/1440 inch, y pointing up: the page's top edge is y = 0 and
// the body has negative y): page count, the cells of one page, the header and footer bands, the page
// number, the heading block and the information box of a cell. Plain arithmetic over the print
// settings, shared by printing, preview, the PDF and the picture export.
#pragma once

#include <array>
#include <string>
#include <vector>

#include "core/CDate.h"
#include "core/PrintSettings.h"

namespace pw {

class CPileRecord;

// Lengths on paper: these rounded factors, not 56.7 twips per millimetre.
inline constexpr int kTwipsPerMm = 56;
inline constexpr int kTwipsPerCm = 560;
inline constexpr int kHeadingHeight = 1000;            // heading block above the cells
inline constexpr int kBandHeight = 300;                // header and footer text bands
inline constexpr int kMinPrintable = 20 * kTwipsPerMm; // 2 cm each way at least

// The page grid after the settings were made safe to lay out: at least one row and one column, at
// most three columns, margins that leave at least 2 cm each way, and pairs with one row per page laid
// out as one pair row per page.
struct CPageGrid {
    int nColumns = 1; // Nc
    int nRows = 5;    // Nr as set (the row height divides the body by it)
    bool bPairs = false;
    int nCellRows = 5;                // rows of piles on a page: pair rows with pairs, else Nr
    int nPaperW = 210, nPaperH = 297; // mm
    double fTop = 2, fBottom = 2, fLeft = 2, fRight = 2, fHeader = 2, fFooter = 2; // cm
    int nPrintW = 0;                                                               // pw, twips
    int nPrintH = 0;                                                               // ph, twips
    int nScale = 2;   // e: pen, x and (negated) y scale of the cells
    int nCellW = 0;   // cw
    double fRowH = 0; // rh
    int PilesPerPage() const { return nColumns * nCellRows; }
    int Left() const;  // L x 560
    int Right() const; // (Wp - 10 Rm) x 56
    int Top() const;   // -T x 560
};

CPageGrid MakePageGrid(const CPrintSettings& s);

// Scale e of the cells: pw / 640 (integer), at most 15, then divided by the columns, at least 2.
int PageScale(int printWidth, int columns);

// Pages for n piles: ceiling(items / (Nc x rows per page)), items = n or 2n with pairs.
int PageCount(const CPageGrid& g, int piles);

// One cell of a page: which pile of the printed list (0-based) and where its box starts (twips).
struct CPageCell {
    int nItem = 0;
    int nRow = 0, nColumn = 0; // row band of the page (with pairs the trace's row, 2i)
    int nX = 0, nY = 0;
    bool bSpectrum = false; // the spectrum cell below the trace (pairs only)
};
// The cells of page p (1-based), row by row; empty beyond the last page.
std::vector<CPageCell> PageCells(const CPageGrid& g, int piles, int page);

// The total the page numbers count to ("共 N 页"): a total the user typed (above 0) as typed, for pages
// that belong to a larger document; otherwise the last page number of this print, first - 1 + pages.
int PrintedPageTotal(const CPrintSettings& s, int pages);

// The page number in its style (0..4; any other style: nothing), UTF-8.
std::string PageNumberText(int style, int total, int number);

// A text band (twips, top > bottom since y points up) and how the text sits in it.
enum class BandAlign { Left, Centre, Right };
struct CBand {
    int nLeft = 0, nRight = 0, nTop = 0, nBottom = 0;
};
CBand HeaderBand(const CPageGrid& g); // 300 twips above y = -Hd x 560; its line runs along the bottom
CBand FooterBand(const CPageGrid& g); // 300 twips below y = -(Hp - 10 Fd) x 56; its line along the top
// Where the page number goes: the footer band for positions 0 (right), 1 (centre), 2 (left), the
// header band for 3 (right) and 4 (left); false for any other position.
bool PageNumberPlace(const CPageGrid& g, int position, CBand& band, BandAlign& align);

// A line of text anchored at its top left, twips.
struct CPageText {
    int nX = 0, nY = 0;
    std::string strText;
};
// The heading block's lines (test unit, print date, file name, site name), each when its flag is set.
std::vector<CPageText> HeadingLines(const CPageGrid& g, const CPrintSettings& s, const std::string& testUnit,
                                    const std::string& title, const std::string& siteName, CDate today);
std::string PrintDateText(CDate d); // "2026-03-09"

// The seven lines of a cell's information box (UTF-8; "" where a line is not shown): pile name,
// diameter, pile type, test date (at most 11 characters), low-pass, high-pass, rotation.
std::array<std::string, 7> InfoBoxLines(const CPileRecord& rec, const CPrintSettings& s);

// A cell's parts in plot units (the drawing multiplies them by the scales): trace box tw wide, the
// information box w - tw wide to its right, both h high.
struct CCellParts {
    int nW = 0, nH = 0, nTraceW = 0;
};
inline CCellParts CellParts(int w, int h) {
    return {w, h, 4 * w / 5};
}

} // namespace pw
