#include "dsp/Fft.h"
#include "LiteralReference.h"
#include "TestSignals.h"

#include <gtest/gtest.h>
#include <ostream>
#include <vector>

namespace {

// The split-radix transform against a naive long double DFT, both directions, on seeded random data.
struct DftCase {
    int n;
    int direction;
    std::uint32_t seed;
};

void PrintTo(const DftCase& c, std::ostream* os) {
    *os << "n" << c.n << "_dir" << c.direction << "_seed" << c.seed;
}

class FftAgainstDft : public ::testing::TestWithParam<DftCase> {};

TEST_P(FftAgainstDft, StaysWithinTolerance) {
    const auto& c = GetParam();
    std::vector<float> re = pw::testing::RandomTrace(c.n, c.seed, 10.0f);
    std::vector<float> im = pw::testing::RandomTrace(c.n, c.seed + 1, 10.0f);
    std::vector<float> refRe = re, refIm = im;
    pw::reference::Dft(refRe, refIm, c.direction);
    ASSERT_TRUE(pw::Fft(re, im, c.n, c.direction));
    // One scale for both parts: the peak is the largest magnitude of either.
    std::vector<float> fast = re, reference = refRe;
    fast.insert(fast.end(), im.begin(), im.end());
    reference.insert(reference.end(), refIm.begin(), refIm.end());
    EXPECT_LT(pw::testing::RelativeError(fast, reference), pw::testing::kTolerance) << "n " << c.n;
}

INSTANTIATE_TEST_SUITE_P(Seeded, FftAgainstDft,
                         ::testing::Values(DftCase{2, -1, 1}, DftCase{4, -1, 2}, DftCase{8, -1, 3},
                                           DftCase{16, 1, 4}, DftCase{64, -1, 5}, DftCase{512, 1, 6},
                                           DftCase{1024, -1, 7}, DftCase{4096, -1, 8}, DftCase{4096, 1, 9}));

TEST(Fft, ForwardThenInverseRestoresTheInput) {
    const std::vector<float> re0 = pw::testing::RandomTrace(65536, 12),
                             im0 = pw::testing::RandomTrace(65536, 13);
    std::vector<float> re = re0, im = im0;
    ASSERT_TRUE(pw::Fft(re, im, 65536, pw::kFftForward));
    ASSERT_TRUE(pw::Fft(re, im, 65536, pw::kFftInverse));
    EXPECT_LT(pw::testing::RelativeError(re, re0), 1e-5);
    EXPECT_LT(pw::testing::RelativeError(im, im0), 1e-5);
}

// Lengths that are not 2^m with 1 <= m <= 16 print the message; every refusal leaves the arrays as they were.
struct RefusedCase {
    int n;
    int direction;
    std::size_t size;
    bool message;
};

void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << "n" << c.n << "_dir" << c.direction << "_size" << c.size;
}

class RefusedTransforms : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(RefusedTransforms, LeaveTheArraysUnchanged) {
    const auto& c = GetParam();
    const std::vector<float> re0 = pw::testing::RandomTrace(c.size, 14),
                             im0 = pw::testing::RandomTrace(c.size, 15);
    std::vector<float> re = re0, im = im0;
    ::testing::internal::CaptureStderr();
    EXPECT_FALSE(pw::Fft(re, im, c.n, c.direction));
    EXPECT_EQ(::testing::internal::GetCapturedStderr(), c.message ? " N is not a power of 2 ! \n" : "");
    EXPECT_EQ(re, re0);
    EXPECT_EQ(im, im0);
}

INSTANTIATE_TEST_SUITE_P(Hostile, RefusedTransforms,
                         ::testing::Values(RefusedCase{1000, -1, 1024, true}, RefusedCase{1, -1, 4, true},
                                           RefusedCase{0, -1, 4, true}, RefusedCase{-4, -1, 4, true},
                                           RefusedCase{1 << 17, -1, 16, true}, RefusedCase{3, 1, 4, true},
                                           RefusedCase{8, 0, 8, false}, RefusedCase{8, 2, 8, false},
                                           RefusedCase{16, -1, 8, false}));

} // namespace
