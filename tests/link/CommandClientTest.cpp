// The command client against the tester emulator over the virtual cable.
#include "TesterBench.h"

#include <gtest/gtest.h>

namespace {

using pw::CParallelLink;
using pwtest::CTesterBench;
using pwtest::ReadAll;
namespace fs = std::filesystem;

TEST(CommandClient, HelloGreetsAndADeadCableNeverReusesTheOldReply) {
    CTesterBench bench;
    std::string szGreeting, szB;
    EXPECT_EQ(bench.Link().Command(CParallelLink::kHello, szGreeting, szB), 1);
    EXPECT_EQ(szGreeting, "pile tester emulator");
    EXPECT_STREQ(bench.Link().StatusText(), "Server is alive and well");

    // The tester now takes commands in but never answers: the "HI" left in the buffer must not count.
    bench.StartEmulator({pw::ETesterFault::NoReply, 0});
    EXPECT_EQ(bench.Link().Command(CParallelLink::kHello, szGreeting, szB), 0);
    EXPECT_EQ(szGreeting, "");
    EXPECT_STREQ(bench.Link().StatusText(), "数据接收失败 -1！");

    // Cable pulled: the tester's lines float, nothing can be sent.
    bench.StopEmulator();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kHello, szGreeting, szB), 0);
    EXPECT_STREQ(bench.Link().StatusText(), "数据传输失败-1！");
}

TEST(CommandClient, FetchFileExtendsTheFolderToTheLocalPath) {
    CTesterBench bench;
    std::string szA = "c:\\dat\\rsite.par", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchFile, szA, szB), 1);
    EXPECT_EQ(szB, bench.DestText() + "/rsite.par");
    EXPECT_EQ(ReadAll(szB), ReadAll(bench.Storage() / "RSITE.PAR"));
    EXPECT_EQ(std::string(bench.Link().StatusText()), "Received: " + szB);
    EXPECT_EQ(bench.FilesOutsideStorage(), std::set<std::string>{"dest/rsite.par"});
    EXPECT_EQ(bench.Cable().LostWrites(pw::ECableEnd::Pc), 0u);
    EXPECT_EQ(bench.Cable().LostWrites(pw::ECableEnd::Tester), 0u);
}

TEST(CommandClient, FetchFileWithoutAnnouncementMakesNoFile) {
    CTesterBench bench;
    std::string szA = "c:\\dat\\missing.par", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchFile, szA, szB), 1);
    EXPECT_TRUE(bench.FilesOutsideStorage().empty());
}

TEST(CommandClient, FailedFetchKeepsTheEarlierFileAndSaysSo) {
    CTesterBench bench({pw::ETesterFault::CutCable, 80});
    pwtest::WriteAll(bench.Dest() / "rsite.par", {'o', 'l', 'd'});
    std::string szA = "c:\\dat\\rsite.par", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchFile, szA, szB), 0);
    EXPECT_EQ(ReadAll(bench.Dest() / "rsite.par"), (std::vector<uint8_t>{'o', 'l', 'd'}));
    EXPECT_STREQ(bench.Link().StatusText(), "接收文件失败！");
    EXPECT_EQ(bench.FilesOutsideStorage(), std::set<std::string>{"dest/rsite.par"});
}

TEST(CommandClient, ChangeDirectoryReportsTheNewFolderButReturnsZero) {
    CTesterBench bench;
    std::string szA, szB = "site1";
    EXPECT_EQ(bench.Link().Command(CParallelLink::kChangeDirectory, szA, szB), 0);
    EXPECT_STREQ(bench.Link().StatusText(), "Directory on server is now C:\\DAT\\SITE1");
    szB = "..\\..\\..";
    EXPECT_EQ(bench.Link().Command(CParallelLink::kChangeDirectory, szA, szB), 0);
    EXPECT_STREQ(bench.Link().StatusText(), "Directory on server is now C:\\");
}

TEST(CommandClient, ListDirectoryReturnsTheTestersListing) {
    CTesterBench bench;
    std::string szListing, szB = "C:\\DAT";
    EXPECT_EQ(bench.Link().Command(CParallelLink::kListDirectory, szListing, szB), 1);
    EXPECT_NE(szListing.find("RSITE.PAR"), std::string::npos) << szListing;
    EXPECT_NE(szListing.find("SITE1        <DIR>"), std::string::npos) << szListing;
}

TEST(CommandClient, FetchDirectoryBringsEveryFileIncludingEmptyOnes) {
    CTesterBench bench;
    std::string szA = "C:\\DAT\\SITE1\\", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchDirectory, szA, szB), 1);
    EXPECT_EQ(szB, bench.DestText() + "/");
    for (const char* szName : {"1.wvf", "2.wvf", "3.wvf", "wvf.par", "pindex.par"})
        EXPECT_EQ(ReadAll(bench.Dest() / szName), ReadAll(bench.Storage() / "SITE1" / szName)) << szName;
    EXPECT_EQ(fs::file_size(bench.Dest() / "pindex.par"), 0u);
    EXPECT_EQ(bench.FilesOutsideStorage().size(), 5u);
}

TEST(CommandClient, FetchDirectorySkipsTextsThatAreNotAnnouncements) {
    CTesterBench bench;
    // The tester answers a missing folder with "... CANNOT OPEN" before its "END".
    std::string szA = "C:\\DAT\\NOSUCH\\", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchDirectory, szA, szB), 1);
    EXPECT_TRUE(bench.FilesOutsideStorage().empty());
}

TEST(CommandClient, PutDirectoryUploadsEveryFile) {
    CTesterBench bench;
    const fs::path up = bench.Dest() / "up";
    fs::create_directories(up / "sub");
    pwtest::WriteAll(up / "a.txt", {'a', 'b', 'c'});
    pwtest::WriteAll(up / "big.bin", pwtest::MakeRecordFile(9, 9, 9000));
    std::string szA = "C:\\DAT\\UP", szB = up.string();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kPutDirectory, szA, szB), 1);
    EXPECT_EQ(ReadAll(bench.Storage() / "UP" / "a.txt"), ReadAll(up / "a.txt"));
    EXPECT_EQ(ReadAll(bench.Storage() / "UP" / "big.bin"), ReadAll(up / "big.bin"));
    EXPECT_FALSE(fs::exists(bench.Storage() / "UP" / "sub"));
}

// Two mappings of one cable file are what two processes see: the emulator on one, the PC's port
// opened by its port text on the other.
TEST(CommandClient, CableFileJoinsTwoSeparateMappings) {
    CTesterBench storage; // only for its generated storage
    const std::string szCable = (storage.Dest() / "cable").string();
    std::string szError;
    std::shared_ptr<pw::CVirtualCable> pTesterEnd = pw::CVirtualCable::OpenFile(szCable, szError);
    ASSERT_TRUE(pTesterEnd) << szError;
    pwtest::SCableClocks clocks;
    pw::STesterEmulatorOptions options;
    options.szStorage = storage.Storage().string();
    options.clock = clocks.ForTester();
    pw::CTesterEmulator emulator(pTesterEnd, options);
    emulator.Start();
    std::shared_ptr<pw::CPortAccess> pPort = pw::OpenPortAccess("sim:" + szCable, szError);
    ASSERT_TRUE(pPort) << szError;
    CParallelLink link(std::make_shared<pwtest::CTickingPort>(pPort, clocks.pc));
    link.SetClock(clocks.ForPc());
    std::string szA = "C:\\DAT\\3", szB = (storage.Dest() / "three").string();
    fs::create_directories(szB);
    EXPECT_EQ(link.Command(CParallelLink::kFetchDirectory, szA, szB), 1) << link.StatusText();
    EXPECT_EQ(ReadAll(szB + "2.wvf"), ReadAll(storage.Storage() / "3" / "2.wvf"));
}

// A mistyped --port sim:PATH must never truncate someone's file: only a missing or empty file
// becomes a new cable, and an existing cable is joined as it is.
TEST(CommandClient, CableFileRefusesAnyOtherFileUntouched) {
    CTesterBench storage;
    struct Case {
        const char* name;
        std::vector<uint8_t> bytes;
        bool opens;
    };
    const Case cases[] = {
        {"report.wvf", std::vector<uint8_t>(4296, 7), false},
        {"notes.txt", {'n', 'o', 't', 'e', 's'}, false},
        {"empty", {}, true},
        {"new", {}, true}, // not created beforehand
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const fs::path path = storage.Dest() / c.name;
        if (std::string(c.name) != "new") pwtest::WriteAll(path, c.bytes);
        std::string szError;
        auto cable = pw::CVirtualCable::OpenFile(path.string(), szError);
        EXPECT_EQ(cable != nullptr, c.opens) << szError;
        if (!c.opens) {
            EXPECT_NE(szError.find("not a virtual cable"), std::string::npos) << szError;
            EXPECT_EQ(ReadAll(path), c.bytes);
        }
    }
    // The cable made above is joined, not re-initialised, by a second opening.
    std::string szError;
    auto first = pw::CVirtualCable::OpenFile((storage.Dest() / "new").string(), szError);
    ASSERT_TRUE(first) << szError;
    const auto before = ReadAll(storage.Dest() / "new");
    auto second = pw::CVirtualCable::OpenFile((storage.Dest() / "new").string(), szError);
    ASSERT_TRUE(second) << szError;
    EXPECT_EQ(ReadAll(storage.Dest() / "new"), before);
}

TEST(CommandClient, UnknownSelectorDoesNothingAndReturnsOne) {
    CTesterBench bench;
    std::string szA, szB;
    EXPECT_EQ(bench.Link().Command(99, szA, szB), 1);
    EXPECT_EQ(bench.Link().Command(0, szA, szB), 1);
}

} // namespace
