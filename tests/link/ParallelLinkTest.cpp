// The PC's byte link: handshake, nibble assembly, block framing, texts and files.
#include "LinkTestSupport.h"

#include "link/LinkTexts.h"

#include <cstdio>
#include <fcntl.h>
#include <filesystem>
#include <memory>
#include <unistd.h>
#include <cstring>
#include <gtest/gtest.h>
#include <string>

namespace {

using pw::CParallelLink;
using pwtest::CCableBench;
using pwtest::CScriptedPort;

using namespace std::chrono_literals;

struct SNibbleCase {
    uint8_t s1, s2, nByte;
};

class NibbleAssembly : public ::testing::TestWithParam<SNibbleCase> {};

// The tester shows s1 until the PC raises its handshake bit, then s2.
TEST_P(NibbleAssembly, ByteComesFromTwoStatusReads) {
    const auto c = GetParam();
    auto pPort =
        std::make_shared<CScriptedPort>([c](uint8_t nData, long) { return (nData & 0x10) ? c.s2 : c.s1; });
    CParallelLink link(pPort);
    uint8_t nByte = 0x55;
    ASSERT_EQ(link.ReceiveBytes(1, &nByte), 1);
    EXPECT_EQ(nByte, c.nByte);
    // The PC acknowledges each nibble: 0x10 after the low one, 0x00 after the high one.
    ASSERT_EQ(pPort->Writes().size(), 2u);
    EXPECT_EQ(pPort->Writes()[0], std::make_pair(pw::kDataPort, uint8_t{0x10}));
    EXPECT_EQ(pPort->Writes()[1], std::make_pair(pw::kDataPort, uint8_t{0x00}));
}

// Status bits 0-2 are not part of the nibble; bit 7 of s1 would land in bit 4 but reads 0 when the
// tester follows the handshake.
INSTANTIATE_TEST_SUITE_P(Examples, NibbleAssembly,
                         ::testing::Values(SNibbleCase{0x78, 0x80, 0x0F}, SNibbleCase{0x00, 0xF8, 0xF0},
                                           SNibbleCase{0x07, 0x87, 0x00}, SNibbleCase{0x7F, 0xFF, 0xFF},
                                           SNibbleCase{0x28, 0xA8, 0x55}));

// With no least wall time the wait is exactly the poll count.
pw::SLinkLimits PollCountOnly() {
    pw::SLinkLimits limits;
    limits.tMinWait = 0ms;
    return limits;
}

TEST(ByteLink, HandshakeThatNeverRisesFailsSendAfterThePollLimit) {
    auto pPort = std::make_shared<CScriptedPort>([](uint8_t, long) { return uint8_t{0x00}; });
    CParallelLink link(pPort);
    link.SetLimits(PollCountOnly());
    EXPECT_EQ(link.SendString("HI"), -1);
    EXPECT_STREQ(link.StatusText(), "数据传输失败-1！");
    EXPECT_EQ(pPort->StatusReads(), CParallelLink::kPollLimit);
    // The reported error leaves the lines idle: control 0, then data 0.
    ASSERT_EQ(pPort->Writes().size(), 2u);
    EXPECT_EQ(pPort->Writes()[0], std::make_pair(pw::kControlPort, uint8_t{0}));
    EXPECT_EQ(pPort->Writes()[1], std::make_pair(pw::kDataPort, uint8_t{0}));
}

// The tester takes both nibbles of the byte but never raises its line again: the byte is on the lines
// all the same, so after the bounded wait it counts as sent.
TEST(ByteLink, MissingFinalHandshakeStillCountsAsSent) {
    auto pStarted = std::make_shared<bool>(false); // not a static: the test may run repeatedly
    auto pPort = std::make_shared<CScriptedPort>([pStarted](uint8_t nData, long) {
        if (nData & 0x10) *pStarted = true;
        return *pStarted ? uint8_t{0x00} : uint8_t{0x80};
    });
    CParallelLink link(pPort);
    link.SetLimits(PollCountOnly());
    const uint8_t nByte = 0xA5;
    EXPECT_EQ(link.SendBytes(1, &nByte), 1);
    // 1 read to start, 1 to see the acknowledgement, then the full bounded wait.
    EXPECT_EQ(pPort->StatusReads(), 2 + CParallelLink::kPollLimit);
    EXPECT_EQ(pPort->Writes().back(), std::make_pair(pw::kDataPort, uint8_t{0x0A}));
}

// Reads that cost nothing get through 64,000 polls in well under a millisecond; a tester that takes
// its time to raise its line (here 80 ms, past the poll count) is still heard, because every wait also
// lasts the least wall time (100 ms). The link's clock is the port's own: a microsecond a read, so
// the machine's load cannot move the tester's moment against the link's.
TEST(ByteLink, FreePortReadsStillWaitForASlowTester) {
    auto pPort = std::make_shared<CScriptedPort>([](uint8_t nData, long nReads) {
        if (nReads < 80000) return uint8_t{0x00};
        return (nData & 0x10) ? uint8_t{0x00} : uint8_t{0x80}; // a byte taken at once after that
    });
    CParallelLink link(pPort);
    ASSERT_EQ(link.Limits().tMinWait, 100ms);
    const CScriptedPort* pReads = pPort.get();
    link.SetClock([pReads] {
        return std::chrono::steady_clock::time_point(std::chrono::microseconds(pReads->StatusReads()));
    });
    const uint8_t nByte = 0x3C;
    EXPECT_EQ(link.SendBytes(1, &nByte), 1);
    EXPECT_GT(pPort->StatusReads(), CParallelLink::kPollLimit);
}

TEST(ByteLink, FailedReceptionLeavesNoEarlierText) {
    // Bit 7 stays high: the tester never offers a nibble.
    auto pPort = std::make_shared<CScriptedPort>([](uint8_t, long) { return uint8_t{0x80}; });
    CParallelLink link(pPort);
    pw::SLinkLimits limits;
    limits.tReplyWait = 20ms;
    link.SetLimits(limits);
    char szBuffer[CParallelLink::kBufferSize + 1];
    std::strcpy(szBuffer, "HI stale greeting");
    EXPECT_EQ(link.ReceiveString(szBuffer), -10);
    EXPECT_STREQ(szBuffer, "");
    EXPECT_STREQ(link.StatusText(), "数据接收失败 -1！");
}

TEST(ByteLink, WithoutPortEveryOperationIsRefused) {
    CParallelLink link(nullptr, "/dev/parport0: No such file or directory");
    const char* szRefusal = "Parallel port not available: /dev/parport0: No such file or directory";
    uint8_t bytes[4] = {};
    int16_t nLength = 0;
    char szBuffer[CParallelLink::kBufferSize + 1];
    std::string szA, szB = "/tmp";
    struct SCase {
        const char* szName;
        std::function<int()> op;
        int nExpected;
    };
    const SCase cases[] = {
        {"ResetLines", [&] { return link.ResetLines(); }, 0},
        {"SendBytes", [&] { return int{link.SendBytes(4, bytes)}; }, 0},
        {"ReceiveBytes", [&] { return int{link.ReceiveBytes(4, bytes)}; }, 0},
        {"SendBlock", [&] { return link.SendBlock(4, bytes); }, -1},
        {"ReceiveBlock", [&] { return link.ReceiveBlock(nLength, bytes); }, -1},
        {"SendString", [&] { return link.SendString("HI"); }, -1},
        {"ReceiveString", [&] { return link.ReceiveString(szBuffer); }, -10},
        {"Hello", [&] { return link.Command(CParallelLink::kHello, szA, szB); }, 0},
        {"Quit", [&] { return link.Command(CParallelLink::kQuit, szA, szB); }, -1},
        {"FetchFile",
         [&] {
             szA = "c:\\dat\\rsite.par";
             return link.Command(CParallelLink::kFetchFile, szA, szB);
         },
         0},
        {"FetchDirectory", [&] { return link.Command(CParallelLink::kFetchDirectory, szA, szB); }, 0},
    };
    for (const SCase& c : cases) {
        std::strcpy(const_cast<char*>(link.StatusText()), "");
        EXPECT_EQ(c.op(), c.nExpected) << c.szName;
        EXPECT_STREQ(link.StatusText(), szRefusal) << c.szName;
    }
}

TEST(BlockFraming, ZeroLengthBlockIsAnEmptyText) {
    CCableBench bench;
    bench.RunTester([](pw::CTesterLink& tester) { tester.SendBlock(nullptr, 0); });
    char szBuffer[CParallelLink::kBufferSize + 1];
    std::strcpy(szBuffer, "stale");
    EXPECT_EQ(bench.Link().ReceiveString(szBuffer), 0);
    EXPECT_STREQ(szBuffer, "");
}

TEST(BlockFraming, TextsCrossBothWays) {
    CCableBench bench;
    std::string szHeard;
    bench.RunTester([&](pw::CTesterLink& tester) {
        if (tester.ReceiveText(szHeard, 5s)) tester.SendText("HI from the far end");
    });
    ASSERT_EQ(bench.Link().SendString("HI"), 1);
    char szBuffer[CParallelLink::kBufferSize + 1];
    EXPECT_EQ(bench.Link().ReceiveString(szBuffer), 19);
    EXPECT_STREQ(szBuffer, "HI from the far end");
    bench.Join();
    EXPECT_EQ(szHeard, "HI");
    EXPECT_EQ(bench.Cable().LostWrites(pw::ECableEnd::Pc), 0u);
    EXPECT_EQ(bench.Cable().LostWrites(pw::ECableEnd::Tester), 0u);
}

// Headers the PC must refuse before touching its buffer: copies that differ, lengths beyond the
// 4096-byte buffer (up to 32767 fits the field), negative lengths.
struct SHeaderCase {
    const char* szName;
    uint8_t header[4];
};

class BadHeader : public ::testing::TestWithParam<SHeaderCase> {};

TEST_P(BadHeader, IsRefusedAsMinusThree) {
    const auto c = GetParam();
    CCableBench bench;
    bench.RunTester([&](pw::CTesterLink& tester) { tester.SendBytes(c.header, 4); });
    uint8_t buffer[CParallelLink::kBufferSize + 16];
    std::memset(buffer, 0xEE, sizeof buffer);
    int16_t nLength = 77;
    EXPECT_EQ(bench.Link().ReceiveBlock(nLength, buffer), -3) << c.szName;
    EXPECT_EQ(nLength, 77);
    EXPECT_EQ(buffer[CParallelLink::kBufferSize], 0xEE);
}

INSTANTIATE_TEST_SUITE_P(Headers, BadHeader,
                         ::testing::Values(SHeaderCase{"copies differ", {5, 0, 6, 0}},
                                           SHeaderCase{"one past the buffer", {0x01, 0x10, 0x01, 0x10}},
                                           SHeaderCase{"largest int16", {0xFF, 0x7F, 0xFF, 0x7F}},
                                           SHeaderCase{"negative", {0xFF, 0xFF, 0xFF, 0xFF}}),
                         [](const auto& info) {
                             std::string szName = info.param.szName;
                             for (char& c : szName)
                                 if (c == ' ') c = '_';
                             return szName;
                         });

TEST(FileTransfer, HeaderMismatchAbandonsTheFileWithQuit) {
    CCableBench bench;
    std::string szHeard;
    bench.RunTester([&](pw::CTesterLink& tester) {
        const uint8_t header[4] = {10, 0, 11, 0};
        if (tester.SendBytes(header, 4)) tester.ReceiveText(szHeard, 5s);
    });
    std::FILE* pFile = std::tmpfile();
    EXPECT_EQ(bench.Link().ReceiveFile(pFile, 10), 0);
    bench.Join();
    EXPECT_EQ(szHeard, "quit");
    EXPECT_EQ(std::ftell(pFile), 0);
    std::fclose(pFile);
}

TEST(FileTransfer, FileOf4097BytesGoesAs4096AndOne) {
    CCableBench bench;
    std::vector<uint8_t> content(4097);
    for (size_t i = 0; i < content.size(); ++i)
        content[i] = static_cast<uint8_t>(i * 7 + 3);
    std::vector<size_t> blockSizes;
    std::vector<uint8_t> received;
    bench.RunTester([&](pw::CTesterLink& tester) {
        std::vector<uint8_t> payload;
        while (received.size() < content.size() && tester.ReceiveBlock(payload, 5s) == 1) {
            blockSizes.push_back(payload.size());
            received.insert(received.end(), payload.begin(), payload.end());
        }
    });
    std::FILE* pFile = std::tmpfile();
    std::fwrite(content.data(), 1, content.size(), pFile);
    std::rewind(pFile);
    EXPECT_EQ(bench.Link().SendFile(static_cast<long>(content.size()), pFile), 1);
    std::fclose(pFile);
    bench.Join();
    EXPECT_EQ(blockSizes, (std::vector<size_t>{4096, 1}));
    EXPECT_EQ(received, content);
}

// The ring beside each register lets a test check the handshake from the records alone: the PC
// raises its bit 4 only while the tester's bit 7 is high (the tester is ready), and lowers it with the
// high nibble only after the tester dropped bit 7.
TEST(VirtualCable, RingRecordsShowThePcRespectedTheHandshake) {
    CCableBench bench;
    bench.RunTester([](pw::CTesterLink& tester) {
        std::string szText;
        tester.ReceiveText(szText, 5s);
    });
    ASSERT_EQ(bench.Link().SendString("DOWND C:\\DAT\\SITE1\\"), 1);
    bench.Join();
    const auto writes = bench.Cable().RecentWrites(pw::ECableEnd::Pc, 1024);
    ASSERT_EQ(writes.size(), 2u * (4 + 19));
    for (size_t i = 0; i < writes.size(); ++i) {
        EXPECT_EQ(writes[i].eRegister, pw::ECableRegister::Data);
        if (i % 2 == 0) {
            EXPECT_TRUE(writes[i].nValue & 0x10) << i;
            EXPECT_TRUE(writes[i].nOtherSide & 0x80) << i;
        } else {
            EXPECT_FALSE(writes[i].nValue & 0x10) << i;
            EXPECT_FALSE(writes[i].nOtherSide & 0x80) << i;
        }
    }
}

// A PC caught between storing its data lines and counting the write (another process, stopped by
// the scheduler right there): the tester must not take the new level yet. Taken early, the write's
// count still to come looks like the PC's answer to the ready line the tester raises next, the
// line drops at once, and the PC, which never saw it, waits out its whole poll count.
TEST(VirtualCable, TesterTakesNoLevelBeforeItsWriteIsCounted) {
    char szDir[] = "/tmp/pw-cable-test-XXXXXX";
    ASSERT_NE(::mkdtemp(szDir), nullptr);
    const std::string szPath = std::string(szDir) + "/cable";
    std::string szError;
    std::unique_ptr<pw::CVirtualCable> pCable = pw::CVirtualCable::OpenFile(szPath, szError);
    ASSERT_NE(pCable, nullptr) << szError;
    pCable->Attach(pw::ECableEnd::Tester);
    pCable->PcWriteData(0x13);
    EXPECT_EQ(pCable->TesterReadData(), 0x13);

    // The data register (offset 16) already holds the next level; the count has not moved.
    const int nFd = ::open(szPath.c_str(), O_RDWR);
    ASSERT_GE(nFd, 0);
    const uint32_t nHalfWritten = 0x04;
    ASSERT_EQ(::pwrite(nFd, &nHalfWritten, sizeof nHalfWritten, 16), static_cast<ssize_t>(sizeof nHalfWritten));
    ::close(nFd);
    EXPECT_EQ(pCable->TesterReadData(), 0x13);
    EXPECT_EQ(pCable->WriteCount(pw::ECableEnd::Pc), 1u);

    // Counted writes come in order, each once, however far the register has moved on.
    pCable->PcWriteData(0x04);
    pCable->PcWriteControl(0x00);
    pCable->PcWriteData(0x10);
    EXPECT_EQ(pCable->TesterReadData(), 0x04);
    EXPECT_EQ(pCable->TesterReadData(), 0x10);
    EXPECT_EQ(pCable->TesterReadData(), 0x10);
    EXPECT_EQ(pCable->LostWrites(pw::ECableEnd::Pc), 0u);
    pCable.reset();
    std::filesystem::remove_all(szDir);
}

} // namespace

namespace {

struct SPortCase {
    const char* szPort;
    const char* szReasonStart; // nullptr: the port opens
};

class PortText : public ::testing::TestWithParam<SPortCase> {};

// A port that cannot be used gives no backend and a reason the link shows in its refusal.
TEST_P(PortText, OpensABackendOrSaysWhyNot) {
    const auto c = GetParam();
    std::string szError;
    auto pPort = pw::OpenPortAccess(c.szPort, szError);
    if (!c.szReasonStart) {
        EXPECT_TRUE(pPort) << szError;
        std::remove(c.szPort + 4); // the cable file the case created
        return;
    }
    EXPECT_FALSE(pPort);
    EXPECT_EQ(szError.rfind(c.szReasonStart, 0), 0u) << szError;
    CParallelLink link(std::move(pPort), szError);
    EXPECT_EQ(link.SendString("HI"), -1);
    // The status text holds 200 bytes: a long reason is cut where a character begins.
    const std::string szStatus = link.StatusText(), szFull = "Parallel port not available: " + szError;
    EXPECT_EQ(szFull.rfind(szStatus, 0), 0u) << szStatus;
    EXPECT_TRUE(szStatus == szFull || (szStatus.size() >= 196 && szStatus.size() < 200)) << szStatus;
}

INSTANTIATE_TEST_SUITE_P(
    Texts, PortText,
    ::testing::Values(SPortCase{"", "no port chosen"}, SPortCase{"lpt1", "unknown port"},
                      SPortCase{"sim:", "no cable file"}, SPortCase{"ppdev:", "no device"},
                      // A missing device says what to check (the driver), then the system's words.
                      SPortCase{"ppdev:/nonexistent/parport9", "找不到并口设备 /nonexistent/parport9。"},
                      // Not a parallel port: it opens, but cannot be claimed.
                      SPortCase{"ppdev:/dev/null", "无法使用并口设备 /dev/null。"},
                      SPortCase{"sim:/nonexistent/cable", "/nonexistent/cable: "},
                      SPortCase{"sim:/dev/shm/pw-link-test-cable", nullptr}));

} // namespace
