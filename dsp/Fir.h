// Windowed-sinc FIR design (low-pass, high-pass, band-pass, band-stop), causal convolution over a trace,
// and the filter step of the pipeline with its tap-count rules.
#pragma once

#include <span>

namespace pw {

enum FilterKind : int { kFilterLowPass = 1, kFilterHighPass = 2, kFilterBandPass = 3, kFilterBandStop = 4 };

// Designs an n-tap filter into taps[0 .. n-1] (window values into window[0 .. n-1]); f1, f2 and fs in Hz,
// f2 used by band-pass and band-stop only. Returns false when the design is refused; the first n taps
// (as many as fit) are then all zero, so the filter output is all zero. Refused: n even, n <= 0, n
// larger than either buffer, window kind outside 1..7, filter kind outside 1..4, fs not a positive
// finite number, f1/fs outside 0 .. 0.5 or NaN; for band kinds also f1/fs >= f2/fs or f2/fs >= 0.5.
// Taps are symmetric in value only up to the window's asymmetry: taps[i] and taps[n-1-i] both use
// window[i]; the centre tap is not windowed.
bool DesignFir(int n, int kind, double f1, double f2, double fs, int windowKind, std::span<float> taps,
               std::span<float> window);

// Causal convolution of the first n samples: out[i] = sum_{k<=i} signal[k]·taps[i-k], summed in extended
// precision and stored as float. Before summing it zeroes signal[keep .. n-1] in place (the pipeline
// passes keep = n - nTaps + 1, so the last nTaps - 1 input samples never contribute) and taps[nTaps ..
// n-1], so taps must hold n values. The output lags by (nTaps-1)/2 samples; there is no delay
// compensation. keep and nTaps are clamped to 0..n. Returns false and touches nothing when n <= 0 or a
// buffer is shorter than n. out must not overlap signal or taps.
bool Convolve(std::span<float> signal, std::span<float> taps, std::span<float> out, int keep, int nTaps,
              int n);

// The record's fixed buffers used by one filter step.
struct FirBuffers {
    std::span<float> coef;   // taps; at least as long as the signal (the convolution clears the rest)
    std::span<float> window; // window values; at least nTaps
    std::span<float> work;   // filter output; at least as long as the signal
};

// One filter step on the whole signal: f1 above fs/2 is designed at exactly fs/2, then DesignFir and
// Convolve(signal, coef, work, n - nTaps + 1, nTaps, n) with n = signal.size(), and the result in work
// is copied back into signal. A refused design (a window buffer shorter than nTaps included) yields an
// all-zero signal and returns false; when coef or work is shorter than the signal it returns false and
// touches nothing.
bool RunFilter(int nTaps, int kind, double f1, double fs, int windowKind, std::span<float> signal,
               const FirBuffers& buffers);
bool LowPass(int nTaps, double cutoffHz, double fs, int windowKind, std::span<float> signal,
             const FirBuffers& buffers);
bool HighPass(int nTaps, double cutoffHz, double fs, int windowKind, std::span<float> signal,
              const FirBuffers& buffers);

// Tap counts of the pipeline's filters (dt in microseconds), both odd and at most kMaxFirTaps:
// low-pass trunc(1000 / (cutoff kHz · dt)) made odd by adding 1; high-pass trunc(100000 / (2 · cutoff Hz
// · dt)) made odd by subtracting 1. Returns 0 (filter off) when the cutoff is not above 1e-10 or dt is
// not a positive finite number. A high-pass shorter than 1 tap is clamped to 1 (a one-tap filter).
int LowPassTaps(float cutoffKHz, float dt);
int HighPassTaps(float cutoffHz, float dt);

} // namespace pw
