// The tester folder writer against the reader: what the folder holds comes back unchanged, what it
// cannot hold comes back as the reader fills it in.
#include "core/TesterFolderWriter.h"

#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <unistd.h>

#include "Fixtures.h"
#include "core/TesterFolder.h"

namespace {

using namespace pw;

std::vector<uint8_t> FileBytes(const CPileRecord& r) {
    CMemorySink sink;
    EXPECT_TRUE(WritePileFile(sink, r));
    return sink.m_Bytes;
}

// Every field the per-pile file holds, compared; the rest as the reader leaves them.
void ExpectSameAsFolderHoldsIt(const CPileRecord& got, const CPileRecord& in, int n) {
    EXPECT_EQ(got.m_nPileNo, n);
    EXPECT_EQ(got.GetPileName(), in.GetPileName());
    EXPECT_EQ(got.m_nDiameter, in.m_nDiameter);
    EXPECT_EQ(got.m_nSignalType, in.m_nSignalType);
    EXPECT_EQ(got.m_nAux1, in.m_nAux1);
    EXPECT_EQ(got.m_nAux2, in.m_nAux2);
    EXPECT_EQ(0, std::memcmp(&got.m_fAux3, &in.m_fAux3, 4)); // NaN too, bit for bit
    EXPECT_EQ(got.m_bIntegrate, in.m_bIntegrate);
    EXPECT_EQ(got.m_nLowPassPasses, in.m_nLowPassPasses);
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
    EXPECT_EQ(0, std::memcmp(got.m_fRaw, in.m_fRaw, sizeof in.m_fRaw));
    EXPECT_EQ(got.GetTestDate(), "2013-12-12"); // no date in the folder
    EXPECT_EQ(got.m_nPileType, 0);              // nor a pile type
}

TEST(TesterFolderWriter, PileFileReadsBackAsWritten) {
    for (const bool extreme : {false, true}) {
        const CPileRecord in = test::MakeRecord(31, extreme);
        const std::vector<uint8_t> bytes = FileBytes(in);
        ASSERT_EQ(bytes.size(), 4296u);
        CMemorySource src(bytes);
        CPileRecord got;
        ASSERT_TRUE(ReadPileFile(got, src, 4));
        ExpectSameAsFolderHoldsIt(got, in, 4);
        // The stored number is the record's own; the reader numbers by position.
        EXPECT_EQ(bytes[0] | bytes[1] << 8, static_cast<uint16_t>(in.m_nPileNo));
    }
}

// The remark keeps 26 bytes and the info 34, never half a character.
struct CCutCase {
    const char* name;
    std::string remark, info;
    std::string remarkBack, infoBack;
};

TEST(TesterFolderWriter, LongTextsAreCutOnACharacterBoundary) {
    const std::string a26(26, 'a'), b34(34, 'b');
    for (const CCutCase& c : {
             CCutCase{"fits", "短备注", "info", "短备注", "info"},
             CCutCase{"exactly the width", a26, b34, a26, b34},
             CCutCase{"ascii beyond", a26 + "xyz", b34 + "12", a26, b34},
             // 25 ASCII bytes and a two-byte character: the character would end at byte 27.
             CCutCase{"split character", std::string(25, 'r') + "桩", std::string(33, 'i') + "桩",
                      std::string(25, 'r'), std::string(33, 'i')},
         }) {
        CPileRecord in = test::MakeRecord(3);
        in.SetRemark(c.remark);
        in.SetInfo(c.info);
        const std::vector<uint8_t> bytes = FileBytes(in);
        CMemorySource src(bytes);
        CPileRecord got;
        ASSERT_TRUE(ReadPileFile(got, src, 1)) << c.name;
        EXPECT_EQ(got.GetRemark(), c.remarkBack) << c.name;
        EXPECT_EQ(got.GetInfo(), c.infoBack) << c.name;
    }
}

TEST(TesterFolderWriter, SavedFolderLoadsPileForPile) {
    char tmpl[] = "/tmp/pw-folder-writer-XXXXXX";
    ASSERT_NE(::mkdtemp(tmpl), nullptr);
    const std::filesystem::path dir = std::filesystem::path(tmpl) / "site";
    std::vector<CPileRecord> in;
    for (int n = 1; n <= 3; ++n)
        in.push_back(test::MakeRecord(40 + n));
    ASSERT_EQ(SaveTesterFolder(dir.string(), in), "");
    EXPECT_EQ(std::filesystem::file_size(dir / "idindx.par"), 44u);
    CDirectoryFolder folder(dir.string());
    CProjectData out;
    const CReadReport report = LoadFolder(folder, out);
    EXPECT_TRUE(report.m_bOk);
    EXPECT_TRUE(report.m_Notes.empty());
    ASSERT_EQ(out.m_Piles.size(), 3u);
    for (int i = 0; i < 3; ++i)
        ExpectSameAsFolderHoldsIt(out.m_Piles[i], in[i], i + 1);

    // Saving fewer piles over it: the index decides, stale files beyond it are not read.
    in.pop_back();
    ASSERT_EQ(SaveTesterFolder(dir.string(), in), "");
    EXPECT_EQ(ReadFolderCount(folder), 2);
    std::filesystem::remove_all(tmpl);
}

TEST(TesterFolderWriter, UnwritableFolderIsReported) {
    const std::string error = SaveTesterFolder("/proc/pw-no-such-place/site", {test::MakeRecord(1)});
    EXPECT_NE(error, "");
}

} // namespace
