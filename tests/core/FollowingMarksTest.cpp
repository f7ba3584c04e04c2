// The marks follow the trace: a change of a record's filters moves its head with the delay the
// filters add, on every path that writes filters, and a new wave speed keeps the toe's and the
// defects' times on every path that changes a speed.
#include <algorithm>
#include <cmath>
#include <string>
#include <gtest/gtest.h>

#include "core/Averaging.h"
#include "core/CDEVAzazDoc.h"
#include "core/CoreMessages.h"
#include "core/SiteSpeed.h"
#include "core/TraceProcessing.h"

namespace {

using namespace pw;

struct Filters {
    float lowPass = 0.f; // kHz
    int passes = 1;
    float highPass = 0.f; // Hz
};

// At dt = 20 µs: a 20 Hz high-pass has 125 taps (62 samples of delay), a 1 kHz low-pass 51 taps (25
// per pass), a 0.05 kHz low-pass the longest 511 taps (255 per pass).
constexpr Filters kNone{};
constexpr Filters kHigh20{0.f, 1, 20.f};
constexpr Filters kLow1Twice{1.f, 2, 0.f};
constexpr Filters kLongest5{0.05f, 5, 0.f};

// s = 1, dt = 20 µs, c = 4000 m/s, L = 10 m (toe 250 points after the head), head at sample `head` on
// the trace as its filters draw it, one 缩径 at 5.2 m, and a single pulse recorded where the head
// pulse is: `head` less the filters' delay.
CPileRecord Pile(int no, Filters f = kNone, int head = 100, const char* name = "1") {
    CPileRecord r;
    r.m_nPileNo = static_cast<int16_t>(no);
    r.SetPileName(name);
    r.m_nStep = 1;
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 4000;
    r.m_fPileLength = 10.f;
    r.m_fGain = 1.f;
    r.m_bRemoveDC = 0;
    r.m_nSmooth = 1;
    r.m_fLowPass = f.lowPass;
    r.m_nLowPassPasses = static_cast<int16_t>(f.passes);
    r.m_fHighPass = f.highPass;
    r.m_nHeadSample = static_cast<int16_t>(head);
    r.m_Defects[0] = DefectMark{2, 5.2f};
    const int raw = head - r.FilterDelay();
    if (raw >= 0 && raw < kSamples) r.m_fRaw[raw] = 1000.f;
    return r;
}

void Load(CDEVAzazDoc& doc, std::vector<CPileRecord> piles) {
    doc.m_Piles = std::move(piles);
    doc.m_Header.m_nPileCount = static_cast<int16_t>(doc.m_Piles.size());
    doc.SetSelection({1});
    doc.SetModified(false);
}

void SetPending(CDEVAzazDoc& doc, Filters f) {
    doc.m_Pending.m_fLowPass = f.lowPass;
    doc.m_Pending.m_nLowPassPasses = static_cast<int16_t>(f.passes);
    doc.m_Pending.m_fHighPass = f.highPass;
}

// The sample of the largest swing of the processed trace: where the head pulse is drawn.
int PeakSample(CPileRecord& rec) {
    const float* x = pw::SettleStep(rec);
    int best = 0;
    for (int i = 1; i < kSamples; ++i)
        if (std::fabs(x[i]) > std::fabs(x[best])) best = i;
    return best;
}

TEST(FollowingMarks, FilterDelaysAsThePipelineRunsThem) {
    struct Case {
        Filters f;
        int delay;
    } const cases[] = {
        {kNone, 0}, {kHigh20, 62}, {kLow1Twice, 50}, {kLongest5, 1275}, {{1.f, 2, 20.f}, 112},
        {{1.f, 0, 0.f}, 0}, // no pass runs
        {{1.f, 9, 0.f}, 125}, // at most five passes run
    };
    for (const Case& c : cases) {
        CPileRecord r = Pile(1, c.f);
        EXPECT_EQ(r.FilterDelay(), c.delay) << c.f.lowPass << " kHz x" << c.f.passes << ", " << c.f.highPass << " Hz";
        r.m_nWaveSpeed = 0; // not processed: the trace is the raw samples
        EXPECT_EQ(r.FilterDelay(), 0);
    }
}

enum class Path { Dialog, BarSpeed, BarLength, ScopePick, Restore, Integrate };

const char* Name(Path p) {
    switch (p) {
    case Path::Dialog: return "filter dialog";
    case Path::BarSpeed: return "bar speed";
    case Path::BarLength: return "bar length";
    case Path::ScopePick: return "scope pick";
    case Path::Restore: return "恢复参数";
    case Path::Integrate: return "integration";
    }
    return "";
}

// Runs one apply path with the pending filters `to` (恢复参数 takes its own reset values).
std::string RunPath(CDEVAzazDoc& doc, Path path, Filters to) {
    if (path != Path::Restore) SetPending(doc, to);
    CEstimateState& bar = doc.Estimate();
    switch (path) {
    case Path::Dialog: return doc.ApplyPending();
    case Path::BarSpeed: return bar.CommitSpeed(&doc, 3400);
    case Path::BarLength: return bar.CommitLength(&doc, 12.f);
    case Path::ScopePick: return bar.ScopeChanged(&doc, kScopeAll);
    case Path::Restore: return doc.RestoreParameters();
    case Path::Integrate: return doc.ToggleIntegrate();
    }
    return {};
}

// The head pulse is found where the head marker says, before and after, whichever path wrote the
// filters; and the head moves by exactly the change of the delay.
TEST(FollowingMarks, TheHeadMovesWithTheFiltersDelayOnEveryPath) {
    struct Case {
        Path path;
        Filters from, to;
        int head; // after, from 100
    } const cases[] = {
        {Path::Dialog, kNone, kHigh20, 162},
        {Path::Dialog, kHigh20, kLow1Twice, 88},
        {Path::Dialog, kLow1Twice, kNone, 50},
        {Path::BarSpeed, kNone, kHigh20, 162},
        {Path::BarLength, kHigh20, kNone, 38},
        {Path::ScopePick, kNone, kLow1Twice, 150},
        {Path::Restore, kHigh20, kNone, 38},
        {Path::Integrate, kNone, kHigh20, 162},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(Name(c.path));
        CDEVAzazDoc doc;
        Load(doc, {Pile(1, c.from), Pile(2, c.from, 100, "2")});
        doc.Estimate().m_strScope = kScopeAll;
        ASSERT_EQ(PeakSample(doc.m_Piles[0]), 100);
        ASSERT_EQ(RunPath(doc, c.path, c.to), "");
        for (CPileRecord& p : doc.m_Piles) {
            EXPECT_EQ(p.m_nHeadSample, c.head) << p.m_nPileNo;
            // (Integration turns the pulse into a step: no peak to look for.)
            if (c.path != Path::Integrate) {
                EXPECT_NEAR(PeakSample(p), p.m_nHeadSample, 2) << p.m_nPileNo;
            }
        }
    }
}

TEST(FollowingMarks, AFilterSwitchedOnAndOffAgainReturnsTheHead) {
    CDEVAzazDoc doc;
    Load(doc, {Pile(1, kNone, 137)});
    for (Filters f : {kHigh20, kLow1Twice, Filters{1.5f, 3, 60.f}, kNone}) {
        SetPending(doc, f);
        ASSERT_EQ(doc.ApplyPending(), "");
    }
    EXPECT_EQ(doc.m_Piles[0].m_nHeadSample, 137);
    // Pre-zero and post-cut count raw samples: they never move.
    doc.m_Pending.m_nPreZero = 20;
    doc.m_Pending.m_nPostCut = 30;
    SetPending(doc, kHigh20);
    ASSERT_EQ(doc.ApplyPending(), "");
    EXPECT_EQ(doc.m_Piles[0].m_nPreZero, 20);
    EXPECT_EQ(doc.m_Piles[0].m_nPostCut, 30);
}

// A change that would put a head off the trace changes nothing at all, in any record of the scope.
TEST(FollowingMarks, AHeadPushedOffTheTraceRefusesTheWholeChange) {
    struct Case {
        const char* what;
        Path path;
        Filters from;
        int head;
        Filters to;
    } const cases[] = {
        {"five passes of 511 taps", Path::Dialog, kNone, 100, kLongest5},
        {"through the bar", Path::BarSpeed, kNone, 100, kLongest5},
        {"through the scope box", Path::ScopePick, kNone, 100, kLongest5},
        {"an old head set on a filtered trace", Path::Restore, kHigh20, 40, kNone},
        {"switching the filter off", Path::Dialog, kHigh20, 40, kNone},
        {"with the integration switch", Path::Integrate, kNone, 100, kLongest5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDEVAzazDoc doc;
        // Whichever record cannot follow, neither changes.
        Load(doc, {Pile(1, c.from, 300), Pile(2, c.from, c.head, "2")});
        doc.LoadPending(1);
        doc.Estimate().m_strScope = kScopeAll;
        const CEstimateState barBefore = doc.Estimate();
        const PendingParams pendingBefore = doc.m_Pending;
        EXPECT_EQ(RunPath(doc, c.path, c.to), msg::kHeadLeavesTrace);
        for (const CPileRecord& p : doc.m_Piles) {
            EXPECT_EQ(p.m_nHeadSample, p.m_nPileNo == 1 ? 300 : c.head);
            EXPECT_EQ(p.m_fLowPass, c.from.lowPass);
            EXPECT_EQ(p.m_fHighPass, c.from.highPass);
            EXPECT_EQ(p.m_nWaveSpeed, 4000);
            EXPECT_EQ(p.m_fPileLength, 10.f);
        }
        EXPECT_EQ(doc.m_bModified, 0);
        EXPECT_EQ(doc.Estimate().m_fLength, barBefore.m_fLength);
        EXPECT_EQ(doc.Estimate().m_nSpeed, barBefore.m_nSpeed);
        // The pending set is put back where the command itself changed it.
        if (c.path == Path::Restore) {
            EXPECT_EQ(doc.m_Pending.m_fHighPass, pendingBefore.m_fHighPass);
        }
        if (c.path == Path::Integrate) {
            EXPECT_EQ(doc.m_Pending.m_bIntegrate, pendingBefore.m_bIntegrate);
        }
    }
}

// Pre-zero must end before the head pulse as recorded: with a 62-sample delay the drawn head at 162
// was recorded at 100, and the toe drawn at 412 at 350.
TEST(FollowingMarks, PreZeroAndPostCutAreCheckedAgainstTheRecordedHead) {
    struct Case {
        const char* what;
        int value;
        bool accepted;
    } const preZero[] = {{"at the recorded head", 100, true}, {"one past it", 101, false}},
      postCut[] = {{"from the recorded toe", 1024 - 350, true}, {"one more", 1024 - 349, false}};
    for (const Case& c : preZero) {
        CDEVAzazDoc doc;
        Load(doc, {Pile(1, kHigh20, 162)});
        doc.LoadPending(1);
        EXPECT_EQ(doc.PreZero(c.value), c.accepted ? "" : msg::kPreZeroBeforeHead) << c.what;
        EXPECT_EQ(doc.m_Piles[0].m_nHeadSample, 162);
        if (c.accepted) {
            EXPECT_NEAR(PeakSample(doc.m_Piles[0]), 162, 2) << "the pulse survives";
        }
    }
    for (const Case& c : postCut) {
        CDEVAzazDoc doc;
        Load(doc, {Pile(1, kHigh20, 162)});
        doc.LoadPending(1);
        EXPECT_EQ(doc.PostCut(c.value), c.accepted ? "" : msg::kPostCutAfterToe) << c.what;
    }
    // At the cursor the drawn column is turned into the recorded sample the same way.
    struct CursorCase {
        int column;
        bool accepted;
        int preZero;
    } const cursor[] = {{162, true, 100}, {163, false, 0}, {61, false, 0}};
    for (const CursorCase& c : cursor) {
        CDEVAzazDoc doc;
        Load(doc, {Pile(1, kHigh20, 162)});
        doc.m_Piles[0].m_nPreZero = 0;
        EXPECT_EQ(doc.PreZeroAtColumn(c.column), c.accepted ? "" : msg::kPreZeroCursorBeforeHead) << c.column;
        EXPECT_EQ(doc.m_Piles[0].m_nPreZero, c.preZero) << c.column;
    }
    CDEVAzazDoc doc;
    Load(doc, {Pile(1, kHigh20, 162)});
    EXPECT_EQ(doc.PostCutAtColumn(412), ""); // on the drawn toe: recorded at 350
    EXPECT_EQ(doc.m_Piles[0].m_nPostCut, 1024 - 350);
    EXPECT_EQ(doc.PostCutAtColumn(411), msg::kPostCutCursorAfterToe);
}

// The averaged samples carry the source's delay and receive its filters again.
TEST(FollowingMarks, AnAverageHasItsHeadWhereItsSamplesPutTheHeadPulse) {
    std::vector<CPileRecord> piles = {Pile(1, kHigh20, 162), Pile(2, kHigh20, 162)};
    const CAverageResult added = AverageSelected(piles, {1, 2});
    ASSERT_TRUE(added.Ok());
    EXPECT_EQ(piles.back().m_nHeadSample, 162 + 62);
    EXPECT_NEAR(PeakSample(piles.back()), piles.back().m_nHeadSample, 2);

    std::vector<CPileRecord> late = {Pile(1, kHigh20, 980), Pile(2, kHigh20, 980)};
    const CAverageResult refused = AverageSelected(late, {1, 2});
    EXPECT_FALSE(refused.Ok());
    EXPECT_EQ(refused.m_strMessage, msg::kAverageHeadLeavesTrace);
    EXPECT_EQ(late.size(), 2u);
}

// A speed changed with the toe kept keeps every defect's time (its depth follows the speed); a toe
// moved that sets the speed does the same; a toe that sets the length leaves speed and depths.
TEST(FollowingMarks, ANewSpeedKeepsTheDefectsAtTheirTimes) {
    enum class Change { BarSpeed, BarLength, ScopePick, ToeSetsSpeed, ToeSetsLength };
    struct Case {
        const char* what;
        Change change;
        int speed;
        float length, depth;
    } const cases[] = {
        // 5.2 m at 4000 m/s is 2.6 ms: 4.42 m at 3400 m/s.
        {"bar speed", Change::BarSpeed, 3400, 8.5f, 4.4f},
        {"bar length", Change::BarLength, 4800, 12.f, 6.2f},
        {"scope box", Change::ScopePick, 3400, 8.5f, 4.4f},
        // The toe 200 points after the head for 10 m: 5000 m/s; 5.2 m becomes 6.5 m.
        {"toe sets the speed", Change::ToeSetsSpeed, 5000, 10.f, 6.5f},
        {"toe sets the length", Change::ToeSetsLength, 4000, 8.f, 5.2f},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CDEVAzazDoc doc;
        Load(doc, {Pile(1), Pile(2, kNone, 100, "2")});
        doc.LoadPending(1);
        doc.m_Pending.m_fGainDelay = 3.f;
        CEstimateState& bar = doc.Estimate();
        bar.m_strScope = kScopeAll;
        switch (c.change) {
        case Change::BarSpeed: ASSERT_EQ(bar.CommitSpeed(&doc, 3400), ""); break;
        case Change::BarLength: ASSERT_EQ(bar.CommitLength(&doc, 12.f), ""); break;
        case Change::ScopePick:
            bar.m_nSpeed = 3400;
            ASSERT_EQ(bar.ScopeChanged(&doc, kScopeAll), "");
            break;
        case Change::ToeSetsSpeed:
            bar.m_nLastEntered = 0;
            ASSERT_EQ(doc.SetToeAtColumn(300), "");
            break;
        case Change::ToeSetsLength:
            bar.m_nLastEntered = 1;
            ASSERT_EQ(doc.SetToeAtColumn(300), "");
            break;
        }
        const CPileRecord& p = doc.m_Piles[0];
        EXPECT_EQ(p.m_nWaveSpeed, c.speed);
        EXPECT_FLOAT_EQ(p.m_fPileLength, c.length);
        EXPECT_FLOAT_EQ(p.m_Defects[0].fDepth, c.depth);
        EXPECT_EQ(p.m_nHeadSample, 100);
        if (c.change != Change::ToeSetsSpeed && c.change != Change::ToeSetsLength) {
            EXPECT_FLOAT_EQ(p.m_fGainDelay, 3.f); // the gain delay stays a depth
        }
    }
}

// The sample site's pile 1 under a 20 Hz high-pass (the filter dialog's apply): the head pulse,
// 27 samples after the head marker, stays 27 samples after it.
TEST(FollowingMarks, TheSampleSitesHeadPulseStaysAtItsHeadUnderAHighPass) {
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf").Ok());
    doc.SetSelection({1});
    CPileRecord& pile = *doc.FindPile(1);
    auto pulseAfterHead = [&pile] {
        const float* x = pw::SettleStep(pile);
        const int head = pile.m_nHeadSample;
        int peak = head;
        for (int i = std::max(head - 150, 0); i < std::min(head + 150, kSamples); ++i)
            if (std::fabs(x[i]) > std::fabs(x[peak])) peak = i;
        return peak - head;
    };
    const int before = pulseAfterHead();
    const int head = pile.m_nHeadSample;
    SetPending(doc, kHigh20);
    ASSERT_EQ(doc.ApplyPending(), "");
    EXPECT_EQ(pile.m_nHeadSample, head + 62);
    EXPECT_NEAR(pulseAfterHead(), before, 2);
}

// The sample site's pile 5 at 3400 m/s through the estimate bar: its 缩径 at 5.2 m lies at 4.7 m.
TEST(FollowingMarks, TheSampleSitesNarrowingStaysOnItsEchoAtANewSpeed) {
    CDEVAzazDoc doc;
    ASSERT_TRUE(doc.Open(std::string(PILEWAVE_SAMPLES) + "/sample-site.wvf").Ok());
    doc.SetSelection({5});
    const CPileRecord& pile = *doc.FindPile(5);
    ASSERT_EQ(pile.m_Defects[0].nType, 2);
    ASSERT_FLOAT_EQ(pile.m_Defects[0].fDepth, 5.2f);
    ASSERT_EQ(doc.Estimate().CommitSpeed(&doc, 3400), "");
    EXPECT_EQ(pile.m_nWaveSpeed, 3400);
    EXPECT_FLOAT_EQ(pile.m_Defects[0].fDepth, 4.7f);
}

TEST(FollowingMarks, SpeedChangesBackAndForthKeepTheDepthWithinATenth) {
    CDEVAzazDoc doc;
    Load(doc, {Pile(1)});
    doc.LoadPending(1);
    for (int speed : {3400, 3900, 3100, 4000}) ASSERT_EQ(doc.Estimate().CommitSpeed(&doc, speed), "");
    EXPECT_NEAR(doc.m_Piles[0].m_Defects[0].fDepth, 5.2f, 0.1f + 1e-5f);
}

} // namespace
