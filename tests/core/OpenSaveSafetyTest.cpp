// What a path names, renumbering on every read, the reader's record limit, saving that never writes
// over a tester folder's files, stale temporaries, ticks and scope changes that keep records sound,
// the defect list behind its terminator, and listeners leaving during a dispatch.
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <gtest/gtest.h>
#include <utime.h>

#include "Fixtures.h"
#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"
#include "core/PileSource.h"
#include "core/ReadErrorText.h"
#include "core/TesterFolderWriter.h"
#include "core/PrintSettings.h"
#include "core/ProjectFile.h"
#include "core/ReportSettings.h"
#include "core/WriteErrorText.h"
#include "tests/FileSizeLimit.h"

namespace {

using namespace pw;
namespace fs = std::filesystem;

class SafetyTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_Dir = fs::temp_directory_path() /
                ("pw-safety-" + std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(m_Dir);
        fs::create_directories(m_Dir);
    }
    void TearDown() override { fs::remove_all(m_Dir); }
    std::string Write(const fs::path& rel, const std::vector<uint8_t>& bytes) {
        const fs::path p = m_Dir / rel;
        fs::create_directories(p.parent_path());
        std::ofstream(p, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
        return p.string();
    }
    static std::vector<uint8_t> Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }
    std::string TesterFolder(const std::string& name, int piles) {
        std::vector<CPileRecord> recs;
        for (int i = 1; i <= piles; ++i) {
            recs.push_back(test::MakeRecord(static_cast<unsigned>(i)));
            recs.back().m_nPileNo = static_cast<int16_t>(i);
        }
        const std::string dir = (m_Dir / name).string();
        EXPECT_EQ(SaveTesterFolder(dir, recs), "");
        return dir;
    }
    fs::path m_Dir;
};

std::vector<CPileRecord> Numbered(const std::vector<int>& numbers) {
    std::vector<CPileRecord> out;
    for (int n : numbers) {
        out.push_back(test::MakeRecord(static_cast<unsigned>(n)));
        out.back().m_nPileNo = static_cast<int16_t>(n);
    }
    return out;
}

// A checked-piles file made from rows 2..6, two records both numbered 5, a project with gaps: every
// version reads as piles 1..N in file order, and the stored numbers stay known.
TEST(Renumbering, EveryVersionReadsAsOneToN) {
    const std::vector<std::vector<int>> stored = {{2, 3, 4, 5, 6}, {5, 5}, {9, 1, 40}};
    for (int version : {1, 2, 3}) {
        for (const auto& numbers : stored) {
            SCOPED_TRACE("version " + std::to_string(version) + ", first stored " +
                         std::to_string(numbers[0]));
            const auto bytes = test::ProjectBytes(version, Numbered(numbers));
            CMemorySource src(bytes.data(), bytes.size());
            CProjectData data;
            ASSERT_TRUE(ReadProject(src, data).m_bOk);
            ASSERT_EQ(data.m_Piles.size(), numbers.size());
            for (std::size_t i = 0; i < numbers.size(); ++i) {
                EXPECT_EQ(data.m_Piles[i].m_nPileNo, static_cast<int>(i + 1));
                EXPECT_EQ(data.m_StoredPileNos[i], numbers[i]);
            }
        }
    }
}

TEST(ReaderLimit, AHostileCountStopsAtTheProjectLimit) {
    auto bytes = test::ProjectBytes(3, Numbered({1, 2}));
    const auto one = test::PileBytes(test::MakeRecord(7));
    // Header count 32767, and more records than a project holds really present.
    for (int i = 2; i < kMaxPiles + 3; ++i)
        bytes.insert(bytes.end(), one.begin(), one.end());
    test::PutI16(bytes, 5, 32767);
    CMemorySource src(bytes.data(), bytes.size());
    CProjectData data;
    const CReadReport report = ReadProject(src, data);
    EXPECT_TRUE(report.m_bOk);
    EXPECT_EQ(data.m_Piles.size(), static_cast<std::size_t>(kMaxPiles));
    EXPECT_EQ(data.m_Header.m_nPileCount, kMaxPiles);
    EXPECT_EQ(report.m_nRecordsLeft, 32767 - kMaxPiles);
    EXPECT_FALSE(report.m_Notes.empty());
    // Merging it with anything is still refused: the file holds more than a project may.
    const auto small = test::ProjectBytes(3, Numbered({1}));
    CMemorySource a(bytes.data(), bytes.size()), b(small.data(), small.size());
    CProjectData merged;
    const CReadReport m = MergeProjects(a, b, merged);
    EXPECT_FALSE(m.m_bOk);
    EXPECT_EQ(m.m_nError, ReadError::kTooManyToMerge);
    EXPECT_TRUE(merged.m_Piles.empty());
}

TEST(ReadErrorText, SaysWhereAFileEndsInChinese) {
    auto bytes = test::ProjectBytes(3, Numbered({1, 2, 3, 4, 5}));
    bytes.resize(bytes.size() - 100);
    CMemorySource src(bytes.data(), bytes.size());
    CProjectData data;
    const CReadReport report = ReadProject(src, data);
    ASSERT_FALSE(report.m_bOk);
    EXPECT_EQ(report.m_nError, ReadError::kTruncatedRecord);
    EXPECT_EQ(report.m_nRecord, 5);
    const std::string text = ReadErrorText(report, "a.wvf");
    EXPECT_NE(text.find("文件a.wvf在第5个记录处截断"), std::string::npos) << text;
    EXPECT_NE(text.find("已读入前4根桩"), std::string::npos) << text;
    EXPECT_EQ(text.find("truncated"), std::string::npos);
}

// One rule for what a path names, for the window and the command line alike.
TEST_F(SafetyTest, WhatAPathNames) {
    const std::string site = TesterFolder("site", 3);
    const std::string project = Write("p.wvf", test::ProjectBytes(3, Numbered({4, 8})));
    const std::string notes = Write("loose/notes.txt", {'h', 'i'});
    fs::create_directories(m_Dir / "empty");
    struct Case {
        std::string path;
        SourceKind kind;
        std::size_t piles;
        bool namedFile;
    };
    const Case cases[] = {
        {project, SourceKind::kProjectFile, 2, true},
        {site + "/2.wvf", SourceKind::kTesterFolder, 3, true}, // a per-pile file opens its folder
        {site + "/idindx.par", SourceKind::kTesterFolder, 3, true},
        {site, SourceKind::kTesterFolder, 3, false},
        {site + "/", SourceKind::kTesterFolder, 3, false},
        {notes, SourceKind::kNoIndexFolder, 0, true},
        {(m_Dir / "empty").string(), SourceKind::kNoIndexFolder, 0, false},
        {(m_Dir / "missing.wvf").string(), SourceKind::kUnreadable, 0, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const CPileSource s = OpenPileSource(c.path);
        EXPECT_EQ(s.m_nKind, c.kind);
        EXPECT_EQ(s.m_Data.m_Piles.size(), c.piles);
        if (c.kind != SourceKind::kUnreadable) {
            EXPECT_EQ(s.m_bNamedFile, c.namedFile);
        }
        for (std::size_t i = 0; i < s.m_Data.m_Piles.size(); ++i)
            EXPECT_EQ(s.m_Data.m_Piles[i].m_nPileNo, static_cast<int>(i + 1));
    }
    EXPECT_EQ(OpenPileSource(notes).m_NotProject.m_nError, ReadError::kTooShort);
}

// Piles read from a tester folder are saved as a project beside the folder; the tester's own files
// are never replaced, not even when the user names one of them.
TEST_F(SafetyTest, SavingATesterFolderNeverWritesOverItsFiles) {
    const std::string site = TesterFolder("3", 2);
    const auto pileFile = Read(fs::path(site) / "1.wvf");
    const auto index = Read(fs::path(site) / "idindx.par");
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(site + "/1.wvf").Ok());
    EXPECT_FALSE(doc.HasProjectFile());
    EXPECT_EQ(doc.ProposedSavePath(),
              (m_Dir / "3.wvf").string()); // beside the folder, not the pile file 3.wvf
    for (const char* name : {"1.wvf", "idindx.par"}) {
        const CDocResult r = doc.Save(site + "/" + name);
        EXPECT_FALSE(r.Ok()) << name;
        EXPECT_EQ(r.m_strMessage, msg::kNotReplaceable);
    }
    EXPECT_EQ(Read(fs::path(site) / "1.wvf"), pileFile);
    EXPECT_EQ(Read(fs::path(site) / "idindx.par"), index);
    ASSERT_TRUE(doc.Save(doc.ProposedSavePath()).Ok());
    EXPECT_TRUE(doc.HasProjectFile());
    // A project file may be replaced; so may an empty file.
    EXPECT_TRUE(IsReplaceableByProject(doc.m_strPath));
    EXPECT_TRUE(IsReplaceableByProject(Write("zero.wvf", {})));
    EXPECT_FALSE(IsReplaceableByProject(m_Dir.string()));
}

// A save the system refuses says why in Chinese after the program's message, and writes nothing.
TEST_F(SafetyTest, AFailedSaveSaysWhy) {
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(TesterFolder("site", 2)).Ok());
    doc.SetChecked(1, true);
    const std::string missing = (m_Dir / "no-such-folder" / "p.wvf").string();
    const CDocResult saved = doc.Save(missing);
    EXPECT_FALSE(saved.Ok());
    EXPECT_EQ(saved.m_strMessage, std::string(msg::kSaveFailed) + "文件夹不存在。");
    const CDocResult checked = doc.SaveChecked(missing);
    EXPECT_EQ(checked.m_strMessage, std::string(msg::kFileOpenFailed) + "文件夹不存在。");
    EXPECT_FALSE(fs::exists(m_Dir / "no-such-folder"));
    EXPECT_EQ(WriteErrorReason(ENOSPC), "磁盘空间不足。");
    EXPECT_EQ(WriteErrorReason(0), "");
}

// A project file cut short opens with the records before the cut, and is never saved in place: that
// would cut it for good. The message says so, the save offers another name, and a full save ends it.
TEST_F(SafetyTest, AFileReadOnlyInPartIsSavedUnderAnotherName) {
    auto bytes = test::ProjectBytes(3, Numbered({1, 2, 3, 4, 5}));
    bytes.resize(bytes.size() - 100);
    const std::string half = Write("half.wvf", bytes);
    CDEVAzazDoc doc;
    const CDocResult opened = doc.Open(half);
    ASSERT_EQ(opened.m_eCode, EResultCode::Partial); // what was read is open
    EXPECT_EQ(doc.GetPileCount(), 4);
    EXPECT_NE(opened.m_strMessage.find("已读入前4根桩。"), std::string::npos) << opened.m_strMessage;
    EXPECT_NE(opened.m_strMessage.find(msg::kSavePartAs), std::string::npos) << opened.m_strMessage;
    EXPECT_TRUE(doc.IsReadInPart());
    EXPECT_FALSE(doc.HasProjectFile());
    EXPECT_EQ(doc.ProposedSavePath(), (m_Dir / "half_部分.wvf").string());
    EXPECT_EQ(Read(half), bytes);

    ASSERT_TRUE(doc.Save(doc.ProposedSavePath()).Ok());
    EXPECT_EQ(Read(half), bytes);
    EXPECT_FALSE(doc.IsReadInPart());
    EXPECT_TRUE(doc.HasProjectFile()); // the new file holds all that is open
    // A whole file opens as before.
    ASSERT_TRUE(doc.Open(doc.m_strPath).Ok());
    EXPECT_TRUE(doc.HasProjectFile());
}

TEST(ProjectPathBesideFolder, NamesTheFolderNotAFileInIt) {
    EXPECT_EQ(ProjectPathBesideFolder("/data/BJHY2"), "/data/BJHY2.wvf");
    EXPECT_EQ(ProjectPathBesideFolder("/data/BJHY2/"), "/data/BJHY2.wvf");
    EXPECT_EQ(ProjectPathBesideFolder("/data/3/./"), "/data/3.wvf");
}

TEST_F(SafetyTest, AKilledSavesTemporaryIsClearedByTheNextSave) {
    const std::string target = (m_Dir / "p.wvf").string();
    const std::string stale = Write(".p.wvf.tmp-AbC123", std::vector<uint8_t>(64, 1));
    const std::string fresh = Write(".p.wvf.tmp-XyZ789", std::vector<uint8_t>(64, 2));
    const std::string other = Write(".q.wvf.tmp-AbC123", std::vector<uint8_t>(64, 3)); // another target's
    const std::string user = Write(".p.wvf.tmp-notes.txt", {'x'});                     // not our name
    utimbuf old{};
    old.actime = old.modtime = time(nullptr) - 2 * kStaleTemporarySeconds;
    for (const auto& p : {stale, other, user})
        utime(p.c_str(), &old);
    const auto piles = Numbered({1});
    ASSERT_EQ(SaveProjectFile(target, test::MakeHeader(), piles), "");
    EXPECT_FALSE(fs::exists(stale));
    EXPECT_TRUE(fs::exists(fresh)); // could be a save running right now
    EXPECT_TRUE(fs::exists(other));
    EXPECT_TRUE(fs::exists(user));
}

TEST(Ticks, ATickChangeMarksTheProjectModified) {
    CDEVAzazDoc doc;
    doc.m_Piles = Numbered({1, 2});
    for (auto& p : doc.m_Piles)
        p.m_bChecked = 0;
    doc.SetChecked(2, false); // no change
    EXPECT_EQ(doc.m_bModified, 0);
    doc.SetChecked(2, true);
    EXPECT_EQ(doc.m_bModified, 1);
    EXPECT_EQ(doc.m_Piles[1].m_bChecked, 1);
}

// Choosing a scope writes the bar's speed (each record's length following with its toe kept), but
// never a speed no commit would accept; an impossible bar length is named but not needed.
TEST(ScopeChange, ImpossibleBarValuesAreNotWritten) {
    struct Case {
        float length;
        int speed;
        float lengthAfter;
        int speedAfter;
        const char* message;
    } const cases[] = {
        {12.f, 3600, 8.1f, 3600, ""}, // 9 m at 4000 m/s is 8.1 m at 3600 m/s
        {0.f, 3600, 8.1f, 3600, msg::kLengthRange},
        {-5.f, 3600, 8.1f, 3600, msg::kLengthRange},
        {12.f, -300, 9.f, 4000, msg::kSpeedRange},
        {0.f, 0, 9.f, 4000, msg::kLengthRange}, // one message for both
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.length) + " m, " + std::to_string(c.speed) + " m/s");
        CDEVAzazDoc doc;
        doc.m_Piles = Numbered({1, 2});
        for (auto& p : doc.m_Piles) {
            p.m_fPileLength = 9.f, p.m_nWaveSpeed = 4000, p.m_fSampleInterval = 20.f, p.m_nStep = 1;
            p.m_fLowPass = p.m_fHighPass = 0.f; // the head stays: no filter delay changes
        }
        doc.SetSelection({1});
        CEstimateState& bar = doc.Estimate();
        bar.m_fLength = c.length;
        bar.m_nSpeed = static_cast<int16_t>(c.speed);
        EXPECT_EQ(bar.ScopeChanged(&doc, kScopeAll), c.message);
        for (const auto& p : doc.m_Piles) {
            EXPECT_FLOAT_EQ(p.m_fPileLength, c.lengthAfter);
            EXPECT_EQ(p.m_nWaveSpeed, c.speedAfter);
        }
    }
}

TEST(Defects, AStaleDepthBehindTheTerminatorDoesNotSwallowANewDefect) {
    CPileRecord r;
    r.m_Defects[0] = DefectMark{3, 4.5f};
    r.m_Defects[1] = DefectMark{0, 0.f};  // terminator
    r.m_Defects[2] = DefectMark{2, 7.2f}; // stale, as a file may leave it
    ASSERT_EQ(r.AddDefect(7.2f, 6), 1);
    EXPECT_EQ(r.GetDefectCount(), 2);
    EXPECT_EQ(r.m_Defects[1].nType, 6);
    EXPECT_EQ(r.m_Defects[1].fDepth, 7.2f);
    ASSERT_EQ(r.AddDefect(4.5f, 1), 1); // the same depth in use: the type changes
    EXPECT_EQ(r.GetDefectCount(), 2);
    EXPECT_EQ(r.m_Defects[0].nType, 1);
}

// A listener that removes another (or itself) while the document tells them: the removed one is
// never called again, and nothing is skipped or called twice.
TEST(Listeners, RemovalDuringDispatchIsSafe) {
    struct Listener : IDocumentListener {
        CDEVAzazDoc* doc = nullptr;
        IDocumentListener* victim = nullptr;
        int calls = 0;
        void OnDocumentChanged(unsigned) override {
            ++calls;
            if (victim) doc->RemoveListener(victim);
        }
    };
    CDEVAzazDoc doc;
    Listener a, b, c;
    a.doc = b.doc = c.doc = &doc;
    a.victim = &b; // b comes after a: it must not hear this change
    c.victim = &c; // c leaves itself
    doc.AddListener(&a);
    doc.AddListener(&b);
    doc.AddListener(&c);
    doc.Notify(kChangedDisplay);
    EXPECT_EQ(a.calls, 1);
    EXPECT_EQ(b.calls, 0);
    EXPECT_EQ(c.calls, 1);
    doc.AddListener(&b); // a may add it back after the dispatch
    a.victim = nullptr;
    doc.Notify(kChangedDisplay);
    EXPECT_EQ(a.calls, 2);
    EXPECT_EQ(b.calls, 1);
    EXPECT_EQ(c.calls, 1);
}

// Every writer of core: a save that fails after it began (the disk full, a quota) leaves what the
// previous save wrote byte for byte, and no temporary beside it.
TEST_F(SafetyTest, AWriteThatFailsHalfWayLeavesThePreviousFiles) {
    auto Piles = [](unsigned seed) {
        std::vector<CPileRecord> recs = Numbered({1, 2, 3});
        for (CPileRecord& r : recs) r.m_fRaw[7] = static_cast<float>(seed);
        for (CPileRecord& r : recs) r.m_bChecked = 1;
        return recs;
    };
    const struct {
        const char* name; // the file or folder written
        std::function<bool(const std::string& path, unsigned variant)> save;
    } cases[] = {
        {"project.wvf",
         [&](const std::string& path, unsigned v) {
             return SaveProjectFile(path, test::MakeHeader(), Piles(v)).empty();
         }},
        {"checked.wvf",
         [&](const std::string& path, unsigned v) {
             CDEVAzazDoc doc;
             doc.m_Piles = Piles(v);
             return doc.SaveChecked(path).Ok();
         }},
        {"tester-folder",
         [&](const std::string& path, unsigned v) { return SaveTesterFolder(path, Piles(v)).empty(); }},
        {"set.ini",
         [](const std::string& path, unsigned v) {
             CPrintSettings settings = CPrintSettings::Defaults();
             settings.m_nStartPage = static_cast<int16_t>(v);
             return SavePrintSettings(path, settings).empty();
         }},
        {"report-settings",
         [](const std::string& path, unsigned v) {
             fs::create_directories(path);
             CReportInfo info;
             info.m_strTestUnit = info.m_strClient = info.m_strInspectors = "单位" + std::to_string(v);
             return SaveReportSettings(path, info).Ok();
         }},
    };
    auto Snapshot = [](const fs::path& p) {
        std::map<std::string, std::vector<uint8_t>> files;
        if (fs::is_regular_file(p)) files[p.filename().string()] = Read(p);
        else
            for (const auto& e : fs::recursive_directory_iterator(p)) files[e.path().string()] = Read(e.path());
        return files;
    };
    for (const auto& c : cases) {
        const fs::path target = m_Dir / c.name;
        ASSERT_TRUE(c.save(target.string(), 1)) << c.name;
        const auto before = Snapshot(target);
        bool saved = true;
        {
            const pwtest::CFileSizeLimit limit(100);
            saved = c.save(target.string(), 2);
        }
        EXPECT_FALSE(saved) << c.name;
        EXPECT_EQ(Snapshot(target), before) << c.name;
        EXPECT_TRUE(c.save(target.string(), 2)) << c.name; // and the same save works with room for it
        EXPECT_NE(Snapshot(target), before) << c.name;
    }
    for (const auto& e : fs::recursive_directory_iterator(m_Dir))
        EXPECT_EQ(e.path().filename().string().find(".tmp-"), std::string::npos) << e.path();
}

} // namespace
