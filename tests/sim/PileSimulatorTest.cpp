// Simulated records and sites: the truth they carry, what the sensor adds, the defect texts, and
// sites that come out the same from the same description.
#include <cmath>
#include <cstring>
#include <gtest/gtest.h>
#include <ostream>
#include <string>
#include <vector>

#include "core/PileTypes.h"
#include "sim/PileSimulator.h"
#include "sim/SiteSimulator.h"

namespace {

using namespace pw;

CPileRecord Record(const CPileDescription& pile, const CBlowDescription& blow) {
    return SimulatePile(pile, blow, CPileLabel{"A-12", "2024-05-11", 1});
}

TEST(SimulatePile, RecordCarriesThePileAndItsDefectsByDepth) {
    CPileDescription pile;
    pile.fLength = 18.5f;
    pile.fWaveSpeed = 3712.f;
    pile.fDiameter = 1000.f;
    pile.defects = {CSimDefect{1, 11.f, 0.4f, 0.f}, CSimDefect{2, 5.5f, 0.3f, 0.f},
                    CSimDefect{9, 7.f, 0.3f, 0.f}};
    CBlowDescription blow;
    blow.fSampleInterval = 25.f;
    blow.nHeadSample = 47;
    CPileRecord r = SimulatePile(pile, blow, CPileLabel{"A-12", "2024-05-11", 5});
    EXPECT_EQ(r.GetPileName(), "A-12");
    EXPECT_EQ(r.GetTestDate(), "2024-05-11");
    EXPECT_EQ(r.m_nPileType, 5);
    EXPECT_EQ(r.m_nDiameter, 1000);
    EXPECT_EQ(r.m_fPileLength, 18.5f);
    EXPECT_EQ(r.m_nWaveSpeed, 3712);
    EXPECT_EQ(r.m_fSampleInterval, 25.f);
    EXPECT_EQ(r.m_nHeadSample, 47);
    // The unknown code 9 is not a defect the program knows: it is not built and not listed.
    ASSERT_EQ(r.GetDefectCount(), 2);
    EXPECT_EQ(r.m_Defects[0].nType, 2);
    EXPECT_EQ(r.m_Defects[0].fDepth, 5.5f);
    EXPECT_EQ(r.m_Defects[1].nType, 1);
    EXPECT_EQ(r.m_Defects[1].fDepth, 11.f);
    EXPECT_EQ(r.m_fGain, 1.f); // neutral processing: the engineer sets the rest
    EXPECT_EQ(r.m_fLowPass, 0.f);
}

// The record's own conversions find the toe where the model put its echo.
TEST(SimulatePile, RecordToePointMeetsTheEcho) {
    CPileDescription pile;
    pile.fLength = 14.f;
    pile.fWaveSpeed = 3800.f;
    pile.fShaftDamping = 0.f;
    pile.fToeFixity = 0.f;
    CBlowDescription blow;
    blow.fNoise = 0.f;
    blow.fDuration = 0.6f;
    CPileRecord r = Record(pile, blow);
    r.m_nStep = 1;
    const std::optional<int> toe = r.ToePoint();
    ASSERT_TRUE(toe);
    const int echo = r.m_nHeadSample + *toe; // samples, step 1
    EXPECT_LT(std::abs(r.m_fRaw[echo - 2]), 1.f);
    EXPECT_GT(r.m_fRaw[echo + 2], 10.f);
}

TEST(SimulatePile, SensorAddsNoiseOffsetAndDriftBeforeAndAfterTheBlow) {
    CPileDescription pile;
    CBlowDescription blow;
    blow.fAmplitude = 80.f;
    blow.fNoise = 0.02f;
    blow.fOffset = 3.f;
    blow.fDrift = -2.f;
    blow.nHeadSample = 60;
    blow.nSeed = 7;
    const CPileRecord r = Record(pile, blow);
    double sum = 0., sum2 = 0.;
    for (int k = 0; k < 60; ++k) {
        sum += r.m_fRaw[k];
        sum2 += r.m_fRaw[k] * r.m_fRaw[k];
    }
    const double mean = sum / 60., sd = std::sqrt(sum2 / 60. - mean * mean);
    EXPECT_NEAR(mean, 3., 0.6);
    EXPECT_NEAR(sd, 1.6, 0.5);
    // Noise-free otherwise identical: the difference is offset, drift and noise only.
    CBlowDescription quiet = blow;
    quiet.fNoise = 0.f;
    quiet.fOffset = 0.f;
    quiet.fDrift = 0.f;
    const CPileRecord clean = Record(pile, quiet);
    double tail = 0.;
    for (int k = kSamples - 100; k < kSamples; ++k)
        tail += r.m_fRaw[k] - clean.m_fRaw[k];
    EXPECT_NEAR(tail / 100., 3. - 2. * (kSamples - 50.5) / (kSamples - 1.), 0.5);
}

// A pile the model cannot hold gives a silent trace, never NaN (a zero impedance would divide by zero).
TEST(SimulatePile, DegeneratePilesGiveSilence) {
    for (const auto& [name, change] : std::vector<std::pair<const char*, void (*)(CPileDescription&, CBlowDescription&)>>{
             {"no diameter", [](CPileDescription&p, CBlowDescription&) { p.fDiameter = 0.f; }},
             {"no density", [](CPileDescription&p, CBlowDescription&) { p.fDensity = 0.f; }},
             {"no length", [](CPileDescription&p, CBlowDescription&) { p.fLength = 0.f; }},
             {"negative speed", [](CPileDescription&p, CBlowDescription&) { p.fWaveSpeed = -3800.f; }},
             {"no interval", [](CPileDescription&, CBlowDescription&b) { b.fSampleInterval = 0.f; }},
         }) {
        CPileDescription pile;
        CBlowDescription blow;
        change(pile, blow);
        for (const double v : SimulateHeadVelocity(pile, blow))
            ASSERT_EQ(v, 0.) << name;
    }
}

TEST(SimulatePile, SeedDecidesTheNoise) {
    CPileDescription pile;
    CBlowDescription blow;
    blow.nSeed = 11;
    const CPileRecord a = Record(pile, blow), b = Record(pile, blow);
    blow.nSeed = 12;
    const CPileRecord c = Record(pile, blow);
    EXPECT_EQ(0, std::memcmp(a.m_fRaw, b.m_fRaw, sizeof a.m_fRaw));
    EXPECT_NE(0, std::memcmp(a.m_fRaw, c.m_fRaw, sizeof a.m_fRaw));
}

struct CParseCase {
    const char* text;
    bool ok;
    int type = 0;
    float depth = 0.f, severity = 0.f, extent = 0.f;
};

void PrintTo(const CParseCase& c, std::ostream* os) {
    *os << '"' << c.text << '"';
}

class DefectText : public ::testing::TestWithParam<CParseCase> {};

TEST_P(DefectText, ParsesOrSaysWhy) {
    const CParseCase c = GetParam();
    CSimDefect d;
    d.nType = -5;
    const std::string error = ParseDefect(c.text, d);
    if (!c.ok) {
        EXPECT_FALSE(error.empty());
        EXPECT_EQ(d.nType, -5) << "a refused text leaves the defect alone";
        return;
    }
    ASSERT_EQ(error, "");
    EXPECT_EQ(d.nType, c.type);
    EXPECT_FLOAT_EQ(d.fDepth, c.depth);
    EXPECT_FLOAT_EQ(d.fSeverity, c.severity);
    EXPECT_FLOAT_EQ(d.fExtent, c.extent);
}

INSTANTIATE_TEST_SUITE_P(Texts, DefectText,
                         ::testing::Values(CParseCase{"5.5:缩径:0.3", true, 2, 5.5f, 0.3f, 1.0f},
                                           CParseCase{"5.5:2:0.3:2.5", true, 2, 5.5f, 0.3f, 2.5f},
                                           CParseCase{"7:断桩", true, 3, 7.f, 0.99f, 0.3f},
                                           CParseCase{"16:扩底:1.5", true, 7, 16.f, 1.5f, 0.f},
                                           CParseCase{"3:扩径:2", true, 1, 3.f, 2.f, 1.f},
                                           CParseCase{"4:夹泥:0.5:", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"5.5", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"x:缩径", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"-1:缩径", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"5:无缺陷", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"5:8", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"5:缩径:1.2", false, 0, 0.f, 0.f, 0.f},
                                           CParseCase{"5:缩径:0.3:1:2", false, 0, 0.f, 0.f, 0.f}));

CSiteDescription SmallSite() {
    CSiteDescription s;
    s.strTestUnit = "检测中心";
    s.strProjectName = "二期";
    s.nSeed = 99;
    CSitePile a;
    a.strName = "1#";
    a.fLength = 12.f;
    a.nBlows = 3;
    CSitePile b;
    b.strName = "A-7";
    b.fLength = 28.f;
    b.fWaveSpeed = 3650.f;
    b.defects = {CSimDefect{5, 9.f, 0.4f, 0.f}};
    CSitePile c;
    c.strName = "3-5";
    c.fLength = 6.3f;
    c.fSampleInterval = 20.f;
    c.strDate = "2024-05-12";
    s.piles = {a, b, c};
    return s;
}

TEST(SimulateSite, RepeatedBlowsAreSeparateRecordsOfOnePile) {
    CProjectData data;
    ASSERT_EQ(SimulateSite(SmallSite(), data), "");
    ASSERT_EQ(data.m_Piles.size(), 5u);
    EXPECT_EQ(data.m_Header.m_nPileCount, 5);
    EXPECT_EQ(data.m_Header.GetTestUnit(), "检测中心");
    for (int i = 0; i < 5; ++i)
        EXPECT_EQ(data.m_Piles[i].m_nPileNo, i + 1);
    const CPileRecord& first = data.m_Piles[0];
    for (int i = 1; i < 3; ++i) {
        const CPileRecord& again = data.m_Piles[i];
        EXPECT_EQ(again.GetPileName(), "1#");
        EXPECT_EQ(again.m_nWaveSpeed, first.m_nWaveSpeed) << "the same pile";
        EXPECT_EQ(again.m_fSampleInterval, first.m_fSampleInterval);
        EXPECT_NE(0, std::memcmp(again.m_fRaw, first.m_fRaw, sizeof first.m_fRaw)) << "another blow";
    }
    EXPECT_EQ(data.m_Piles[3].m_nWaveSpeed, 3650);
    EXPECT_EQ(data.m_Piles[3].m_fSampleInterval, 25.f); // 28 m needs the longest record
    ASSERT_EQ(data.m_Piles[3].GetDefectCount(), 1);
    EXPECT_EQ(data.m_Piles[3].m_Defects[0].nType, 5);
    EXPECT_EQ(data.m_Piles[4].m_fSampleInterval, 20.f); // given
    EXPECT_EQ(data.m_Piles[4].GetTestDate(), "2024-05-12");
    EXPECT_EQ(data.m_Piles[4].m_fPileLength, 6.3f);
}

TEST(SimulateSite, SameDescriptionSameProject) {
    CProjectData a, b, c;
    ASSERT_EQ(SimulateSite(SmallSite(), a), "");
    ASSERT_EQ(SimulateSite(SmallSite(), b), "");
    CSiteDescription other = SmallSite();
    other.nSeed = 100;
    ASSERT_EQ(SimulateSite(other, c), "");
    ASSERT_EQ(a.m_Piles.size(), b.m_Piles.size());
    for (std::size_t i = 0; i < a.m_Piles.size(); ++i) {
        EXPECT_EQ(0, std::memcmp(a.m_Piles[i].m_fRaw, b.m_Piles[i].m_fRaw, sizeof a.m_Piles[i].m_fRaw)) << i;
        EXPECT_NE(0, std::memcmp(a.m_Piles[i].m_fRaw, c.m_Piles[i].m_fRaw, sizeof a.m_Piles[i].m_fRaw)) << i;
    }
}

TEST(SimulateSite, RefusesPilesWithoutLengthOrBlowsOrAUsableInterval) {
    CProjectData data;
    CSiteDescription s = SmallSite();
    s.piles[1].fLength = 0.f;
    EXPECT_NE(SimulateSite(s, data), "");
    EXPECT_TRUE(data.m_Piles.empty());
    s = SmallSite();
    s.piles[0].nBlows = 0;
    EXPECT_NE(SimulateSite(s, data), "");
    s = SmallSite();
    s.piles[0].nBlows = kMaxPiles;
    EXPECT_NE(SimulateSite(s, data), "");
    s = SmallSite();
    s.piles[2].fSampleInterval = 0.01f; // millions of cells
    EXPECT_NE(SimulateSite(s, data), "");
}

struct CIntervalCase {
    float length, speed, dt;
};

void PrintTo(const CIntervalCase& c, std::ostream* os) {
    *os << c.length << " m at " << c.speed << " m/s";
}

class SampleInterval : public ::testing::TestWithParam<CIntervalCase> {};

TEST_P(SampleInterval, IsTheSmallestThatShowsTheToe) {
    const CIntervalCase c = GetParam();
    EXPECT_EQ(ChooseSampleInterval(c.length, c.speed), c.dt);
}

INSTANTIATE_TEST_SUITE_P(
    Piles, SampleInterval,
    ::testing::Values(CIntervalCase{6.f, 3800.f, 10.f}, CIntervalCase{10.f, 3800.f, 10.f},
                      CIntervalCase{12.f, 3800.f, 20.f}, CIntervalCase{20.f, 3800.f, 20.f},
                      CIntervalCase{24.f, 3600.f, 25.f}, CIntervalCase{60.f, 3600.f, 25.f}));

} // namespace
