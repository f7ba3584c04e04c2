// The seven FIR design windows (rectangular .. Bohman), indexed by the record's window kind 1..7.
#pragma once

#include <span>

namespace pw {

enum WindowKind : int {
    kWindowRectangular = 1,
    kWindowTriangular = 2,
    kWindowSine = 3,
    kWindowHann = 4, // the default of a new record
    kWindowHamming = 5,
    kWindowBlackman = 6,
    kWindowBohman = 7,
};

// Fills w[0 .. n-1] with window `kind`. Every window divides by n (not n - 1), so it is NOT symmetric:
// w[0] is 0 for the triangular, sine, Hann and Bohman windows while w[n-1] is not; the filter design
// relies on exactly these values, do not "fix" them.
// The kind comes from files: a kind outside 1..7, n <= 0 or n larger than w writes nothing and returns
// false.
bool MakeWindow(std::span<float> w, int n, int kind);

} // namespace pw
