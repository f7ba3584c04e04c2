// The marker editor driven from tables of pointer positions, presses and keys over the geometry of a
// known record: hit tolerances, grab - release - move - Enter, the commands at the cursor, the
// readouts and hints, and the spectrum marks.
#include <gtest/gtest.h>

#include "ViewFixtures.h"
#include "core/CommandIds.h"
#include "view/CMarkerEditor.h"

using namespace pw;
using namespace pw::test;

namespace {

// An 800 x 600 client. The plain record (step 1, head sample 40, 10 m at 4000 m/s, 20 us) has its head
// at box column 40 and its toe 250 columns further: cursor x 50 and 300.
constexpr int kHeadX = 50, kToeX = 300, kY = 200;

enum class Op { Move, Press, Release, Right, Left, RightKey, Enter, Escape, Defect, DeleteDefect, SetCursor };

struct Step {
    Op op;
    int x = 0;                     // pointer x, the defect kind, or the cursor x to set
    int cursor = 0;                // cursor x afterwards
    int grabbed = 0;               // grabbed marker afterwards
    int state = -1;                // interaction state afterwards
    const char* hint = nullptr;    // pane 0 written by this step (nullptr: not checked)
    const char* message = nullptr; // refusal shown by this step (nullptr: none)
};

struct Editor : ::testing::Test {
    void Make(Layout layout, std::vector<CPileRecord> piles = {PlainRecord(1, Spike)}) {
        FillDoc(doc, std::move(piles));
        doc.m_Display.m_nLayout = static_cast<int>(layout);
        pw::FitViewStep(*doc.GetCurrentPile(), 780);
        pw::SettleStep(*doc.GetCurrentPile());
        doc.SetModified(false);
        ViewGeometry g;
        g.eLayout = layout;
        g.nWidth = 800;
        g.nHeight = 600;
        editor.SetGeometry(g);
    }
    EditorEffects Run(const Step& s) {
        switch (s.op) {
        case Op::Move:
            return editor.PointerMove(s.x, kY);
        case Op::Press:
            return editor.LeftDown();
        case Op::Release:
            return editor.LeftUp();
        case Op::Right:
            return editor.RightDown(s.x, kY);
        case Op::Left:
            return editor.Key(EditorKey::Left);
        case Op::RightKey:
            return editor.Key(EditorKey::Right);
        case Op::Enter:
            return editor.Key(EditorKey::Enter);
        case Op::Escape:
            return editor.Key(EditorKey::Escape);
        case Op::Defect:
            return editor.AddDefect(s.x);
        case Op::DeleteDefect:
            return editor.DeleteDefect();
        case Op::SetCursor:
            state.m_nCursorX = s.x;
            return {};
        }
        return {};
    }
    void Play(const std::vector<Step>& steps) {
        for (std::size_t i = 0; i < steps.size(); ++i) {
            const Step& s = steps[i];
            const EditorEffects out = Run(s);
            SCOPED_TRACE("step " + std::to_string(i));
            EXPECT_EQ(state.m_nCursorX, s.cursor);
            EXPECT_EQ(state.m_nGrabbed, s.grabbed);
            EXPECT_EQ(state.m_nInteraction, s.state);
            if (s.hint) {
                EXPECT_EQ(out.Panes[0].value_or("(none)"), s.hint);
            }
            EXPECT_EQ(out.strMessage, s.message ? s.message : "");
        }
    }

    CDEVAzazDoc doc;
    ViewState state;
    CMarkerEditor editor{doc, state};
};

const char* kGrab = "按鼠标左键后可移动当前光标位置";
const char* kSet = "按鼠标右键在当前位置设置桩头、桩底或缺陷";
const char* kKeys = "按左右键可以移动光标；按回车键确认移动；按ESC键取消移动。";

} // namespace

TEST_F(Editor, HitToleranceIsStrictlyUnderFourColumns) {
    Make(Layout::Single);
    struct Case {
        int x, grabbed;
        const char* hint;
        PointerShape pointer;
    };
    const Case cases[] = {
        {kHeadX, 1000, kGrab, PointerShape::Marker},       {kHeadX + 3, 1000, kGrab, PointerShape::Marker},
        {kHeadX - 3, 1000, kGrab, PointerShape::Marker},   {kHeadX + 4, -1, kSet, PointerShape::Unavailable},
        {kHeadX - 4, -1, kSet, PointerShape::Unavailable}, {kToeX + 3, 1001, kGrab, PointerShape::Marker},
        {kToeX - 3, 1001, kGrab, PointerShape::Marker},    {kToeX + 4, -1, kSet, PointerShape::Unavailable},
        {kToeX - 4, -1, kSet, PointerShape::Unavailable},
    };
    for (const Case& c : cases) {
        const EditorEffects out = editor.PointerMove(c.x, kY);
        EXPECT_EQ(state.m_nGrabbed, c.grabbed) << c.x;
        EXPECT_EQ(out.Panes[0].value_or(""), c.hint) << c.x;
        EXPECT_EQ(out.ePointer, c.pointer) << c.x;
        EXPECT_TRUE(out.bCursorMoved && !out.bRepaint) << "the cursor moves without a repaint";
    }
    // A defect at 4.0 m (100 columns below the head) is hit within four columns' worth of depth.
    doc.GetCurrentPile()->m_Defects[0] = DefectMark{3, 4.0f};
    for (auto [x, grabbed] : {std::pair{kHeadX + 100, 0},
                              {kHeadX + 103, 0},
                              {kHeadX + 97, 0},
                              {kHeadX + 104, -1},
                              {kHeadX + 95, -1}}) {
        const EditorEffects out = editor.PointerMove(x, kY);
        EXPECT_EQ(state.m_nGrabbed, grabbed) << x;
        EXPECT_EQ(out.Panes[0].value_or(""), kSet) << "a defect keeps the right-button hint";
        EXPECT_EQ(out.ePointer, grabbed == 0 ? PointerShape::Marker : PointerShape::Unavailable) << x;
    }
}

TEST_F(Editor, GrabReleaseMoveEnterPutsTheToeThreeColumnsFurther) {
    Make(Layout::Single);
    doc.Estimate().m_nLastEntered = 0; // the length was entered last: the toe sets the speed
    doc.Estimate().m_nSpeed = 4000;
    Play({
        {Op::Move, kToeX, kToeX, 1001, -1, kGrab},
        {Op::Press, 0, kToeX, 1001, 3, kKeys},
        {Op::Move, 400, kToeX, 1001, 3}, // held: the pointer does not carry the cursor
        {Op::Release, 0, kToeX, 1001, -1},
        {Op::RightKey, 0, kToeX + 1, 1001, -1},
        {Op::RightKey, 0, kToeX + 2, 1001, -1},
        {Op::RightKey, 0, kToeX + 3, 1001, -1},
        {Op::Enter, 0, -1, 1001, -1},
    });
    EXPECT_EQ(doc.GetCurrentPile()->m_nWaveSpeed, 3952); // 10 m * 2e6 / (20 us * 253)
    EXPECT_EQ(doc.Estimate().m_nSpeed, 3952);
    EXPECT_EQ(doc.m_bModified, 1);
}

TEST_F(Editor, AMoveAfterTheReleaseHitTestsAgain) {
    Make(Layout::Single);
    Play({
        {Op::Move, kHeadX + 2, kHeadX + 2, 1000, -1},
        {Op::Press, 0, kHeadX + 2, 1000, 3},
        {Op::Release, 0, kHeadX + 2, 1000, -1},
        {Op::Move, 150, 150, -1, -1, kSet},
        {Op::RightKey, 0, 150, -1, -1}, // nothing grabbed: the arrows do nothing
        {Op::Enter, 0, 150, -1, -1},
        {Op::Press, 0, -1, -1, -1}, // a press away from any marker removes the cursor
        {Op::RightKey, 0, -1, -1, -1},
    });
    EXPECT_EQ(doc.m_bModified, 0);
}

TEST_F(Editor, EnterRefusesAHeadOnTheToeAndKeepsTheCursor) {
    Make(Layout::Single);
    Play({
        {Op::Move, kHeadX, kHeadX, 1000, -1},
        {Op::SetCursor, kToeX, kToeX, 1000, -1},
        {Op::Enter, 0, kToeX, 1000, -1, nullptr, "桩头不能在桩底之后"},
        {Op::Left, 0, kToeX - 1, 1000, -1},
        {Op::Enter, 0, -1, 1000, -1},
        {Op::Escape, 0, -1, 1000, -1},
    });
    EXPECT_EQ(doc.GetCurrentPile()->m_nHeadSample, 289);
}

TEST_F(Editor, DefectsAtTheCursor) {
    Make(Layout::Single);
    Play({
        {Op::Move, kHeadX + 100, kHeadX + 100, -1, -1},
        {Op::Defect, 3, -1, -1, -1}, // added at 4.0 m; the cursor goes
        {Op::Move, kHeadX, kHeadX, 1000, -1},
        {Op::Defect, 2, -1, 1000, -1, nullptr, "设置缺陷应该在桩头与桩底之间!"},
        {Op::Move, kHeadX + 102, kHeadX + 102, 0, -1},
        {Op::Press, 0, kHeadX + 102, 0, 3},
        {Op::Release, 0, kHeadX + 102, 0, -1},
        {Op::RightKey, 0, kHeadX + 103, 0, -1},
        {Op::Enter, 0, -1, 0, -1}, // moved to 103 columns: 4.12 m, kept as 4.1
    });
    CPileRecord& p = *doc.GetCurrentPile();
    ASSERT_EQ(p.GetDefectCount(), 1);
    EXPECT_EQ(p.m_Defects[0].nType, 3);
    EXPECT_FLOAT_EQ(p.m_Defects[0].fDepth, 4.1f);
    doc.SetModified(false);
    Play({
        {Op::Move, kHeadX + 105, kHeadX + 105, 0, -1},
        {Op::DeleteDefect, 0, kHeadX + 105, -1, -1},
        {Op::DeleteDefect, 0, kHeadX + 105, -1, -1}, // nothing grabbed any more
    });
    EXPECT_EQ(p.GetDefectCount(), 0);
    EXPECT_EQ(doc.m_bModified, 1) << "deleting a defect is a change to save";
}

TEST_F(Editor, TheEleventhDefectIsIgnoredButTheCursorRemoved) {
    CPileRecord r = PlainRecord(1, Spike);
    for (int i = 0; i < 10; ++i)
        r.m_Defects[i] = DefectMark{2, 1.0f + 0.5f * i};
    Make(Layout::Single, {r});
    Play({
        {Op::Move, kHeadX + 200, kHeadX + 200, -1, -1},
        {Op::Defect, 5, -1, -1, -1},
    });
    EXPECT_EQ(doc.GetCurrentPile()->GetDefectCount(), 10);
    EXPECT_EQ(doc.m_bModified, 0);
}

TEST_F(Editor, ReadoutsOfTheTraceLayouts) {
    Make(Layout::Single);
    struct Case {
        int x;
        const char *time, *amplitude, *depth, *speed, *points;
    };
    const Case cases[] = {
        {kToeX, "声时: 5.00ms", "幅度: 0.00mv", "深度: 10.0m", "波速: 4000m/s", "数据点数: 290"},
        {110, "声时: 1.20ms", "幅度: 100.00mv", "深度: 2.4m", "波速: 16666m/s", "数据点数: 100"},
        // At and before the head no speed puts the toe there.
        {kHeadX, "声时: 0.00ms", "幅度: 0.00mv", "深度: 0.0m", "波速: ", "数据点数: 40"},
        {20, "声时: -0.60ms", "幅度: 0.00mv", "深度: -1.2m", "波速: ", "数据点数: 10"},
    };
    for (const Case& c : cases) {
        const EditorEffects out = editor.PointerMove(c.x, kY);
        EXPECT_EQ(out.Panes[1].value_or(""), c.time) << c.x;
        EXPECT_EQ(out.Panes[2].value_or(""), c.amplitude) << c.x;
        EXPECT_EQ(out.Panes[3].value_or(""), c.depth) << c.x;
        EXPECT_EQ(out.Panes[4].value_or(""), c.speed) << c.x;
        EXPECT_EQ(out.Panes[5].value_or(""), c.points) << c.x;
    }
    // The wave train reads time from its own left edge and clears the other panes.
    Make(Layout::WaveTrain);
    ViewGeometry g = editor.Geometry();
    g.nTrainX0 = 40;
    g.nTrainX1 = 740;
    editor.SetGeometry(g);
    const EditorEffects train = editor.PointerMove(140, kY);
    EXPECT_EQ(train.Panes[1].value_or(""), "声时: 2000.0us");
    EXPECT_EQ(train.Panes[2].value_or("(none)"), "");
    EXPECT_EQ(train.Panes[5].value_or("(none)"), "");
    EXPECT_EQ(state.m_nGrabbed, -1);
}

TEST_F(Editor, SpectrumMarksWithTheRightButtonAndEnter) {
    Make(Layout::AmplitudeSpectrum);
    const char* kAdd = "按右键在当前位置设置标记。";
    const char* kDelete = "按右键删除当前标记。";
    Play({
        {Op::Move, 110, 110, -1, -1, kAdd},
        {Op::Right, 110, 110, 0, -1, kDelete}, // the new mark lies under the pointer
        {Op::Right, 110, 110, -1, -1, kAdd},   // and goes again
        {Op::Right, 110, 110, 0, -1},
        {Op::Move, 114, 114, -1, -1, kAdd}, // exactly 4 columns away: not grabbed
        {Op::Move, 113, 113, 0, -1, kDelete},
        {Op::Press, 0, 113, 0, 3, kKeys},
        {Op::Release, 0, 113, 0, -1},
        {Op::RightKey, 0, 114, 0, -1},
        {Op::RightKey, 0, 115, 0, -1},
        {Op::Enter, 0, -1, 0, -1}, // the mark moves to column 105 and stays grabbed
    });
    CPileRecord& p = *doc.GetCurrentPile();
    ASSERT_EQ(p.m_nMarkCount, 1);
    EXPECT_EQ(p.m_nMarks[0], 105);
    EXPECT_EQ(doc.m_bModified, 1);
    for (int x : {210, 310, 410, 510}) {
        editor.PointerMove(x, kY);
        editor.RightDown(x, kY);
    }
    ASSERT_EQ(p.m_nMarkCount, 5);
    editor.PointerMove(610, kY);
    const EditorEffects sixth = editor.RightDown(610, kY);
    EXPECT_EQ(p.m_nMarkCount, 5) << "a sixth mark is refused";
    EXPECT_TRUE(sixth.bRepaint) << "the right click still repaints";
    EXPECT_TRUE(sixth.strMessage.empty());
}

TEST_F(Editor, SpectrumReadoutsAndTheMarkSpacing) {
    Make(Layout::PowerSpectrum);
    // 20 us: one spectrum line is 1e6 / (4096 * 20) = 12.207 Hz, five columns.
    EditorEffects out = editor.PointerMove(110, kY);
    EXPECT_EQ(out.Panes[1].value_or(""), "频率: 244.14Hz");
    EXPECT_EQ(out.Panes[2].value_or("(none)"), "");
    EXPECT_EQ(out.Panes[5].value_or("(none)"), "");
    // Marks at 100, 300 and 200 columns: 244.14, 732.42 and 488.28 Hz, 244.14 Hz apart on average;
    // at 4000 m/s that is a pile of 4000 / (2 * 244.14) = 8.2 m.
    for (int c : {100, 300, 200})
        doc.AddSpectrumMark(c);
    out = editor.PointerMove(50, kY);
    EXPECT_EQ(out.Panes[1].value_or(""), "频率: 97.66Hz");
    EXPECT_EQ(out.Panes[2].value_or(""), "峰间距: 244.1Hz  L=c/2Δf: 8.2m");
    // A held mark does not stop the frequency from following the pointer.
    editor.PointerMove(110, kY);
    editor.LeftDown();
    out = editor.PointerMove(400, kY);
    EXPECT_EQ(out.Panes[1].value_or(""), "频率: 952.15Hz");
    EXPECT_EQ(state.m_nCursorX, 110);
}

TEST_F(Editor, ResetTakesTheCursorAndTheGrabAway) {
    Make(Layout::Single);
    editor.PointerMove(kToeX, kY);
    editor.LeftDown();
    const EditorEffects out = editor.Reset();
    EXPECT_EQ(state.m_nCursorX, -1);
    EXPECT_EQ(state.m_nGrabbed, -1);
    EXPECT_EQ(state.m_nInteraction, -1);
    EXPECT_TRUE(out.bResetPanes && out.bRepaint);
    EXPECT_TRUE(editor.Key(EditorKey::Enter).strMessage.empty());
    EXPECT_EQ(doc.m_bModified, 0);
}

TEST_F(Editor, ThreeTracesCarryTheCursorInTheCurrentRowOnly) {
    Make(Layout::ThreeTraces, {PlainRecord(1, Spike), PlainRecord(2, Spike), PlainRecord(3, Spike)});
    ViewGeometry g = editor.Geometry();
    g.nThird = 2; // 600 high: rows 10..203, 203..396, 396..590; the parameter band from x 690
    editor.SetGeometry(g);
    struct Case {
        int x, y;
        bool moves;
    };
    const Case cases[] = {{100, 100, false}, {100, 203, true},  {100, 396, true}, {100, 397, false},
                          {690, 300, true},  {691, 300, false}, {9, 300, false}};
    for (const Case& c : cases) {
        state.m_nCursorX = -1;
        const EditorEffects out = editor.PointerMove(c.x, c.y);
        EXPECT_EQ(state.m_nCursorX, c.moves ? c.x : -1) << c.x << "," << c.y;
        EXPECT_EQ(out.Panes[5].has_value(), c.moves) << c.x << "," << c.y;
    }
}

// Head and toe from the keys and the context menu act on the cursor of the trace only: none on the
// wave train or a spectrum (a spectrum's cursor is a frequency), none without a cursor, and a head off
// the samples is refused. A refusal about the cursor goes to pane 0 and changes nothing.
TEST_F(Editor, HeadAndToeCommandsNeedTheCursorOfTheTrace) {
    const char* kNoHead = "波形上没有光标，未设置桩头：请先把鼠标移到波形上要设置桩头的位置。";
    const char* kNoToe = "波形上没有光标，未设置桩底：请先把鼠标移到波形上要设置桩底的位置。";
    const char* kOffTrace = "桩头不能设在波形的采样点之外";
    struct Case {
        const char* what;
        Layout layout;
        int cursorX; // -1: no cursor
        int shiftX;
        bool head;          // else the toe
        const char* status; // pane 0 (nullptr: not written)
        int headSample;     // afterwards (40 unchanged)
        int speed;          // afterwards (4000 unchanged)
    };
    const Case cases[] = {
        {"head without a cursor", Layout::Single, -1, 0, true, kNoHead, 40, 4000},
        {"toe without a cursor", Layout::Single, -1, 0, false, kNoToe, 40, 4000},
        {"toe without a cursor, three traces", Layout::ThreeTraces, -1, 0, false, kNoToe, 40, 4000},
        {"toe on the amplitude spectrum", Layout::AmplitudeSpectrum, 200, 0, false, kNoToe, 40, 4000},
        {"head on the power spectrum", Layout::PowerSpectrum, 200, 0, true, kNoHead, 40, 4000},
        {"toe on the wave train", Layout::WaveTrain, 200, 0, false, kNoToe, 40, 4000},
        {"head before the first sample", Layout::Single, 20, 20, true, kOffTrace, 40, 4000},
        {"head on the first sample", Layout::Single, 30, 20, true, nullptr, 0, 4000},
        {"head at the cursor", Layout::Single, 70, 0, true, nullptr, 60, 4000},
        {"toe at the cursor", Layout::Single, kToeX + 3, 0, false, nullptr, 40, 3952},
    };
    for (const Case& c : cases) {
        CPileRecord r = PlainRecord(1, Spike);
        r.m_nShiftX = static_cast<int16_t>(c.shiftX);
        Make(c.layout, {r});
        doc.Estimate().m_nLastEntered = 0; // the length was entered last: the toe sets the speed
        state.m_nCursorX = c.cursorX;
        const EditorEffects out = c.head ? editor.SetHead() : editor.SetToe();
        EXPECT_EQ(out.Panes[0].value_or("(none)"), c.status ? c.status : "(none)") << c.what;
        EXPECT_TRUE(out.strMessage.empty()) << c.what;
        const CPileRecord& p = *doc.GetCurrentPile();
        EXPECT_EQ(p.m_nHeadSample, c.headSample) << c.what;
        EXPECT_EQ(p.m_nWaveSpeed, c.speed) << c.what;
        EXPECT_EQ(doc.m_bModified, c.status ? 0 : 1) << c.what;
    }
}

// A defect command without the cursor of the trace adds nothing and says why in the status bar.
TEST_F(Editor, DefectCommandsNeedTheCursorOfTheTrace) {
    const struct {
        const char* what;
        Layout layout;
        int cursorX; // -1: no cursor
    } cases[] = {
        {"no cursor", Layout::Single, -1},
        {"no cursor, three traces", Layout::ThreeTraces, -1},
        {"on the amplitude spectrum", Layout::AmplitudeSpectrum, kHeadX + 100},
        {"on the wave train", Layout::WaveTrain, kHeadX + 100},
    };
    for (const auto& c : cases) {
        Make(c.layout);
        state.m_nCursorX = c.cursorX;
        const EditorEffects out = editor.AddDefect(2);
        EXPECT_EQ(out.Panes[0].value_or("(none)"), "波形上没有光标，未添加缺陷：请先把鼠标移到波形上缺陷所在的位置。") << c.what;
        EXPECT_TRUE(out.strMessage.empty()) << c.what;
        EXPECT_EQ(doc.GetCurrentPile()->GetDefectCount(), 0) << c.what;
        EXPECT_EQ(doc.m_bModified, 0) << c.what;
    }
}

TEST_F(Editor, EnterRefusesAHeadBeforeTheFirstSampleInTheStatusBar) {
    CPileRecord r = PlainRecord(1, Spike);
    r.m_nShiftX = 20; // the head at box column 60, the first sample at column 20
    Make(Layout::Single, {r});
    Play({
        {Op::Move, kHeadX + 20, kHeadX + 20, 1000, -1},
        {Op::SetCursor, 29, 29, 1000, -1},
        {Op::Enter, 0, 29, 1000, -1, "桩头不能设在波形的采样点之外"},
        {Op::RightKey, 0, 30, 1000, -1},
        {Op::Enter, 0, -1, 1000, -1},
    });
    EXPECT_EQ(doc.GetCurrentPile()->m_nHeadSample, 0);
}

// With a tool active the arrows are the tool's, and a marker hovered before the tool was chosen is
// neither moved nor committed by Enter, nor grabbed by the tool's press.
TEST_F(Editor, WithAToolActiveMarkersTakeNoKeys) {
    for (int tool : {cmd::kToolShift, cmd::kToolRotate, cmd::kToolZoomIn, cmd::kToolZoomOut,
                     cmd::kToolLocalZoom}) {
        state = ViewState{};
        Make(Layout::Single);
        doc.m_nToolCode = -1;
        for (int& f : doc.m_bToolFlags)
            f = 0;
        editor.PointerMove(kToeX, kY);
        ASSERT_EQ(state.m_nGrabbed, 1001) << tool;
        doc.ChooseTool(tool);
        ASSERT_NE(doc.m_nToolCode, -1) << tool;
        Play({
            {Op::Left, 0, kToeX, 1001, -1},
            {Op::RightKey, 0, kToeX, 1001, -1},
            {Op::Enter, 0, kToeX, 1001, -1},
            {Op::Press, 0, -1, -1, -1}, // the tool's press: nothing grabbed, the cursor goes
            {Op::Release, 0, -1, -1, -1},
            {Op::Enter, 0, -1, -1, -1},
        });
        EXPECT_EQ(doc.GetCurrentPile()->m_nWaveSpeed, 4000) << tool;
        EXPECT_FLOAT_EQ(doc.GetCurrentPile()->m_fPileLength, 10.f) << tool;
        EXPECT_EQ(doc.m_bModified, 0) << tool;
    }
}

// The wave train draws one sample per column whatever the pile's step: its time readout is that
// sample's, (x - 40) x interval.
TEST_F(Editor, WaveTrainTimeIsTheSampleUnderThePointer) {
    struct Case {
        int step, x;
        const char* time;
    };
    const Case cases[] = {{1, 140, "声时: 2000.0us"}, {2, 140, "声时: 2000.0us"}, {4, 90, "声时: 1000.0us"},
                          {7, 40, "声时: 0.0us"}};
    for (const Case& c : cases) {
        Make(Layout::WaveTrain);
        doc.GetCurrentPile()->m_nStep = static_cast<int16_t>(c.step);
        ViewGeometry g = editor.Geometry();
        g.nTrainX0 = 40;
        g.nTrainX1 = 740;
        editor.SetGeometry(g);
        const EditorEffects out = editor.PointerMove(c.x, kY);
        EXPECT_EQ(out.Panes[1].value_or(""), c.time) << "step " << c.step;
    }
}

// A head a file stored off the trace is drawn on its first or last sample; the readout, the hit test
// and the defect command all measure from there, so the depth read is the depth stored.
TEST_F(Editor, TheDepthReadAtTheCursorIsTheDepthADefectStores) {
    struct Case {
        int headSample;
        int headX; // where the head is drawn
    };
    for (const Case& c : {Case{-11, 10}, Case{-300, 10}, Case{1500, 10 + 1023}}) {
        CPileRecord r = PlainRecord(1, Spike);
        r.m_nHeadSample = static_cast<int16_t>(c.headSample);
        Make(Layout::Single, {r});
        ViewGeometry g = editor.Geometry();
        g.nWidth = 1400; // room for a head on the last sample
        editor.SetGeometry(g);
        EXPECT_EQ((editor.PointerMove(c.headX + 2, kY), state.m_nGrabbed), 1000) << c.headSample;
        const EditorEffects read = editor.PointerMove(c.headX + 178, kY);
        EXPECT_EQ(read.Panes[3].value_or(""), "深度: 7.1m") << c.headSample; // 178 * 20 * 4000 * 5e-7
        ASSERT_TRUE(editor.AddDefect(3).strMessage.empty()) << c.headSample;
        ASSERT_EQ(doc.GetCurrentPile()->GetDefectCount(), 1) << c.headSample;
        EXPECT_FLOAT_EQ(doc.GetCurrentPile()->m_Defects[0].fDepth, 7.1f) << c.headSample;
    }
}

// Commands at the cursor that find nothing to act on say so in pane 0.
TEST_F(Editor, CommandsThatFindNothingSaySoInTheStatusBar) {
    CPileRecord r = PlainRecord(1, Spike);
    for (int i = 0; i < 10; ++i)
        r.m_Defects[i] = DefectMark{2, 1.0f + 0.5f * i};
    Make(Layout::Single, {r});
    editor.PointerMove(kHeadX + 200, kY); // 8.0 m, below the last defect at 5.5 m: none hit
    EXPECT_EQ(editor.DeleteDefect().Panes[0].value_or(""),
              "光标不在缺陷上，未删除缺陷：请先把鼠标移到要删除的缺陷线上。");
    EXPECT_EQ(doc.GetCurrentPile()->GetDefectCount(), 10);
    EXPECT_EQ(editor.AddDefect(5).Panes[0].value_or(""), "这根桩已有10个缺陷，不能再添加。");
    EXPECT_EQ(doc.GetCurrentPile()->GetDefectCount(), 10);
}
