// The report's content: which piles, their classes, the two tables' differences, the statistics and
// the paragraphs.
#include "core/ReportContent.h"

#include <algorithm>
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
    const CReportContent c = MakeReportContent(piles, info, CDate{2026, 12, 10});
    EXPECT_EQ(c.m_nClassCounts, (std::array<int, kPileClassCount>{2, 0, 0, 1, 0}));
    EXPECT_EQ(c.m_strSummary, "该工程3根桩基质量测试结果综合如下：");
    EXPECT_EQ(c.m_strClassLines[0], "1）Ⅰ类桩（桩身完整）：2根，占所测桩的66.7%；");
    EXPECT_EQ(c.m_strClassLines[1], "2）Ⅱ类桩（桩身有轻微缺陷）：0根，占所测桩的0.0%；");
    EXPECT_EQ(c.m_strClassLines[2], "3）Ⅲ类桩（桩身有明显缺陷）：0根，占所测桩的0.0%；");
    EXPECT_EQ(c.m_strClassLines[3], "4）Ⅳ类桩（桩身存在严重缺陷）：1根，占所测桩的33.3%；");
    EXPECT_EQ(c.m_strClassLines[4], "") << "no undecided pile, no line for them";
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
        const CReportContent c = MakeReportContent({current}, info, CDate{2026, 12, 10});
        EXPECT_EQ(c.m_strTestDate, "");
        EXPECT_NE(c.m_strParagraphs[0].find("设计桩径为600mm。混凝土的设计强度等级为C30。"), std::string::npos)
            << c.m_strParagraphs[0];
        EXPECT_EQ(c.m_strParagraphs[0].find("0000"), std::string::npos);
    }
}

TEST(ReportContent, NaturalOrderOfPileNumbers) {
    struct Case {
        const char *a, *b;
        bool less;
    };
    const Case cases[] = {
        {"A-2", "A-12", true}, {"A-12", "A-2", false}, {"2#", "10#", true}, {"9", "10", true},
        {"A-2", "B-1", true},  {"A-2", "A-2", false},  {"7", "007", true},  {"007", "7", false},
        {"A", "A-1", true},    {"A-1-3", "A-1-12", true}, {"3-7", "3-10", true},
    };
    for (const Case& c : cases) EXPECT_EQ(NaturalPileLess(c.a, c.b), c.less) << c.a << " < " << c.b;
}

// Two blows of A-1 are ticked: the report takes the later one, names the other, and counts piles.
TEST(ReportContent, OneRowPerPileInNaturalOrder) {
    std::vector<CPileRecord> piles = {Pile("A-1", {{2, 3.f}}), Pile("A-12"), Pile("A-2"), Pile("A-1 "),
                                      Pile("A-3", {}, false), Pile("A-1", {}, false)};
    const CReportedPiles reported = ReportedPiles(piles);
    EXPECT_EQ(reported.m_Piles, (std::vector<int>{3, 2, 1}));
    EXPECT_EQ(reported.m_LeftOut, (std::vector<int>{0}));
    const CReportContent c = MakeReportContent(piles, CReportInfo{}, CDate{2026, 12, 10});
    ASSERT_EQ(c.m_Rows.size(), 3u);
    EXPECT_EQ(c.m_Rows[0].m_Cells[0], "A-1");
    EXPECT_EQ(c.m_Rows[0].m_Cells[4], "Ⅰ") << "the later record, without the 缩径 of the first";
    EXPECT_EQ(c.m_Rows[1].m_Cells[0], "A-2");
    EXPECT_EQ(c.m_Rows[2].m_Cells[0], "A-12");
    EXPECT_NE(c.m_strParagraphs[1].find("受检桩编号为A-1、A-2、A-12，共3根。"), std::string::npos) << c.m_strParagraphs[1];
    EXPECT_NE(c.m_strLeftOut.find("A-1（第1条记录）"), std::string::npos) << c.m_strLeftOut;
    // Paragraph 1 counts pile numbers of the project (A-1, A-12, A-2, A-3), not its six records ...
    EXPECT_NE(c.m_strParagraphs[0].find("共计4根"), std::string::npos) << c.m_strParagraphs[0];
    // ... or the site's total when the dialog has one.
    CReportInfo info;
    info.m_nSiteTotal = 25;
    EXPECT_NE(MakeReportContent(piles, info, CDate{2026, 12, 10}).m_strParagraphs[0].find("共计25根"),
              std::string::npos);
    const auto warnings = ReportWarnings(piles, info);
    EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const std::string& w) {
        return w.find("同一桩号") != std::string::npos && w.find("A-1（第1条记录）") != std::string::npos;
    }));
}

// Decided classes, the rule's undecided "Ⅱ/Ⅲ", and what the conclusions say of them.
TEST(ReportContent, FourClassesAndTheUndecidedLine) {
    std::vector<CPileRecord> piles = {Pile("1"), Pile("2", {{2, 4.f}}), Pile("3", {{5, 2.5f}}),
                                      Pile("4", {{3, 6.f}}), Pile("5", {{6, 1.f}})};
    piles[1].m_nClassDecision = kClassII;
    piles[2].m_nClassDecision = kClassIII;
    const CReportContent c = MakeReportContent(piles, CReportInfo{}, CDate{2026, 12, 10});
    EXPECT_EQ(c.m_nClassCounts, (std::array<int, kPileClassCount>{1, 1, 1, 1, 1}));
    const std::vector<std::string> cells = {c.m_Rows[0].m_Cells[4], c.m_Rows[1].m_Cells[4], c.m_Rows[2].m_Cells[4],
                                            c.m_Rows[3].m_Cells[4], c.m_Rows[4].m_Cells[4]};
    EXPECT_EQ(cells, (std::vector<std::string>{"Ⅰ", "Ⅱ", "Ⅲ", "Ⅳ", "Ⅱ/Ⅲ"}));
    EXPECT_EQ(c.m_strClassLines[4], "5）尚待判定为Ⅱ类或Ⅲ类的桩（表中记为Ⅱ/Ⅲ）：1根，占所测桩的20.0%。");
    EXPECT_NE(c.m_strConclusions.find("Ⅰ类桩1根，Ⅱ类桩1根，Ⅲ类桩1根，Ⅳ类桩1根，尚待判定类别（Ⅱ/Ⅲ）的桩1根"),
              std::string::npos)
        << c.m_strConclusions;
    EXPECT_NE(c.m_strConclusions.find("3（Ⅲ类，深度2.5m 夹泥）；4（Ⅳ类，深度6.0m 断桩）"), std::string::npos)
        << c.m_strConclusions;
    const auto warnings = ReportWarnings(piles, CReportInfo{});
    EXPECT_TRUE(std::any_of(warnings.begin(), warnings.end(), [](const std::string& w) {
        return w.find("尚未判定") != std::string::npos && w.find("：5。") != std::string::npos;
    }));
}

TEST(ReportContent, MixedSitesAndTheTestConditions) {
    std::vector<CPileRecord> piles = {Pile("1"), Pile("2"), Pile("3")};
    const int types[] = {1, 4, 1};
    const int diameters[] = {400, 1200, 800};
    const float dts[] = {20.f, 25.f, 20.f};
    const float lows[] = {1.5f, 2.f, 0.f};
    for (std::size_t i = 0; i < 3; ++i) {
        piles[i].m_nPileType = static_cast<int16_t>(types[i]);
        piles[i].m_nDiameter = static_cast<int16_t>(diameters[i]);
        piles[i].m_fSampleInterval = dts[i];
        piles[i].m_fLowPass = lows[i];
    }
    CReportInfo info;
    info.m_strPileType = "钻孔灌注桩";
    info.m_nDiameter = 800;
    info.m_strInstrument = "PW-8";
    info.m_strInstrumentNo = "0012";
    info.m_strSensor = "加速度传感器";
    info.m_strSurveyUnit = "勘察院";
    info.m_strReviewer = "王审";
    info.m_strApprover = "李批";
    info.m_strApproveDate = "2026年12月11日";
    const CReportContent c = MakeReportContent(piles, info, CDate{2026, 12, 10});
    const std::string p1 = c.m_strParagraphs[0];
    EXPECT_NE(p1.find("该工程桩基础为" + std::string(ReportPileTypeName(1)) + "、" + ReportPileTypeName(4) + "，"),
              std::string::npos)
        << p1;
    EXPECT_NE(p1.find("设计桩径为400～1200mm"), std::string::npos) << p1;
    EXPECT_EQ(c.m_strStandard, "《建筑基桩检测技术规范》JGJ 106-2014");
    EXPECT_EQ(c.m_strMethod, "低应变反射波法");
    EXPECT_EQ(c.m_strInstrument, "PW-8（编号：0012）");
    EXPECT_EQ(c.m_strSensor, "加速度传感器");
    EXPECT_EQ(c.m_strSampling, "采样间隔20～25μs，每条记录1024点（20.48～25.60ms）");
    EXPECT_EQ(c.m_strFilters, "低通滤波1.5～2.0kHz（部分桩未用），高通滤波未用");
    EXPECT_EQ(c.m_strSurveyUnit, "勘察院");
    EXPECT_EQ(c.m_strReviewer, "王审");
    EXPECT_EQ(c.m_strReviewDate, "　　年　　月　　日") << "room to write the date by hand";
    EXPECT_EQ(c.m_strApproveDate, "2026年12月11日");
    EXPECT_NE(c.m_strConclusions.find("未见Ⅲ类、Ⅳ类桩"), std::string::npos);

    // One type and one diameter: the dialog's words, as before.
    const CReportContent one = MakeReportContent({Pile("1")}, info, CDate{2026, 12, 10});
    EXPECT_NE(one.m_strParagraphs[0].find("全部为钻孔灌注桩，共计1根，设计桩径为800mm"), std::string::npos);
}

TEST(ReportContent, WarningsNameEmptyAndDefaultFields) {
    const std::vector<CPileRecord> piles = {Pile("1")};
    CReportInfo info;
    info.m_PourDate = info.m_TestDate = CDate{2026, 5, 1};
    auto warnings = ReportWarnings(piles, info);
    ASSERT_EQ(warnings.size(), 3u);
    EXPECT_EQ(warnings[0], "未填写：建设单位、施工单位、工程地点、委托单位。");
    EXPECT_EQ(warnings[1], "混凝土设计强度等级仍为默认值C10。");
    EXPECT_EQ(warnings[2], "浇注日期与检测日期相同（2026年5月1日）。");
    info.m_strOwner = info.m_strConstructionUnit = info.m_strAddress = info.m_strClient = "x";
    info.m_strStrength = "C30";
    info.m_PourDate = CDate{2026, 4, 1};
    EXPECT_TRUE(ReportWarnings(piles, info).empty());
}

} // namespace
