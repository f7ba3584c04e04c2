// The pile the view and print benchmarks draw: noise, an input pulse and a toe echo, filtered with a
// 1 kHz low-pass twice and a 20 Hz high-pass.
#pragma once

#include <random>

#include "core/CPileRecord.h"

namespace pwbench {

inline pw::CPileRecord FilteredPile(unsigned seed) {
    std::mt19937 rng(seed);
    std::normal_distribution<float> noise(0.f, 1.f);
    pw::CPileRecord r;
    for (int i = 0; i < pw::kSamples; ++i)
        r.m_fRaw[i] = noise(rng) + (i > 50 && i < 100 ? 50.f : 0.f) + (i > 400 && i < 440 ? 15.f : 0.f);
    r.m_fSampleInterval = 20.f;
    r.m_nWaveSpeed = 3800;
    r.m_fPileLength = 12.f;
    r.m_nHeadSample = 50;
    r.m_fLowPass = 1.f;
    r.m_nLowPassPasses = 2;
    r.m_fHighPass = 20.f;
    return r;
}

} // namespace pwbench
