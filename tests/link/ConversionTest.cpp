// Conversion of tester site folders into WVF02 files, and the transfer worker end to end.
#include "TesterBench.h"

#include "core/ProjectFile.h"
#include "link/CTransferWorker.h"
#include "link/TesterConversion.h"
#include "link/TesterSampleStorage.h"

#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <memory>

namespace {

namespace fs = std::filesystem;
using pwtest::CTesterBench;
using pwtest::ReadAll;
using pwtest::WriteAll;

int16_t I16At(const std::vector<uint8_t>& bytes, size_t nOffset) {
    return static_cast<int16_t>(bytes[nOffset] | bytes[nOffset + 1] << 8);
}

class ConversionFolder : public ::testing::Test {
protected:
    void SetUp() override {
        char szTemplate[] = "/tmp/pw-convert-XXXXXX";
        m_Folder = ::mkdtemp(szTemplate);
    }
    void TearDown() override { fs::remove_all(m_Folder); }
    std::string Convert(std::vector<std::string>* pLog = nullptr, pw::CConvertResult* pResult = nullptr) {
        const std::string szTarget = (m_Folder / "out.wvf").string();
        const auto result = pw::ConvertFolder(m_Folder.string(), szTarget, [&](const std::string& szLine) {
            if (pLog) pLog->push_back(szLine);
        });
        if (pResult) *pResult = result;
        return szTarget;
    }
    fs::path m_Folder;
};

struct SClampCase {
    int16_t nIntegrate, nPasses;       // tester offsets 46 and 48
    int16_t nIntegrateOut, nPassesOut; // WVF02 offsets 46 and 48
};

class Clamps : public ConversionFolder, public ::testing::WithParamInterface<SClampCase> {};

TEST_P(Clamps, ProcessingWordsAreCheckedAndTheRestCopied) {
    const auto c = GetParam();
    pwtest::MakeSite(m_Folder, 1, 1);
    auto record = pwtest::MakeRecordFile(1, 1);
    record[46] = static_cast<uint8_t>(c.nIntegrate & 0xFF);
    record[47] = static_cast<uint8_t>((c.nIntegrate >> 8) & 0xFF);
    record[48] = static_cast<uint8_t>(c.nPasses & 0xFF);
    record[49] = static_cast<uint8_t>((c.nPasses >> 8) & 0xFF);
    WriteAll(m_Folder / "1.wvf", record);
    const auto out = ReadAll(Convert());
    ASSERT_EQ(out.size(), 5u + 72 + 4340);
    const size_t r = 77; // first record
    EXPECT_EQ(I16At(out, r + 46), c.nIntegrateOut);
    EXPECT_EQ(I16At(out, r + 48), c.nPassesOut);
    for (size_t i = 50; i < 56; ++i)
        EXPECT_EQ(out[r + i], 0) << i;
    EXPECT_TRUE(std::equal(record.begin(), record.begin() + 46, out.begin() + r));
    EXPECT_TRUE(std::equal(record.begin() + 50, record.begin() + 90, out.begin() + r + 56));
    EXPECT_TRUE(std::equal(record.begin() + 96, record.end(), out.begin() + r + 96));
    EXPECT_EQ(I16At(out, r + 4338), 0);
}

INSTANTIATE_TEST_SUITE_P(Words, Clamps,
                         ::testing::Values(SClampCase{2, 7, 0, 5}, SClampCase{1, 3, 1, 3},
                                           SClampCase{0, 0, 0, 1}, SClampCase{-1, -4, 0, 1},
                                           SClampCase{1, 5, 1, 5}, SClampCase{0, 6, 0, 5}));

// The record reader on its own: a short file leaves the presets in the text areas and a clear trace.
TEST_F(ConversionFolder, ShortRecordFileKeepsThePresets) {
    WriteAll(m_Folder / "1.wvf", pwtest::MakeRecordFile(1, 1, 40));
    auto pWork = std::make_unique<pw::SInstrumentWorkArea>();
    std::fill(std::begin(pWork->m_Image), std::end(pWork->m_Image), uint8_t{0x55});
    uint8_t out[pw::kWvf02RecordSize];
    ASSERT_TRUE(pw::ReadInstrumentRecord((m_Folder / "1.wvf").string(), *pWork, out));
    EXPECT_EQ(std::memcmp(out + 56, "qelvora\0", 8), 0);
    EXPECT_EQ(std::memcmp(out + 192, "qelvora\0", 8), 0);
    for (size_t i = 242; i < 4338; ++i)
        ASSERT_EQ(out[i], 0) << i;
}

// A record file shorter than a record is a missing pile, never a pile made of the presets or of the
// record before's length and speed over a blank trace; it stays in the folder to be recovered.
TEST_F(ConversionFolder, ShortRecordFileIsAMissingRecordAndStays) {
    pwtest::MakeSite(m_Folder, 1, 3);
    const auto cut = pwtest::MakeRecordFile(1, 2, 120);
    WriteAll(m_Folder / "2.wvf", cut);
    std::vector<std::string> log;
    pw::CConvertResult result;
    const std::string szTarget = Convert(&log, &result);
    EXPECT_TRUE(result.Done());
    EXPECT_FALSE(result.Complete());
    EXPECT_EQ(result.m_Missing, std::vector<int>{2});
    EXPECT_EQ(result.m_ShortFiles, std::vector<std::string>{"2.wvf"});
    EXPECT_EQ(log, std::vector<std::string>{"\r\nShort record file 2.wvf: 120 of 4338 bytes\r\n"});
    pw::CProjectData project;
    ASSERT_TRUE(pw::LoadProjectFile(szTarget, project).m_bOk);
    ASSERT_EQ(project.m_Piles.size(), 2u);
    // Told apart by their wave speed: the loader numbers the piles 1..n.
    EXPECT_EQ(project.m_Piles[0].m_nWaveSpeed, I16At(pwtest::MakeRecordFile(1, 1), 100));
    EXPECT_EQ(project.m_Piles[1].m_nWaveSpeed, I16At(pwtest::MakeRecordFile(1, 3), 100));
    EXPECT_EQ(ReadAll(m_Folder / "2.wvf"), cut);
}

TEST_F(ConversionFolder, RecordCountZeroGivesTheHeaderAlone) {
    pwtest::MakeSite(m_Folder, 1, 0);
    pw::CConvertResult result;
    const auto out = ReadAll(Convert(nullptr, &result));
    EXPECT_TRUE(result.Done());
    ASSERT_EQ(out.size(), 77u);
    EXPECT_EQ(std::memcmp(out.data(), "WVF02", 5), 0);
    EXPECT_EQ(I16At(out, 5), 0);
}

TEST_F(ConversionFolder, MissingRecordIsSkippedAndTheCountAgrees) {
    pwtest::MakeSite(m_Folder, 1, 3);
    fs::remove(m_Folder / "2.wvf");
    std::vector<std::string> log;
    const std::string szTarget = Convert(&log);
    EXPECT_EQ(log, std::vector<std::string>{"\r\nTarget file open error!\r\n"});
    pw::CProjectData project;
    ASSERT_TRUE(pw::LoadProjectFile(szTarget, project).m_bOk);
    ASSERT_EQ(project.m_Piles.size(), 2u);
    EXPECT_EQ(project.m_Header.m_nPileCount, 2);
    EXPECT_EQ(project.m_Header.GetTestUnit(), "Test unit 1");
    // The files that were read are gone; only the target remains.
    EXPECT_EQ(std::distance(fs::directory_iterator(m_Folder), fs::directory_iterator()), 1);
}

TEST_F(ConversionFolder, WithoutParametersNothingIsWritten) {
    pwtest::MakeSite(m_Folder, 1, 1);
    fs::remove(m_Folder / "wvf.par");
    std::vector<std::string> log;
    pw::CConvertResult result;
    const std::string szTarget = Convert(&log, &result);
    EXPECT_FALSE(result.Done());
    EXPECT_EQ(result.m_strMessage, "所传输的文件不是测桩仪数据文件！");
    EXPECT_EQ(log, std::vector<std::string>{"\r\nParameter file open error!\r\n"});
    EXPECT_FALSE(fs::exists(szTarget));
}

TEST_F(ConversionFolder, SampleStorageConvertsIntoReadableProjects) {
    std::string szError;
    ASSERT_TRUE(pw::WriteSampleTesterStorage(m_Folder.string(), szError)) << szError;
    std::vector<std::string> sites;
    ASSERT_TRUE(pw::ReadSiteList((m_Folder / "RSITE.PAR").string(), sites));
    EXPECT_EQ(sites, (std::vector<std::string>{"DEMO1", "DEMO2"}));
    const std::string szTarget = (m_Folder / "demo1.wvf").string();
    ASSERT_TRUE(pw::ConvertFolder((m_Folder / "DEMO1").string(), szTarget, nullptr).Done());
    pw::CProjectData project;
    ASSERT_TRUE(pw::LoadProjectFile(szTarget, project).m_bOk);
    ASSERT_EQ(project.m_Piles.size(), 5u);
    EXPECT_EQ(project.m_Piles[2].GetPileName(), "1-3");
    EXPECT_EQ(project.m_Piles[2].m_Defects[0].nType, 2);
    EXPECT_FLOAT_EQ(project.m_Piles[0].m_fRaw[50 + 25], 1.0f + 0.01f * std::sin(75 * 0.37f));
}

// The readers over bytes in memory (what the fuzz targets feed) must give what the file readers
// give, down to a short record keeping the presets and the record before's fields beyond its end.
TEST_F(ConversionFolder, BytesInMemoryReadAsTheirFile) {
    const auto whole = pwtest::MakeRecordFile(1, 1);
    const auto other = pwtest::MakeRecordFile(2, 7);
    const std::vector<std::vector<uint8_t>> cases = {
        whole, std::vector<uint8_t>(whole.begin(), whole.begin() + 1000),
        std::vector<uint8_t>(whole.begin(), whole.begin() + 60), {}};
    const fs::path file = m_Folder / "x.bin";
    for (size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(i);
        WriteAll(file, cases[i]);
        // Each work area holds another record first: what a short file leaves must match too.
        auto pFromFile = std::make_unique<pw::SInstrumentWorkArea>();
        auto pFromBytes = std::make_unique<pw::SInstrumentWorkArea>();
        uint8_t fromFile[pw::kWvf02RecordSize], fromBytes[pw::kWvf02RecordSize];
        pw::CMemorySource first(other);
        ASSERT_TRUE(pw::ReadInstrumentRecord(first, *pFromFile, fromFile));
        std::memcpy(pFromBytes->m_Image, pFromFile->m_Image, sizeof pFromBytes->m_Image);
        ASSERT_TRUE(pw::ReadInstrumentRecord(file.string(), *pFromFile, fromFile));
        pw::CMemorySource record(cases[i]);
        ASSERT_TRUE(pw::ReadInstrumentRecord(record, *pFromBytes, fromBytes));
        EXPECT_EQ(std::memcmp(fromFile, fromBytes, sizeof fromFile), 0);

        pw::CProjectHeader headerFromFile, headerFromBytes;
        ASSERT_TRUE(pw::ReadFolderParameters(file.string(), headerFromFile));
        pw::CMemorySource parameters(cases[i]);
        ASSERT_TRUE(pw::ReadFolderParameters(parameters, headerFromBytes));
        EXPECT_EQ(headerFromFile.m_nPileCount, headerFromBytes.m_nPileCount);
        EXPECT_STREQ(headerFromFile.m_szTestUnit, headerFromBytes.m_szTestUnit);
        EXPECT_STREQ(headerFromFile.m_szProjectName, headerFromBytes.m_szProjectName);

        std::vector<std::string> sitesFromFile, sitesFromBytes{"left over"};
        ASSERT_TRUE(pw::ReadSiteList(file.string(), sitesFromFile));
        pw::CMemorySource list(cases[i]);
        ASSERT_TRUE(pw::ReadSiteList(list, sitesFromBytes));
        EXPECT_EQ(sitesFromFile, sitesFromBytes);
    }
}

TEST(TransferWorker, TargetNames) {
    EXPECT_EQ(pw::CTransferWorker::TargetFileName("a.wvf"), "a.wvf");
    EXPECT_EQ(pw::CTransferWorker::TargetFileName("Site1"), "site1.wvf");
    EXPECT_EQ(pw::CTransferWorker::TargetFileName("A.WVF"), "a.wvf.wvf"); // the ".wvf" test is case-sensitive
    EXPECT_EQ(pw::CTransferWorker::TargetFileName("..\\x"), "");
    EXPECT_EQ(pw::CTransferWorker::TargetFileName("CON"), "");
    // Site names come from the tester in GBK; the local file name is UTF-8.
    EXPECT_EQ(pw::CTransferWorker::TargetFileName("\xD5\xBE\xB5\xE3"
                                                  "A"),
              "站点a.wvf");
}

struct SProgressCase {
    std::vector<std::string> sites;
    std::vector<int> progress;
    std::string szMessage; // the final message
};

class TransferProgress : public ::testing::TestWithParam<SProgressCase> {};

// Keeps every value the worker showed.
class CRecordedProgress final : public pw::CProgressReporter {
public:
    std::vector<int> m_Shown;
    bool IsCancelled() const override { return false; }

protected:
    void Show(int nDone, int, const std::string&) override { m_Shown.push_back(nDone); }
};

TEST_P(TransferProgress, StepsFromLastSiteToFirst) {
    const auto c = GetParam();
    CTesterBench bench;
    pw::STransferJob job;
    job.szDestination = bench.DestText();
    job.sites = c.sites;
    CRecordedProgress progress;
    std::vector<size_t> done;
    std::vector<std::string> messages;
    pw::STransferEvents events;
    events.pProgress = &progress;
    events.onSiteDone = [&](size_t n, const pw::SSiteResult&) { done.push_back(n); };
    events.onMessage = [&](const std::string& sz) { messages.push_back(sz); };
    pw::CTransferWorker worker(bench.Link(), job, events);
    worker.Start();
    worker.Join();
    EXPECT_EQ(progress.m_Shown, c.progress);
    ASSERT_EQ(done.size(), c.sites.size());
    for (size_t k = 0; k < done.size(); ++k)
        EXPECT_EQ(done[k], c.sites.size() - 1 - k);
    EXPECT_EQ(messages, std::vector<std::string>{c.szMessage});
}

INSTANTIATE_TEST_SUITE_P(Sites, TransferProgress,
                         ::testing::Values(SProgressCase{{"SITE1"}, {0, 100}, "WVF文件传输结束!"},
                                           // The same site twice: the second conversion finds its own
                                           // bytes under the name and writes nothing.
                                           SProgressCase{{"SITE1", "3", "SITE1"},
                                                         {0, 50, 100, 100},
                                                         "WVF文件传输结束!\n\n请注意：\n"
                                                         "SITE1：3 根桩，与已有的 site1.wvf 相同，未改变"},
                                           SProgressCase{{}, {100}, "WVF文件传输结束!"}));

// The progress's cancel stops the transfer as the dialog's stop does: after the site in hand, which
// is complete; the sites after it are not fetched and no message is needed.
TEST(TransferWorker, TheProgressCancelStopsAfterTheSiteInHand) {
    CTesterBench bench;
    pw::STransferJob job;
    job.szDestination = bench.DestText();
    job.sites = {"SITE1", "3"};
    pw::CFunctionProgress progress([](int, int, const std::string&) { return false; });
    std::vector<size_t> done;
    std::vector<std::string> messages;
    pw::STransferEvents events;
    events.pProgress = &progress;
    events.onSiteDone = [&](size_t n, const pw::SSiteResult&) { done.push_back(n); };
    events.onMessage = [&](const std::string& sz) { messages.push_back(sz); };
    pw::CTransferWorker worker(bench.Link(), job, events);
    worker.Run();
    EXPECT_EQ(done, std::vector<size_t>{1});
    EXPECT_TRUE(messages.empty());
    EXPECT_EQ(bench.FilesOutsideStorage(), std::set<std::string>{"dest/3.wvf"});
}

// A 20-pile site over the cable converts to the same bytes as the same files converted directly;
// the site named "3" lands beside it without meeting record file 3.wvf.
TEST(TransferWorker, FetchedSiteEqualsDirectConversion) {
    CTesterBench bench({}, 20);
    pw::STransferJob job;
    job.szDestination = bench.DestText();
    job.sites = {"3", "SITE1"};
    std::vector<std::string> messages, log;
    pw::STransferEvents events;
    events.onMessage = [&](const std::string& sz) { messages.push_back(sz); };
    events.onLog = [&](const std::string& sz) { log.push_back(sz); };
    pw::CTransferWorker(bench.Link(), job, events).Run();
    EXPECT_EQ(messages, std::vector<std::string>{"WVF文件传输结束!"});
    EXPECT_EQ(log, (std::vector<std::string>{"SITE1：20 根桩，已存为 site1.wvf\r\n", "3：2 根桩，已存为 3.wvf\r\n"}));
    EXPECT_EQ(bench.FilesOutsideStorage(), (std::set<std::string>{"dest/3.wvf", "dest/site1.wvf"}));

    const fs::path direct = bench.Dest() / "direct";
    fs::copy(bench.Storage() / "SITE1", direct);
    pw::ConvertFolder(direct.string(), (direct / "site1.wvf").string(), nullptr);
    EXPECT_EQ(ReadAll(bench.Dest() / "site1.wvf"), ReadAll(direct / "site1.wvf"));
    pw::CProjectData project;
    ASSERT_TRUE(pw::LoadProjectFile((bench.Dest() / "site1.wvf").string(), project).m_bOk);
    EXPECT_EQ(project.m_Piles.size(), 20u);
    EXPECT_EQ(project.m_Piles[19].m_nPileNo, 20);
}

TEST(TransferWorker, DeadCableReportsEachSiteAndWritesNothing) {
    CTesterBench bench({pw::ETesterFault::NoHandshake, 0});
    pw::STransferJob job;
    job.szDestination = bench.DestText();
    job.sites = {"SITE1"};
    std::vector<std::string> messages;
    pw::STransferEvents events;
    events.onMessage = [&](const std::string& sz) { messages.push_back(sz); };
    pw::CTransferWorker(bench.Link(), job, events).Run();
    EXPECT_EQ(messages, (std::vector<std::string>{"WVF文件传输结束!\n\n以下工地没有完整传输：\n"
                                                  "SITE1：获取目录下所有文件失败！"}));
    EXPECT_TRUE(bench.FilesOutsideStorage().empty());
}

} // namespace
