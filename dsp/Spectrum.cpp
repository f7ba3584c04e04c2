// Amplitude, power and phase spectra of a trace.
#include "dsp/Spectrum.h"

#include "dsp/Fft.h"
#include "dsp/Samples.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <cstddef>

namespace pw {

namespace {

// Lag i: sum over j < m - i of x[i+j]·x[j]; x is zero from m on. Four partial sums keep the adds
// independent; products of floats are exact in double.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
__attribute__((target_clones("arch=x86-64-v3", "default")))
#endif
void AutoCorrelateKernel(const float* x, float* r, int m) {
    for (int i = 0; i < m; ++i) {
        const float* shifted = x + i;
        const int count = m - i;
        double acc[8] = {};
        int j = 0;
        for (; j + 8 <= count; j += 8)
            for (int q = 0; q < 8; ++q)
                acc[q] += static_cast<double>(shifted[j + q]) * x[j + q];
        double sum = ((acc[0] + acc[4]) + (acc[1] + acc[5])) + ((acc[2] + acc[6]) + (acc[3] + acc[7]));
        for (; j < count; ++j)
            sum += static_cast<double>(shifted[j]) * x[j];
        r[i] = static_cast<float>(sum);
    }
}

} // namespace

float PhaseDegrees(float re, float im) {
    if (std::fabs(re) <= 1e-6 * std::fabs(im))  // a (nearly) purely imaginary bin: atan would blow up
        return re * im > 0.0f ? 90.0f : -90.0f; // the test is "above 0", so 0·5 gives -90
    return static_cast<float>(std::atan(im / re) * 57.29577952383886);
}

bool AutoCorrelate(std::span<const float> x, std::span<float> r, int n) {
    if (n <= 0 || x.size() < static_cast<std::size_t>(n) || r.size() < static_cast<std::size_t>(n))
        return false;
    // Lags at or beyond the last non-zero sample only meet zeros: a zero-padded trace needs a quarter of
    // the lags and a sixteenth of the products.
    int m = n;
    while (m > 0 && x[static_cast<std::size_t>(m - 1)] == 0.0f)
        --m;
    AutoCorrelateKernel(x.data(), r.data(), m);
    std::fill(r.begin() + m, r.begin() + n, 0.0f);
    return true;
}

float TraceSpectrum(std::span<const float> trace, int kind, std::span<float> out) {
    std::array<float, kSpectrumPoints> re{};
    std::array<float, kSpectrumPoints> im{};
    std::copy_n(trace.begin(), std::min<std::size_t>(trace.size(), kTraceSamples), re.begin());
    if (kind == kSpectrumPower) {
        std::array<float, kSpectrumPoints> r{};
        AutoCorrelate(re, r, kSpectrumPoints);
        re = r;
    }
    Fft(re, im, kSpectrumPoints, kFftForward);

    const std::size_t bins = std::min<std::size_t>(out.size(), kSpectrumBins);
    float largest = 0.0f;
    for (std::size_t k = 0; k < bins; ++k) {
        float v = 0.0f;
        if (kind == kSpectrumAmplitude || kind == kSpectrumPower) {
            // Squares in double: a large trace's power spectrum would overflow float squares.
            v = static_cast<float>(
                std::sqrt(static_cast<double>(re[k]) * re[k] + static_cast<double>(im[k]) * im[k]));
        } else {
            v = PhaseDegrees(re[k], im[k]);
        }
        out[k] = v;
        largest = std::max(largest, v);
    }
    return largest;
}

std::optional<double> BinWidth(int n, double dt) {
    if (n <= 0 || !(dt > 0.0) || !std::isfinite(dt)) return std::nullopt;
    const double width = 1000000.0 / (n * dt);
    if (!std::isfinite(width)) return std::nullopt;
    return width;
}

std::optional<double> BinFrequency(int k, double dt) {
    const std::optional<double> width = BinWidth(kSpectrumPoints, dt);
    if (!width) return std::nullopt;
    return *width * k;
}

} // namespace pw
