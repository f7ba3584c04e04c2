// Project information: what the dialog is filled with, and the walk that writes it back into the
// piles of the current pile's name from the current pile number upward.
#include "core/ProjectInfo.h"

#include <gtest/gtest.h>

#include "Fixtures.h"
#include "core/GbkText.h"

namespace {

using namespace pw;

void Load(CDEVAzazDoc& doc, const std::vector<std::pair<const char*, const char*>>& piles, int current) {
    doc.m_Piles.clear();
    for (std::size_t i = 0; i < piles.size(); ++i) {
        CPileRecord r = test::MakeRecord(static_cast<unsigned>(i + 1));
        r.m_nPileNo = static_cast<int16_t>(i + 1);
        r.SetPileName(piles[i].first);
        r.SetTestDate(piles[i].second);
        r.m_nDiameter = 800;
        r.m_nPileType = 1;
        doc.m_Piles.push_back(r);
    }
    doc.m_Header = test::MakeHeader("检测单位", "工程");
    doc.SetSelection({current});
    doc.SetModified(false);
}

TEST(ProjectInfo, ReadsTheHeaderAndTheCurrentPile) {
    CDEVAzazDoc doc;
    Load(doc, {{"A1", "2024-05-17"}, {" B2 ", "2023-12-01"}}, 2);
    CProjectInfo info;
    ASSERT_EQ(ReadProjectInfo(doc, info), ProjectInfoRead::Ready);
    EXPECT_EQ(info.m_strTestUnit, "检测单位");
    EXPECT_EQ(info.m_strProjectName, "工程");
    EXPECT_EQ(info.m_strPileName, " B2 ");
    EXPECT_EQ(info.m_nDiameter, 800);
    EXPECT_EQ(info.m_nPileType, 1);
    EXPECT_EQ(info.m_TestDate, (CDate{2023, 12, 1}));
}

TEST(ProjectInfo, DatesThatAreNotDatesStopTheEdit) {
    for (const char* date : {"", "2024-05", "2024-5-1", "2024-13-01", "2023-02-29", "abcdefghij"}) {
        CDEVAzazDoc doc;
        Load(doc, {{"A1", date}}, 1);
        CProjectInfo info;
        EXPECT_EQ(ReadProjectInfo(doc, info), ProjectInfoRead::Incomplete) << date;
    }
    CDEVAzazDoc empty;
    CProjectInfo info;
    EXPECT_EQ(ReadProjectInfo(empty, info), ProjectInfoRead::NoPile);
}

// The second trace of a three-trace group: the second and third change, the first does not, nor
// does a pile of another name; the name key is taken before the change and compared trimmed.
TEST(ProjectInfo, WritesTheGroupFromTheCurrentPileUp) {
    CDEVAzazDoc doc;
    Load(doc, {{"12", "2024-01-01"}, {" 12", "2024-01-02"}, {"13", "2024-01-03"}, {"12 ", "2024-01-04"}}, 2);
    CProjectInfo info;
    ASSERT_EQ(ReadProjectInfo(doc, info), ProjectInfoRead::Ready);
    info.m_strPileName = "12-新";
    info.m_TestDate = {2025, 3, 9};
    info.m_nDiameter = 1200;
    info.m_nPileType = 6;
    info.m_strTestUnit = "新单位";
    EXPECT_EQ(StoreProjectInfo(doc, info), (std::vector<int>{2, 4}));
    EXPECT_TRUE(doc.m_bModified);
    EXPECT_EQ(doc.m_Header.GetTestUnit(), "新单位");
    EXPECT_EQ(doc.FindPile(1)->GetPileName(), "12");
    EXPECT_EQ(doc.FindPile(1)->GetTestDate(), "2024-01-01");
    EXPECT_EQ(doc.FindPile(1)->m_nDiameter, 800);
    for (int no : {2, 4}) {
        EXPECT_EQ(doc.FindPile(no)->GetPileName(), "12-新");
        EXPECT_EQ(doc.FindPile(no)->GetTestDate(), "2025-03-09");
        EXPECT_EQ(doc.FindPile(no)->m_nDiameter, 1200);
        EXPECT_EQ(doc.FindPile(no)->m_nPileType, 6);
    }
    EXPECT_EQ(doc.FindPile(3)->GetPileName(), "13");
}

// The header keeps 49 and 19 bytes, a pile name 9, and a double-byte character is never split.
TEST(ProjectInfo, TextsAreCutAtCharacterBoundaries) {
    CDEVAzazDoc doc;
    Load(doc, {{"A1", "2024-05-17"}}, 1);
    CProjectInfo info;
    ASSERT_EQ(ReadProjectInfo(doc, info), ProjectInfoRead::Ready);
    info.m_strTestUnit = "x" + std::string("检测单位检测单位检测单位检测单位检测单位检测单位检测单位");
    info.m_strProjectName = "工程名称工程名称工程名称";
    info.m_strPileName = "a桩号桩号桩";
    StoreProjectInfo(doc, info);
    EXPECT_EQ(Utf8ToGbk(doc.m_Header.GetTestUnit()).size(), 49u);   // x + 24 characters
    EXPECT_EQ(doc.m_Header.GetProjectName(), "工程名称工程名称工"); // 18 bytes
    EXPECT_EQ(doc.FindPile(1)->GetPileName(), "a桩号桩号");         // 9 bytes
}

} // namespace
