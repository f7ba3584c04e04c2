// The plots' index arithmetic: whatever a file put in post-cut, step, head sample and offset, every
// sample a polyline, the wave train or the spectrum curve reads lies inside the 1024 of a trace, and
// the polyline ends where the post-cut says.
#include <algorithm>
#include <climits>

#include <gtest/gtest.h>

#include "core/PlotGeometry.h"

using namespace pw;

TEST(PlotGeometry, PolylineEndsBeforeThePostCut) {
    struct Case {
        int width, offset, step, postCut;
        int first, end; // columns drawn
    };
    const Case cases[] = {
        {780, 0, 1, 0, 0, 780},        // the box is narrower than the trace
        {2000, 0, 1, 0, 0, 1023},      // last segment joins samples 1022 and 1023
        {2000, 0, 1, 100, 0, 923},     // ends 100 samples earlier
        {2000, 0, 3, 0, 0, 341},       // last segment 1020 -> 1023
        {2000, 0, 1, -32768, 0, 1023}, // a negative post-cut from a file cuts nothing
        {2000, 0, 1, 5000, 0, 0},      // a post-cut over the whole trace leaves nothing
        {2000, 0, -7, 0, 0, 1023},     // a damaged step is one sample
        {2000, 0, 4096, 0, 0, 0},      // a step over the trace: no segment fits
        {780, 30, 1, 0, 30, 780},      // the trace starts at the offset
        {780, -200, 1, 0, -1, 780},    // columns left of the box are skipped but one
        {780, -32768, 1, 0, -1, -1},   // offset so far left that the trace ended before the box
        {780, 32767, 1, 0, 32767, 32767}, {0, 0, 1, 0, 0, 0},
    };
    for (const Case& c : cases) {
        const TraceColumns cols = TracePolyline(c.width, c.offset, c.step, c.postCut);
        EXPECT_EQ(cols.nFirst, c.first) << c.width << " " << c.offset << " " << c.step << " " << c.postCut;
        EXPECT_EQ(cols.nEnd, c.end) << c.width << " " << c.offset << " " << c.step << " " << c.postCut;
    }
}

TEST(PlotGeometry, EveryIndexStaysInsideTheTrace) {
    for (int width : {0, 1, 500, 1023, 1024, 1025, 5000})
        for (int offset : {SHRT_MIN, -1000, -1, 0, 7, 900, SHRT_MAX})
            for (int step : {SHRT_MIN, 0, 1, 2, 5, 1023, 1024, SHRT_MAX})
                for (int postCut : {SHRT_MIN, -1, 0, 1, 1000, 1023, 1024, SHRT_MAX}) {
                    const TraceColumns c = TracePolyline(width, offset, step, postCut);
                    ASSERT_LE(c.nFirst, c.nEnd);
                    const int limit = 1024 - std::clamp(postCut, 0, 1024);
                    for (int i = c.nFirst; i < c.nEnd; ++i) {
                        ASSERT_GE(c.SampleOfColumn(i), 0);
                        ASSERT_LT(c.SampleOfColumn(i) + c.nStep, limit);
                    }
                    const int segments = TrainSegments(width, postCut);
                    ASSERT_LE(segments + 1, std::max(1, limit)) << width << " " << postCut;
                    ASSERT_LE(segments, std::min(width, 1024));
                }
    EXPECT_EQ(TrainSegments(1024, 0), 1023) << "a train 1024 columns wide stops at the last sample";
    EXPECT_EQ(TrainSegments(1024, -32768), 1023);
    EXPECT_EQ(TrainSegments(600, 0), 600);
    EXPECT_EQ(SpectrumLineCount(780, 5), 157);
    EXPECT_EQ(SpectrumLineCount(6000, 5), 1024);
}

TEST(PlotGeometry, RecordFieldsAsThePlotsTakeThem) {
    CPileRecord r;
    r.m_nStep = -3;
    r.m_nHeadSample = -300;
    r.m_nPostCut = -32768;
    r.m_nPreZero = 2000;
    r.m_nShiftX = 12;
    EXPECT_EQ(PlotStep(r), 1);
    EXPECT_EQ(PlotHeadSample(r), 0);
    EXPECT_EQ(PlotPostCut(r), 0);
    EXPECT_EQ(PlotPreZero(r), 1024);
    EXPECT_EQ(PlotHeadColumn(r), 12);
    EXPECT_EQ(r.m_nPostCut, -32768) << "the record keeps what the file held";
    r.m_nStep = 4;
    r.m_nHeadSample = 2000;
    EXPECT_EQ(PlotHeadColumn(r), 1023 / 4 + 12);
}
