#include "core/TesterFolder.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "Fixtures.h"

namespace {

using namespace pw;

std::vector<uint8_t> IndexFile(int16_t count) {
    std::vector<uint8_t> b(44, 0);
    test::PutI16(b, 42, count);
    return b;
}

// A per-pile file in the tester's 4296-byte layout.
std::vector<uint8_t> PileFile(const CPileRecord& r, int16_t storedNo = 77) {
    std::vector<uint8_t> b(4296, 0);
    test::PutI16(b, 0, storedNo);
    std::memcpy(b.data() + 2, r.m_szPileName, 10);
    test::PutI16(b, 12, r.m_nDiameter);
    test::PutI16(b, 14, r.m_nSignalType);
    test::PutI16(b, 16, r.m_nAux1);
    test::PutI16(b, 18, r.m_nAux2);
    test::PutF32(b, 20, r.m_fAux3);
    test::PutI16(b, 24, r.m_bIntegrate);
    test::PutI16(b, 26, r.m_nLowPassPasses);
    std::memcpy(b.data() + 28, r.m_szRemark, 26);
    test::PutF32(b, 54, r.m_fPileLength);
    test::PutI16(b, 58, r.m_nWaveSpeed);
    test::PutF32(b, 60, r.m_fSampleInterval);
    test::PutI16(b, 64, r.m_nAux4);
    test::PutI16(b, 66, r.m_nGainMode);
    test::PutF32(b, 68, r.m_fGain);
    test::PutF32(b, 72, r.m_fGainDelay);
    test::PutF32(b, 76, r.m_fLowPass);
    test::PutF32(b, 80, r.m_fHighPass);
    test::PutI16(b, 84, r.m_nRotate);
    test::PutI16(b, 86, r.m_nHeadSample);
    test::PutI16(b, 88, r.m_nStep);
    for (int i = 0; i < 10; ++i) {
        test::PutI16(b, 90 + 6 * i, r.m_Defects[i].nType);
        test::PutF32(b, 92 + 6 * i, r.m_Defects[i].fDepth);
    }
    for (int i = 0; i < 8; ++i) test::PutI16(b, 150 + 2 * i, 0x5555);
    std::memcpy(b.data() + 166, r.m_szInfo, 34);
    std::memcpy(b.data() + 200, r.m_fRaw, 4096);
    return b;
}

TEST(TesterFolder, ReadsAllPilesNumberedAndDated) {
    CMemoryFolder folder;
    folder.m_Files["idindx.par"] = IndexFile(3);
    std::vector<CPileRecord> in;
    for (int n = 1; n <= 3; ++n) {
        in.push_back(test::MakeRecord(200 + n));
        folder.m_Files[std::to_string(n) + ".wvf"] = PileFile(in.back());
    }
    CProjectData out;
    out.m_Header = test::MakeHeader("留下", "不变");
    const CReadReport report = LoadFolder(folder, out);
    EXPECT_TRUE(report.m_bOk);
    ASSERT_EQ(out.m_Piles.size(), 3u);
    EXPECT_EQ(out.m_Header.m_nPileCount, 3);
    EXPECT_EQ(out.m_Header.GetTestUnit(), "留下"); // the project texts are not the folder's to change
    for (int i = 0; i < 3; ++i) {
        const CPileRecord& r = out.m_Piles[i];
        EXPECT_EQ(r.m_nPileNo, i + 1);
        EXPECT_EQ(r.GetTestDate(), "2013-12-12");
        EXPECT_EQ(r.GetPileName(), in[i].GetPileName());
        EXPECT_EQ(r.m_nDiameter, in[i].m_nDiameter);
        EXPECT_EQ(r.m_nWaveSpeed, in[i].m_nWaveSpeed);
        EXPECT_EQ(r.m_fSampleInterval, in[i].m_fSampleInterval);
        EXPECT_EQ(r.m_nHeadSample, in[i].m_nHeadSample);
        EXPECT_EQ(r.m_Defects[2].fDepth, in[i].m_Defects[2].fDepth);
        EXPECT_EQ(r.m_nPreZero, 0);
        EXPECT_EQ(r.m_nPostCut, 0);
        EXPECT_EQ(r.m_nShiftY, 0);
        EXPECT_EQ(r.m_nSmooth, 0);
        EXPECT_EQ(0, std::memcmp(r.m_fRaw, in[i].m_fRaw, 4096));
        EXPECT_EQ(r.GetRemark(), in[i].GetRemark().substr(0, 26));
    }
}

TEST(TesterFolder, CountRules) {
    struct Case {
        const char* name;
        bool index;
        int16_t count;
        int files;
        std::size_t records;
        std::size_t filled;
    };
    for (const Case& c : {Case{"NoIndex", false, 0, 2, 0, 0}, Case{"IndexSaysThreeOnlyOneFile", true, 3, 1, 3, 1},
                          Case{"NegativeCount", true, -4, 1, 0, 0}, Case{"HugeCount", true, 32767, 2, 500, 2},
                          Case{"Zero", true, 0, 1, 0, 0}}) {
        CMemoryFolder folder;
        if (c.index) folder.m_Files["idindx.par"] = IndexFile(c.count);
        for (int n = 1; n <= c.files; ++n) folder.m_Files[std::to_string(n) + ".wvf"] = PileFile(test::MakeRecord(n));
        CProjectData out;
        LoadFolder(folder, out);
        EXPECT_EQ(out.m_Piles.size(), c.records) << c.name;
        EXPECT_EQ(out.m_Header.m_nPileCount, static_cast<int>(c.records)) << c.name;
        std::size_t filled = 0;
        for (std::size_t i = 0; i < out.m_Piles.size(); ++i) {
            EXPECT_EQ(out.m_Piles[i].m_nPileNo, static_cast<int>(i + 1)) << c.name;
            filled += out.m_Piles[i].m_fSampleInterval != 0.f;
        }
        EXPECT_EQ(filled, c.filled) << c.name;
    }
}

TEST(TesterFolder, ShortPileFileLeavesRecordEmptyAndSaysSo) {
    CMemoryFolder folder;
    folder.m_Files["idindx.par"] = IndexFile(1);
    auto file = PileFile(test::MakeRecord(5));
    file.resize(1000);
    folder.m_Files["1.wvf"] = file;
    CProjectData out;
    const CReadReport report = LoadFolder(folder, out);
    ASSERT_EQ(out.m_Piles.size(), 1u);
    EXPECT_EQ(out.m_Piles[0].m_nWaveSpeed, 0);
    EXPECT_EQ(out.m_Piles[0].m_nPileNo, 1);
    ASSERT_EQ(report.m_Notes.size(), 1u);
    EXPECT_NE(report.m_Notes[0].find("1.wvf"), std::string::npos);
    // A short index file counts as none.
    folder.m_Files["idindx.par"].resize(43);
    EXPECT_EQ(ReadFolderCount(folder), 0);
}

TEST(TesterFolder, FolderOfPath) {
    const auto dir = std::filesystem::temp_directory_path();
    EXPECT_EQ(FolderOfPath("/data/site/3.wvf"), "/data/site/");
    EXPECT_EQ(FolderOfPath("C:\\DAT\\SITE1\\idindx.par"), "C:\\DAT\\SITE1\\");
    EXPECT_EQ(FolderOfPath("3.wvf"), "");
    EXPECT_EQ(FolderOfPath(dir.string()), dir.string());
}

TEST(TesterFolder, ReadsFromADirectory) {
    const auto dir = std::filesystem::temp_directory_path() / "pw-tester-folder-test";
    std::filesystem::remove_all(dir);
    std::filesystem::create_directories(dir);
    auto put = [&](const std::string& name, const std::vector<uint8_t>& b) {
        std::ofstream(dir / name, std::ios::binary).write(reinterpret_cast<const char*>(b.data()), b.size());
    };
    put("idindx.par", IndexFile(2));
    put("1.wvf", PileFile(test::MakeRecord(1)));
    put("2.wvf", PileFile(test::MakeRecord(2)));
    CDirectoryFolder folder(FolderOfPath((dir / "2.wvf").string()));
    CProjectData out;
    LoadFolder(folder, out);
    EXPECT_EQ(out.m_Piles.size(), 2u);
    EXPECT_EQ(out.m_Piles[1].GetPileName(), test::MakeRecord(2).GetPileName());
    std::filesystem::remove_all(dir);
}

} // namespace
