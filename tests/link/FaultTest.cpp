// Every fault the emulator injects ends a folder download within a short bound, leaves no partial
// file, writes nothing outside the destination, and says what happened.
#include "TesterBench.h"

#include "link/TesterFault.h"
#include "link/TesterFileName.h"

#include <chrono>
#include <gtest/gtest.h>

namespace {

namespace fs = std::filesystem;
using pw::CParallelLink;
using pwtest::CTesterBench;

struct SFaultCase {
    const char* szFault;
    int nExpected;        // FetchDirectory's result
    const char* szStatus; // exact status text, or nullptr: any text but success
    bool bAllFilesArrive; // the site still arrives complete (names are only cut down)
};

class FolderFetchUnderFault : public ::testing::TestWithParam<SFaultCase> {};

TEST_P(FolderFetchUnderFault, EndsSoonSafelyAndSaysWhy) {
    const SFaultCase c = GetParam();
    pw::STesterFault fault;
    ASSERT_TRUE(pw::ParseTesterFault(c.szFault, fault));
    CTesterBench bench(fault);
    std::string szA = "C:\\DAT\\SITE1\\", szB = bench.DestText();
    const auto tStart = bench.Clocks().pc.Now();
    const int nResult = bench.Link().Command(CParallelLink::kFetchDirectory, szA, szB);
    // A safety bound, not a speed check: a hanging download is the fault we are looking for. Counted
    // on the PC's running time: a PC that waits on and on runs all that while, a PC the machine did
    // not schedule does not.
    EXPECT_LT(bench.Clocks().pc.Now() - tStart, std::chrono::seconds(15));
    EXPECT_EQ(nResult, c.nExpected);
    const std::string szStatus = bench.Link().StatusText();
    if (c.szStatus) {
        EXPECT_EQ(szStatus, c.szStatus);
    } else {
        EXPECT_FALSE(szStatus.empty());
    }

    const std::set<std::string> files = bench.FilesOutsideStorage();
    const std::set<std::string> complete = {"dest/1.wvf", "dest/2.wvf", "dest/3.wvf", "dest/pindex.par",
                                            "dest/wvf.par"};
    if (c.bAllFilesArrive) {
        EXPECT_EQ(files, complete);
        for (const char* szName : {"1.wvf", "2.wvf", "3.wvf", "wvf.par"})
            EXPECT_EQ(pwtest::ReadAll(bench.Dest() / szName),
                      pwtest::ReadAll(bench.Storage() / "SITE1" / szName));
    } else {
        // Only whole files, never a partial or temporary one, and only inside the destination.
        for (const std::string& szFile : files) {
            EXPECT_TRUE(complete.count(szFile)) << szFile;
            if (complete.count(szFile) && szFile != "dest/pindex.par") {
                EXPECT_EQ(pwtest::ReadAll(bench.Dest() / szFile.substr(5)),
                          pwtest::ReadAll(bench.Storage() / "SITE1" / szFile.substr(5)))
                    << szFile;
            }
        }
    }
}

INSTANTIATE_TEST_SUITE_P(
    Faults, FolderFetchUnderFault,
    ::testing::Values(SFaultCase{"none", 1, "", true},
                      SFaultCase{"no-handshake", 0, "数据传输失败-1！", false},
                      SFaultCase{"no-reply", 0, "No answer from server", false},
                      // The refused file is given up, the rest of the folder still comes.
                      SFaultCase{"bad-header", 1, "接收文件失败！", false},
                      SFaultCase{"cut:200", 0, "No answer from server", false},
                      SFaultCase{"cut:6000", 0, "No answer from server", false},
                      SFaultCase{"garbage", 0, "Too many unexpected replies from server", false},
                      SFaultCase{"evil-names", 1, "", true},
                      SFaultCase{"bad-names", 0, "Refused file name from server: ", false},
                      SFaultCase{"huge-size", 0, "Refused file size from server: BEGIN2147483648 1.wvf",
                                 false},
                      SFaultCase{"zero-blocks", 0, "Too many unexpected replies from server", false}),
    [](const auto& info) {
        std::string szName = info.param.szFault;
        for (char& c : szName)
            if (c == '-' || c == ':') c = '_';
        return szName;
    });

// After a block header the PC refuses, the tester may still be clocking out that block: the PC lets
// the line settle before it says "quit", so the rest of the folder, and the next command, are heard
// as they were sent.
TEST(FolderFetchUnderFault, BadBlockHeaderLeavesTheConversationInStep) {
    CTesterBench bench({pw::ETesterFault::BadHeader, 0});
    std::string szA = "C:\\DAT\\SITE1\\", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchDirectory, szA, szB), 1);
    const pw::SFetchReport report = bench.Link().LastFetch();
    EXPECT_EQ(report.failed, std::vector<std::string>{"1.wvf"});
    EXPECT_EQ(report.received, (std::vector<std::string>{"2.wvf", "3.wvf", "pindex.par", "wvf.par"}));
    const fs::path other = bench.Dest() / "other";
    fs::create_directories(other);
    szA = "C:\\DAT\\3\\", szB = other.string();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchDirectory, szA, szB), 1);
    EXPECT_TRUE(bench.Link().LastFetch().failed.empty());
    for (const char* szName : {"1.wvf", "2.wvf", "wvf.par"})
        EXPECT_EQ(pwtest::ReadAll(other / szName), pwtest::ReadAll(bench.Storage() / "3" / szName)) << szName;
}

// Two announcements that reduce to one plain name: the first stays, the second is dropped and
// reported, never written over the first.
TEST(FolderFetchUnderFault, RepeatedNameIsDroppedAndReported) {
    CTesterBench bench({pw::ETesterFault::RepeatedNames, 0});
    std::string szA = "C:\\DAT\\SITE1\\", szB = bench.DestText();
    EXPECT_EQ(bench.Link().Command(CParallelLink::kFetchDirectory, szA, szB), 1);
    EXPECT_EQ(bench.Link().LastFetch().failed, std::vector<std::string>{"OLD\\1.wvf"});
    EXPECT_EQ(pwtest::ReadAll(bench.Dest() / "1.wvf"), pwtest::ReadAll(bench.Storage() / "SITE1" / "1.wvf"));
    EXPECT_FALSE(fs::exists(bench.Dest() / "2.wvf"));
    EXPECT_EQ(bench.FilesOutsideStorage().size(), 4u); // no temporary or discarded file left
}

struct SNameCase {
    const char* szAnnounced;
    const char* szPlain; // nullptr: refused
};

class AnnouncedName : public ::testing::TestWithParam<SNameCase> {};

TEST_P(AnnouncedName, IsCutToAPlainNameOrRefused) {
    const auto c = GetParam();
    std::string szPlain;
    EXPECT_EQ(pw::ReducePlainFileName(c.szAnnounced, szPlain), c.szPlain != nullptr) << c.szAnnounced;
    EXPECT_EQ(szPlain, c.szPlain ? c.szPlain : "");
}

INSTANTIATE_TEST_SUITE_P(Names, AnnouncedName,
                         ::testing::Values(SNameCase{"1.wvf", "1.wvf"},
                                           SNameCase{"..\\..\\evil.wvf", "evil.wvf"},
                                           SNameCase{"../evil", "evil"}, SNameCase{"/etc/passwd", "passwd"},
                                           SNameCase{"C:evil", "evil"}, SNameCase{"D:\\TEMP\\x.par", "x.par"},
                                           SNameCase{"\\\\HOST\\SHARE\\y", "y"}, SNameCase{"..\\C:z", "z"},
                                           // GBK: 0x5C as the second byte of a character is not a separator.
                                           SNameCase{"\xD5\x5C.wvf", "\xD5\x5C.wvf"}, SNameCase{"", nullptr},
                                           // A lead byte before "/" is no character: the "/" separates.
                                           SNameCase{"\xD5/evil", "evil"}, SNameCase{"x\xD5/.", nullptr},
                                           SNameCase{"..", nullptr}, SNameCase{"dir\\", nullptr},
                                           SNameCase{"C:", nullptr}, SNameCase{"CON", nullptr},
                                           SNameCase{"nul.txt", nullptr}, SNameCase{"LPT1", nullptr},
                                           SNameCase{"com9.wvf", nullptr}, SNameCase{"a\x01z.wvf", nullptr},
                                           SNameCase{"tab\there", nullptr}, SNameCase{"LPT10", "LPT10"},
                                           SNameCase{"CONSOLE.wvf", "CONSOLE.wvf"}));

} // namespace
