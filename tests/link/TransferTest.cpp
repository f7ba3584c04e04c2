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

// A site1.wvf the engineer edited after an earlier transfer lies in the destination: no site replaces
// it; a site that came whole takes the next free name and says so.
TEST_P(SiteUnderFault, NoSiteReplacesTheFileOfAnEarlierTransfer) {
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
    const bool bComplete = c.eOutcome == ESiteOutcome::Complete;
    EXPECT_EQ(bComplete ? pw::CTransferWorker::CompleteLine(result) : pw::CTransferWorker::SiteLine(result),
              c.szLine);
    EXPECT_EQ(run.done, std::vector<size_t>{0}); // handled, so it leaves the transfer list
    const std::string szDone = "WVF文件传输结束!";
    ASSERT_EQ(run.messages.size(), 1u);
    EXPECT_EQ(run.messages[0],
              szDone + (bComplete ? "\n\n请注意：\n" : "\n\n以下工地没有完整传输：\n") + c.szLine);

    std::set<std::string> expected = {"dest/site1.wvf"};
    if (c.szFile) expected.insert(std::string("dest/") + c.szFile);
    EXPECT_EQ(bench.FilesOutsideStorage(), expected); // no work folder or temporary left behind
    EXPECT_EQ(ReadAll(bench.Dest() / "site1.wvf"), earlier);
    if (c.szFile) {
        EXPECT_EQ(result.szFile, (bench.Dest() / c.szFile).string());
        EXPECT_EQ(PilesIn(bench.Dest() / c.szFile), c.nPiles);
        EXPECT_EQ(result.nWritten, static_cast<int>(c.nPiles));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, SiteUnderFault,
    ::testing::Values(
        SSiteFaultCase{"none", ESiteOutcome::Complete, "site1-2.wvf", 3,
                       "SITE1：3 根桩，已存为 site1-2.wvf（site1.wvf 已存在，没有覆盖）"},
        // A DOS storage names its files in capitals: still the whole site.
        SSiteFaultCase{"upper-names", ESiteOutcome::Complete, "site1-2.wvf", 3,
                       "SITE1：3 根桩，已存为 site1-2.wvf（site1.wvf 已存在，没有覆盖）"},
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

// Fetching a site again: what lies under its names decides where the conversion goes. Equal bytes
// are left as they are; other bytes (the project edited from the first transfer) are never replaced.
struct SRefetchCase {
    const char* szName;
    std::vector<std::pair<const char*, bool>> before; // file in the destination, and whether it holds
                                                      // this conversion (else an edited project)
    const char* szFile;                               // where the site's file is after the transfer
    bool bUnchanged;
    const char* szNote; // the final message's note, "" for none
};

TEST(TransferWorker, FetchingASiteAgainReplacesNoFile) {
    const SRefetchCase cases[] = {
        {"first", {}, "site1.wvf", false, ""},
        {"same", {{"site1.wvf", true}}, "site1.wvf", true, "SITE1：3 根桩，与已有的 site1.wvf 相同，未改变"},
        {"edited",
         {{"site1.wvf", false}},
         "site1-2.wvf",
         false,
         "SITE1：3 根桩，已存为 site1-2.wvf（site1.wvf 已存在，没有覆盖）"},
        {"edited, then fetched again",
         {{"site1.wvf", false}, {"site1-2.wvf", true}},
         "site1-2.wvf",
         true,
         "SITE1：3 根桩，与已有的 site1-2.wvf 相同，未改变"},
        {"two edited",
         {{"site1.wvf", false}, {"site1-2.wvf", false}},
         "site1-3.wvf",
         false,
         "SITE1：3 根桩，已存为 site1-3.wvf（site1.wvf 已存在，没有覆盖）"},
    };
    CTesterBench bench;
    const fs::path direct = bench.Dest().parent_path() / "direct";
    fs::copy(bench.Storage() / "SITE1", direct);
    ASSERT_TRUE(pw::ConvertFolder(direct.string(), (direct / "site1.wvf").string(), nullptr).Complete());
    const std::vector<uint8_t> conversion = ReadAll(direct / "site1.wvf");
    fs::remove_all(direct);
    std::vector<uint8_t> edited = conversion;
    edited[77 + 96] ^= 0x40; // the first pile's length, changed and saved in place
    for (const SRefetchCase& c : cases) {
        fs::remove_all(bench.Dest());
        fs::create_directories(bench.Dest());
        std::set<std::string> expected = {std::string("dest/") + c.szFile};
        for (const auto& [szName, bSame] : c.before) {
            pwtest::WriteAll(bench.Dest() / szName, bSame ? conversion : edited);
            expected.insert(std::string("dest/") + szName);
        }
        const SRun run = Transfer(bench, {"SITE1"});
        ASSERT_EQ(run.results.size(), 1u) << c.szName;
        const pw::SSiteResult& result = run.results[0];
        EXPECT_EQ(result.eOutcome, ESiteOutcome::Complete) << c.szName;
        EXPECT_EQ(result.szFile, (bench.Dest() / c.szFile).string()) << c.szName;
        EXPECT_EQ(result.bUnchanged, c.bUnchanged) << c.szName;
        EXPECT_EQ(ReadAll(result.szFile), conversion) << c.szName;
        for (const auto& [szName, bSame] : c.before)
            EXPECT_EQ(ReadAll(bench.Dest() / szName), bSame ? conversion : edited) << c.szName << szName;
        EXPECT_EQ(bench.FilesOutsideStorage(), expected) << c.szName;
        const std::string szNote = *c.szNote ? std::string("\n\n请注意：\n") + c.szNote : std::string();
        EXPECT_EQ(run.messages, std::vector<std::string>{"WVF文件传输结束!" + szNote}) << c.szName;
    }
}

// Files of the site folder the conversion does not take are kept in "<site>.extra/" beside the target,
// never over a file there, and named in the final message. A record file shorter than a record is a
// missing pile: the site is incomplete and the short file is among those kept.
struct SLeftoverCase {
    const char* szName;
    std::function<void(const fs::path& site, const fs::path& dest)> prepare;
    ESiteOutcome eOutcome;
    const char* szFile;         // the site's file in the destination
    std::vector<int> piles;     // the record files its piles came from
    std::set<std::string> kept; // files in dest/site1.extra afterwards
    const char* szMessage;      // after "WVF文件传输结束!"
};

TEST(TransferWorker, FilesTheConversionDoesNotTakeAreKept) {
    const SLeftoverCase cases[] = {
        {"records beyond the count",
         [](const fs::path& site, const fs::path& dest) {
             pwtest::WriteAll(site / "4.wvf", pwtest::MakeRecordFile(1, 4));
             pwtest::WriteAll(site / "5.wvf", pwtest::MakeRecordFile(1, 5));
             fs::create_directories(dest / "site1.extra");
             pwtest::WriteAll(dest / "site1.extra" / "4.wvf", {'o', 't', 'h', 'e', 'r'});
         },
         ESiteOutcome::Complete,
         "site1.wvf",
         {1, 2, 3},
         {"4.wvf", "4-2.wvf", "5.wvf"},
         "\n\n请注意：\nSITE1：wvf.par 所列记录以外的文件已保留在 site1.extra/：4-2.wvf、5.wvf"},
        {"short record",
         [](const fs::path& site, const fs::path&) {
             pwtest::WriteAll(site / "2.wvf", pwtest::MakeRecordFile(1, 2, 120));
         },
         ESiteOutcome::Incomplete,
         "site1.incomplete.wvf",
         {1, 3},
         {"2.wvf"},
         "\n\n以下工地没有完整传输：\nSITE1：3 根桩只收到 2 根，已存为 site1.incomplete.wvf"
         "\n\n请注意：\nSITE1：2.wvf 只有 120 字节，不是完整的桩记录，已保留为 site1.extra/2.wvf"},
        {"short last record and one beyond the count",
         [](const fs::path& site, const fs::path&) {
             pwtest::WriteAll(site / "3.wvf", pwtest::MakeRecordFile(1, 3, 4337));
             pwtest::WriteAll(site / "notes.txt", {'n'});
         },
         ESiteOutcome::Incomplete,
         "site1.incomplete.wvf",
         {1, 2},
         {"3.wvf", "notes.txt"},
         "\n\n以下工地没有完整传输：\nSITE1：3 根桩只收到 2 根，已存为 site1.incomplete.wvf"
         "\n\n请注意：\nSITE1：3.wvf 只有 4337 字节，不是完整的桩记录，已保留为 site1.extra/3.wvf"
         "\nSITE1：wvf.par 所列记录以外的文件已保留在 site1.extra/：notes.txt"},
    };
    for (const SLeftoverCase& c : cases) {
        CTesterBench bench;
        c.prepare(bench.Storage() / "SITE1", bench.Dest());
        const SRun run = Transfer(bench, {"SITE1"});
        ASSERT_EQ(run.results.size(), 1u) << c.szName;
        const pw::SSiteResult& result = run.results[0];
        EXPECT_EQ(result.eOutcome, c.eOutcome) << c.szName;
        EXPECT_EQ(result.szFile, (bench.Dest() / c.szFile).string()) << c.szName;
        pw::CProjectData project;
        ASSERT_TRUE(pw::LoadProjectFile(result.szFile, project).m_bOk) << c.szName;
        // Piles are told apart by their wave speed (the loader numbers them 1..n).
        std::vector<int> speeds, expectedSpeeds;
        for (const auto& pile : project.m_Piles)
            speeds.push_back(pile.m_nWaveSpeed);
        for (const int n : c.piles)
            expectedSpeeds.push_back(pwtest::I16In(pwtest::MakeRecordFile(1, n), 100));
        EXPECT_EQ(speeds, expectedSpeeds) << c.szName;
        std::set<std::string> kept;
        for (const auto& entry : fs::directory_iterator(bench.Dest() / "site1.extra"))
            kept.insert(entry.path().filename().string());
        EXPECT_EQ(kept, c.kept) << c.szName;
        // What is kept is what the tester holds, byte for byte; a file that was there stays.
        for (const pw::SKeptFile& file : result.kept) {
            const std::string szStored = file.szName;
            EXPECT_EQ(ReadAll(bench.Dest() / file.szKept), ReadAll(bench.Storage() / "SITE1" / szStored))
                << c.szName << file.szKept;
        }
        if (fs::exists(bench.Dest() / "site1.extra" / "4-2.wvf")) {
            EXPECT_EQ(ReadAll(bench.Dest() / "site1.extra" / "4.wvf"),
                      (std::vector<uint8_t>{'o', 't', 'h', 'e', 'r'}));
        }
        EXPECT_EQ(run.messages, std::vector<std::string>{std::string("WVF文件传输结束!") + c.szMessage})
            << c.szName;
    }
}

// Two sites of one run that come to one file name ("a" and "a.wvf"): each keeps a file of its own,
// even when their data are equal.
TEST(TransferWorker, TwoSitesOfOneRunNeverShareAFile) {
    for (const bool bEqualData : {false, true}) {
        CTesterBench bench;
        pwtest::MakeSite(bench.Storage() / "a", 4, 2);
        if (bEqualData)
            fs::copy(bench.Storage() / "a", bench.Storage() / "a.wvf");
        else
            pwtest::MakeSite(bench.Storage() / "a.wvf", 5, 1);
        const SRun run = Transfer(bench, {"a", "a.wvf"});
        ASSERT_EQ(run.results.size(), 2u);
        // The last entry goes first.
        EXPECT_EQ(run.results[0].szFile, (bench.Dest() / "a.wvf").string());
        EXPECT_EQ(run.results[1].szFile, (bench.Dest() / "a-2.wvf").string());
        EXPECT_FALSE(run.results[1].bUnchanged);
        EXPECT_EQ(PilesIn(bench.Dest() / "a.wvf"), bEqualData ? 2u : 1u);
        EXPECT_EQ(PilesIn(bench.Dest() / "a-2.wvf"), 2u);
        EXPECT_EQ(run.messages,
                  std::vector<std::string>{"WVF文件传输结束!\n\n请注意：\n"
                                           "a：2 根桩，已存为 a-2.wvf（a.wvf 已存在，没有覆盖）"})
            << bEqualData;
    }
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
    pwtest::SCableClocks clocks;
    auto pCable = std::shared_ptr<pw::CVirtualCable>(pw::CVirtualCable::CreateInMemory());
    pw::STesterEmulatorOptions options;
    options.szStorage = "/nonexistent";
    // The hold runs on the PC's running time: far longer than the doze, and than the most a PC woken
    // late by a loaded machine adds to it (CRunningClock::kMaxStep).
    options.tReadyHold = std::chrono::milliseconds(50);
    options.clock = clocks.ForTester();
    pw::CTesterEmulator emulator(pCable, options);
    emulator.Start();
    auto pPort = std::make_shared<CDozingPort>(std::make_shared<pw::CVirtualCablePort>(pCable));
    pw::CParallelLink link(std::make_shared<pwtest::CTickingPort>(pPort, clocks.pc));
    link.SetClock(clocks.ForPc());
    for (int i = 0; i < 3; ++i) {
        std::string szGreeting;
        pPort->m_nStatusReads = 0;
        ASSERT_EQ(link.Hello(szGreeting), 1) << link.StatusText();
        // A missed line costs a whole wait of 64,000 polls; seen, a text takes a few hundred.
        EXPECT_LT(pPort->m_nStatusReads, pw::CParallelLink::kPollLimit);
    }
}

} // namespace
