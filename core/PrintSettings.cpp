// Print settings: defaults, the 500-byte reader (as far as the data goes) and the writer.
#include "core/PrintSettings.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <filesystem>

#include "core/GbkText.h"

namespace pw {
namespace {

// The header and footer that settings files written before the test unit field hold untouched.
constexpr const char* kOldDefaultText = "Qelvora科技有限责任公司";

// Field offsets of the stored record.
constexpr std::size_t kHeaderAt = 0, kFooterAt = 200, kIntsAt = 400, kPaperAt = 412, kMarginsAt = 424,
                      kFlagsAt = 448, kSiteNameAt = 464, kSiteNameAgainAt = 492;

int16_t I16At(const uint8_t* p) {
    return static_cast<int16_t>(p[0] | (p[1] << 8));
}
int32_t I32At(const uint8_t* p) {
    return static_cast<int32_t>(uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) |
                                (uint32_t(p[3]) << 24));
}
float F32At(const uint8_t* p) {
    const uint32_t bits = static_cast<uint32_t>(I32At(p));
    float f;
    std::memcpy(&f, &bits, 4);
    return f;
}

// The flags in stored order from offset 448; the site name appears twice (464 and 492).
int32_t* FlagSlot(CPrintSettings& s, int i) {
    int32_t* slots[13] = {&s.m_bSpectra,  &s.m_bHeader,   &s.m_bFooter,  &s.m_bWaveTrain,  &s.m_bSiteName,
                          &s.m_bTestUnit, &s.m_bTestDate, &s.m_bPileNo,  &s.m_bReportDate, &s.m_bPileType,
                          &s.m_bDiameter, &s.m_bSiteName, &s.m_bFileName};
    return slots[i];
}

float* MarginSlot(CPrintSettings& s, int i) {
    float* slots[6] = {&s.m_fTopMargin,   &s.m_fBottomMargin, &s.m_fLeftMargin,
                       &s.m_fRightMargin, &s.m_fHeaderMargin, &s.m_fFooterMargin};
    return slots[i];
}

} // namespace

CPrintSettings CPrintSettings::Defaults() {
    CPrintSettings s;
    s.SetHeader(kTestUnitField);
    s.SetFooter(kTestUnitField);
    return s;
}

std::string PrintedBandText(const std::string& text, const std::string& testUnit) {
    if (text == kOldDefaultText) return testUnit;
    const std::string field = kTestUnitField;
    std::string out;
    std::size_t from = 0;
    for (std::size_t at; (at = text.find(field, from)) != std::string::npos; from = at + field.size())
        out.append(text, from, at - from).append(testUnit);
    return out.append(text, from, std::string::npos);
}

std::string CPrintSettings::GetHeader() const {
    return FieldUtf8(m_szHeader);
}
std::string CPrintSettings::GetFooter() const {
    return FieldUtf8(m_szFooter);
}
void CPrintSettings::SetHeader(std::string_view utf8) {
    SetFieldUtf8(m_szHeader, utf8);
}
void CPrintSettings::SetFooter(std::string_view utf8) {
    SetFieldUtf8(m_szFooter, utf8);
}

const std::vector<std::string>& PageNumberFormats() {
    static const std::vector<std::string> formats = {"1", ".1.", "--1--", "第1页", "共1页   第1页"};
    return formats;
}

const std::vector<std::string>& PageNumberPositions() {
    static const std::vector<std::string> positions = {"底部居右", "底部居中", "底部居左", "顶部居右",
                                                       "顶部居左"};
    return positions;
}

std::size_t ReadPrintSettings(CByteSource& src, CPrintSettings& out, std::vector<std::string>* notes) {
    uint8_t buf[kPrintSettingsSize];
    std::size_t n = 0;
    while (n < sizeof buf) {
        const std::size_t got = src.Read(buf + n, sizeof buf - n);
        if (got == 0) break;
        n += got;
    }
    CPrintSettings s = CPrintSettings::Defaults();
    auto whole = [n](std::size_t at, std::size_t width) { return at + width <= n; };
    // A text cut short keeps what is there; a number cut short keeps its default.
    if (n > kHeaderAt)
        ReadFieldText(s.m_szHeader, sizeof s.m_szHeader, reinterpret_cast<const char*>(buf + kHeaderAt),
                      std::min<std::size_t>(200, n - kHeaderAt));
    if (n > kFooterAt)
        ReadFieldText(s.m_szFooter, sizeof s.m_szFooter, reinterpret_cast<const char*>(buf + kFooterAt),
                      std::min<std::size_t>(200, n - kFooterAt));
    int16_t* ints[6] = {&s.m_nPageFormat, &s.m_nPagePosition, &s.m_nStartPage,
                        &s.m_nTotalPages, &s.m_nRows,         &s.m_nColumns};
    for (int i = 0; i < 6; ++i)
        if (whole(kIntsAt + 2 * i, 2)) *ints[i] = I16At(buf + kIntsAt + 2 * i);
    int32_t* paper[3] = {&s.m_nPaperKind, &s.m_nPaperHeight, &s.m_nPaperWidth};
    for (int i = 0; i < 3; ++i)
        if (whole(kPaperAt + 4 * i, 4)) *paper[i] = I32At(buf + kPaperAt + 4 * i);
    for (int i = 0; i < 6; ++i)
        if (whole(kMarginsAt + 4 * i, 4)) *MarginSlot(s, i) = F32At(buf + kMarginsAt + 4 * i);
    // In stored order, so the copy at 492 overwrites the one at 464.
    for (int i = 0; i < 13; ++i)
        if (whole(kFlagsAt + 4 * i, 4)) *FlagSlot(s, i) = I32At(buf + kFlagsAt + 4 * i);
    static_assert(kFlagsAt + 4 * 4 == kSiteNameAt && kFlagsAt + 4 * 11 == kSiteNameAgainAt);

    // Printing divides the page by rows and columns and lays it out on the paper size: a damaged or
    // hand-made file must not hand it a zero, a negative size or a margin that is not a number.
    CPrintSettings d = CPrintSettings::Defaults();
    auto note = [notes](std::string what) {
        if (notes) notes->push_back(std::move(what));
    };
    if (s.m_nColumns < 1 || s.m_nColumns > kMaxColumns) {
        note("columns " + std::to_string(s.m_nColumns) + " replaced by " + std::to_string(d.m_nColumns));
        s.m_nColumns = d.m_nColumns;
    }
    if (s.m_nRows < 1 || s.m_nRows > MaxRows(2)) {
        note("rows " + std::to_string(s.m_nRows) + " replaced by " + std::to_string(d.m_nRows));
        s.m_nRows = d.m_nRows;
    }
    if (s.m_nPaperHeight <= 0 || s.m_nPaperWidth <= 0) {
        note("paper " + std::to_string(s.m_nPaperHeight) + " x " + std::to_string(s.m_nPaperWidth) +
             " mm replaced by A4");
        s.m_nPaperKind = kPaperA4;
        s.m_nPaperHeight = d.m_nPaperHeight;
        s.m_nPaperWidth = d.m_nPaperWidth;
    }
    for (int i = 0; i < 6; ++i) {
        float* m = MarginSlot(s, i);
        if (!std::isfinite(*m)) {
            note("margin " + std::to_string(i) + " is not a number; the default is used");
            *m = *MarginSlot(d, i);
        }
    }
    out = s;
    return n;
}

bool WritePrintSettings(CByteSink& sink, const CPrintSettings& s) {
    CBinWriter w(sink);
    w.Bytes(s.m_szHeader, sizeof s.m_szHeader);
    w.Bytes(s.m_szFooter, sizeof s.m_szFooter);
    for (int16_t v :
         {s.m_nPageFormat, s.m_nPagePosition, s.m_nStartPage, s.m_nTotalPages, s.m_nRows, s.m_nColumns})
        w.I16(v);
    for (int32_t v : {s.m_nPaperKind, s.m_nPaperHeight, s.m_nPaperWidth})
        w.I32(v);
    for (float v : {s.m_fTopMargin, s.m_fBottomMargin, s.m_fLeftMargin, s.m_fRightMargin, s.m_fHeaderMargin,
                    s.m_fFooterMargin})
        w.F32(v);
    CPrintSettings copy = s;
    for (int i = 0; i < 13; ++i)
        w.I32(*FlagSlot(copy, i));
    return w.Ok();
}

CPrintSettings LoadPrintSettings(const std::string& path, std::vector<std::string>* notes) {
    CPrintSettings s = CPrintSettings::Defaults();
    if (auto file = CFileSource::Open(path, nullptr)) ReadPrintSettings(*file, s, notes);
    return s;
}

std::string SavePrintSettings(const std::string& path, const CPrintSettings& s) {
    std::error_code ec;
    const std::filesystem::path parent = std::filesystem::path(path).parent_path();
    if (!parent.empty()) std::filesystem::create_directories(parent, ec);
    return WriteFileAtomically(path, [&s](CByteSink& sink) { return WritePrintSettings(sink, s); });
}

} // namespace pw
