// Processing of a pile record as pure functions (fit the step to a width, process at a step, its
// spectra), the cache that keeps processed traces by record, revision and step, and the few calls that
// settle a record's step and write it back.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <span>
#include <unordered_map>

#include "core/CPileRecord.h"

namespace pw {

// What a processing run worked out besides the trace.
struct ProcessInfo {
    int nStep = 1;                 // the step the trace was made at (a damaged one taken as 1..1024)
    int nHeadPoint = 0;            // head sample / step
    std::optional<int> nFirTaps;   // FIR length of the last filter pass, when a filter ran
    std::optional<int> nIntegSpan; // span of the running-trapezoid step, when it ran
};

// A step read from a file may be 0, negative or huge: a display point is 1..1024 samples.
int ClampedStep(long long step);

// The smallest whole step that puts the toe inside width minus 50 points after the head, searched from
// the record's own step with the head at fromHeadPoint (each round takes the head point of the step
// before). A record that cannot be processed keeps its step.
int FitStep(const CPileRecord& rec, int width, int fromHeadPoint);

// The step a trace area `columns` wide draws rec at when it must show the whole pile (a printed cell,
// a picture, a report picture): fitted as the screen fits its own width, from the head at the
// record's own step, so the toe lands at least 50 columns inside the area's right edge. The record
// keeps its own step; a record that cannot be processed is drawn at it.
int AreaStep(const CPileRecord& rec, int columns);

// The processed trace of rec at step into out: the raw samples with the amplified segments, then the
// pipeline. A record that cannot turn time into depth gives its raw samples.
ProcessInfo ProcessRecord(const CPileRecord& rec, int step, std::span<float, kSamples> out);

// Largest and smallest of trace[0], [k], [2k], ... (min(points, 1024 / k) of them), both starting at 0;
// a k below 1 reads as 1.
void TraceRangeOf(std::span<const float, kSamples> trace, int k, int points, float& max, float& min);

// Processed traces by record (its address), revision and step. A trace stays valid until the next
// call for the same record, or until the cache is cleared when it has grown past its bound.
class CTraceCache {
public:
    const float* Trace(const CPileRecord& rec, int step);
    const ProcessInfo& Info(const CPileRecord& rec, int step);
    void Clear() { m_Entries.clear(); }

private:
    struct CEntry {
        uint32_t nRevision = 0;
        int nStep = 0;
        ProcessInfo Info;
        std::unique_ptr<float[]> pTrace;
    };
    CEntry& Find(const CPileRecord& rec, int step);
    std::unordered_map<const CPileRecord*, CEntry> m_Entries;
};

// The cache of the calling thread (printing and pictures may run beside the window's thread).
CTraceCache& TraceCache();

// The processed trace at the record's own step, as it stands (no fit).
const float* ProcessedTrace(const CPileRecord& rec);
// The spectrum (0 amplitude, 1 power, other phase) of that trace into out; returns the largest value
// (never negative).
float RecordSpectrum(const CPileRecord& rec, int kind, std::span<float, kSamples> out);

// Sample i of that trace; 0 outside it.
float SampleAt(const CPileRecord& rec, int i);

// The record as a view shows it: itself, or, when it changed since its step was last settled, a copy
// in scratch with the step settled (the record keeps its own step).
const CPileRecord& ShownRecord(const CPileRecord& rec, std::optional<CPileRecord>& scratch);

// --- the calls that write the step back into the record ---
// Fits the step to width (display points) and remembers the width; returns the step.
int FitViewStep(CPileRecord& rec, int width);
// A record changed since its step was last settled gets its step fitted again to the width it last
// had; then its trace, as ProcessedTrace. Every reader that must see the step the view would show
// (averaging, the CLI's trace) comes through here.
const float* SettleStep(CPileRecord& rec);

} // namespace pw
