// The tools' arithmetic on the record, the three-trace row choice and which piles fill the rows.
#include <gtest/gtest.h>

#include "ViewFixtures.h"
#include "view/TraceGeometry.h"
#include "core/ViewTools.h"

using namespace pw;
using namespace pw::test;

struct KeyCase {
    const char* name;
    ViewTool tool;
    ToolKey key;
    int zoom, shiftX, shiftY, rotate; // before
    bool changed;
    int zoomAfter, shiftXAfter, shiftYAfter, rotateAfter;
};

class ViewToolKeys : public ::testing::TestWithParam<KeyCase> {};

TEST_P(ViewToolKeys, ChangeTheRecord) {
    const KeyCase& c = GetParam();
    CPileRecord rec = PlainRecord(1, Spike);
    rec.m_nZoom = static_cast<int16_t>(c.zoom);
    rec.m_nShiftX = static_cast<int16_t>(c.shiftX);
    rec.m_nShiftY = static_cast<int16_t>(c.shiftY);
    rec.m_nRotate = static_cast<int16_t>(c.rotate);
    EXPECT_EQ(ToolKeyPress(rec, c.tool, c.key, ToolDrag{}), c.changed);
    EXPECT_EQ(rec.m_nZoom, c.zoomAfter);
    EXPECT_EQ(rec.m_nShiftX, c.shiftXAfter);
    EXPECT_EQ(rec.m_nShiftY, c.shiftYAfter);
    EXPECT_EQ(rec.m_nRotate, c.rotateAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewToolKeys,
    ::testing::Values(
        KeyCase{"translate_up", kToolTranslate, kKeyUp, 0, 5, 7, 0, true, 0, 5, 8, 0},
        KeyCase{"translate_down", kToolTranslate, kKeyDown, 0, 5, 7, 0, true, 0, 5, 6, 0},
        KeyCase{"translate_left", kToolTranslate, kKeyLeft, 0, 5, 7, 0, true, 0, 4, 7, 0},
        KeyCase{"translate_right", kToolTranslate, kKeyRight, 0, 5, 7, 0, true, 0, 6, 7, 0},
        KeyCase{"rotate_up", kToolRotate, kKeyUp, 0, 0, 0, 3, true, 0, 0, 0, 4},
        KeyCase{"rotate_down", kToolRotate, kKeyDown, 0, 0, 0, 3, true, 0, 0, 0, 2},
        KeyCase{"rotate_left_ignored", kToolRotate, kKeyLeft, 0, 0, 0, 3, false, 0, 0, 0, 3},
        KeyCase{"zoom_in_up", kToolZoomIn, kKeyUp, 4, 0, 0, 0, true, 5, 0, 0, 0},
        KeyCase{"zoom_out_down", kToolZoomOut, kKeyDown, -9, 0, 0, 0, true, -10, 0, 0, 0},
        KeyCase{"zoom_down_at_floor", kToolZoomIn, kKeyDown, -10, 0, 0, 0, false, -10, 0, 0, 0},
        KeyCase{"zoom_down_below_floor", kToolZoomOut, kKeyDown, -12, 0, 0, 0, false, -12, 0, 0, 0},
        KeyCase{"zoom_up_from_floor", kToolZoomOut, kKeyUp, -10, 0, 0, 0, true, -9, 0, 0, 0},
        KeyCase{"tool_two_does_nothing", kToolCode2, kKeyUp, 0, 0, 0, 0, false, 0, 0, 0, 0},
        KeyCase{"shift_saturates", kToolTranslate, kKeyRight, 0, 32767, 0, 0, true, 0, 32767, 0, 0}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClickCase {
    ViewTool tool;
    int zoom;
    bool changed;
    int zoomAfter;
};

class ViewZoomClick : public ::testing::TestWithParam<ClickCase> {};

TEST_P(ViewZoomClick, StepsOfTwoDownToTheFloor) {
    const ClickCase& c = GetParam();
    CPileRecord rec = PlainRecord(1, Spike);
    rec.m_nZoom = static_cast<int16_t>(c.zoom);
    EXPECT_EQ(ZoomClick(rec, c.tool), c.changed);
    EXPECT_EQ(rec.m_nZoom, c.zoomAfter);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, ViewZoomClick,
    ::testing::Values(ClickCase{kToolZoomIn, 0, true, 2}, ClickCase{kToolZoomIn, -10, true, -8},
                      ClickCase{kToolZoomOut, 0, true, -2}, ClickCase{kToolZoomOut, -8, true, -10},
                      ClickCase{kToolZoomOut, -9, true, -10}, ClickCase{kToolZoomOut, -10, false, -10},
                      ClickCase{kToolZoomOut, -11, false, -11}, ClickCase{kToolTranslate, 0, false, 0}));

TEST(ViewToolDrag, TranslateFollowsThePointerFromThePressPoint) {
    CPileRecord rec = PlainRecord(1, Spike);
    // Press at (100, 200) with offsets (5, 3): the pile moves with the pointer, right and up.
    TranslateDrag(rec, 100, 200, 5, 3, 130, 180);
    EXPECT_EQ(rec.m_nShiftX, 35);
    EXPECT_EQ(rec.m_nShiftY, 23);
    TranslateDrag(rec, 100, 200, 5, 3, 100, 200); // back at the press point: the old offsets
    EXPECT_EQ(rec.m_nShiftX, 5);
    EXPECT_EQ(rec.m_nShiftY, 3);
}

TEST(ViewToolDrag, RotateAddsEachVerticalStep) {
    CPileRecord rec = PlainRecord(1, Spike);
    rec.m_nRotate = 10;
    RotateDrag(rec, 200, 190); // from the press point
    RotateDrag(rec, 190, 185);
    RotateDrag(rec, 185, 195);
    EXPECT_EQ(rec.m_nRotate, 10 + 10 + 5 - 10);
}

struct LocalZoomCase {
    const char* name;
    int x0, x1, shiftX, step, up;
    int from, to; // the segment the pile records
};

class ViewLocalZoom : public ::testing::TestWithParam<LocalZoomCase> {};

TEST_P(ViewLocalZoom, HandsThePileTheRectanglesColumns) {
    const LocalZoomCase& c = GetParam();
    CPileRecord rec = PlainRecord(1, Spike);
    rec.m_nStep = static_cast<int16_t>(c.step);
    rec.m_nShiftX = static_cast<int16_t>(c.shiftX);
    ASSERT_TRUE(ToolKeyPress(rec, kToolLocalZoom, c.up ? kKeyUp : kKeyDown, ToolDrag{c.x0, c.x1}));
    ASSERT_EQ(rec.GetSegmentCount(), 1);
    EXPECT_EQ(rec.m_pSegments[0].nFrom, c.from);
    EXPECT_EQ(rec.m_pSegments[0].nTo, c.to);
    EXPECT_EQ(rec.m_pSegments[0].fFactor > 0, c.up == 1);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewLocalZoom,
                         ::testing::Values(LocalZoomCase{"enlarge", 110, 210, 0, 1, 1, 100, 200},
                                           LocalZoomCase{"reduce", 110, 210, 0, 1, 0, 100, 200},
                                           LocalZoomCase{"offset", 110, 210, 20, 1, 1, 80, 180},
                                           LocalZoomCase{"dragged_leftwards", 210, 110, 0, 1, 1, 100, 200},
                                           LocalZoomCase{"right_edge_held_at_trace_end", 110, 900, 0, 2, 1,
                                                         100, 502}),
                         [](const auto& info) { return std::string(info.param.name); });

struct RowPilesCase {
    int third, n, cur, prev, next;
    std::array<int, 3> rows;
};

class ViewRowPiles : public ::testing::TestWithParam<RowPilesCase> {};

TEST_P(ViewRowPiles, NeighboursFillTheRows) {
    const RowPilesCase& c = GetParam();
    EXPECT_EQ(ThreeRowPiles(c.third, c.n, c.cur, c.prev, c.next), c.rows);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewRowPiles,
                         ::testing::Values(RowPilesCase{1, 10, 4, 3, 5, {4, 5, 6}},
                                           RowPilesCase{1, 10, 9, 8, 10, {9, 10, 1}}, // next = n wraps
                                           RowPilesCase{2, 10, 4, 3, 5, {3, 4, 5}},
                                           RowPilesCase{3, 10, 4, 3, 5, {2, 3, 4}},
                                           RowPilesCase{3, 10, 2, 1, 3, {10, 1, 2}}, // prev = 1 wraps
                                           RowPilesCase{2, 1, 1, -1, -1, {1, 0, 0}},
                                           RowPilesCase{1, 2, 1, -1, -1, {1, 2, 0}},
                                           RowPilesCase{2, 2, 2, -1, -1, {1, 2, 0}},
                                           RowPilesCase{3, 2, 2, -1, -1, {1, 2, 0}})); // third held to 2

struct ChooseRowCase {
    int y, n;
    int row;
    bool stop;
};

class ViewChooseRow : public ::testing::TestWithParam<ChooseRowCase> {};

// Client height 620: t = 200, u = 400.
TEST_P(ViewChooseRow, PressHeightPicksARow) {
    const ChooseRowCase& c = GetParam();
    const RowChoice r = ChooseRow(c.y, 620, c.n);
    EXPECT_EQ(r.nRow, c.row);
    EXPECT_EQ(r.bStop, c.stop);
}

INSTANTIATE_TEST_SUITE_P(Cases, ViewChooseRow,
                         ::testing::Values(ChooseRowCase{10, 5, 0, false}, ChooseRowCase{11, 5, 1, false},
                                           ChooseRowCase{209, 5, 1, false}, ChooseRowCase{210, 5, 2, false},
                                           ChooseRowCase{409, 5, 2, false}, ChooseRowCase{410, 5, 0, false},
                                           ChooseRowCase{411, 5, 3, false}, ChooseRowCase{609, 5, 3, false},
                                           ChooseRowCase{610, 5, 0, false}, ChooseRowCase{300, 1, 0, true},
                                           ChooseRowCase{500, 2, 0, true}, ChooseRowCase{300, 2, 2, false}));

TEST(ViewGeometry, AmplitudeScaleUsesTheAbsoluteHalfRange) {
    EXPECT_DOUBLE_EQ(AmplitudeScale(480, 2.0), 45.0);
    EXPECT_DOUBLE_EQ(AmplitudeScale(200, 2.0), 25.0) << "a box under 300 units keeps a positive scale";
    EXPECT_DOUBLE_EQ(AmplitudeScale(301, 1.0), 37.0) << "an eighth of the box, not the integer half of 1";
    EXPECT_DOUBLE_EQ(AmplitudeScale(480, 0.0), 0.0) << "flat trace";
}

// The half-range never falls below an eighth of the box: boxes about 300 high (an 800 x 560 window,
// the three rows of a maximised 1920 x 1080 one) used to draw their trace a few pixels high. Boxes up
// to 240 (pictures, most printed cells) and from 400 up keep |(h - 300) / 2|.
TEST(ViewGeometry, HalfRangeIsNeverBelowAnEighthOfTheBox) {
    const std::pair<int, int> cases[] = {
        {100, 100}, {200, 50}, {240, 30}, // |(h - 300) / 2|
        {250, 31},  {280, 35}, {300, 37}, {301, 37}, {310, 38}, {330, 41}, {360, 45}, {399, 49}, // h / 8
        {400, 50},  {480, 90}, {900, 300},                                                     // again
    };
    for (const auto& [h, half] : cases) {
        EXPECT_EQ(AmplitudeHalfRange(h), half) << h;
        EXPECT_GE(AmplitudeHalfRange(h), h / 8) << h;
    }
}
