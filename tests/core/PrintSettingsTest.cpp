// The print settings record: the stored layout field by field, reading short and damaged files, the
// second site-name copy, and the file that may be missing.
#include "core/PrintSettings.h"

#include <cmath>
#include <filesystem>
#include <gtest/gtest.h>
#include <limits>

#include "Fixtures.h"
#include "core/GbkText.h"

namespace {

using namespace pw;
namespace fs = std::filesystem;

int16_t I16(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<int16_t>(b[at] | (b[at + 1] << 8));
}
int32_t I32(const std::vector<uint8_t>& b, std::size_t at) {
    return static_cast<int32_t>(uint32_t(b[at]) | uint32_t(b[at + 1]) << 8 | uint32_t(b[at + 2]) << 16 |
                                uint32_t(b[at + 3]) << 24);
}
float F32(const std::vector<uint8_t>& b, std::size_t at) {
    const uint32_t u = static_cast<uint32_t>(I32(b, at));
    float f;
    std::memcpy(&f, &u, 4);
    return f;
}
std::string Text(const std::vector<uint8_t>& b, std::size_t at, std::size_t width) {
    return GbkToUtf8(FieldText(reinterpret_cast<const char*>(b.data() + at), width));
}

std::vector<uint8_t> Bytes(const CPrintSettings& s) {
    CMemorySink sink;
    EXPECT_TRUE(WritePrintSettings(sink, s));
    return sink.m_Bytes;
}

CPrintSettings Read(const std::vector<uint8_t>& b, std::vector<std::string>* notes = nullptr) {
    CMemorySource src(b);
    CPrintSettings s;
    ReadPrintSettings(src, s, notes);
    return s;
}

TEST(PrintSettings, DefaultsAreStoredAtTheirOffsets) {
    const std::vector<uint8_t> b = Bytes(CPrintSettings::Defaults());
    ASSERT_EQ(b.size(), kPrintSettingsSize);
    EXPECT_EQ(Text(b, 0, 200), "[检测单位]");
    EXPECT_EQ(Text(b, 200, 200), "[检测单位]");
    // The text is GBK, NUL-terminated, and the rest of its block is zero.
    const std::string gbk = Utf8ToGbk("[检测单位]");
    for (std::size_t i = gbk.size(); i < 200; ++i)
        ASSERT_EQ(b[i], 0) << i;
    // The total pages 0: counted from the pages printed.
    const int16_t ints[] = {4, 0, 1, 0, 5, 1};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(I16(b, 400 + 2 * i), ints[i]) << 400 + 2 * i;
    EXPECT_EQ(I32(b, 412), 0);
    EXPECT_EQ(I32(b, 416), 297);
    EXPECT_EQ(I32(b, 420), 210);
    for (std::size_t at = 424; at < 448; at += 4)
        EXPECT_EQ(F32(b, at), 2.0f) << at;
    EXPECT_EQ(I32(b, 448), 0); // spectra
    for (std::size_t at = 452; at < 500; at += 4)
        EXPECT_EQ(I32(b, at), 1) << at;
}

TEST(PrintSettings, EveryFieldHasItsOwnPlace) {
    CPrintSettings s;
    s.SetHeader("页眉");
    s.SetFooter("页脚");
    s.m_nPageFormat = 2;
    s.m_nPagePosition = 3;
    s.m_nStartPage = 7;
    s.m_nTotalPages = 33;
    s.m_nRows = 8;
    s.m_nColumns = 2;
    s.m_nPaperKind = kPaperCustom;
    s.m_nPaperHeight = 300;
    s.m_nPaperWidth = 200;
    s.m_fTopMargin = 1.5f;
    s.m_fBottomMargin = 2.5f;
    s.m_fLeftMargin = 0.5f;
    s.m_fRightMargin = 3.0f;
    s.m_fHeaderMargin = 1.0f;
    s.m_fFooterMargin = 1.2f;
    // Flags as powers of two so a swap shows.
    int32_t* flags[] = {&s.m_bSpectra,    &s.m_bHeader,   &s.m_bFooter,   &s.m_bWaveTrain,
                        &s.m_bSiteName,   &s.m_bTestUnit, &s.m_bTestDate, &s.m_bPileNo,
                        &s.m_bReportDate, &s.m_bPileType, &s.m_bDiameter, &s.m_bFileName};
    for (int i = 0; i < 12; ++i)
        *flags[i] = 1 << i;
    const std::vector<uint8_t> b = Bytes(s);
    EXPECT_EQ(Text(b, 0, 200), "页眉");
    EXPECT_EQ(Text(b, 200, 200), "页脚");
    const int16_t ints[] = {2, 3, 7, 33, 8, 2};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(I16(b, 400 + 2 * i), ints[i]);
    EXPECT_EQ(I32(b, 412), 2);
    EXPECT_EQ(I32(b, 416), 300);
    EXPECT_EQ(I32(b, 420), 200);
    const float margins[] = {1.5f, 2.5f, 0.5f, 3.0f, 1.0f, 1.2f};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(F32(b, 424 + 4 * i), margins[i]);
    const int32_t stored[] = {1, 2, 4, 8, 16, 32, 64, 128, 256, 512, 1024, 16, 2048};
    for (int i = 0; i < 13; ++i)
        EXPECT_EQ(I32(b, 448 + 4 * i), stored[i]) << 448 + 4 * i;

    const CPrintSettings back = Read(b);
    EXPECT_EQ(std::memcmp(&back, &s, sizeof s), 0);
}

TEST(PrintSettings, TheSiteNameCopyAt492Wins) {
    for (auto [first, second] : {std::pair{1, 0}, std::pair{0, 1}}) {
        std::vector<uint8_t> b = Bytes(CPrintSettings::Defaults());
        test::PutI32(b, 464, first);
        test::PutI32(b, 492, second);
        EXPECT_EQ(Read(b).m_bSiteName, second);
    }
}

struct ShortCase {
    const char* name;
    std::size_t length;
    std::string header; // what the header shows
    int16_t format;     // 400
    int16_t position;   // 402
    float top;          // 424
    int32_t fileName;   // 496
};

class ShortFile : public ::testing::TestWithParam<ShortCase> {};

// A file cut anywhere reads what it holds; the rest keeps the defaults.
TEST_P(ShortFile, ReadsAsFarAsItGoes) {
    CPrintSettings s = CPrintSettings::Defaults();
    s.SetHeader("ABCDEFGH");
    s.m_nPageFormat = 1;
    s.m_nPagePosition = 2;
    s.m_fTopMargin = 3.5f;
    s.m_bFileName = 0;
    std::vector<uint8_t> b = Bytes(s);
    b.resize(GetParam().length);
    CMemorySource src(b);
    CPrintSettings out;
    EXPECT_EQ(ReadPrintSettings(src, out), std::min<std::size_t>(GetParam().length, kPrintSettingsSize));
    EXPECT_EQ(out.GetHeader(), GetParam().header);
    EXPECT_EQ(out.m_nPageFormat, GetParam().format);
    EXPECT_EQ(out.m_nPagePosition, GetParam().position);
    EXPECT_EQ(out.m_fTopMargin, GetParam().top);
    EXPECT_EQ(out.m_bFileName, GetParam().fileName);
    EXPECT_EQ(out.m_nRows, 5);
}

INSTANTIATE_TEST_SUITE_P(Lengths, ShortFile,
                         ::testing::Values(ShortCase{"Empty", 0, "[检测单位]", 4, 0, 2.f, 1},
                                           ShortCase{"InsideHeader", 5, "ABCDE", 4, 0, 2.f, 1},
                                           ShortCase{"HalfAnInt", 401, "ABCDEFGH", 4, 0, 2.f, 1},
                                           ShortCase{"FormatWhole", 402, "ABCDEFGH", 1, 0, 2.f, 1},
                                           ShortCase{"HalfAFloat", 426, "ABCDEFGH", 1, 2, 2.f, 1},
                                           ShortCase{"LastFlagCut", 499, "ABCDEFGH", 1, 2, 3.5f, 1},
                                           ShortCase{"Whole", 500, "ABCDEFGH", 1, 2, 3.5f, 0},
                                           ShortCase{"LongerFile", 600, "ABCDEFGH", 1, 2, 3.5f, 0}),
                         [](const auto& info) { return info.param.name; });

// Values that would make printing divide by zero or lay out nothing are not handed on.
TEST(PrintSettings, DamagedValuesBecomeDefaults) {
    struct Case {
        std::size_t at;
        int width;
        double value;
        const char* field;
    };
    const Case cases[] = {
        {408, 2, 0, "rows"},
        {408, 2, 11, "rows"},
        {410, 2, 0, "columns"},
        {410, 2, 4, "columns"},
        {416, 4, 0, "paper"},
        {420, 4, -210, "paper"},
        {424, 0, std::numeric_limits<double>::quiet_NaN(), "margin"},
        {444, 0, std::numeric_limits<double>::infinity(), "margin"},
    };
    const CPrintSettings d = CPrintSettings::Defaults();
    for (const Case& c : cases) {
        std::vector<uint8_t> b = Bytes(d);
        test::PutI32(b, 412, kPaperCustom);
        if (c.width == 2)
            test::PutI16(b, c.at, static_cast<int16_t>(c.value));
        else if (c.width == 4)
            test::PutI32(b, c.at, static_cast<int32_t>(c.value));
        else
            test::PutF32(b, c.at, static_cast<float>(c.value));
        std::vector<std::string> notes;
        const CPrintSettings s = Read(b, &notes);
        ASSERT_EQ(notes.size(), 1u) << c.at;
        EXPECT_NE(notes[0].find(c.field), std::string::npos) << notes[0];
        EXPECT_EQ(s.m_nRows, d.m_nRows);
        EXPECT_EQ(s.m_nColumns, d.m_nColumns);
        EXPECT_EQ(s.m_nPaperHeight, d.m_nPaperHeight);
        EXPECT_EQ(s.m_nPaperWidth, d.m_nPaperWidth);
        EXPECT_EQ(s.m_fTopMargin, 2.f);
        EXPECT_EQ(s.m_fFooterMargin, 2.f);
    }
    // Ten rows are fine with more than one column, and a custom size survives.
    std::vector<uint8_t> b = Bytes(d);
    test::PutI16(b, 408, 10);
    test::PutI16(b, 410, 3);
    test::PutI32(b, 412, kPaperCustom);
    test::PutI32(b, 416, 123);
    std::vector<std::string> notes;
    const CPrintSettings s = Read(b, &notes);
    EXPECT_TRUE(notes.empty());
    EXPECT_EQ(s.m_nRows, 10);
    EXPECT_EQ(s.m_nPaperHeight, 123);
}

TEST(PrintSettings, TextsWithoutTerminatorAreCutAtACharacter) {
    std::vector<uint8_t> b = Bytes(CPrintSettings::Defaults());
    const std::string zhuang = Utf8ToGbk("桩");
    for (std::size_t i = 0; i < 200; i += 2) {
        b[i] = static_cast<uint8_t>(zhuang[0]);
        b[i + 1] = static_cast<uint8_t>(zhuang[1]);
    }
    const CPrintSettings s = Read(b);
    EXPECT_EQ(Utf8ToGbk(s.GetHeader()).size(), 198u); // 99 characters; never half of one
    EXPECT_EQ(s.GetFooter(), "[检测单位]");
}

TEST(PrintSettings, FileMissingWrittenAndReadBack) {
    const fs::path dir = fs::temp_directory_path() / "pw-print-settings";
    fs::remove_all(dir);
    const std::string path = (dir / "sub" / "set.ini").string();
    const CPrintSettings missing = LoadPrintSettings(path);
    const CPrintSettings defaults = CPrintSettings::Defaults();
    EXPECT_EQ(std::memcmp(&missing, &defaults, sizeof missing), 0);
    EXPECT_FALSE(fs::exists(path)); // reading writes nothing

    CPrintSettings s = CPrintSettings::Defaults();
    s.m_nRows = 3;
    s.SetFooter("");
    ASSERT_EQ(SavePrintSettings(path, s), "");
    EXPECT_EQ(fs::file_size(path), kPrintSettingsSize);
    const CPrintSettings back = LoadPrintSettings(path);
    EXPECT_EQ(back.m_nRows, 3);
    EXPECT_EQ(back.GetFooter(), "");

    // A folder in the way: the failure is reported and the old file stays.
    fs::create_directories(dir / "blocked");
    EXPECT_NE(SavePrintSettings((dir / "blocked").string(), s), "");
    EXPECT_TRUE(fs::is_directory(dir / "blocked"));
    fs::remove_all(dir);
}

// The header and footer as printed: the default stands for the project's test unit, as does the maker's
// name that older settings files hold untouched; an empty text prints nothing, a typed one as typed.
TEST(PrintSettings, BandTextsResolveTheTestUnit) {
    const struct {
        const char* stored;
        const char* unit;
        const char* printed;
    } cases[] = {
        {"[检测单位]", "华东岩土检测中心", "华东岩土检测中心"},
        {"Qelvora科技有限责任公司", "华东岩土检测中心", "华东岩土检测中心"},
        {"[检测单位]", "", ""},
        {"", "华东岩土检测中心", ""},
        {"甲方页眉", "华东岩土检测中心", "甲方页眉"},
        {"[检测单位] 低应变检测", "华东岩土", "华东岩土 低应变检测"},
        {"[检测单位]/[检测单位]", "A", "A/A"},
        {"Qelvora科技有限责任公司 分部", "华东", "Qelvora科技有限责任公司 分部"},
        {"[检测单位", "华东", "[检测单位"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(PrintedBandText(c.stored, c.unit), c.printed) << c.stored << " / " << c.unit;
    // The defaults, through the file layout and back, still stand for the test unit.
    const CPrintSettings d = Read(Bytes(CPrintSettings::Defaults()));
    EXPECT_EQ(PrintedBandText(d.GetHeader(), "检测中心"), "检测中心");
    EXPECT_EQ(PrintedBandText(d.GetFooter(), "检测中心"), "检测中心");
}

TEST(PrintSettings, ListsOfFormatsAndPositions) {
    EXPECT_EQ(PageNumberFormats().at(4), "共1页   第1页");
    EXPECT_EQ(PageNumberPositions().at(0), "底部居右");
    EXPECT_EQ(PageNumberPositions().at(1), "底部居中");
    EXPECT_EQ(PageNumberPositions().size(), 5u);
}

} // namespace
