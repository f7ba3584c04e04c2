// The report's content: which piles, their classes, the two tables' differences, the statistics and
// the paragraphs.
#include "core/ReportContent.h"

#include <gtest/gtest.h>

namespace {

using namespace pw;

struct DefectAt {
    int type;
    float depth;
};

CPileRecord Pile(const std::string& name, std::vector<DefectAt> defects = {}, bool ticked = true) {
    CPileRecord r;
    r.SetPileName(name);
    r.m_nDiameter = 800;
    r.m_fPileLength = 12.5f;
    r.m_nWaveSpeed = 3800;
    r.m_bChecked = ticked ? 1 : 0;
    for (std::size_t i = 0; i < defects.size(); ++i)
        r.m_Defects[i] = DefectMark{static_cast<int16_t>(defects[i].type), defects[i].depth};
    return r;
}

TEST(ReportContent, IntegrityClassByTheWorstDefect) {
    struct Case {
        std::vector<DefectAt> defects;
        int expected;
    } const cases[] = {
        {{}, 0},
        {{{1, 2.f}, {7, 9.f}}, 0}, // 扩径 and 扩底 leave a pile intact
        {{{2, 2.f}}, 1},           // 缩径
        {{{4, 2.f}, {5, 5.5f}}, 1},
        {{{6, 2.f}}, 1},
        {{{4, 3.24f}, {3, 7.5f}}, 2}, // a break makes it Ⅳ whatever else
        {{{1, 3.f}, {3, 4.f}, {2, 5.f}}, 2},
    };
    for (const Case& c : cases)
        EXPECT_EQ(IntegrityClass(Pile("P", c.defects)), c.expected);
    // A stale entry behind the terminator is not a defect.
    CPileRecord stale = Pile("P", {{1, 2.f}});
    stale.m_Defects[2] = DefectMark{3, 8.f};
    EXPECT_EQ(IntegrityClass(stale), 0);
}

TEST(ReportContent, PileTypeNamesAndDates) {
    EXPECT_STREQ(ReportPileTypeName(9), "沉管灌注桩");
    EXPECT_STREQ(ReportPileTypeName(-1), "沉管灌注桩");
    EXPECT_STREQ(ReportPileTypeName(1), "钻孔灌注桩");
    EXPECT_EQ(ReportDateText(CDate{2004, 5, 17}), "2004年5月17日");
    CPileRecord r;
    r.SetTestDate("2004-05-17");
    EXPECT_EQ(DateOfPile(r), (CDate{2004, 5, 17}));
}

// The Word table and the sheet say the same things in slightly different ways.
TEST(ReportContent, WordRowsAndSheetRowsDiffer) {
    const CPileRecord rec = Pile(" A1 ", {{4, 3.24f}, {3, 7.5f}});
    const CReportRow word = WordTableRow(rec);
    EXPECT_EQ(word.m_Cells[0], "A1");
    EXPECT_EQ(word.m_Cells[1], "800");
    EXPECT_EQ(word.m_Cells[2], "12.50");
    EXPECT_EQ(word.m_Cells[3], "3800");
    EXPECT_EQ(word.m_Cells[4], "Ⅳ");
    EXPECT_EQ(word.m_Cells[5], "(1) 深度3.2m  裂纹\n(2) 深度7.5m  断桩\n");
    const CReportRow sheet = SheetRow(Pile(" A1 ", {{4, 2.f}, {5, 5.5f}}));
    EXPECT_EQ(sheet.m_Cells[0], " A1 ");
    EXPECT_EQ(sheet.m_Cells[4], "Ⅱ/Ⅲ");
    EXPECT_EQ(sheet.m_Cells[5], "(1)深度2.0m 裂纹  (2)深度5.5m 夹泥  ");
    EXPECT_EQ(WordTableHeader()[2], "桩长\n(m)");
    EXPECT_EQ(SheetHeader()[2], "桩长(m)");
    EXPECT_EQ(SheetRow(Pile("B")).m_Cells[5], "");
}

TEST(ReportContent, TickedPilesInAscendingNameOrder) {
    const std::vector<CPileRecord> piles = {Pile("B2"), Pile("A10"), Pile("X", {}, false), Pile(" A1"),
                                            Pile("A10"), Pile("桩1"), Pile("A1 ")};
    // Byte-wise: "A1" (twice, list order) < "A10" (twice) < "B2" < GBK text.
    EXPECT_EQ(TickedPilesInNameOrder(piles), (std::vector<int>{3, 6, 1, 4, 0, 5}));
}

TEST(ReportContent, StatisticsAndParagraphs) {
    std::vector<CPileRecord> piles = {Pile(" A1 "), Pile("A2"), Pile("A3", {{3, 4.f}}), Pile("N", {}, false)};
    CReportInfo info;
    info.m_strConstructionUnit = "建工集团";
    info.m_strAddress = "滨江路";
    info.m_strPileType = "钻孔灌注桩";
    info.m_nDiameter = 800;
    info.m_PourDate = CDate{2024, 5, 1};
    info.m_strStrength = "C30";
    info.m_strClient = "甲方";
    info.m_strGeology = "  粉质黏土。 ";
    const CReportContent c = MakeReportContent(piles, info, 4, CDate{2026, 12, 10});
    EXPECT_EQ(c.m_nClassCounts, (std::array<int, 3>{2, 0, 1}));
    EXPECT_EQ(c.m_strSummary, "该工程3根桩基质量测试结果综合如下：");
    EXPECT_EQ(c.m_strClassLines[0], "1）完好桩（Ⅰ类）：2根，占所测桩的66.7%；");
    EXPECT_EQ(c.m_strClassLines[1], "2）一般类桩/缺陷桩（Ⅱ/Ⅲ类）：0根，占所测桩的0.0%；");
    EXPECT_EQ(c.m_strClassLines[2], "3）严重缺陷桩（Ⅳ类）：1根，占所测桩的33.3%；");
    EXPECT_EQ(c.m_strParagraphs[0], "该工程由建工集团承建，位于滨江路。该工程桩基础全部为钻孔灌注桩，共计4根，设计桩径为"
                                    "800mm，于2024年5月1日浇注。混凝土的设计强度等级为C30。");
    EXPECT_EQ(c.m_strParagraphs[1],
              "    受委托单位甲方的委托，对该工程基础桩的桩身完整性进行了检测，受检桩编号为A1、A2、A3，共3根。");
    EXPECT_EQ(c.m_strParagraphs[2], "    粉质黏土。");
    EXPECT_EQ(c.m_strToday, "2026年12月10日");
    ASSERT_EQ(c.m_Rows.size(), 3u);
    EXPECT_EQ(c.m_Rows[2].m_Cells[4], "Ⅳ");
}

TEST(ReportContent, PrefillFromTheProjectAndTheCurrentPile) {
    CProjectHeader header;
    header.SetProjectName("工程");
    header.SetTestUnit("检测中心");
    CPileRecord current = Pile("A1");
    current.m_nPileType = 9;
    current.SetTestDate("2004-05-17");
    CReportInfo info;
    PrefillReportInfo(info, header, current, 30);
    EXPECT_EQ(info.m_strProjectName, "工程");
    EXPECT_EQ(info.m_strTestUnit, "检测中心");
    EXPECT_EQ(info.m_strPileType, "沉管灌注桩");
    EXPECT_EQ(info.m_TestDate, (CDate{2004, 5, 17}));
    EXPECT_EQ(info.m_PourDate, (CDate{2004, 5, 17}));
    EXPECT_EQ(info.m_nTotalPiles, 30);
    EXPECT_EQ(info.m_nDiameter, 800);
}

// A current pile whose date text makes no date gives no made-up date: both dates stay empty, the
// report prints none, and the pouring clause is left out.
TEST(ReportContent, APileWithoutADateLeavesTheDatesEmpty) {
    for (const char* text : {"", "2004", "2004-13-01", "2023-02-29", "abcd-ef-gh"}) {
        SCOPED_TRACE(text);
        CPileRecord current = Pile("A1");
        current.SetTestDate(text);
        EXPECT_EQ(DateOfPile(current), std::nullopt);
        CReportInfo info;
        PrefillReportInfo(info, CProjectHeader{}, current, 1);
        EXPECT_FALSE(info.m_TestDate.IsValid());
        EXPECT_FALSE(info.m_PourDate.IsValid());
        info.m_nDiameter = 600;
        info.m_strStrength = "C30";
        const CReportContent c = MakeReportContent({current}, info, 1, CDate{2026, 12, 10});
        EXPECT_EQ(c.m_strTestDate, "");
        EXPECT_NE(c.m_strParagraphs[0].find("设计桩径为600mm。混凝土的设计强度等级为C30。"), std::string::npos)
            << c.m_strParagraphs[0];
        EXPECT_EQ(c.m_strParagraphs[0].find("0000"), std::string::npos);
    }
}

} // namespace
