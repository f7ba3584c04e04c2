// The document's one set of processing values that the editing commands fill and apply writes into
// the piles of the chosen scope.
#pragma once

#include <cstdint>

namespace pw {

struct PendingParams {
    float m_fLowPass = 0.f;  // kHz
    float m_fHighPass = 0.f; // Hz
    int16_t m_nLowPassPasses = 1;
    float m_fGainDelay = 0.f; // m
    float m_fGain = 0.f;      // 0 when the document starts; 1.0 after "恢复参数"
    int16_t m_nRotate = 0;
    int32_t m_nGainMode = 0;
    int32_t m_bIntegrate = 0;
    int16_t m_nPreZero = 0;
    int16_t m_nPostCut = 0;
    int16_t m_nShiftY = 0;
    int16_t m_nShiftX = 0;
    int16_t m_nZoom = 0;
    int32_t m_nSegmentsKept = 0; // 0 = apply clears the piles' amplified segments
    int32_t m_nSmooth = 1;

    // The values "恢复参数" sets.
    static PendingParams Reset() {
        PendingParams p;
        p.m_fGain = 1.0f;
        return p;
    }
};

} // namespace pw
