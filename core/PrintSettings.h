// The print settings record: page layout and print flags, stored as "set.ini" (500 bytes, little-endian):
//   0 header text [200] GBK, NUL-terminated   | 424 top margin f32, cm
// 200 footer text [200]                       | 428 bottom margin f32
// 400 page-number format i16 (0..4)           | 432 left margin f32
// 402 page-number position i16 (0..4)         | 436 right margin f32
// 404 start page i16                          | 440 header margin f32 (header line from the top edge)
// 406 total pages i16                         | 444 footer margin f32
// 408 rows per page i16                       | 448..496 thirteen i32 flags: spectra, header, footer,
// 410 columns per page i16                    |   wave train, site name, inspection unit, test date,
// 412 paper kind i32 (0 A4, 1 B5, 2 custom)   |   pile number, report date, pile type, diameter,
// 416 paper height i32, mm                    |   site name again (492: this copy wins on reading),
// 420 paper width i32, mm                     |   file name
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "core/CByteSource.h"

namespace pw {

inline constexpr std::size_t kPrintSettingsSize = 500;
inline constexpr const char* kPrintSettingsFileName = "set.ini";
inline constexpr int kPaperA4 = 0, kPaperB5 = 1, kPaperCustom = 2;
inline constexpr int kMaxColumns = 3;
// Rows per page: up to 5 with one column, up to 10 with more.
inline int MaxRows(int columns) {
    return columns == 1 ? 5 : 10;
}

struct CPrintSettings {
    char m_szHeader[200] = {}; // GBK
    char m_szFooter[200] = {};
    int16_t m_nPageFormat = 4;   // index into PageNumberFormats()
    int16_t m_nPagePosition = 0; // index into PageNumberPositions(); 0 bottom right
    int16_t m_nStartPage = 1;
    int16_t m_nTotalPages = 0; // 0: as many as the print has (see PrintedPageTotal)
    int16_t m_nRows = 5;
    int16_t m_nColumns = 1;
    int32_t m_nPaperKind = kPaperA4;
    int32_t m_nPaperHeight = 297; // mm, the first number of the size
    int32_t m_nPaperWidth = 210;  // mm
    float m_fTopMargin = 2.f;     // cm
    float m_fBottomMargin = 2.f;
    float m_fLeftMargin = 2.f;
    float m_fRightMargin = 2.f;
    float m_fHeaderMargin = 2.f;
    float m_fFooterMargin = 2.f;
    int32_t m_bSpectra = 0;
    int32_t m_bHeader = 1;
    int32_t m_bFooter = 1;
    int32_t m_bWaveTrain = 1;
    int32_t m_bSiteName = 1; // stored twice, at 464 and 492
    int32_t m_bTestUnit = 1;
    int32_t m_bTestDate = 1;
    int32_t m_bPileNo = 1;
    int32_t m_bReportDate = 1;
    int32_t m_bPileType = 1;
    int32_t m_bDiameter = 1;
    int32_t m_bFileName = 1;

    // The record used when no file exists: the test unit's field in header and footer, page totals
    // counted automatically.
    static CPrintSettings Defaults();

    std::string GetHeader() const; // UTF-8
    std::string GetFooter() const;
    void SetHeader(std::string_view utf8); // cut to 199 bytes at a character boundary
    void SetFooter(std::string_view utf8);
};

// The field a header or footer text may hold for the project's test unit; the default text of both.
inline constexpr const char* kTestUnitField = "[检测单位]";

// A header or footer as it prints: every test unit field replaced by the project's test unit, and the
// maker's name that earlier settings files hold as their untouched default read as that field too.
// Any other text prints as typed; an empty one prints nothing.
std::string PrintedBandText(const std::string& text, const std::string& testUnit);

// The five page-number formats and positions, as the lists show them (UTF-8).
const std::vector<std::string>& PageNumberFormats();
const std::vector<std::string>& PageNumberPositions();

// Reads the record as far as the data goes; every field the data does not hold whole keeps its
// default (a text cut short keeps what is there). Values that would break page layout (rows or
// columns outside what the dialog offers, margins that are not numbers, a paper side of 0 mm or less)
// are replaced by the defaults and noted. Returns the number of bytes the data held (at most 500).
std::size_t ReadPrintSettings(CByteSource& src, CPrintSettings& out,
                              std::vector<std::string>* notes = nullptr);
bool WritePrintSettings(CByteSink& sink, const CPrintSettings& s);

// The file: a missing or unreadable file gives the defaults (nothing is written then).
CPrintSettings LoadPrintSettings(const std::string& path, std::vector<std::string>* notes = nullptr);
// Atomically, creating the folder when needed. "" or what went wrong.
std::string SavePrintSettings(const std::string& path, const CPrintSettings& s);

} // namespace pw
