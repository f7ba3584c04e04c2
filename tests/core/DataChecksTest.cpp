// The data checks over generated records: each rule at its edge (record length, sampling interval,
// clipping, drift, toe), the valid signals of a pile, the site's sampling rule, the report paragraph.
#include "core/DataChecks.h"

#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>

namespace {

using namespace pw;

// A clean record: a Gaussian head pulse of amplitude amp centred at head + 10 + centreShift (5
// samples wide), zero elsewhere; L = 10 m, c = 4000 m/s, Δt = 20 µs, head at sample 50.
CPileRecord Record(float amp = 1.f, double centreShift = 0.0) {
    CPileRecord r;
    r.SetPileName("P1");
    r.m_fPileLength = 10.f;
    r.m_nWaveSpeed = 4000;
    r.m_fSampleInterval = 20.f;
    r.m_nHeadSample = 50;
    const double centre = r.m_nHeadSample + 10 + centreShift;
    for (int i = 0; i < kSamples; ++i)
        r.m_fRaw[i] = static_cast<float>(amp * std::exp(-std::pow((i - centre) / 5.0, 2)));
    return r;
}

// The pulse held at a share of its extreme, as a converter at the end of its range holds it.
CPileRecord Clipped(float amp, double share, double centreShift = 0.0) {
    CPileRecord r = Record(amp, centreShift);
    const float limit = static_cast<float>(std::fabs(amp) * share);
    for (float& v : r.m_fRaw)
        v = std::clamp(v, -limit, limit);
    return r;
}

// From sample 600 on the record sits `level` off its start (a step), or rises to it (a ramp).
CPileRecord Drifting(double level, bool ramp) {
    CPileRecord r = Record();
    for (int i = 600; i < kSamples; ++i)
        r.m_fRaw[i] += static_cast<float>(ramp ? level * (i - 600) / (kSamples - 1 - 600) : level);
    return r;
}

std::vector<std::string> Codes(const std::vector<CCheckFinding>& findings) {
    std::vector<std::string> out;
    for (const CCheckFinding& f : findings)
        out.push_back(CheckCodeName(f.m_nCode));
    return out;
}

const CCheckFinding* Find(const std::vector<CCheckFinding>& findings, CheckCode code) {
    for (const CCheckFinding& f : findings)
        if (f.m_nCode == code) return &f;
    return nullptr;
}

TEST(DataChecks, EachRecordRuleAtItsEdge) {
    struct Case {
        const char* what;
        CPileRecord rec;
        std::vector<std::string> codes;
        const char* text; // the first finding's sentence, when given
    };
    auto with = [](CPileRecord r, auto change) {
        change(r);
        return r;
    };
    // 2L/c + 5 ms = 5 + 5 = 10 ms = 500 samples of 20 µs: the head at 524 leaves exactly that.
    const Case cases[] = {
        {"clean", Record(), {}, nullptr},
        {"exactly 2L/c + 5 ms after the head", with(Record(), [](CPileRecord& r) { r.m_nHeadSample = 524; }), {}, nullptr},
        {"one sample short", with(Record(), [](CPileRecord& r) { r.m_nHeadSample = 525; }), {"record_short"},
         "记录长度9.98ms，不足2L/c+5ms＝10.00ms"},
        {"a long pile at 10 µs", with(Record(), [](CPileRecord& r) {
             r.m_fPileLength = 30.f;
             r.m_nWaveSpeed = 3800;
             r.m_fSampleInterval = 10.f;
             r.m_nHeadSample = 45;
         }),
         {"record_short"}, "记录长度9.8ms，不足2L/c+5ms＝20.8ms"},
        {"Δt 125 µs reaches 2000 Hz", with(Record(), [](CPileRecord& r) { r.m_fSampleInterval = 125.f; }), {}, nullptr},
        {"Δt 126 µs stops short of it", with(Record(), [](CPileRecord& r) { r.m_fSampleInterval = 126.f; }),
         {"spectrum_limit"}, "采样间隔126μs大于125μs，频谱上限1984Hz低于2000Hz"},
        {"a low-pass below 2 kHz is information",
         with(Record(), [](CPileRecord& r) { r.m_fLowPass = 1.5f; }), {"low_pass"},
         "低通滤波1.5kHz，低于2kHz，曲线中更高频率的成分已滤除"},
        {"a low-pass of 2 kHz is not", with(Record(), [](CPileRecord& r) { r.m_fLowPass = 2.f; }), {}, nullptr},
        {"a merely sharp pulse", Record(5.f), {}, nullptr},
        {"three samples at the top (held at 90 %)", Clipped(1.f, 0.9), {}, nullptr},
        {"four samples at the top", Clipped(1.f, 0.9, 0.5), {"clipped"}, "信号削波失真：连续4个采样点停在极值0.9上"},
        {"a clipped head pulse", Clipped(1.f, 0.5), {"clipped"}, nullptr},
        {"a clipped downward pulse", Clipped(-2.f, 0.5), {"clipped"}, "信号削波失真：连续9个采样点停在极值-1上"},
        {"a tail 14 % off its start", Drifting(0.14, false), {}, nullptr},
        {"a tail 16 % off its start", Drifting(0.16, false), {"drift"},
         "信号零漂：记录末端偏离起始电平达首波幅值的16%（限值15%）"},
        {"a drifting tail", Drifting(0.4, true), {"drift"}, nullptr},
        {"no length: no toe, no length check", with(Record(), [](CPileRecord& r) { r.m_fPileLength = 0.f; }),
         {"toe_undefined"}, "桩底未确定（桩长0.0m、波速4000m/s），记录长度无法核对"},
        {"a speed out of range", with(Record(), [](CPileRecord& r) { r.m_nWaveSpeed = 20000; }), {"toe_undefined"},
         nullptr},
        {"no sampling interval", with(Record(), [](CPileRecord& r) { r.m_fSampleInterval = 0.f; }),
         {"bad_sample_interval"}, nullptr},
        {"a head past the last sample records nothing after it",
         with(Record(), [](CPileRecord& r) { r.m_nHeadSample = 2000; }), {"record_short"}, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::vector<CCheckFinding> found = CheckRecord(c.rec, 7);
        EXPECT_EQ(Codes(found), c.codes);
        if (c.text && !found.empty()) {
            EXPECT_EQ(found.front().m_strText, c.text);
        }
        for (const CCheckFinding& f : found)
            EXPECT_EQ(f.m_nRecord, 7);
    }
}

TEST(DataChecks, FindingsCarryTheirFiguresAndLevels) {
    CPileRecord r = Record();
    r.m_nHeadSample = 525;
    r.m_fSampleInterval = 20.f;
    r.m_fLowPass = 1.f;
    const auto found = CheckRecord(r);
    const CCheckFinding* shortRecord = Find(found, CheckCode::kRecordShort);
    ASSERT_NE(shortRecord, nullptr);
    EXPECT_EQ(shortRecord->m_nLevel, CheckLevel::kWarning);
    ASSERT_EQ(shortRecord->m_Figures.size(), 2u);
    EXPECT_STREQ(shortRecord->m_Figures[0].m_szName, "recorded_ms");
    EXPECT_NEAR(shortRecord->m_Figures[0].m_fValue, 9.98, 1e-9);
    EXPECT_NEAR(shortRecord->m_Figures[1].m_fValue, 10.0, 1e-9);
    const CCheckFinding* lowPass = Find(found, CheckCode::kLowPass);
    ASSERT_NE(lowPass, nullptr);
    EXPECT_EQ(lowPass->m_nLevel, CheckLevel::kInfo);
}

// A filter delays the drawn trace and the head with it. The start level is taken before the raw
// pulse: a window reaching to the delayed head would average the pulse's rise into the start and
// see the clean tail as drift.
TEST(DataChecks, TheStartLevelIsTakenBeforeTheRawHead) {
    CPileRecord r = Record();
    r.m_fLowPass = 3.f;
    r.m_nLowPassPasses = 3;
    const int delay = FilterDelayOf(r.m_fLowPass, r.m_nLowPassPasses, 0.f, r.m_fSampleInterval);
    ASSERT_GE(delay, 12); // the fixture needs the delayed head past the pulse's rise
    for (int i = 0; i < kSamples; ++i) // the pulse 10 samples after a raw head at 20, plus an offset that stays
        r.m_fRaw[i] = 0.5f + static_cast<float>(std::exp(-std::pow((i - 30) / 5.0, 2)));
    r.m_nHeadSample = static_cast<int16_t>(20 + delay);
    EXPECT_EQ(Codes(CheckRecord(r)), std::vector<std::string>{});
}

std::vector<CPileRecord> Site(int piles, int blows = 3) {
    std::vector<CPileRecord> out;
    for (int p = 0; p < piles; ++p)
        for (int b = 0; b < blows; ++b) {
            out.push_back(Record());
            out.back().SetPileName("S" + std::to_string(p + 1));
        }
    return out;
}

TEST(DataChecks, TheSitesSamplingRule) {
    struct Case {
        int tested, total;
        bool enough;
        int required;
    };
    // 10 of 40 is the minimum of ten; 20 of 100 is the share of 20 %.
    const Case cases[] = {{9, 40, false, 10}, {10, 40, true, 10}, {19, 100, false, 20}, {20, 100, true, 20},
                          {11, 51, true, 11}, {10, 51, false, 11}, {4, 4, true, 4}, {3, 4, false, 4}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.tested) + " of " + std::to_string(c.total));
        EXPECT_EQ(RequiredPiles(c.total), c.required);
        const CDataChecks r = CheckData(Site(c.tested), {}, c.total);
        EXPECT_EQ(r.m_Site.m_nPiles, c.tested);
        EXPECT_EQ(r.m_Site.m_nRequired, c.required);
        ASSERT_TRUE(r.m_Site.m_bEnough.has_value());
        EXPECT_EQ(*r.m_Site.m_bEnough, c.enough);
        EXPECT_EQ(r.m_Site.m_Findings.size(), c.enough ? 0u : 1u);
        EXPECT_EQ(DataQualityParagraph(r).empty(), c.enough); // everything else is clean
    }
    const CDataChecks nine = CheckData(Site(9), {}, 40);
    EXPECT_EQ(nine.m_Site.m_Findings.front().m_strText, "受检桩9根，少于应检的10根（总桩数40根的20%且不少于10根）");
    EXPECT_EQ(DataQualityParagraph(nine), "数据检查：受检桩9根，少于应检的10根（总桩数40根的20%且不少于10根）。");
}

TEST(DataChecks, WithoutATotalTheRuleIsUnknownNotAFailure) {
    for (std::optional<int> total : {std::optional<int>(), std::optional<int>(0)}) {
        const CDataChecks r = CheckData(Site(3), {}, total);
        EXPECT_FALSE(r.m_Site.m_nTotal.has_value());
        EXPECT_FALSE(r.m_Site.m_bEnough.has_value());
        EXPECT_TRUE(r.m_Site.m_Findings.empty());
        EXPECT_NE(std::find(r.m_Site.m_strLines.begin(), r.m_Site.m_strLines.end(), "场地总桩数未知，抽检数量未核对。"),
                  r.m_Site.m_strLines.end());
        EXPECT_EQ(DataQualityParagraph(r), "");
    }
}

// Repeated blows of a pile are its signals; a clipped or drifting one is not a valid signal.
TEST(DataChecks, ValidSignalsPerPile) {
    std::vector<CPileRecord> piles = Site(3, 3); // S1, S2, S3 with three blows each
    piles[4] = Clipped(1.f, 0.5);                // S2's second blow
    piles[4].SetPileName(" S2 ");                // blanks around a name do not make another pile
    piles.push_back(Record());
    piles.back().SetPileName("S4"); // one blow only
    const CDataChecks r = CheckData(piles);
    ASSERT_EQ(r.m_Piles.size(), 4u);
    EXPECT_EQ(r.m_Piles[0].m_nValidSignals, 3);
    EXPECT_TRUE(r.m_Piles[0].m_Findings.empty());
    EXPECT_EQ(r.m_Piles[1].m_Records, (std::vector<int>{3, 4, 5}));
    EXPECT_EQ(r.m_Piles[1].m_nValidSignals, 2);
    EXPECT_EQ(Codes(r.m_Piles[1].m_Findings), (std::vector<std::string>{"clipped", "few_signals"}));
    EXPECT_EQ(r.m_Piles[1].m_Findings[0].m_nRecord, 4);
    EXPECT_EQ(r.m_Piles[1].m_Findings[1].m_nRecord, -1);
    EXPECT_EQ(r.m_Piles[1].m_Findings[1].m_strText, "有效信号2个（共3个记录），少于3个");
    EXPECT_EQ(r.m_Piles[3].m_Findings.size(), 1u);
    EXPECT_EQ(r.m_Site.m_nPiles, 4);
    EXPECT_EQ(r.m_Site.m_nRecords, 10);
    EXPECT_EQ(r.m_Site.m_nPilesWithEnoughSignals, 2);
    EXPECT_EQ(DataQualityParagraph(r), "数据检查：S2的信号有削波失真；S2、S4的有效信号少于3个。");
    // Only the records asked about: S1's three blows.
    const CDataChecks some = CheckData(piles, {0, 1, 2});
    EXPECT_EQ(some.m_Piles.size(), 1u);
    EXPECT_EQ(some.m_Site.m_nRecords, 3);
}

TEST(DataChecks, SiteClassesAndSpeed) {
    std::vector<CPileRecord> piles = Site(6, 3);
    for (CPileRecord& r : piles)
        r.m_nWaveSpeed = 3800;
    piles[0].m_Defects[0] = DefectMark{3, 4.f}; // 断桩 on one blow of S1: the pile is class Ⅳ
    const CDataChecks r = CheckData(piles);
    EXPECT_EQ(r.m_Site.m_nClassCounts, (std::array<int, kPileClassCount>{5, 0, 0, 1, 0}));
    EXPECT_NE(std::find(r.m_Site.m_strLines.begin(), r.m_Site.m_strLines.end(), "Ⅰ类5根，Ⅱ类0根，Ⅲ类0根，Ⅳ类1根。"),
              r.m_Site.m_strLines.end());
    // The engineer's decision is the pile's class here as in the report; undecided piles get a count
    // of their own.
    piles[0].m_Defects[0] = DefectMark{2, 4.f}; // 缩径: undecided by the rule
    const CDataChecks undecided = CheckData(piles);
    EXPECT_EQ(undecided.m_Site.m_nClassCounts, (std::array<int, kPileClassCount>{5, 0, 0, 0, 1}));
    EXPECT_NE(std::find(undecided.m_Site.m_strLines.begin(), undecided.m_Site.m_strLines.end(),
                        "Ⅰ类5根，Ⅱ类0根，Ⅲ类0根，Ⅳ类0根，Ⅱ/Ⅲ类（尚未判定）1根。"),
              undecided.m_Site.m_strLines.end());
    for (int k = 0; k < 3; ++k) piles[static_cast<std::size_t>(k)].m_nClassDecision = kClassIII;
    EXPECT_EQ(CheckData(piles).m_Site.m_nClassCounts, (std::array<int, kPileClassCount>{5, 0, 1, 0, 0}));
    EXPECT_TRUE(r.m_Site.m_bHasSpeed);
    EXPECT_EQ(r.m_Site.m_nSiteSpeed, 3800);
    EXPECT_EQ(r.m_Site.m_nSpeedPiles, 5);
}

// Information alone makes no paragraph; many piles are counted rather than all named.
TEST(DataChecks, TheReportParagraph) {
    std::vector<CPileRecord> piles = Site(2, 3);
    for (CPileRecord& r : piles)
        r.m_fLowPass = 1.f;
    const CDataChecks info = CheckData(piles);
    EXPECT_EQ(info.CountFindings(CheckLevel::kInfo), 6);
    EXPECT_EQ(DataQualityParagraph(info), "");

    std::vector<CPileRecord> many = Site(8, 1);
    EXPECT_EQ(DataQualityParagraph(CheckData(many)),
              "数据检查：S1、S2、S3、S4、S5、S6等8根的有效信号少于3个。");
}

} // namespace
