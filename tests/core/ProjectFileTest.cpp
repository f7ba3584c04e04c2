#include "core/ProjectFile.h"

#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "Fixtures.h"

namespace {

using namespace pw;
using pw::test::MakeHeader;
using pw::test::MakeRecord;
using pw::test::PileBytes;
using pw::test::ProjectBytes;

CReadReport Read(const std::vector<uint8_t>& bytes, CProjectData& out, int* version = nullptr) {
    CMemorySource src(bytes);
    return ReadProject(src, out, version);
}

TEST(ProjectFile, RecordSizes) {
    CPileRecord r = MakeRecord(4); // 0 segments, 4 marks
    r.m_pSegments.clear();
    r.m_nMarkCount = 0;
    EXPECT_EQ(PileBytes(r).size(), 4352u);
    r.m_pSegments.resize(3);
    r.m_nMarkCount = 2;
    EXPECT_EQ(PileBytes(r).size(), 4352u + 8 * 3 + 2 * 2);
    CMemorySink legacy;
    r.m_nMarkCount = 0;
    WriteLegacyPile(legacy, r, true);
    EXPECT_EQ(legacy.m_Bytes.size(), 4340u);
    EXPECT_EQ(ProjectBytes(3, {}).size(), 77u);
}

TEST(ProjectFile, VersionDetection) {
    struct Case {
        std::string bytes;
        int version;
    };
    for (const Case& c : {Case{"ZOV01", 1}, Case{"WVF02", 2}, Case{"WVF03", 3}, Case{"WVF04", 0}, Case{"wvf03", 0},
                          Case{"WVF0", 0}, Case{"", 0}}) {
        CMemorySource src(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(ReadVersion(src), c.version) << c.bytes;
    }
}

// read -> write version 3 -> read keeps every stored field, for files of all three versions.
class RoundTrip : public ::testing::TestWithParam<std::tuple<int, bool>> {};

TEST_P(RoundTrip, KeepsEveryStoredField) {
    const auto [version, extreme] = GetParam();
    std::vector<CPileRecord> piles;
    for (unsigned i = 0; i < 6; ++i) {
        piles.push_back(MakeRecord(100 * version + i + (extreme ? 50 : 0), extreme));
        piles.back().m_nPileNo = static_cast<int16_t>(i + 1);
    }
    CProjectData first, second;
    int v = 0;
    ASSERT_TRUE(Read(ProjectBytes(version, piles, MakeHeader("很长的检测单位名称很长的检测单位名称很长的检测单位名称", "工程名称工程名称工程名称")), first, &v).m_bOk);
    ASSERT_EQ(v, version);
    ASSERT_EQ(first.m_Piles.size(), piles.size());

    CMemorySink v3;
    ASSERT_TRUE(WriteProject(v3, first.m_Header, first.m_Piles));
    ASSERT_TRUE(Read(v3.m_Bytes, second).m_bOk);
    ASSERT_EQ(second.m_Piles.size(), piles.size());
    EXPECT_EQ(std::string(second.m_Header.m_szTestUnit), std::string(first.m_Header.m_szTestUnit));
    EXPECT_EQ(std::string(second.m_Header.m_szProjectName), std::string(first.m_Header.m_szProjectName));
    for (std::size_t i = 0; i < piles.size(); ++i) {
        // The version-3 bytes of a record are every stored field; equal bytes, equal fields (NaN included).
        EXPECT_EQ(PileBytes(second.m_Piles[i]), PileBytes(first.m_Piles[i])) << "record " << i;
    }

    // What the first read must have kept of the written records, by version.
    for (std::size_t i = 0; i < piles.size(); ++i) {
        const CPileRecord& in = piles[i];
        const CPileRecord& got = first.m_Piles[i];
        EXPECT_EQ(got.GetPileName(), in.GetPileName());
        EXPECT_EQ(got.GetInfo(), in.GetInfo());
        EXPECT_EQ(0, std::memcmp(got.m_fRaw, in.m_fRaw, sizeof in.m_fRaw));
        EXPECT_EQ(got.m_nAux2, in.m_nAux2);
        EXPECT_EQ(got.m_nPileType, in.m_nPileType);
        EXPECT_EQ(got.m_fPileLength, in.m_fPileLength);
        EXPECT_EQ(0, std::memcmp(got.m_Defects, in.m_Defects, sizeof in.m_Defects));
        if (version >= 2) {
            EXPECT_EQ(got.GetRemark(), in.GetRemark());
            EXPECT_EQ(got.m_nPreZero, in.m_nPreZero);
            EXPECT_EQ(got.m_nMarkCount, in.m_nMarkCount);
        } else {
            EXPECT_EQ(got.m_nMarkCount, 0); // the checked-piles file stores no marks
            EXPECT_EQ(got.m_nLowPassPasses, 1);
        }
        if (version == 3) {
            ASSERT_EQ(got.GetSegmentCount(), in.GetSegmentCount());
            for (int s = 0; s < in.GetSegmentCount(); ++s) {
                EXPECT_EQ(got.m_pSegments[s].fFactor, in.m_pSegments[s].fFactor);
                EXPECT_EQ(got.m_pSegments[s].nFrom, in.m_pSegments[s].nFrom);
                EXPECT_EQ(got.m_pSegments[s].nTo, in.m_pSegments[s].nTo);
            }
            EXPECT_EQ(got.m_bChecked, in.m_bChecked);
            EXPECT_EQ(got.m_nZoom, in.m_nZoom);
        } else {
            EXPECT_EQ(got.GetSegmentCount(), 0);
        }
        EXPECT_TRUE(got.NeedsSettling());
    }
}

INSTANTIATE_TEST_SUITE_P(Versions, RoundTrip, ::testing::Combine(::testing::Values(1, 2, 3), ::testing::Bool()));

// Offsets of a version-3 record with no segments (R = 68).
constexpr std::size_t kHeader = 77;
constexpr std::size_t kSegCount = 64, kLength = 68 + 40, kSmooth = 68 + 148, kMarkCount = 68 + 4282;

std::vector<uint8_t> OneRecordFile(CPileRecord r) {
    r.m_pSegments.clear();
    r.m_nMarkCount = 0;
    return ProjectBytes(3, {r});
}

TEST(ProjectFile, NegativeSegmentCountLoadsNoSegmentsAndContinuesAtRemark) {
    CPileRecord r = MakeRecord(7);
    auto bytes = OneRecordFile(r);
    test::PutI32(bytes, kHeader + kSegCount, -3);
    CProjectData out;
    const CReadReport report = Read(bytes, out);
    ASSERT_TRUE(report.m_bOk) << report.m_strError;
    ASSERT_EQ(out.m_Piles.size(), 1u);
    EXPECT_EQ(out.m_Piles[0].GetSegmentCount(), 0);
    EXPECT_EQ(out.m_Piles[0].GetRemark(), r.GetRemark());
    EXPECT_EQ(out.m_Piles[0].m_nWaveSpeed, r.m_nWaveSpeed);
}

TEST(ProjectFile, SmoothingOutsideOneToThirtyTwoLoadsAsOne) {
    for (auto [stored, loaded] : std::vector<std::pair<int16_t, int16_t>>{{0, 1}, {33, 1}, {-5, 1}, {32, 32}, {1, 1}, {7, 7}}) {
        auto bytes = OneRecordFile(MakeRecord(8));
        test::PutI16(bytes, kHeader + kSmooth, stored);
        CProjectData out;
        ASSERT_TRUE(Read(bytes, out).m_bOk);
        EXPECT_EQ(out.m_Piles[0].m_nSmooth, loaded) << stored;
    }
}

TEST(ProjectFile, LengthIsRoundedToOneDecimal) {
    for (auto [stored, loaded] : std::vector<std::pair<float, float>>{{12.34f, 12.3f}, {12.36f, 12.4f}, {12.25f, 12.3f}, {-0.05f, -0.1f}}) {
        auto bytes = OneRecordFile(MakeRecord(9));
        test::PutF32(bytes, kHeader + kLength, stored);
        CProjectData out;
        ASSERT_TRUE(Read(bytes, out).m_bOk);
        EXPECT_EQ(out.m_Piles[0].m_fPileLength, loaded) << stored;
    }
}

TEST(ProjectFile, VersionOneSignalTypeSwitchesIntegration) {
    for (auto [signal, integrate] : std::vector<std::pair<int16_t, int16_t>>{{0, 0}, {1, 0}, {2, 1}, {3, 1}}) {
        CPileRecord r = MakeRecord(10);
        r.m_nSignalType = signal;
        r.m_bIntegrate = 1 - integrate;
        r.m_nPreZero = 9;
        r.m_nPostCut = 9;
        r.m_nShiftY = 9;
        r.m_nLowPassPasses = 4;
        CProjectData out;
        ASSERT_TRUE(Read(ProjectBytes(1, {r}), out).m_bOk);
        const CPileRecord& got = out.m_Piles[0];
        EXPECT_EQ(got.m_bIntegrate, integrate) << signal;
        EXPECT_EQ(got.m_nLowPassPasses, 1);
        EXPECT_EQ(got.m_nPreZero, 0);
        EXPECT_EQ(got.m_nPostCut, 0);
        EXPECT_EQ(got.m_nShiftY, 0);
    }
}

TEST(ProjectFile, VersionOneRemarkIsFiftyBytesCutToThirtyNine) {
    CPileRecord r = MakeRecord(11);
    auto bytes = ProjectBytes(1, {r});
    const std::string remark = "0123456789012345678901234567890123456" "\xB9\xAE" "xxxxxxxxxxx"; // 50 bytes
    ASSERT_EQ(remark.size(), 50u);
    std::memcpy(bytes.data() + kHeader + 46, remark.data(), 50);
    CProjectData out;
    ASSERT_TRUE(Read(bytes, out).m_bOk);
    // 39 bytes would split the double-byte character at 37..38: the text stops before it.
    EXPECT_EQ(std::string(FieldText(out.m_Piles[0].m_szRemark, 40)), remark.substr(0, 37) + "\xB9\xAE");
    EXPECT_EQ(out.m_Piles[0].m_fPileLength, r.m_fPileLength); // the remark never spills into later fields
}

TEST(ProjectFile, MarksBeyondTheFifthAreReadAndDropped) {
    CPileRecord r = MakeRecord(12);
    r.m_pSegments.clear();
    r.m_nMarkCount = 0;
    auto one = PileBytes(r);
    // First record with 7 marks, then a normal second record that must still be read in place.
    test::PutI16(one, kMarkCount, 7);
    for (int i = 0; i < 7; ++i) {
        one.push_back(static_cast<uint8_t>(10 + i));
        one.push_back(0);
    }
    CPileRecord second = MakeRecord(13);
    second.m_nPileNo = 2; // what it is numbered on reading
    auto bytes = ProjectBytes(3, {});
    test::PutI16(bytes, 5, 2);
    bytes.insert(bytes.end(), one.begin(), one.end());
    const auto two = PileBytes(second);
    bytes.insert(bytes.end(), two.begin(), two.end());
    CProjectData out;
    const CReadReport report = Read(bytes, out);
    ASSERT_TRUE(report.m_bOk) << report.m_strError;
    ASSERT_EQ(out.m_Piles.size(), 2u);
    EXPECT_EQ(out.m_Piles[0].m_nMarkCount, 5);
    EXPECT_EQ(out.m_Piles[0].m_nMarks[4], 14);
    EXPECT_FALSE(report.m_Notes.empty());
    EXPECT_EQ(PileBytes(out.m_Piles[1]), two);
}

struct BadFileCase {
    const char* name;
    std::function<std::vector<uint8_t>()> make;
    std::size_t records; // kept
    const char* error;   // part of the message
};

class BadFile : public ::testing::TestWithParam<BadFileCase> {};

TEST_P(BadFile, ReportsWhatAndWhereAndKeepsTheCompleteRecords) {
    const auto& c = GetParam();
    CProjectData out;
    const CReadReport report = Read(c.make(), out);
    EXPECT_FALSE(report.m_bOk);
    EXPECT_NE(report.m_strError.find(c.error), std::string::npos) << report.m_strError;
    EXPECT_EQ(out.m_Piles.size(), c.records);
    EXPECT_EQ(out.m_Header.m_nPileCount, static_cast<int>(out.m_Piles.size()));
}

std::vector<uint8_t> ThreeRecords() {
    std::vector<CPileRecord> piles{MakeRecord(1), MakeRecord(2), MakeRecord(3)};
    for (auto& p : piles) {
        p.m_pSegments.clear();
        p.m_nMarkCount = 0;
    }
    return ProjectBytes(3, piles);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, BadFile,
    ::testing::Values(
        BadFileCase{"Empty", [] { return std::vector<uint8_t>{}; }, 0, "empty file"},
        BadFileCase{"UnknownMagic", [] { auto b = ThreeRecords(); std::memcpy(b.data(), "XYZ12", 5); return b; }, 0,
                    "bad magic \"XYZ12\""},
        BadFileCase{"HeaderCut", [] { auto b = ThreeRecords(); b.resize(40); return b; }, 0, "header"},
        BadFileCase{"CutInThirdRecord", [] { auto b = ThreeRecords(); b.resize(77 + 2 * 4352 + 100); return b; }, 2,
                    "truncated in record 3 at byte 8881"},
        BadFileCase{"CountLargerThanData", [] { auto b = ThreeRecords(); test::PutI16(b, 5, 32767); return b; }, 3,
                    "truncated in record 4"},
        BadFileCase{"NegativeCount", [] { auto b = ThreeRecords(); test::PutI16(b, 5, -2); return b; }, 0,
                    "negative pile count -2"},
        BadFileCase{"HugeSegmentCount", [] { auto b = ThreeRecords(); test::PutI32(b, 77 + 64, 0x7fffffff); return b; }, 0,
                    "truncated in record 1"}),
    [](const auto& info) { return info.param.name; });

TEST(ProjectFile, ACountTheDataCannotHoldSetsNoRecordsAside) {
    // 500 records counted over 100 bytes: not one record fits, so none is allocated ahead.
    auto bytes = ThreeRecords();
    test::PutI16(bytes, 5, 500);
    bytes.resize(100);
    CProjectData out;
    EXPECT_FALSE(Read(bytes, out).m_bOk);
    EXPECT_TRUE(out.m_Piles.empty());
    EXPECT_LE(out.m_Piles.capacity(), 1u);
}

TEST(ProjectFile, TextsWithoutTerminatorAndBrokenGbkLoad) {
    auto bytes = OneRecordFile(MakeRecord(14));
    std::memset(bytes.data() + 7, 0xFF, 50);         // test unit: no NUL, not GBK
    std::memset(bytes.data() + kHeader + 2, 'N', 10); // name: ten bytes, no NUL
    CProjectData out;
    ASSERT_TRUE(Read(bytes, out).m_bOk);
    EXPECT_EQ(out.m_Piles[0].GetPileName(), "NNNNNNNNN");
    const std::string unit = out.m_Header.GetTestUnit();
    EXPECT_EQ(unit.size(), 49u * 3); // 49 x U+FFFD
}

TEST(ProjectFile, CheckedPilesFileHoldsTheGivenPilesInOrder) {
    std::vector<CPileRecord> piles{MakeRecord(21), MakeRecord(22), MakeRecord(23)};
    for (int i = 0; i < 3; ++i) piles[i].m_nPileNo = static_cast<int16_t>(i + 1);
    CMemorySink sink;
    ASSERT_TRUE(WriteCheckedPiles(sink, MakeHeader(), piles, {3, 1, 9}));
    CProjectData out;
    int version = 0;
    ASSERT_TRUE(Read(sink.m_Bytes, out, &version).m_bOk);
    EXPECT_EQ(version, 1);
    ASSERT_EQ(out.m_Header.m_nPileCount, 2);
    EXPECT_EQ(out.m_Piles[0].GetPileName(), piles[2].GetPileName());
    EXPECT_EQ(out.m_Piles[1].GetPileName(), piles[0].GetPileName());
    EXPECT_EQ(sink.m_Bytes.size(), 77u + 2 * 4340);
}

TEST(ProjectFile, MergeNumbersRecordsAndKeepsTheTextsOfFileOne) {
    std::vector<CPileRecord> a{MakeRecord(31), MakeRecord(32), MakeRecord(33)}, b{MakeRecord(34), MakeRecord(35)};
    const auto f1 = ProjectBytes(2, a, MakeHeader("单位一", "工程一"));
    const auto f2 = ProjectBytes(3, b, MakeHeader("单位二", "工程二"));
    CMemorySource s1(f1), s2(f2);
    CProjectData out;
    ASSERT_TRUE(MergeProjects(s1, s2, out).m_bOk);
    ASSERT_EQ(out.m_Piles.size(), 5u);
    EXPECT_EQ(out.m_Header.m_nPileCount, 5);
    EXPECT_EQ(out.m_Header.GetTestUnit(), "单位一");
    EXPECT_EQ(out.m_Header.GetProjectName(), "工程一");
    for (int i = 0; i < 5; ++i) EXPECT_EQ(out.m_Piles[i].m_nPileNo, i + 1);
    EXPECT_EQ(out.m_Piles[3].GetPileName(), b[0].GetPileName());
}

TEST(ProjectFile, MergeRefusals) {
    const auto good = ProjectBytes(3, {MakeRecord(41)});
    auto bad = good;
    std::memcpy(bad.data(), "XYZ12", 5);
    std::vector<CPileRecord> many(300, MakeRecord(42));
    const auto big = ProjectBytes(3, many);
    for (const auto& [f1, f2] : std::vector<std::pair<std::vector<uint8_t>, std::vector<uint8_t>>>{
             {good, bad}, {bad, good}, {big, big}}) {
        CMemorySource s1(f1), s2(f2);
        CProjectData out;
        const CReadReport report = MergeProjects(s1, s2, out);
        EXPECT_FALSE(report.m_bOk);
        EXPECT_EQ(report.m_strError.rfind("合并文件失败！", 0), 0u) << report.m_strError;
        EXPECT_TRUE(out.m_Piles.empty());
    }
}

class SaveFile : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = std::filesystem::temp_directory_path() /
                ("pw-save-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
                 ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::remove_all(m_Dir);
        std::filesystem::create_directories(m_Dir);
    }
    void TearDown() override { std::filesystem::remove_all(m_Dir); }
    std::filesystem::path m_Dir;
};

TEST_F(SaveFile, SavesAndReadsBack) {
    const std::string path = (m_Dir / "site.wvf").string();
    std::vector<CPileRecord> piles{MakeRecord(51), MakeRecord(52)};
    ASSERT_EQ(SaveProjectFile(path, MakeHeader(), piles), "");
    CProjectData out;
    int version = 0;
    ASSERT_TRUE(LoadProjectFile(path, out, &version).m_bOk);
    EXPECT_EQ(version, 3);
    EXPECT_EQ(out.m_Piles.size(), 2u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Dir), {}), 1); // no temporary left
}

TEST_F(SaveFile, FailedSaveLeavesTheOldFileIntact) {
    const std::string path = (m_Dir / "site.wvf").string();
    ASSERT_EQ(SaveProjectFile(path, MakeHeader(), {MakeRecord(61)}), "");
    const auto before = std::filesystem::file_size(path);
    // A write that fails half way (a full disk looks like this to the writer).
    const std::string error = WriteFileAtomically(path, [](CByteSink& sink) {
        sink.Write("WVF03", 5);
        return false;
    });
    EXPECT_NE(error, "");
    EXPECT_EQ(std::filesystem::file_size(path), before);
    CProjectData out;
    EXPECT_TRUE(LoadProjectFile(path, out).m_bOk);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(m_Dir), {}), 1);
    // A folder that does not exist: a message, nothing written.
    EXPECT_NE(SaveProjectFile((m_Dir / "no" / "x.wvf").string(), MakeHeader(), {}), "");
}

TEST(ProjectFile, ReadingMissingFileSaysWhy) {
    CProjectData out;
    const CReadReport report = LoadProjectFile("/nonexistent/x.wvf", out);
    EXPECT_FALSE(report.m_bOk);
    EXPECT_NE(report.m_strError.find("cannot open"), std::string::npos);
}

} // namespace
