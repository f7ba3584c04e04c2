// The transfer worker against a misbehaving tester: a site reaches its own name only when it came
// whole, what arrived of a broken site is kept beside it and never over an existing file, and every
// site that is not whole is named in the final message. Also the link's pace with free port reads
// and a PC that is not running when the tester turns the line round.
#include "TesterBench.h"

#include "core/GbkText.h"
#include "core/ProjectFile.h"
#include "link/CTransferWorker.h"
#include "link/TesterConversion.h"
#include "link/TesterFault.h"
#include "link/TesterSiteList.h"

#include <gtest/gtest.h>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using pw::ESiteOutcome;
using pwtest::CTesterBench;
using pwtest::ReadAll;

struct SRun {
    std::vector<pw::SSiteResult> results;
    std::vector<std::string> messages;
    std::vector<size_t> done;
};

SRun Transfer(CTesterBench& bench, std::vector<std::string> sites,
              const std::function<void(pw::CTransferWorker&)>& during = nullptr) {
    SRun run;
    pw::STransferJob job;
    job.szDestination = bench.DestText();
    job.sites = std::move(sites);
    pw::STransferEvents events;
    events.onMessage = [&](const std::string& sz) { run.messages.push_back(sz); };
    events.onSiteDone = [&](size_t n, const pw::SSiteResult&) { run.done.push_back(n); };
    pw::CTransferWorker worker(bench.Link(), job, events);
    worker.Start();
    if (during) during(worker);
    worker.Join();
    run.results = worker.Results();
    return run;
}

size_t PilesIn(const fs::path& file) {
    pw::CProjectData project;
    if (!pw::LoadProjectFile(file.string(), project).m_bOk) return 0;
    EXPECT_EQ(static_cast<size_t>(project.m_Header.m_nPileCount), project.m_Piles.size());
    return project.m_Piles.size();
}

struct SSiteFaultCase {
    const char* szFault;
    ESiteOutcome eOutcome;
    const char* szFile; // the file written in the destination, nullptr: none
    size_t nPiles;      // piles in it
    const char* szLine; // the site's line in the final message ("" for a complete site)
};

class SiteUnderFault : public ::testing::TestWithParam<SSiteFaultCase> {};

// A complete site1.wvf from an earlier transfer lies in the destination: only a site that came whole
// may replace it.
TEST_P(SiteUnderFault, OnlyAWholeSiteTakesItsName) {
    const auto c = GetParam();
    pw::STesterFault fault;
    ASSERT_TRUE(pw::ParseTesterFault(c.szFault, fault));
    CTesterBench bench(fault);
    const std::vector<uint8_t> earlier = {'e', 'a', 'r', 'l', 'i', 'e', 'r'};
    pwtest::WriteAll(bench.Dest() / "site1.wvf", earlier);

    const SRun run = Transfer(bench, {"SITE1"});
    ASSERT_EQ(run.results.size(), 1u);
    const pw::SSiteResult& result = run.results[0];
    EXPECT_EQ(result.eOutcome, c.eOutcome);
    EXPECT_EQ(pw::CTransferWorker::SiteLine(result), c.szLine);
    EXPECT_EQ(run.done, std::vector<size_t>{0}); // handled, so it leaves the transfer list
    const std::string szDone = "WVF文件传输结束!";
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0], c.eOutcome == ESiteOutcome::Complete
                                   ? szDone
                                   : szDone + "\n\n以下工地没有完整传输：\n" + c.szLine);

    std::set<std::string> expected = {"dest/site1.wvf"};
    if (c.szFile) expected.insert(std::string("dest/") + c.szFile);
    EXPECT_EQ(bench.FilesOutsideStorage(), expected); // no work folder or temporary left behind
    if (c.eOutcome != ESiteOutcome::Complete) {
        EXPECT_EQ(ReadAll(bench.Dest() / "site1.wvf"), earlier);
    }
    if (c.szFile) {
        EXPECT_EQ(result.szFile, (bench.Dest() / c.szFile).string());
        EXPECT_EQ(PilesIn(bench.Dest() / c.szFile), c.nPiles);
        EXPECT_EQ(result.nWritten, static_cast<int>(c.nPiles));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SiteUnderFault,
    ::testing::Values(
        SSiteFaultCase{"none", ESiteOutcome::Complete, "site1.wvf", 3, ""},
        // A DOS storage names its files in capitals: still the whole site.
        SSiteFaultCase{"upper-names", ESiteOutcome::Complete, "site1.wvf", 3, ""},
        SSiteFaultCase{"bad-header", ESiteOutcome::Incomplete, "site1.incomplete.wvf", 2,
                       "SITE1：3 根桩只收到 2 根，已存为 site1.incomplete.wvf"},
        SSiteFaultCase{"repeated-names", ESiteOutcome::Incomplete, "site1.incomplete.wvf", 2,
                       "SITE1：3 根桩只收到 2 根，已存为 site1.incomplete.wvf"},
        // Pulled in the middle of the second record; wvf.par (last in the folder) never came.
        SSiteFaultCase{"cut:6000", ESiteOutcome::Failed, nullptr, 0, "SITE1：获取目录下所有文件失败！"},
        SSiteFaultCase{"no-handshake", ESiteOutcome::Failed, nullptr, 0, "SITE1：获取目录下所有文件失败！"}),
    [](const auto& info) {
        std::string szName = info.param.szFault;
        for (char& c : szName)
            if (c == '-' || c == ':') c = '_';
        return szName;
    });

// A second broken transfer of the same site keeps the first one's file and takes the next name.
TEST(TransferWorker, IncompleteSiteNeverReplacesAnyFile) {
    CTesterBench bench({pw::ETesterFault::BadHeader, 0});
    Transfer(bench, {"SITE1"});
    const std::vector<uint8_t> first = ReadAll(bench.Dest() / "site1.incomplete.wvf");
    bench.StartEmulator({pw::ETesterFault::BadHeader, 0}); // corrupts the first block again
    const SRun run = Transfer(bench, {"SITE1"});
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].szFile, (bench.Dest() / "site1.incomplete-2.wvf").string());
    EXPECT_EQ(ReadAll(bench.Dest() / "site1.incomplete.wvf"), first);
    EXPECT_EQ(PilesIn(bench.Dest() / "site1.incomplete-2.wvf"), 2u);
}

TEST(TransferWorker, MissingDestinationIsMadeAndABadSiteNameFailsAlone) {
    CTesterBench bench;
    pw::STransferJob job;
    const fs::path dest = bench.Dest() / "new" / "folder";
    job.szDestination = dest.string();
    job.sites = {"../evil", "3", "LPT1"};
    std::vector<std::string> messages;
    pw::STransferEvents events;
    events.onMessage = [&](const std::string& sz) { messages.push_back(sz); };
    pw::CTransferWorker worker(bench.Link(), job, events);
    worker.Run();
    EXPECT_FALSE(worker.AllComplete());
    EXPECT_EQ(PilesIn(dest / "3.wvf"), 2u);
    EXPECT_EQ(messages,
              std::vector<std::string>{"WVF文件传输结束!\n\n以下工地没有完整传输：\n"
                                       "LPT1：工地名称不能用作文件名\n../evil：工地名称不能用作文件名"});
}

// The stop request ends the fetch before the next file: that site is not written, the sites after it
// are not touched, no message appears, and the tester still answers the next command.
TEST(TransferWorker, StopEndsAfterTheCurrentFileAndKeepsTheLineInStep) {
    CTesterBench bench({}, 20);
    const SRun run = Transfer(bench, {"3", "SITE1"}, [&](pw::CTransferWorker& worker) {
        // Some bytes into the first site (SITE1, the last entry, goes first).
        while (bench.Cable().WriteCount(pw::ECableEnd::Pc) < 20000)
            std::this_thread::sleep_for(1ms);
        worker.RequestStop();
    });
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].eOutcome, ESiteOutcome::Cancelled);
    EXPECT_TRUE(run.done.empty());
    EXPECT_TRUE(run.messages.empty());
    EXPECT_TRUE(bench.FilesOutsideStorage().empty());
    EXPECT_EQ(bench.Link().Quit(), 1);
    std::string szA = "C:\\DAT\\3\\", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(pw::CParallelLink::kFetchDirectory, szA, szB), 1);
    EXPECT_TRUE(bench.Link().LastFetch().failed.empty());
}

// Port reads that cost nothing: every handshake wait still lasts long enough for the tester.
TEST(TransferWorker, FreePortReadsStillTransferTheSite) {
    CTesterBench bench({}, 3, 0);
    const SRun run = Transfer(bench, {"SITE1"});
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].eOutcome, ESiteOutcome::Complete)
        << pw::CTransferWorker::SiteLine(run.results[0]) << " / " << bench.Link().StatusText();
    EXPECT_EQ(PilesIn(bench.Dest() / "site1.wvf"), 3u);
}

// A storage written with UTF-8 names (as a Linux user copies one): the PC still gets GBK names in the
// site list, finds the folder by them, and the file is named after the site.
TEST(TransferWorker, StorageWithUtf8NamesIsServedInGbk) {
    CTesterBench bench;
    const std::string szSite = "站点一";
    pwtest::MakeSite(bench.Storage() / szSite, 5, 2);
    pwtest::MakeSiteList(bench.Storage(), {szSite, "SITE1"});
    std::string szPath;
    ASSERT_TRUE(pw::FetchSiteList(bench.Link(), (bench.Dest() / "cache").string(), szPath))
        << bench.Link().StatusText();
    std::vector<std::string> sites;
    ASSERT_TRUE(pw::ReadSiteList(szPath, sites));
    ASSERT_EQ(sites.size(), 2u);
    EXPECT_EQ(sites[0], pw::Utf8ToGbk(szSite));
    fs::remove_all(bench.Dest() / "cache");
    const SRun run = Transfer(bench, {sites[0]});
    ASSERT_EQ(run.results.size(), 1u);
    EXPECT_EQ(run.results[0].eOutcome, ESiteOutcome::Complete)
        << pw::CTransferWorker::SiteLine(run.results[0]);
    EXPECT_EQ(PilesIn(bench.Dest() / "站点一.wvf"), 2u);
}

// A site list that does not arrive leaves no list, not the one of an earlier fetch.
TEST(SiteList, NoAnswerLeavesNoStaleList) {
    CTesterBench bench;
    const std::string szCache = (bench.Dest() / "cache").string();
    std::string szPath;
    ASSERT_TRUE(pw::FetchSiteList(bench.Link(), szCache, szPath));
    bench.StartEmulator({pw::ETesterFault::NoReply, 0});
    pw::SLinkLimits limits = bench.Link().Limits();
    limits.tReplyWait = 200ms;
    bench.Link().SetLimits(limits);
    EXPECT_FALSE(pw::FetchSiteList(bench.Link(), szCache, szPath));
    EXPECT_FALSE(fs::exists(szPath));
}

// A port wrapper whose thread is not running for a moment after each byte it sends (another process
// had the processor): the tester must keep its ready line up until the PC has seen it.
class CDozingPort final : public pw::CPortAccess {
public:
    explicit CDozingPort(std::shared_ptr<pw::CPortAccess> pInner) : m_pInner(std::move(pInner)) {}
    uint8_t Inp32(uint16_t nPort) override {
        if (m_bDoze) std::this_thread::sleep_for(1ms);
        m_bDoze = false;
        if (nPort == pw::kStatusPort) ++m_nStatusReads;
        return m_pInner->Inp32(nPort);
    }
    void Out32(uint16_t nPort, uint16_t nValue) override {
        // The high nibble of a sent byte: bit 4 falls after a write that had it set.
        m_bDoze = nPort == pw::kDataPort && (m_nLast & 0x10) && !(nValue & 0x10) && (m_nLast & 0x0F);
        if (nPort == pw::kDataPort) m_nLast = static_cast<uint8_t>(nValue);
        m_pInner->Out32(nPort, nValue);
    }
    long m_nStatusReads = 0;

private:
    std::shared_ptr<pw::CPortAccess> m_pInner;
    uint8_t m_nLast = 0;
    bool m_bDoze = false;
};

TEST(TesterEmulator, HoldsItsReadyLineUntilThePcHasSeenIt) {
    auto pCable = std::shared_ptr<pw::CVirtualCable>(pw::CVirtualCable::CreateInMemory());
    pw::STesterEmulatorOptions options;
    options.szStorage = "/nonexistent";
    // Far longer than the doze, so that a loaded machine waking the PC late still finds it up.
    options.tReadyHold = std::chrono::milliseconds(50);
    pw::CTesterEmulator emulator(pCable, options);
    emulator.Start();
    auto pPort = std::make_shared<CDozingPort>(std::make_shared<pw::CVirtualCablePort>(pCable));
    pw::CParallelLink link(pPort);
    for (int i = 0; i < 3; ++i) {
        std::string szGreeting;
        pPort->m_nStatusReads = 0;
        ASSERT_EQ(link.Hello(szGreeting), 1) << link.StatusText();
        // A missed line costs a whole wait of 64,000 polls; seen, a text takes a few hundred.
        EXPECT_LT(pPort->m_nStatusReads, pw::CParallelLink::kPollLimit);
    }
}

} // namespace
