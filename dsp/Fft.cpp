// Split-radix decimation-in-frequency FFT (Sorensen, Heideman and Burrus), in place on float arrays.
#include "dsp/Fft.h"

#include <cmath>
#include <cstdio>
#include <utility>
#include <vector>

namespace pw {

namespace {

constexpr int kMaxLog2 = 16;
constexpr int kMaxPoints = 1 << kMaxLog2;

// cos and sin of 2π·k/65536 for k < 3/4 of a turn, evaluated in long double and stored as float. A
// stage of length L needs angle a = j·2π/L and 3a, which are table entries k = j·(65536/L) and 3k.
// Built once on first use (thread-safe static), so no transform computes a sine.
struct TwiddleTable {
    std::vector<float> cosine;
    std::vector<float> sine;
    TwiddleTable() : cosine(kMaxPoints * 3 / 4), sine(kMaxPoints * 3 / 4) {
        const long double turn = 8.0L * std::atan(1.0L);
        for (int k = 0; k < kMaxPoints * 3 / 4; ++k) {
            const long double a = turn * k / kMaxPoints;
            cosine[k] = static_cast<float>(std::cos(a));
            sine[k] = static_cast<float>(std::sin(a));
        }
    }
};

const TwiddleTable& Twiddles() {
    static const TwiddleTable table;
    return table;
}

int Log2IfPowerOfTwo(int n) {
    if (n < 2 || n > kMaxPoints || (n & (n - 1)) != 0) return -1;
    int m = 0;
    while ((1 << m) < n)
        ++m;
    return m;
}

void ForwardSplitRadix(float* x, float* y, int n, int m) {
    const TwiddleTable& tw = Twiddles();
    // L-shaped butterflies, m - 1 stages. Indices below are 0-based versions of the classic 1-based
    // loops: i0 runs over the first quarter of each block the stage still has to transform.
    int n2 = 2 * n;
    for (int stage = 1; stage < m; ++stage) {
        n2 /= 2;
        const int n4 = n2 / 4;
        const int stride = kMaxPoints / n2;
        for (int j = 0; j < n4; ++j) {
            const float cc1 = tw.cosine[j * stride];
            const float ss1 = tw.sine[j * stride];
            const float cc3 = tw.cosine[3 * j * stride];
            const float ss3 = tw.sine[3 * j * stride];
            int is = j;
            int id = 2 * n2;
            while (is < n - 1) {
                for (int i0 = is; i0 < n - 1; i0 += id) {
                    const int i1 = i0 + n4;
                    const int i2 = i1 + n4;
                    const int i3 = i2 + n4;
                    float r1 = x[i0] - x[i2];
                    x[i0] += x[i2];
                    float r2 = x[i1] - x[i3];
                    x[i1] += x[i3];
                    const float s1 = y[i0] - y[i2];
                    y[i0] += y[i2];
                    float s2 = y[i1] - y[i3];
                    y[i1] += y[i3];
                    const float s3 = r1 - s2;
                    r1 += s2;
                    s2 = r2 - s1;
                    r2 += s1;
                    x[i2] = r1 * cc1 - s2 * ss1;
                    y[i2] = -s2 * cc1 - r1 * ss1;
                    x[i3] = s3 * cc3 + r2 * ss3;
                    y[i3] = r2 * cc3 - s3 * ss3;
                }
                is = 2 * id - n2 + j;
                id *= 4;
            }
        }
    }
    // Final length-2 butterflies.
    int is = 0;
    int id = 4;
    while (is < n - 1) {
        for (int i0 = is; i0 < n - 1; i0 += id) {
            const int i1 = i0 + 1;
            const float r1 = x[i0];
            x[i0] = r1 + x[i1];
            x[i1] = r1 - x[i1];
            const float q1 = y[i0];
            y[i0] = q1 + y[i1];
            y[i1] = q1 - y[i1];
        }
        is = 2 * id - 2;
        id *= 4;
    }
    // Bit-reversal permutation into natural order.
    int j = 0;
    for (int i = 0; i < n - 1; ++i) {
        if (i < j) {
            std::swap(x[i], x[j]);
            std::swap(y[i], y[j]);
        }
        int k = n / 2;
        while (k <= j) {
            j -= k;
            k /= 2;
        }
        j += k;
    }
}

} // namespace

bool Fft(std::span<float> re, std::span<float> im, int n, int direction) {
    const int m = Log2IfPowerOfTwo(n);
    if (m < 0) {
        // Console programs see this on their terminal; the desktop program's standard error is its log.
        std::fputs(" N is not a power of 2 ! \n", stderr);
        return false;
    }
    if ((direction != kFftForward && direction != kFftInverse) || re.size() < static_cast<std::size_t>(n) ||
        im.size() < static_cast<std::size_t>(n))
        return false;
    if (direction == kFftForward) {
        ForwardSplitRadix(re.data(), im.data(), n, m);
        return true;
    }
    // Inverse through the forward transform of the conjugate: negating is exact, and so is the scaling
    // by 1/n (a power of two).
    for (int i = 0; i < n; ++i)
        im[i] = -im[i];
    ForwardSplitRadix(re.data(), im.data(), n, m);
    const float scale = 1.0f / static_cast<float>(n);
    for (int i = 0; i < n; ++i) {
        re[i] *= scale;
        im[i] = -im[i] * scale;
    }
    return true;
}

} // namespace pw
