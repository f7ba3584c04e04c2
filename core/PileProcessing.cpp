// The record side of trace processing: automatic step, rebuild, conversions on the record's own
// fields, defect positions, spectra. The numerics themselves live in dsp.
#include <algorithm>
#include <cmath>

#include "core/CPileRecord.h"
#include "core/PileTypes.h"
#include "dsp/Pipeline.h"
#include "dsp/Round1.h"
#include "dsp/Spectrum.h"

namespace pw {
namespace {

bool PositiveFinite(double v) { return std::isfinite(v) && v > 0; }

// A display point is at least one sample and at most the whole trace; a damaged step is taken that way.
int ClampStep(long long step) { return static_cast<int>(std::clamp<long long>(step, 1, kSamples)); }

} // namespace

bool CPileRecord::CanProcess(float sampleInterval, int waveSpeed, float pileLength) {
    return PositiveFinite(sampleInterval) && waveSpeed > 0 && PositiveFinite(pileLength);
}

bool CPileRecord::IsProcessable() const { return CanProcess(m_fSampleInterval, m_nWaveSpeed, m_fPileLength); }

int FilterDelayOf(float lowPassKHz, int passes, float highPassHz, float dt) {
    // The same tap rules and pass limit as RunPipeline: a linear-phase FIR of N taps lags by (N - 1) / 2.
    int delay = 0;
    if (const int taps = LowPassTaps(lowPassKHz, dt); taps > 0) delay += std::clamp(passes, 0, 5) * ((taps - 1) / 2);
    if (const int taps = HighPassTaps(highPassHz, dt); taps > 0) delay += (taps - 1) / 2;
    return delay;
}

int CPileRecord::FilterDelay() const {
    return IsProcessable() ? FilterDelayOf(m_fLowPass, m_nLowPassPasses, m_fHighPass, m_fSampleInterval) : 0;
}

float* CPileRecord::GetTrace() {
    if (m_bDirty) {
        // ChooseStep rebuilds whenever it changes the step; rebuilding again with the same inputs would
        // give the same trace.
        if (!ChooseStep()) Rebuild();
        m_bDirty = 0;
    }
    return m_fTrace;
}

bool CPileRecord::ChooseStep() {
    bool rebuilt = false;
    m_nStep = static_cast<int16_t>(ClampStep(m_nStep));
    if (!IsProcessable()) return false;
    // Each round the step strictly falls, so this ends after at most kSamples rounds.
    for (;;) {
        const int old = m_nStep;
        const long double room = static_cast<long double>(m_nViewPoints) - m_nHeadPoint - 50;
        const long double q = 2000000.0L * m_fPileLength / (room * m_nWaveSpeed * m_fSampleInterval);
        // A view no wider than head + 50 points leaves no room for the toe: the formula turns negative
        // there and the step is 1, as for a zero width (which would divide by zero).
        const long long step = room > 0 && std::isfinite(static_cast<double>(q))
                                   ? 1 + static_cast<long long>(std::min<long double>(q, 1e9L))
                                   : 1;
        m_nStep = static_cast<int16_t>(ClampStep(step));
        m_nHeadPoint = m_nHeadSample / m_nStep;
        rebuilt = false;
        if (m_nStep != old) {
            Rebuild();
            rebuilt = true;
        }
        if (m_nStep >= old) break;
    }
    return rebuilt;
}

void CPileRecord::Rebuild() {
    m_nSamples = kSamples;
    m_nStep = static_cast<int16_t>(ClampStep(m_nStep));
    m_nHeadPoint = m_nHeadSample / m_nStep;
    std::copy(std::begin(m_fRaw), std::end(m_fRaw), m_fTrace);
    if (!IsProcessable()) return; // nothing turns time into depth: show the samples as recorded

    const std::span<float> x(m_fTrace, kSamples);
    for (const AmpSegment& seg : m_pSegments)
        if (seg.nFrom < seg.nTo) ApplySegment(x, seg.nFrom, seg.nTo, seg.fFactor, m_nStep);

    PipelineParams p;
    p.nStep = m_nStep;
    p.nHeadPoint = m_nHeadPoint;
    p.nWindowType = m_nWindowType;
    p.bRemoveDC = m_bRemoveDC != 0;
    p.nPreZero = m_nPreZero;
    p.nPostCut = m_nPostCut;
    p.fLowPass = m_fLowPass;
    p.nLowPassPasses = m_nLowPassPasses;
    p.fHighPass = m_fHighPass;
    p.bIntegrate = m_bIntegrate == 1;
    p.fGain = m_fGain;
    p.nGainMode = m_nGainMode;
    p.fGainDelay = m_fGainDelay;
    p.fPileLength = m_fPileLength;
    p.nWaveSpeed = m_nWaveSpeed;
    p.fSampleInterval = m_fSampleInterval;
    p.nRotate = m_nRotate;
    const PipelineResult r = RunPipeline(p, x, FirBuffers{m_fFirCoef, m_fFirWindow, m_fWork});
    if (r.nFirTaps) m_nFirTaps = *r.nFirTaps;
    if (r.nIntegSpan) m_nIntegSpan = *r.nIntegSpan;
}

int CPileRecord::SetViewPoints(int n) {
    m_nViewPoints = n;
    ChooseStep();
    return m_nStep;
}

void CPileRecord::GetTraceRange(int k, float& max, float& min) const {
    max = 0.f;
    min = 0.f;
    if (k < 1) k = 1;
    const int count = std::min(std::max(m_nViewPoints, 0), kSamples / k);
    for (int i = 0; i < count; ++i) {
        const float v = m_fTrace[i * k];
        if (v > max)
            max = v;
        else if (v < min)
            min = v;
    }
}

std::optional<double> CPileRecord::TimeOfPoint(int p) const {
    return IsProcessable() ? pw::TimeOfPoint(Scale(), p) : std::nullopt;
}
std::optional<double> CPileRecord::DepthOfPoint(int p) const {
    return IsProcessable() ? pw::DepthOfPoint(Scale(), p) : std::nullopt;
}
std::optional<int> CPileRecord::PointOfDepth(double depth) const {
    return IsProcessable() ? pw::PointOfDepth(Scale(), depth) : std::nullopt;
}
std::optional<int> CPileRecord::ToePoint() const { return IsProcessable() ? pw::ToePoint(Scale()) : std::nullopt; }
std::optional<int> CPileRecord::SpeedFromToePoint(int p) const {
    return IsProcessable() ? pw::SpeedFromToePoint(Scale(), p) : std::nullopt;
}
std::optional<double> CPileRecord::LengthFromSpeed(double speed) const {
    return IsProcessable() ? pw::LengthFromSpeed(Scale(), speed) : std::nullopt;
}
std::optional<int> CPileRecord::SpeedFromLength(double length) const {
    return IsProcessable() ? pw::SpeedFromLength(Scale(), length) : std::nullopt;
}

int CPileRecord::ClassifyPoint(int p) const {
    if (std::abs(p) < 4) return 1000;
    const auto toe = ToePoint();
    if (toe && std::abs(static_cast<long long>(p) - *toe) < 4) return 1001;
    return -1;
}

int CPileRecord::FindDefectNearPoint(int p) {
    const auto depth = DepthOfPoint(p);
    const auto toe = ToePoint();
    if (!depth || !toe || *toe <= 0) return -1;
    const double tolerance = 4.0 * m_fPileLength / *toe; // the length of four display points
    const int n = GetDefectCount();
    for (int i = 0; i < n; ++i)
        if (std::fabs(*depth - m_Defects[i].fDepth) < tolerance) return i;
    return -1;
}

int CPileRecord::GetDefect(int index, int& type, int& point) {
    if (index < 0 || index >= GetDefectCount()) return 0;
    type = m_Defects[index].nType;
    point = PointOfDepth(m_Defects[index].fDepth).value_or(0);
    return 1;
}

int CPileRecord::GetDefectText(int index, std::string& text, float& depth) {
    if (index < 0 || index >= GetDefectCount()) return 0;
    text = DefectTypeText(m_Defects[index].nType);
    depth = m_Defects[index].fDepth;
    return 1;
}

int CPileRecord::SetDefectDepthAtPoint(int index, int p) {
    const auto depth = DepthOfPoint(p);
    if (index < 0 || index >= GetDefectCount() || !depth) return 0;
    m_Defects[index].fDepth = static_cast<float>(*depth);
    return 1;
}

void CPileRecord::SetSpeedKeepingTimes(int speed) {
    // t = 2 d / c: at the same time the depth scales with the speed.
    if (m_nWaveSpeed > 0 && speed != m_nWaveSpeed) {
        const double ratio = static_cast<double>(speed) / m_nWaveSpeed;
        for (int k = 0, n = GetDefectCount(); k < n; ++k)
            m_Defects[k].fDepth = static_cast<float>(Round1(m_Defects[k].fDepth * ratio));
    }
    m_nWaveSpeed = static_cast<int16_t>(speed);
}

float CPileRecord::ComputeSpectrum(int kind) {
    GetTrace();
    return TraceSpectrum(std::span<const float>(m_fTrace, kSamples), kind, std::span<float>(m_fWork, kSamples));
}

std::optional<double> CPileRecord::BinFrequency(int k) const { return pw::BinFrequency(k, m_fSampleInterval); }

int CPileRecord::GainCurve(std::span<int> out) const {
    if (!IsProcessable()) return 0;
    return pw::GainCurve(out, m_nStep, m_fSampleInterval, m_nWaveSpeed, m_fGainDelay, m_fPileLength, m_fGain,
                         m_nGainMode);
}

} // namespace pw
