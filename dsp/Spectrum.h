// Amplitude, power and phase spectra of a trace (4096-point zero-padded transform, 1024 bins kept),
// the one-sided autocorrelation behind the power spectrum, and the frequency axis.
#pragma once

#include <optional>
#include <span>

namespace pw {

enum SpectrumKind : int { kSpectrumAmplitude = 0, kSpectrumPower = 1 }; // any other value: phase

// r[i] = sum_{j=0}^{n-1} x[i+j]·x[j] with x[k] = 0 for k >= n, lags i = 0 .. n-1, summed in extended
// precision (double products of floats are exact; a trailing run of zeros is skipped). Does nothing
// and returns false when n <= 0 or either array is shorter than n; r must not overlap x.
bool AutoCorrelate(std::span<const float> x, std::span<float> r, int n);

// The spectrum of the first 1024 trace samples (fewer if the trace is shorter; the rest is zero):
//   amplitude: |X[k]| of the 4096-point forward transform;
//   power: |R[k]| where R is the transform of the autocorrelation over all 4096 lags of the padded trace;
//   phase: atan(im/re) in degrees, ±90 where |re| <= 1e-6·|im| (+90 only when re·im > 0).
// Not normalised, no window. Writes out[0 .. min(1024, out.size()) - 1] and returns the largest of
// those values, starting from 0 (never negative). Work arrays live on the stack; nothing is allocated.
float TraceSpectrum(std::span<const float> trace, int kind, std::span<float> out);

// Phase of one bin in degrees, -90 .. 90: atan(im/re), or ±90 where |re| <= 1e-6·|im| (+90 only when
// re·im > 0, so a bin (0, 5) gives -90). A bin (0, 0) gives -90 as well.
float PhaseDegrees(float re, float im);

// Frequency step in Hz of an n-point transform at dt microseconds: 1,000,000 / (n · dt). nullopt when
// n <= 0 or dt is not a positive finite number (no axis can be drawn).
std::optional<double> BinWidth(int n, double dt);

// Frequency of spectrum bin k: BinWidth(4096, dt) · k.
std::optional<double> BinFrequency(int k, double dt);

} // namespace pw
