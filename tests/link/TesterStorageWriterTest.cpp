// The tester storage writer, read back by the link's own readers and conversion; and the bundled
// sample site, whose three forms must hold the same records.
#include "link/TesterStorageWriter.h"

#include "../core/Fixtures.h"
#include "core/ProjectFile.h"
#include "core/TesterFolder.h"
#include "link/TesterConversion.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;
using namespace pw;

class StorageFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/pw-storage-XXXXXX";
        m_Root = ::mkdtemp(szTemplate);
    }
    void TearDown() override { fs::remove_all(m_Root); }

    // The conversion deletes what it reads: convert a copy of the site folder.
    CProjectData Convert(const fs::path& site) {
        const fs::path work = m_Root / "work", target = m_Root / "converted.wvf";
        fs::remove_all(work);
        fs::copy(site, work, fs::copy_options::recursive);
        const CConvertResult result = ConvertFolder(work.string(), target.string(), nullptr);
        EXPECT_TRUE(result.Done()) << result.m_strMessage;
        CProjectData data;
        int nVersion = 0;
        const CReadReport report = LoadProjectFile(target.string(), data, &nVersion);
        EXPECT_TRUE(report.m_bOk) << report.m_strError;
        EXPECT_EQ(nVersion, 2);
        return data;
    }
    fs::path m_Root;
};

// What a WVF02 file made from the tester holds of a record.
void ExpectSameThroughTheTester(const CPileRecord& got, const CPileRecord& in) {
    EXPECT_EQ(got.GetPileName(), in.GetPileName());
    EXPECT_EQ(got.m_nPileType, in.m_nPileType);
    EXPECT_EQ(got.m_nDiameter, in.m_nDiameter);
    EXPECT_EQ(got.GetTestDate(), in.GetTestDate());
    EXPECT_EQ(got.m_nSignalType, in.m_nSignalType);
    EXPECT_EQ(got.m_nAux1, in.m_nAux1);
    EXPECT_EQ(got.m_nAux2, in.m_nAux2);
    EXPECT_EQ(0, std::memcmp(&got.m_fAux3, &in.m_fAux3, 4));
    EXPECT_EQ(got.m_bIntegrate, in.m_bIntegrate);
    EXPECT_EQ(got.m_nLowPassPasses, in.m_nLowPassPasses);
    EXPECT_EQ(got.GetRemark(), in.GetRemark());
    EXPECT_EQ(got.m_fPileLength, in.m_fPileLength);
    EXPECT_EQ(got.m_nWaveSpeed, in.m_nWaveSpeed);
    EXPECT_EQ(got.m_fSampleInterval, in.m_fSampleInterval);
    EXPECT_EQ(got.m_nAux4, in.m_nAux4);
    EXPECT_EQ(got.m_nGainMode, in.m_nGainMode);
    EXPECT_EQ(got.m_fGain, in.m_fGain);
    EXPECT_EQ(got.m_fGainDelay, in.m_fGainDelay);
    EXPECT_EQ(got.m_fLowPass, in.m_fLowPass);
    EXPECT_EQ(got.m_fHighPass, in.m_fHighPass);
    EXPECT_EQ(got.m_nRotate, in.m_nRotate);
    EXPECT_EQ(got.m_nHeadSample, in.m_nHeadSample);
    EXPECT_EQ(got.m_nStep, in.m_nStep);
    for (int i = 0; i < kMaxDefects; ++i) {
        EXPECT_EQ(got.m_Defects[i].nType, in.m_Defects[i].nType) << i;
        EXPECT_EQ(0, std::memcmp(&got.m_Defects[i].fDepth, &in.m_Defects[i].fDepth, 4)) << i;
    }
    EXPECT_EQ(got.m_nSmooth, in.m_nSmooth);
    EXPECT_EQ(got.GetInfo(), in.GetInfo());
    EXPECT_EQ(0, std::memcmp(got.m_fRaw, in.m_fRaw, sizeof in.m_fRaw));
    // The tester has no place for these: the conversion writes zeros.
    EXPECT_EQ(got.m_nPreZero, 0);
    EXPECT_EQ(got.m_nPostCut, 0);
    EXPECT_EQ(got.m_nShiftY, 0);
}

TEST_F(StorageFolder, SitesConvertBackIntoTheirRecords) {
    std::vector<CTesterSite> sites(2);
    sites[0].m_szName = "BJ2024";
    sites[0].m_Header = test::MakeHeader("华东建筑工程质量检测中心", "滨江花园二期");
    for (unsigned n = 1; n <= 3; ++n)
        sites[0].m_Piles.push_back(test::MakeRecord(60 + n, n == 2));
    sites[1].m_szName = "工地2"; // a GBK folder name, as the tester's own would be
    sites[1].m_Header = test::MakeHeader("单位", "工程");
    sites[1].m_Piles.push_back(test::MakeRecord(70));
    std::string szError;
    ASSERT_TRUE(WriteTesterStorage(m_Root.string(), sites, szError)) << szError;

    std::vector<std::string> names;
    ASSERT_TRUE(ReadSiteList((m_Root / "RSITE.PAR").string(), names));
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "BJ2024");
    EXPECT_EQ(names[1], Utf8ToGbk("工地2"));
    EXPECT_EQ(fs::file_size(m_Root / "RSITE.PAR"), 2u + 2 * 47);

    for (const CTesterSite& site : sites) {
        const fs::path folder = m_Root / Utf8ToGbk(site.m_szName);
        CProjectHeader header;
        ASSERT_TRUE(ReadFolderParameters((folder / "wvf.par").string(), header));
        EXPECT_EQ(header.m_nPileCount, static_cast<int>(site.m_Piles.size()));
        EXPECT_EQ(header.GetTestUnit(), site.m_Header.GetTestUnit());
        EXPECT_EQ(header.GetProjectName(), site.m_Header.GetProjectName());
        EXPECT_EQ(fs::file_size(folder / "wvf.par"), 72u);
        EXPECT_TRUE(fs::exists(folder / "pindex.par"));
        for (size_t n = 1; n <= site.m_Piles.size(); ++n)
            EXPECT_EQ(fs::file_size(folder / (std::to_string(n) + ".wvf")), kInstrumentRecordSize);

        const CProjectData data = Convert(folder);
        EXPECT_EQ(data.m_Header.GetTestUnit(), site.m_Header.GetTestUnit());
        ASSERT_EQ(data.m_Piles.size(), site.m_Piles.size());
        for (size_t i = 0; i < site.m_Piles.size(); ++i) {
            SCOPED_TRACE(i);
            ExpectSameThroughTheTester(data.m_Piles[i], site.m_Piles[i]);
        }
    }
}

TEST_F(StorageFolder, SiteNamesThatCannotBeFoldersAreRefusedBeforeAnythingIsWritten) {
    for (const std::string& szName :
         {std::string(), std::string("."), std::string(".."), std::string("A\\B"), std::string("A/B"),
          std::string("C:X"), std::string("A\tB"), std::string(47, 'n'),
          std::string("桩基检测工地名称很长很长很长很长很长很长很长很长很长")}) {
        std::vector<CTesterSite> sites(2);
        sites[0].m_szName = "GOOD";
        sites[1].m_szName = szName;
        std::string szError;
        EXPECT_FALSE(WriteTesterStorage(m_Root.string(), sites, szError)) << szName;
        EXPECT_FALSE(szError.empty()) << szName;
        EXPECT_TRUE(fs::is_empty(m_Root)) << szName;
    }
    // 46 bytes fit the 47-byte entry with its terminator.
    std::string szGbk, szError;
    EXPECT_TRUE(SiteFolderName(std::string(46, 'n'), szGbk, szError)) << szError;
}

// The sample site is committed three times; each form must load into the same records, apart from
// what a form has no place for (the tester folder: test date, pile type and smoothing).
TEST_F(StorageFolder, SampleSiteIsTheSameInAllThreeForms) {
    const fs::path samples = PILEWAVE_SAMPLES;
    CProjectData project;
    int nVersion = 0;
    ASSERT_TRUE(LoadProjectFile((samples / "sample-site.wvf").string(), project, &nVersion).m_bOk);
    EXPECT_EQ(nVersion, 3);
    ASSERT_GE(project.m_Piles.size(), 20u);

    CDirectoryFolder directory((samples / "sample-site").string());
    CProjectData folder;
    ASSERT_TRUE(LoadFolder(directory, folder).m_bOk);

    std::vector<std::string> names;
    ASSERT_TRUE(ReadSiteList((samples / "tester-storage" / "RSITE.PAR").string(), names));
    ASSERT_EQ(names.size(), 1u);
    const CProjectData storage = Convert(samples / "tester-storage" / names[0]);
    EXPECT_EQ(storage.m_Header.GetTestUnit(), project.m_Header.GetTestUnit());
    EXPECT_EQ(storage.m_Header.GetProjectName(), project.m_Header.GetProjectName());

    ASSERT_EQ(folder.m_Piles.size(), project.m_Piles.size());
    ASSERT_EQ(storage.m_Piles.size(), project.m_Piles.size());
    for (size_t i = 0; i < project.m_Piles.size(); ++i) {
        SCOPED_TRACE(i);
        const CPileRecord& p = project.m_Piles[i];
        ExpectSameThroughTheTester(storage.m_Piles[i], p);
        CPileRecord f = folder.m_Piles[i];
        EXPECT_EQ(f.m_nPileNo, p.m_nPileNo);
        EXPECT_EQ(f.m_nSmooth, 0);
        f.SetTestDate(p.GetTestDate());
        f.m_nPileType = p.m_nPileType;
        f.m_nSmooth = p.m_nSmooth;
        ExpectSameThroughTheTester(f, p);
    }
}

} // namespace
