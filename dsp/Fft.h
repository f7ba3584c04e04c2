// In-place split-radix complex FFT on separate real and imaginary float arrays.
#pragma once

#include <span>

namespace pw {

enum FftDirection : int { kFftForward = -1, kFftInverse = +1 };

// Transforms re[0 .. n-1], im[0 .. n-1] in place. Forward (-1): X[k] = sum_j x[j]·e^{-2πi·jk/n}, not
// scaled; inverse (+1): the opposite exponent sign, both arrays divided by n.
// n must be 2^m with 1 <= m <= 16; otherwise " N is not a power of 2 ! \n" goes to standard error and
// nothing changes. A direction other than ±1 or arrays shorter than n also change nothing. Returns
// whether the transform ran.
bool Fft(std::span<float> re, std::span<float> im, int n, int direction);

} // namespace pw
