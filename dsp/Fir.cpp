// Windowed-sinc FIR design and causal convolution.
#include "dsp/Fir.h"

#include "dsp/Samples.h"
#include "dsp/Windows.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace pw {

namespace {

bool Fits(std::span<float> buffer, int n) {
    return n >= 0 && static_cast<std::size_t>(n) <= buffer.size();
}

// out[i] = sum over taps j in [jlo, jhi) with 0 <= i - j < keep of taps[j] · signal[i - j]: zero taps at
// either end (a Hann window zeroes the first and the last tap) and the zeroed tail of the signal are
// skipped. The sums run tap by tap over a block of outputs (no reduction in the inner loop, so it
// vectorises), in double: a float tap times a float sample is exact in double, and a double sum of at
// most 1024 such products stays far inside the error the long double sum allows.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
__attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
void ConvolveKernel(const float* __restrict signal, const float* __restrict taps, float* __restrict out, int n,
                    int keep, int jlo, int jhi) {
    constexpr int kBlock = 1024;
    double acc[kBlock];
    for (int base = 0; base < n; base += kBlock) {
        const int blockEnd = std::min(n, base + kBlock);
        std::fill_n(acc, blockEnd - base, 0.0);
        // Tap j meets outputs [j, j + keep) of this block.
        auto one = [&](int j, int lo, int hi) {
            const double t = taps[j];
            for (int i = lo; i < hi; ++i)
                acc[i - base] += t * signal[i - j];
        };
        // Four taps per sweep over the outputs they all meet: a quarter of the loads and stores of acc.
        int j = jlo;
        for (; j + 4 <= jhi; j += 4) {
            const int lo = std::max(j + 3, base);
            const int hi = std::min(blockEnd, j + keep); // j + keep <= 2n: no overflow
            for (int q = 0; q < 4; ++q) {
                const int from = std::max(j + q, base);
                const int to = std::min(blockEnd, j + q + keep);
                if (lo >= hi) {
                    one(j + q, from, to);
                } else {
                    one(j + q, from, lo);
                    one(j + q, hi, to);
                }
            }
            const double t0 = taps[j], t1 = taps[j + 1], t2 = taps[j + 2], t3 = taps[j + 3];
            for (int i = lo; i < hi; ++i)
                acc[i - base] += t0 * signal[i - j] + t1 * signal[i - j - 1] + t2 * signal[i - j - 2] +
                                 t3 * signal[i - j - 3];
        }
        for (; j < jhi; ++j)
            one(j, std::max(j, base), std::min(blockEnd, j + keep));
        for (int i = base; i < blockEnd; ++i)
            out[i] = static_cast<float>(acc[i - base]);
    }
}

} // namespace

bool DesignFir(int n, int kind, double f1, double f2, double fs, int windowKind, std::span<float> taps,
               std::span<float> window) {
    if (n > 0)
        std::fill_n(taps.begin(), std::min<std::size_t>(static_cast<std::size_t>(n), taps.size()), 0.0f);
    // Every check can refuse; a refused design leaves the taps cleared. n <= 0 and buffers shorter than
    // n are refused too: the length comes from the pipeline's formulas over file values.
    bool refused = n <= 0 || !Fits(taps, n) || !Fits(window, n);
    refused = refused || n / 2 == n * 0.5; // even length: the centre tap would fall between two samples
    refused = refused || windowKind < kWindowRectangular || windowKind > kWindowBohman;
    refused = refused || kind < kFilterLowPass || kind > kFilterBandStop;
    refused = refused || !(fs > 0.0) || !std::isfinite(fs);
    if (refused) return false;
    const double g = f1 / fs;
    if (!(g >= 0.0 && g <= 0.5)) // NaN refused as well
        return false;
    const bool band = kind == kFilterBandPass || kind == kFilterBandStop;
    const double g2 = f2 / fs;
    if (band && !(g < g2 && g2 < 0.5)) return false;

    // Same single-precision π as the windows, so the low-pass centre tap is exactly 2·g.
    const double pi = static_cast<float>(4.0 * std::atan(1.0));
    const double w1 = 2.0 * pi * g;
    const double w2 = 2.0 * pi * g2;
    const double a = n * 0.5 - 0.5;
    MakeWindow(window, n, windowKind);
    for (int i = 0; i < n / 2; ++i) {
        const double t = i - a; // negative: the left half, mirrored onto the right
        double c = 0.0;
        switch (kind) {
        case kFilterLowPass:
            c = std::sin(w1 * t) / (pi * t);
            break;
        case kFilterHighPass:
            c = (std::sin(pi * t) - std::sin(w1 * t)) / (pi * t);
            break;
        case kFilterBandPass:
            c = (std::sin(w2 * t) - std::sin(w1 * t)) / (pi * t);
            break;
        default: // band-stop
            c = (std::sin(w1 * t) + std::sin(pi * t) - std::sin(w2 * t)) / (pi * t);
            break;
        }
        // The low index's window value serves both halves.
        taps[i] = taps[n - 1 - i] = static_cast<float>(c * window[i]);
    }
    double centre = 0.0;
    switch (kind) {
    case kFilterLowPass:
        centre = w1 / pi;
        break;
    case kFilterHighPass:
        centre = 1.0 - w1 / pi;
        break;
    case kFilterBandPass:
        centre = (w2 - w1) / pi;
        break;
    default:
        centre = (pi + w1 - w2) / pi;
        break;
    }
    taps[(n - 1) / 2] = static_cast<float>(centre);
    return true;
}

bool Convolve(std::span<float> signal, std::span<float> taps, std::span<float> out, int keep, int nTaps,
              int n) {
    if (n <= 0 || !Fits(signal, n) || !Fits(taps, n) || !Fits(out, n)) return false;
    keep = std::clamp(keep, 0, n);
    nTaps = std::clamp(nTaps, 0, n);
    std::fill(signal.begin() + keep, signal.begin() + n, 0.0f);
    std::fill(taps.begin() + nTaps, taps.begin() + n, 0.0f);
    int jlo = 0;
    while (jlo < nTaps && taps[jlo] == 0.0f)
        ++jlo;
    int jhi = nTaps;
    while (jhi > jlo && taps[jhi - 1] == 0.0f)
        --jhi;
    if (jlo == jhi || keep == 0) {
        std::fill(out.begin(), out.begin() + n, 0.0f);
        return true;
    }
    ConvolveKernel(signal.data(), taps.data(), out.data(), n, keep, jlo, jhi);
    return true;
}

bool RunFilter(int nTaps, int kind, double f1, double fs, int windowKind, std::span<float> signal,
               const FirBuffers& buffers) {
    // Traces are kTraceSamples long; anything far beyond that is a caller's mistake, not data.
    if (signal.empty() || signal.size() > kTraceSamples * 1024u) return false;
    const int n = static_cast<int>(signal.size());
    if (!Fits(buffers.coef, n) || !Fits(buffers.work, n)) return false;
    if (f1 > fs * 0.5) // a cutoff above the Nyquist frequency is designed at exactly fs/2
        f1 = fs * 0.5;
    const bool designed = DesignFir(nTaps, kind, f1, 0.0, fs, windowKind, buffers.coef, buffers.window);
    // nTaps <= 0 designs nothing and clears nothing; Convolve then clears every tap (nTaps clamps to 0),
    // so a refused design still gives an all-zero trace. The subtraction cannot overflow: nTaps is
    // clamped first.
    const int taps = std::clamp(nTaps, 0, n);
    Convolve(signal, buffers.coef, buffers.work, n - taps + 1, taps, n);
    std::copy_n(buffers.work.begin(), n, signal.begin());
    return designed;
}

bool LowPass(int nTaps, double cutoffHz, double fs, int windowKind, std::span<float> signal,
             const FirBuffers& buffers) {
    return RunFilter(nTaps, kFilterLowPass, cutoffHz, fs, windowKind, signal, buffers);
}

bool HighPass(int nTaps, double cutoffHz, double fs, int windowKind, std::span<float> signal,
              const FirBuffers& buffers) {
    return RunFilter(nTaps, kFilterHighPass, cutoffHz, fs, windowKind, signal, buffers);
}

int LowPassTaps(float cutoffKHz, float dt) {
    if (!(static_cast<double>(cutoffKHz) > 1e-10) || !(dt > 0.0f) || !std::isfinite(dt)) return 0;
    // Samples per period of the cutoff; compared before the conversion so huge values cannot overflow.
    const double periods = 1000.0 / (static_cast<double>(cutoffKHz) * dt);
    if (periods >= kMaxFirTaps) return kMaxFirTaps;
    int taps = static_cast<int>(periods);
    if (taps % 2 == 0) ++taps;
    return std::min(taps, kMaxFirTaps);
}

int HighPassTaps(float cutoffHz, float dt) {
    if (!(static_cast<double>(cutoffHz) > 1e-10) || !(dt > 0.0f) || !std::isfinite(dt)) return 0;
    const double length = 100000.0 / (2.0 * static_cast<double>(cutoffHz) * dt);
    if (length >= kMaxFirTaps) return kMaxFirTaps;
    int taps = static_cast<int>(length);
    if (taps % 2 == 0) --taps;
    // Below one period the odd-making step gives -1: run a one-tap filter instead of indexing outside.
    return std::clamp(taps, 1, kMaxFirTaps);
}

} // namespace pw
