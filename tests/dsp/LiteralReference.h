// The literal, slow forms of the fast numerics (long double, every term summed), kept as references for
// the tests and the benchmarks: quadratic convolution, the full-lag autocorrelation, a naive DFT and the
// quadratic running trapezoid.
#pragma once

#include <cmath>
#include <cstddef>
#include <vector>

namespace pw::reference {

// Zeroes signal[keep..n-1] and taps[nTaps..n-1], then out[i] = sum_{k=0}^{i} signal[k]·taps[i-k].
inline void Convolve(float* signal, float* taps, float* out, int keep, int nTaps, int n) {
    for (int i = keep; i < n; ++i)
        signal[i] = 0.0f;
    for (int i = nTaps; i < n; ++i)
        taps[i] = 0.0f;
    for (int i = 0; i < n; ++i) {
        long double sum = 0;
        for (int k = 0; k <= i; ++k)
            sum += static_cast<long double>(signal[k]) * taps[i - k];
        out[i] = static_cast<float>(sum);
    }
}

// r[i] = sum_{j=0}^{n-1} x[i+j]·x[j], x[k] = 0 for k >= n.
inline void AutoCorrelate(const float* x, float* r, int n) {
    for (int i = 0; i < n; ++i) {
        long double sum = 0;
        for (int j = 0; j < n; ++j)
            sum += (i + j < n ? static_cast<long double>(x[i + j]) : 0.0L) * x[j];
        r[i] = static_cast<float>(sum);
    }
}

// X[k] = sum_j x[j]·e^{sign·2πi·jk/n}, divided by n when sign is +1. Exact angle reduction (jk mod n).
inline void Dft(std::vector<float>& re, std::vector<float>& im, int sign) {
    const std::size_t n = re.size();
    const long double turn = 8.0L * std::atan(1.0L);
    std::vector<long double> cosine(n), sine(n), outRe(n), outIm(n);
    for (std::size_t t = 0; t < n; ++t) {
        const long double a = sign * turn * static_cast<long double>(t) / n;
        cosine[t] = std::cos(a);
        sine[t] = std::sin(a);
    }
    for (std::size_t k = 0; k < n; ++k) {
        long double sr = 0, si = 0;
        for (std::size_t j = 0; j < n; ++j) {
            const long double c = cosine[(j * k) % n], s = sine[(j * k) % n];
            sr += re[j] * c - im[j] * s;
            si += re[j] * s + im[j] * c;
        }
        outRe[k] = sign > 0 ? sr / n : sr;
        outIm[k] = sign > 0 ? si / n : si;
    }
    for (std::size_t k = 0; k < n; ++k) {
        re[k] = static_cast<float>(outRe[k]);
        im[k] = static_cast<float>(outIm[k]);
    }
}

// y[0] = x[0]; y[i] = (sum_{k<i} (x[k]+x[k+1])/2)/(i+1) for i <= span, else the last span trapezoids / span.
inline std::vector<float> RunningTrapezoid(const std::vector<float>& x, int span) {
    const int n = static_cast<int>(x.size());
    std::vector<float> y(x.size());
    y[0] = x[0];
    for (int i = 1; i < n; ++i) {
        long double sum = 0;
        const int from = i <= span ? 0 : i - span;
        for (int k = from; k < i; ++k)
            sum += (static_cast<long double>(x[k]) + x[k + 1]) / 2;
        y[i] = static_cast<float>(sum / (i <= span ? i + 1 : span));
    }
    return y;
}

} // namespace pw::reference
