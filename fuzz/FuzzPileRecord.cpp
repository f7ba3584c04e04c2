// Fuzz target: what the window does with one record the project reader kept. The input is a
// layout byte (version 1 + byte % 3), the width of the plot box (two bytes, little-endian, modulo
// 8192) and one record in that version's layout. A record read whole is processed, its plot
// geometry walked at that width and both spectra computed, with every sample index checked against
// the trace (the trace is a heap block of its own, so the address sanitizer sees a read past it).
#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/PlotGeometry.h"
#include "core/ProjectFile.h"
#include "core/TraceProcessing.h"

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
    pw::FitViewStep(rec, width);
    const float* trace = pw::SettleStep(rec);
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
        g_Sink = pw::SampleAt(rec, x * pw::PlotStep(rec));
    }
}

void WalkSpectra(const pw::CPileRecord& rec, int width) {
    std::array<float, pw::kSamples> spectrum{};
    for (int kind : {0, 1}) {
        const float max = pw::RecordSpectrum(rec, kind, spectrum);
        Check(!(max < 0));
        const int lines = pw::SpectrumLineCount(width, 5);
        for (int i = 0; i < lines; ++i)
            Read(spectrum.data(), i);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 3) return 0;
    const int version = 1 + data[0] % 3;
    const int width = (data[1] | data[2] << 8) % 8192;
    pw::CMemorySource src(data + 3, size - 3);
    pw::CPileRecord rec;
    std::vector<std::string> notes;
    // The reader keeps only whole records: a short one never reaches the window.
    if (!pw::ReadPile(src, rec, version, &notes)) return 0;
    WalkPlots(rec, width);
    WalkSpectra(rec, width);
    return 0;
}
