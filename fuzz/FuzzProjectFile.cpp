// Fuzz target: the project-file reader, and what the window does with every record it read. Whatever
// the reader keeps must survive a version-3 write and a second read unchanged; then each record is
// processed, its spectra computed and its plot geometry walked for several box widths, with every
// sample index checked against the trace (an index past m_fTrace would land inside the record, where
// the address sanitizer cannot see it).
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/PlotGeometry.h"
#include "core/ProjectFile.h"

namespace {

void Check(bool ok) {
    if (!ok) std::abort();
}

volatile float g_Sink; // keeps the reads of the trace from being optimised away

void Read(const float* values, int index) {
    Check(index >= 0 && index < pw::kSamples);
    g_Sink = values[index];
}

// What drawing one record in a box `width` columns wide reads.
void WalkPlots(pw::CPileRecord& rec, int width) {
    rec.SetViewPoints(width);
    const float* trace = rec.GetTrace();
    const pw::TraceColumns cols = pw::TracePolyline(rec, width);
    Check(cols.nFirst <= cols.nEnd && cols.nEnd <= std::max(width, cols.nFirst));
    for (int i = cols.nFirst; i < cols.nEnd; ++i) {
        Read(trace, cols.SampleOfColumn(i));
        Read(trace, cols.SampleOfColumn(i) + cols.nStep);
    }
    const int segments = pw::TrainSegments(width, pw::PlotPostCut(rec));
    for (int i = 0; i < segments; ++i) {
        Read(trace, i);
        Read(trace, i + 1);
    }
    // Head, toe and defect columns and the gain curve between them.
    const int head = pw::PlotHeadColumn(rec);
    if (const auto toe = rec.ToePoint(); toe && *toe > 0) {
        std::vector<int> gain(static_cast<std::size_t>(std::min(*toe, 4 * pw::kSamples)));
        Check(rec.GainCurve(gain) <= static_cast<int>(gain.size()));
    }
    for (int i = 0; i < rec.GetDefectCount(); ++i) {
        int type = 0, point = 0;
        Check(rec.GetDefect(i, type, point) == 1);
    }
    for (int x = 0; x < width; x += 97) {
        rec.ClassifyPoint(x - head);
        rec.FindDefectNearPoint(x - head);
        rec.FindMark(x);
        g_Sink = rec.GetSample(x * pw::PlotStep(rec));
    }
}

void WalkSpectra(pw::CPileRecord& rec, int width) {
    for (int kind : {0, 1}) {
        const float max = rec.ComputeSpectrum(kind);
        Check(!(max < 0));
        const int lines = pw::SpectrumLineCount(width, 5);
        for (int i = 0; i < lines; ++i)
            Read(rec.m_fWork, i);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    pw::CMemorySource src(data, size);
    pw::CProjectData first;
    pw::ReadProject(src, first);
    if (first.m_Header.m_nPileCount != static_cast<int>(first.m_Piles.size())) std::abort();

    pw::CMemorySink written;
    if (!pw::WriteProject(written, first.m_Header, first.m_Piles)) std::abort();
    pw::CMemorySource again(written.m_Bytes);
    pw::CProjectData second;
    if (!pw::ReadProject(again, second).m_bOk || second.m_Piles.size() != first.m_Piles.size()) std::abort();
    pw::CMemorySink rewritten;
    pw::WriteProject(rewritten, second.m_Header, second.m_Piles);
    if (rewritten.m_Bytes != written.m_Bytes) std::abort();

    for (pw::CPileRecord& rec : first.m_Piles) {
        for (int width : {0, 1, 57, 780, 1023, 1024, 1500, 6000})
            WalkPlots(rec, width);
        WalkSpectra(rec, 6000);
    }
    return 0;
}
