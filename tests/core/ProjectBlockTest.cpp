// The block after the records (class decisions and tags of later versions) and the class decisions
// the document keeps with each pile.
#include "core/ProjectBlock.h"

#include <cstring>
#include <functional>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>

#include "Fixtures.h"
#include "core/CDEVAzazDoc.h"
#include "core/ReportContent.h"

namespace {

using namespace pw;
namespace fs = std::filesystem;

CPileRecord Pile(int no, const char* name, int defect = 0) {
    CPileRecord r = test::MakeRecord(static_cast<unsigned>(no) * 7u);
    r.m_nPileNo = static_cast<int16_t>(no);
    r.SetPileName(name);
    for (auto& d : r.m_Defects) d = DefectMark{};
    if (defect) r.m_Defects[0] = DefectMark{static_cast<int16_t>(defect), 3.5f};
    r.m_nStep = 1;
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 4000;
    r.m_fPileLength = 10.f;
    r.m_nHeadSample = 50;
    r.m_fLowPass = r.m_fHighPass = 0.f;
    return r;
}

// Four records, two of them of pile "A-1" (one with blanks around its number), one with a 缩径.
std::vector<CPileRecord> Site() {
    std::vector<CPileRecord> piles{Pile(1, "A-1"), Pile(2, "A-2", 2), Pile(3, " A-1 "), Pile(4, "B-7", 3)};
    piles[1].m_nClassDecision = kClassIII;
    piles[3].m_nClassDecision = kClassII;
    return piles;
}

std::size_t RecordsEnd(const std::vector<CPileRecord>& piles) {
    std::size_t n = 77;
    for (const auto& p : piles) n += test::PileBytes(p).size();
    return n;
}

CReadReport Read(const std::vector<uint8_t>& bytes, CProjectData& out) {
    CMemorySource src(bytes);
    return ReadProject(src, out);
}

bool Mentions(const std::vector<std::string>& notes, const std::string& what) {
    for (const auto& n : notes)
        if (n.find(what) != std::string::npos) return true;
    return false;
}

// A block holding the given sections, laid out by hand as docs/project-block.md describes it.
std::vector<uint8_t> BlockOf(const std::vector<CBlockSection>& sections) {
    std::vector<uint8_t> body;
    auto put = [&](uint32_t v, int bytes) {
        for (int k = 0; k < bytes; ++k) body.push_back(static_cast<uint8_t>(v >> (8 * k)));
    };
    for (const CBlockSection& s : sections) {
        body.insert(body.end(), s.m_strTag.begin(), s.m_strTag.end());
        put(s.m_nVersion, 2);
        put(s.m_nFlags, 2);
        put(static_cast<uint32_t>(s.m_Body.size()), 4);
        body.insert(body.end(), s.m_Body.begin(), s.m_Body.end());
    }
    std::vector<uint8_t> block(kBlockMarker, kBlockMarker + 8);
    const uint32_t head[] = {1, static_cast<uint32_t>(body.size()), Crc32(body.data(), body.size())};
    const int widths[] = {2, 4, 4};
    for (int i = 0; i < 3; ++i)
        for (int k = 0; k < widths[i]; ++k) block.push_back(static_cast<uint8_t>(head[i] >> (8 * k)));
    block.insert(block.end(), body.begin(), body.end());
    return block;
}

TEST(ProjectBlock, RecordsStayByteForByteAndAReaderStoppingAtTheCountSeesTheSameRecords) {
    const auto piles = Site();
    const auto withBlock = test::ProjectBytes(3, piles);
    std::vector<CPileRecord> plain = piles;
    for (auto& p : plain) p.m_nClassDecision = 0;
    const auto without = test::ProjectBytes(3, plain);
    // Without a decision nothing follows the records: such files are as they always were.
    ASSERT_EQ(without.size(), RecordsEnd(piles));
    ASSERT_GT(withBlock.size(), without.size());
    EXPECT_TRUE(std::equal(without.begin(), without.end(), withBlock.begin()));
    EXPECT_EQ(std::memcmp(withBlock.data() + without.size(), kBlockMarker, 8), 0);
    // The writer's block is the documented layout: one "CLAS" section, entries for records 2 and 4.
    std::vector<CRecordEntry> entries(2);
    entries[0] = {2, {'A', '-', '2'}, {kClassIII}};
    entries[1] = {4, {'B', '-', '7'}, {kClassII}};
    const auto expected = BlockOf({{kClassTag, 1, kSectionPerRecord, RecordEntriesBody(entries)}});
    EXPECT_EQ(std::vector<uint8_t>(withBlock.begin() + static_cast<long>(without.size()), withBlock.end()), expected);

    // What a reader that reads exactly the counted records gets: the same records.
    CProjectData cut, full;
    ASSERT_TRUE(Read(std::vector<uint8_t>(withBlock.begin(), withBlock.begin() + static_cast<long>(without.size())), cut).m_bOk);
    const CReadReport r = Read(withBlock, full);
    ASSERT_TRUE(r.m_bOk);
    EXPECT_TRUE(r.m_Notes.empty());
    ASSERT_EQ(full.m_Piles.size(), cut.m_Piles.size());
    for (std::size_t i = 0; i < full.m_Piles.size(); ++i) {
        EXPECT_EQ(cut.m_Piles[i].m_nClassDecision, 0);
        EXPECT_EQ(full.m_Piles[i].m_nClassDecision, piles[i].m_nClassDecision) << i;
        CPileRecord a = full.m_Piles[i];
        a.m_nClassDecision = 0;
        EXPECT_EQ(test::PileBytes(a), test::PileBytes(cut.m_Piles[i])) << i;
    }
}

TEST(ProjectBlock, OlderLayoutsNeverGetABlock) {
    const auto piles = Site();
    std::vector<CPileRecord> plain = piles;
    for (auto& p : plain) p.m_nClassDecision = 0;
    for (int version : {1, 2}) EXPECT_EQ(test::ProjectBytes(version, piles), test::ProjectBytes(version, plain)) << version;
}

TEST(ProjectBlock, DamagedBlockIsIgnoredWithANoteAndTheRecordsLoad) {
    const auto good = test::ProjectBytes(3, Site());
    const std::size_t at = RecordsEnd(Site());
    struct Case {
        const char* what;
        std::function<void(std::vector<uint8_t>&)> damage;
        const char* note;
    };
    const Case cases[] = {
        {"a body byte flipped", [&](auto& b) { b[at + 30] ^= 0x40; }, "checksum"},
        {"the checksum flipped", [&](auto& b) { b[at + 15] ^= 0x01; }, "checksum"},
        {"cut short", [&](auto& b) { b.resize(b.size() - 3); }, "length"},
        {"bytes appended", [&](auto& b) { b.push_back(0); }, "length"},
        {"another marker", [&](auto& b) { b[at] = 'X'; }, "not a block"},
        {"only a few bytes", [&](auto& b) { b.resize(at + 5); }, "not a block"},
        {"a later block version", [&](auto& b) { b[at + 8] = 9; }, "version 9"},
    };
    for (const Case& c : cases) {
        auto bytes = good;
        c.damage(bytes);
        CProjectData data;
        const CReadReport r = Read(bytes, data);
        EXPECT_TRUE(r.m_bOk) << c.what;
        ASSERT_EQ(data.m_Piles.size(), 4u) << c.what;
        for (const auto& p : data.m_Piles) EXPECT_EQ(p.m_nClassDecision, 0) << c.what;
        EXPECT_TRUE(Mentions(r.m_Notes, c.note)) << c.what << ": " << (r.m_Notes.empty() ? "" : r.m_Notes[0]);
    }
}

TEST(ProjectBlock, NoBlockIsLookedForWhenTheReaderStoppedEarly) {
    // A header counting one record more than the file holds: the block's bytes are read as that
    // record, found short, and never taken for decisions.
    auto bytes = test::ProjectBytes(3, Site());
    test::PutI16(bytes, 5, 5);
    CProjectData data;
    CReadReport r = Read(bytes, data);
    EXPECT_FALSE(r.m_bOk);
    for (const auto& p : data.m_Piles) EXPECT_EQ(p.m_nClassDecision, 0);

    // A count above what a project holds: the reader stops at kMaxPiles, so what follows is not the block.
    std::vector<CPileRecord> many(kMaxPiles, Pile(1, "P"));
    many.back().m_nClassDecision = kClassIV;
    bytes = test::ProjectBytes(3, many);
    test::PutI16(bytes, 5, kMaxPiles + 1);
    r = Read(bytes, data);
    EXPECT_EQ(data.m_Piles.size(), static_cast<std::size_t>(kMaxPiles));
    EXPECT_EQ(data.m_Piles.back().m_nClassDecision, 0);
    EXPECT_FALSE(Mentions(r.m_Notes, "block"));
}

TEST(ProjectBlock, EntriesNamingAnotherRecordAreDropped) {
    std::vector<CRecordEntry> entries(3);
    entries[0] = {2, {}, {kClassIV}};
    std::memcpy(entries[0].m_szPileName, "A-2", 3);
    entries[1] = {3, {}, {kClassIV}}; // record 3 is " A-1 ", not "A-2"
    std::memcpy(entries[1].m_szPileName, "A-2", 3);
    entries[2] = {9, {}, {kClassIV}}; // no record 9
    auto plain = Site();
    for (auto& p : plain) p.m_nClassDecision = 0;
    auto bytes = test::ProjectBytes(3, plain);
    const auto block = BlockOf({{kClassTag, 1, kSectionPerRecord, RecordEntriesBody(entries)}});
    bytes.insert(bytes.end(), block.begin(), block.end());
    CProjectData data;
    const CReadReport r = Read(bytes, data);
    EXPECT_EQ(data.m_Piles[1].m_nClassDecision, kClassIV);
    EXPECT_EQ(data.m_Piles[2].m_nClassDecision, 0);
    EXPECT_TRUE(Mentions(r.m_Notes, "2 class decisions"));
}

TEST(ProjectBlock, UnknownTagSurvivesAWriteOfTheSameRecords) {
    const CBlockSection later{"NOTE", 3, kSectionPerRecord,
                              RecordEntriesBody({{1, {'A', '-', '1'}, {1, 2, 3, 4}}})};
    auto bytes = test::ProjectBytes(3, Site());
    {
        // The writer puts our own sections first, then the kept ones.
        CMemorySink sink;
        WriteProject(sink, test::MakeHeader(), Site(), {later});
        bytes = sink.m_Bytes;
    }
    CProjectData data;
    const CReadReport r = Read(bytes, data);
    ASSERT_EQ(data.m_UnknownSections.size(), 1u);
    EXPECT_EQ(data.m_UnknownSections[0], later);
    EXPECT_TRUE(Mentions(r.m_Notes, "\"NOTE\""));
    std::vector<CRecordEntry> entries;
    ASSERT_TRUE(ParseRecordEntries(data.m_UnknownSections[0].m_Body, entries));
    EXPECT_EQ(entries[0].m_nRecord, 1);
    CMemorySink again;
    WriteProject(again, data.m_Header, data.m_Piles, data.m_UnknownSections);
    EXPECT_EQ(again.m_Bytes, bytes);
}

TEST(ProjectBlock, CrcIsTheZipOne) {
    const char* text = "123456789";
    EXPECT_EQ(Crc32(reinterpret_cast<const uint8_t*>(text), 9), 0xCBF43926u);
}

class ClassDecisions : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("pw-class-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    std::string Write(const std::string& name, const std::vector<uint8_t>& bytes) {
        const fs::path p = m_Dir / name;
        std::ofstream(p, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()),
                                                  static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    static std::vector<std::string> Classes(CDEVAzazDoc& doc) {
        std::vector<std::string> out;
        for (const auto& p : doc.m_Piles) out.emplace_back(PileClassText(PileClassOf(p)));
        return out;
    }
    fs::path m_Dir;
};

// Each step is a decision on one record; the class of every record is read after it.
TEST_F(ClassDecisions, BelongToThePileAndFollowItThroughSaveDeleteMergeAndAverage) {
    std::vector<CPileRecord> piles{Pile(1, "A-1"), Pile(2, "A-2", 2), Pile(3, " A-1 "), Pile(4, "B-7", 3)};
    CDEVAzazDoc doc;
    const std::string path = Write("site.wvf", test::ProjectBytes(3, piles));
    ASSERT_TRUE(doc.Open(path).Ok());
    struct Step {
        const char* what;
        int pileNo, decision;
        std::vector<std::string> classes;
    };
    const Step steps[] = {
        {"rule only", 0, 0, {"Ⅰ", "Ⅱ/Ⅲ", "Ⅰ", "Ⅳ"}},
        {"A-2 decided Ⅱ", 2, kClassII, {"Ⅰ", "Ⅱ", "Ⅰ", "Ⅳ"}},
        {"A-2 decided Ⅲ", 2, kClassIII, {"Ⅰ", "Ⅲ", "Ⅰ", "Ⅳ"}},
        {"A-1 decided Ⅱ reaches its other record", 3, kClassII, {"Ⅱ", "Ⅲ", "Ⅱ", "Ⅳ"}},
        {"B-7 decided Ⅲ over the rule's Ⅳ", 4, kClassIII, {"Ⅱ", "Ⅲ", "Ⅱ", "Ⅲ"}},
        {"A-2 back to the rule", 2, 0, {"Ⅱ", "Ⅱ/Ⅲ", "Ⅱ", "Ⅲ"}},
    };
    for (const Step& s : steps) {
        if (s.pileNo) {
            doc.SetModified(false);
            EXPECT_GT(doc.SetPileClass(s.pileNo, s.decision), 0) << s.what;
            EXPECT_EQ(doc.m_bModified, 1) << s.what;
        }
        EXPECT_EQ(Classes(doc), s.classes) << s.what;
    }
    EXPECT_EQ(doc.SetPileClass(1, kClassII), 0); // the same decision changes nothing
    const std::vector<std::string> decided{"Ⅱ", "Ⅱ/Ⅲ", "Ⅱ", "Ⅲ"};

    ASSERT_TRUE(doc.Save(path).Ok());
    CDEVAzazDoc reopened;
    ASSERT_TRUE(reopened.Open(path).Ok());
    EXPECT_EQ(Classes(reopened), decided) << "save";

    ASSERT_EQ(reopened.DeletePile(1), 1); // A-2 goes: the decisions stay with their records
    EXPECT_EQ(Classes(reopened), (std::vector<std::string>{"Ⅱ", "Ⅱ", "Ⅲ"})) << "delete";
    const std::string deleted = (m_Dir / "deleted.wvf").string();
    ASSERT_TRUE(reopened.Save(deleted).Ok());

    CDEVAzazDoc merged;
    ASSERT_TRUE(merged.MergeFiles(path, deleted).Ok());
    EXPECT_EQ(Classes(merged), (std::vector<std::string>{"Ⅱ", "Ⅱ/Ⅲ", "Ⅱ", "Ⅲ", "Ⅱ", "Ⅱ", "Ⅲ"})) << "merge";

    merged.m_nSelection = {1, 5};
    merged.SetCurrentPile(0);
    ASSERT_EQ(merged.AverageSelection(), "");
    EXPECT_EQ(Classes(merged).back(), "Ⅱ") << "average takes its pile's decision";
    merged.SetPileClass(4, 0);
    merged.m_nSelection = {4, 7};
    merged.SetCurrentPile(3);
    ASSERT_EQ(merged.AverageSelection(), "");
    EXPECT_EQ(merged.m_Piles.back().m_nClassDecision, 0) << "average of a pile the rule decides";
}

TEST_F(ClassDecisions, UnknownSectionsAreKeptUntilRecordsComeOrGo) {
    const CBlockSection later{"NOTE", 1, 0, {7, 7, 7}};
    CMemorySink sink;
    WriteProject(sink, test::MakeHeader(), Site(), {later});
    const std::string path = Write("later.wvf", sink.m_Bytes);
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(path).Ok());
    doc.SetPileClass(1, kClassIII); // records edited, not added or removed: the section stays
    CDocResult saved = doc.Save(path);
    ASSERT_TRUE(saved.Ok());
    EXPECT_TRUE(saved.m_Notes.empty());
    CProjectData data;
    LoadProjectFile(path, data);
    ASSERT_EQ(data.m_UnknownSections.size(), 1u);
    EXPECT_EQ(data.m_Piles[0].m_nClassDecision, kClassIII);

    ASSERT_TRUE(doc.Open(path).Ok());
    doc.DeletePile(3);
    saved = doc.Save(path);
    ASSERT_TRUE(saved.Ok());
    EXPECT_TRUE(Mentions(saved.m_Notes, "dropped"));
    LoadProjectFile(path, data);
    EXPECT_TRUE(data.m_UnknownSections.empty());
    EXPECT_EQ(data.m_Piles[0].m_nClassDecision, kClassIII);
}

TEST(ProjectBlock, ClassDecisionTexts) {
    struct Case {
        const char* text;
        int decision;
    };
    for (const Case& c : {Case{"rule", 0}, Case{"I", 1}, Case{"II", 2}, Case{"III", 3}, Case{"IV", 4}, Case{"Ⅲ", 3},
                          Case{"V", -1}, Case{"", -1}, Case{"ii ", -1}})
        EXPECT_EQ(ParseClassDecision(c.text), c.decision) << c.text;
}

} // namespace
