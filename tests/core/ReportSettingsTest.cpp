// The report settings record and its numbered files: layout, short files, and never writing over a
// file that is not ours.
#include "core/ReportSettings.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "core/CoreMessages.h"
#include "core/GbkText.h"

namespace {

using namespace pw;
namespace fs = std::filesystem;

std::string Text(const std::vector<uint8_t>& b, std::size_t at, std::size_t width) {
    return GbkToUtf8(FieldText(reinterpret_cast<const char*>(b.data() + at), width));
}

CReportInfo Filled() {
    CReportInfo info;
    info.m_strReportNo = "报告-001";
    info.m_strAddress = "地址";
    info.m_strOwner = "建设";
    info.m_strDesignUnit = "设计";
    info.m_strConstructionUnit = "施工";
    info.m_strSupervisionUnit = "监理";
    info.m_strQualityUnit = "监督";
    info.m_strClient = "委托";
    info.m_strInspectors = "张三 李四";
    info.m_strStrength = "C30";
    info.m_strGeology = "粉质黏土\n砂层";
    info.m_PourDate = {2023, 11, 5};
    return info;
}

std::vector<uint8_t> Bytes(const CReportInfo& info) {
    CMemorySink sink;
    EXPECT_TRUE(WriteReportSettings(sink, info.ToSettings()));
    return sink.m_Bytes;
}

TEST(ReportSettings, LayoutFieldByField) {
    const std::vector<uint8_t> b = Bytes(Filled());
    ASSERT_EQ(b.size(), kReportSettingsSize);
    EXPECT_EQ(Text(b, 0, 30), "RURERARER_WVF_REPORT");
    for (std::size_t i = 20; i < 30; ++i)
        EXPECT_EQ(b[i], 0);
    const char* texts[] = {"报告-001", "地址", "建设", "设计",      "施工",
                           "监理",     "监督", "委托", "张三 李四", "C30"};
    for (std::size_t i = 0; i < 10; ++i)
        EXPECT_EQ(Text(b, 30 + 200 * i, 200), texts[i]) << i;
    EXPECT_EQ(Text(b, 2030, 2000), "粉质黏土\n砂层");
    EXPECT_EQ(b[4030], 0xE7); // 2023 = 0x07E7
    EXPECT_EQ(b[4031], 0x07);
    EXPECT_EQ(b[4034], 11);
    EXPECT_EQ(b[4038], 5);

    CMemorySource src(b);
    CReportSettings s;
    ASSERT_TRUE(ReadReportSettings(src, s));
    CReportInfo back;
    back.m_strProjectName = "not stored";
    back.TakeSettings(s);
    const CReportInfo want = Filled();
    EXPECT_EQ(back.m_strReportNo, want.m_strReportNo);
    EXPECT_EQ(back.m_strInspectors, want.m_strInspectors);
    EXPECT_EQ(back.m_strStrength, "C30");
    EXPECT_EQ(back.m_strGeology, want.m_strGeology);
    EXPECT_EQ(back.m_PourDate, (CDate{2023, 11, 5}));
    EXPECT_EQ(back.m_strProjectName, "not stored"); // the dialog's other fields are not in the file
    EXPECT_EQ(back.m_strTestUnit, "QLVR");
}

TEST(ReportSettings, LongTextsAreCutToTheirBlock) {
    CReportInfo info;
    info.m_strReportNo = std::string(150, 'x') + std::string(30, 'y') + "桩桩桩桩桩桩桩桩桩桩";
    info.m_strGeology = std::string(1998, 'g') + "桩";
    const CReportSettings s = info.ToSettings();
    EXPECT_EQ(FieldText(s.m_szReportNo, 200).size(), 198u); // 180 + 9 characters, not half of the tenth
    EXPECT_EQ(FieldText(s.m_szGeology, 2000).size(), 1998u);
}

TEST(ReportSettings, ShortAndForeignData) {
    const std::vector<uint8_t> whole = Bytes(Filled());
    struct Case {
        std::size_t length;
        bool ours;
        std::string reportNo;
        std::string strength;
        int year;
    };
    const Case cases[] = {
        {0, false, "", "", 0},
        {19, false, "", "", 0},                // the marker is not complete
        {21, true, "", "C10", 1970},           // marker and its NUL: the defaults behind it
        {35, true, "报告-", "C10", 1970},       // a text cut short keeps what is there
        {4033, true, "报告-001", "C30", 1970}, // the year cut in half keeps its default
        {4042, true, "报告-001", "C30", 2023},
    };
    for (const Case& c : cases) {
        std::vector<uint8_t> b(whole.begin(), whole.begin() + static_cast<long>(c.length));
        CMemorySource src(b);
        CReportSettings s;
        ASSERT_EQ(ReadReportSettings(src, s), c.ours) << c.length;
        if (!c.ours) continue;
        CReportInfo info;
        info.TakeSettings(s);
        EXPECT_EQ(info.m_strReportNo, c.reportNo) << c.length;
        EXPECT_EQ(info.m_strStrength, c.strength) << c.length;
        EXPECT_EQ(info.m_strGeology, c.length > 2030 ? "粉质黏土\n砂层" : "    ") << c.length;
        EXPECT_EQ(info.m_PourDate.nYear, c.year) << c.length;
    }
}

TEST(ReportSettings, APouringDateThatIsNoDateIsNotTaken) {
    CReportSettings s = Filled().ToSettings();
    s.m_nPourMonth = 13;
    CReportInfo info;
    info.TakeSettings(s);
    EXPECT_EQ(info.m_PourDate, CDate{});
    EXPECT_TRUE((CDate{2024, 2, 29}).IsValid());
    EXPECT_FALSE((CDate{2023, 2, 29}).IsValid());
    EXPECT_FALSE((CDate{1900, 2, 29}).IsValid());
    EXPECT_FALSE((CDate{0, 1, 1}).IsValid());
}

class ReportFiles : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("pw-report-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    void Put(int n, const std::string& content) {
        fs::create_directories(m_Dir);
        std::ofstream(ReportSettingsPath(m_Dir.string(), n), std::ios::binary) << content;
    }
    std::string Get(int n) const {
        std::ifstream in(ReportSettingsPath(m_Dir.string(), n), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    fs::path m_Dir;
};

// Opening reads and never writes: without a file the fields keep their defaults and no file appears;
// the first save makes number 0 from them.
TEST_F(ReportFiles, NoFileYetIsMadeByTheFirstSaveNotByTheRead) {
    CReportInfo info;
    const CReportSettingsResult r = LoadReportSettings(m_Dir.string(), info);
    EXPECT_EQ(r.m_strMessage, "");
    EXPECT_EQ(r.m_strPath, ReportSettingsPath(m_Dir.string(), 0));
    EXPECT_FALSE(fs::exists(r.m_strPath));
    EXPECT_EQ(SaveReportSettings(m_Dir.string(), info).m_strMessage, "");
    ASSERT_EQ(Get(0).size(), kReportSettingsSize);
    const std::vector<uint8_t> defaults = Bytes(CReportInfo());
    EXPECT_EQ(Get(0), std::string(defaults.begin(), defaults.end()));
}

// A pouring date left empty (a pile without a date) never stores 0/0/0: the date the file holds
// stays, and without a file the record's own default is written.
TEST_F(ReportFiles, AnEmptyPouringDateKeepsTheStoredOne) {
    struct Case {
        const char* name;
        bool fileBefore; // a file holding 2023-11-05
        CDate typed;
        CDate stored;
    } const cases[] = {
        {"EmptyKeepsTheFile", true, kNoDate, {2023, 11, 5}},
        {"EmptyWithoutAFile", false, kNoDate, CDate{}},
        {"ADateReplacesIt", true, {2025, 6, 30}, {2025, 6, 30}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        fs::remove_all(m_Dir);
        if (c.fileBefore) {
            const std::vector<uint8_t> b = Bytes(Filled());
            Put(0, std::string(b.begin(), b.end()));
        }
        CReportInfo info = Filled();
        info.m_PourDate = c.typed;
        ASSERT_EQ(SaveReportSettings(m_Dir.string(), info).m_strMessage, "");
        const std::string bytes = Get(0);
        ASSERT_EQ(bytes.size(), kReportSettingsSize);
        int32_t ymd[3];
        std::memcpy(ymd, bytes.data() + 4030, sizeof ymd);
        EXPECT_EQ((CDate{ymd[0], ymd[1], ymd[2]}), c.stored);
    }
}

TEST_F(ReportFiles, OursIsReadAndWrittenAgain) {
    const std::vector<uint8_t> b = Bytes(Filled());
    Put(0, std::string(b.begin(), b.end()));
    CReportInfo info;
    EXPECT_EQ(LoadReportSettings(m_Dir.string(), info).m_strMessage, "");
    EXPECT_EQ(info.m_strReportNo, "报告-001");
    info.m_strReportNo = "报告-002";
    EXPECT_EQ(SaveReportSettings(m_Dir.string(), info).m_strMessage, "");
    CReportInfo again;
    LoadReportSettings(m_Dir.string(), again);
    EXPECT_EQ(again.m_strReportNo, "报告-002");
}

// The fields the report states beyond the 4042-byte record live beside it: the record stays exactly
// its size and layout, and the new fields come back from the file beside it.
TEST_F(ReportFiles, FieldsBeyondTheRecordAreKeptBesideIt) {
    CReportInfo info = Filled();
    info.m_strSurveyUnit = "勘察院";
    info.m_strInstrument = "PW-8";
    info.m_strInstrumentNo = "SN=12"; // an "=" inside a value
    info.m_strSensor = "加速度计\r\n二号"; // a line break cannot start another key
    info.m_strReviewer = "王";
    info.m_strApprover = "李";
    info.m_strReviewDate = "2026年12月1日";
    info.m_strApproveDate = "2026年12月2日";
    info.m_strStandard = "另一规范";
    info.m_nSiteTotal = 25;
    ASSERT_EQ(SaveReportSettings(m_Dir.string(), info).m_strMessage, "");
    ASSERT_EQ(Get(0).size(), kReportSettingsSize);
    const std::vector<uint8_t> record = Bytes(info);
    EXPECT_EQ(Get(0), std::string(record.begin(), record.end()));
    EXPECT_TRUE(fs::exists(ReportMorePath(m_Dir.string(), 0)));
    CReportInfo again;
    ASSERT_EQ(LoadReportSettings(m_Dir.string(), again).m_strMessage, "");
    EXPECT_EQ(again.m_strSurveyUnit, "勘察院");
    EXPECT_EQ(again.m_strInstrumentNo, "SN=12");
    EXPECT_EQ(again.m_strSensor, "加速度计  二号");
    EXPECT_EQ(again.m_strReviewDate, "2026年12月1日");
    EXPECT_EQ(again.m_strApprover, "李");
    EXPECT_EQ(again.m_strStandard, "另一规范");
    EXPECT_EQ(again.SiteTotalPiles(), 25);
    // Unknown keys, broken lines and a total that is no number are passed over.
    CReportInfo odd;
    TakeReportMoreText("later_key=1\nno equals sign\nsite_total=12x\nsensor=S\n", odd);
    EXPECT_EQ(odd.m_strSensor, "S");
    EXPECT_EQ(odd.SiteTotalPiles(), std::nullopt);
}

// Someone else's ReportSet0.ini survives: the dialog uses number 1, for loading and saving alike.
TEST_F(ReportFiles, AForeignFileIsNeverWrittenOver) {
    Put(0, "[section]\nkey=value\n");
    CReportInfo info;
    const CReportSettingsResult load = LoadReportSettings(m_Dir.string(), info);
    EXPECT_EQ(load.m_strMessage, "");
    EXPECT_EQ(load.m_strPath, ReportSettingsPath(m_Dir.string(), 1));
    EXPECT_EQ(Get(0), "[section]\nkey=value\n");
    info.m_strClient = "委托";
    EXPECT_EQ(SaveReportSettings(m_Dir.string(), info).m_strPath, ReportSettingsPath(m_Dir.string(), 1));
    EXPECT_EQ(Get(0), "[section]\nkey=value\n");
    EXPECT_EQ(Get(1).size(), kReportSettingsSize);
    EXPECT_EQ(FindReportSettingsSlot(m_Dir.string()), 1);
}

TEST_F(ReportFiles, AllHundredForeignRefusesToReadAndToWrite) {
    for (int n = 0; n < kReportSettingsSlots; ++n)
        Put(n, "x");
    CReportInfo info = Filled();
    const CReportSettingsResult load = LoadReportSettings(m_Dir.string(), info);
    EXPECT_EQ(load.m_strMessage, msg::kReadSettingsFailed);
    EXPECT_EQ(info.m_strReportNo, "报告-001"); // the fields keep their values
    EXPECT_EQ(SaveReportSettings(m_Dir.string(), info).m_strMessage, msg::kWriteSettingsFailed);
    for (int n = 0; n < kReportSettingsSlots; ++n)
        ASSERT_EQ(Get(n), "x");
}

// A folder that cannot be written to fails the save only: opening reads, and finds nothing to read.
TEST_F(ReportFiles, AFolderThatCannotBeMadeIsAWriteFailure) {
    fs::create_directories(m_Dir);
    std::ofstream(m_Dir / "file") << "x";
    CReportInfo info;
    const std::string folder = (m_Dir / "file" / "sub").string();
    EXPECT_EQ(LoadReportSettings(folder, info).m_strMessage, "");
    const CReportSettingsResult r = SaveReportSettings(folder, info);
    EXPECT_EQ(r.m_strMessage, msg::kWriteSettingsFailed);
    EXPECT_NE(r.m_strDetail, "");
}

} // namespace
