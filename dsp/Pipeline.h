// The processing steps that turn a record's raw samples into its processed trace, as functions over
// arrays, and RunPipeline, which runs them in the record's fixed order.
#pragma once

#include "dsp/Fir.h"
#include "dsp/Windows.h"

#include <optional>
#include <span>

namespace pw {

// All steps work in place on the whole array (n = x.size(), kTraceSamples for a record) and allocate
// nothing. Their arguments come from files: ranges are clamped to the array, and a step whose numbers
// cannot be used (NaN, infinity, a zero divisor) returns false and leaves the array unchanged.

// Subtracts the mean of the first five samples from every sample (the mean is rounded to float first,
// so five equal leading samples become exactly 0). Arrays shorter than 5 are left unchanged.
bool RemoveDC(std::span<float> x);

// Zeroes the first k / the last k samples; k <= 0 does nothing, k beyond the array zeroes all of it.
void ZeroLeading(std::span<float> x, int k);
void ZeroTrailing(std::span<float> x, int k);

// Local amplification: x[k·step] *= factor + 1 for from <= k < to (display points; only the samples
// the view draws are touched). Indices outside the array are skipped. Refused (false, unchanged) when
// step < 1 or the factor is not finite.
bool ApplySegment(std::span<float> x, int from, int to, float factor, int step);

// Running trapezoid integration into work, then copied back into x: y[0] = x[0]; for 1 <= i <= span
// y[i] = (sum_{k<i} (x[k]+x[k+1])/2) / (i+1); beyond span the sum runs over the last span trapezoids
// and is divided by span. Sums in long double. Refused when span < 1 or work is shorter than x.
bool RunningTrapezoid(std::span<float> x, int span, std::span<float> work);

enum GainMode : int { kGainExponential = 0 }; // any other value is linear

// Gain ramp, sample indices. Exponential: x[i] *= exp(ln g · (i-start)/(end-start)) for start <= i <
// end; linear: x[i] *= g/(end-start) · (i-start) + 1; both: x[i] *= g for end <= i < n. Samples before
// start are unchanged; indices outside the array are skipped (the ramp still runs from start to end).
// Refused when g is not a positive finite number.
bool ApplyGain(std::span<float> x, int mode, long long start, long long end, double g);

// The gain ramp of a record in sample indices: start = step · (head + trunc(ppm · delay)), end =
// min(n, step · (head + trunc(ppm · L))), ppm = PointsPerMetre. nullopt when ppm or either product is
// not finite; the values are clamped to ±1e15 so later arithmetic cannot overflow.
struct GainRange {
    long long start = 0;
    long long end = 0;
};
std::optional<GainRange> GainRangeOf(int step, int headPoint, float dt, int speed, float gainDelay,
                                     float length, int n);

// The gain curve the view draws, in display points from the head, values 0..20 truncated to integers:
// count = trunc(ppm · delay), end = trunc(ppm · L); zero before count; from count to end linear 20 ·
// (i-count)/(end-count) or exponential exp(ln g · (i-count)/(end-count)) · 20/g; g <= 1 + 1e-10 gives
// zeros. Writes min(end, out.size()) values and returns that count (0 when ppm is unusable).
int GainCurve(std::span<int> out, int step, float dt, int speed, float gainDelay, float length, float gain,
              int mode);

// Rotation: x[i] += r · i / 1024 (r · 0.0009765625 · i).
void Rotate(std::span<float> x, int r);

// The record fields the pipeline reads (after the caller has copied the raw samples and applied the
// amplified segments, which are the record's own list).
struct PipelineParams {
    int nStep = 1;
    int nHeadPoint = 0;
    int nWindowType = kWindowHann;
    bool bRemoveDC = false;
    int nPreZero = 0;
    int nPostCut = 0;
    float fLowPass = 0.0f; // kHz
    int nLowPassPasses = 1;
    float fHighPass = 0.0f; // Hz
    bool bIntegrate = false;
    float fGain = 1.0f;
    int nGainMode = 0;
    float fGainDelay = 0.0f; // m
    float fPileLength = 0.0f;
    int nWaveSpeed = 0;
    float fSampleInterval = 0.0f; // microseconds
    int nRotate = 0;
};

// What the run leaves for the record's bookkeeping fields.
struct PipelineResult {
    std::optional<int> nFirTaps;   // set when a filter ran (the high-pass length wins when both ran)
    std::optional<int> nIntegSpan; // set when integration ran
    bool bFilterRefused = false;   // a design was refused, so the trace is all zero from that step on
};

// Steps after the segments, in order: DC removal, pre-zero, post-cut, low-pass (passes clamped to 0..5),
// high-pass (one pass), integration (span 1024), gain, rotation, DC removal again. A filter or the gain
// is skipped when dt (and for the gain c) is not a positive finite number.
PipelineResult RunPipeline(const PipelineParams& p, std::span<float> x, const FirBuffers& buffers);

} // namespace pw
