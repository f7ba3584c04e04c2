// Trace processing of a record as pure functions, the cache of processed traces, and the conversions
// on the record's own fields and defect positions. The numerics themselves live in dsp.
#include <algorithm>
#include <atomic>
#include <cmath>

#include "core/CPileRecord.h"
#include "core/PileTypes.h"
#include "core/TraceProcessing.h"
#include "dsp/Pipeline.h"
#include "dsp/Round1.h"
#include "dsp/Spectrum.h"

namespace pw {

uint32_t NextRecordRevision() {
    // Starts at 1: a settled revision of 0 means "never settled".
    static std::atomic<uint32_t> s_nNext{1};
    return s_nNext.fetch_add(1, std::memory_order_relaxed);
}

namespace {

bool PositiveFinite(double v) { return std::isfinite(v) && v > 0; }

// Entries the trace cache keeps before it starts again (each holds a 4 KB trace).
constexpr std::size_t kCacheBound = 2048;

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

int ClampedStep(long long step) { return ClampStep(step); }

int FitStep(const CPileRecord& rec, int width, int fromHeadPoint) {
    int step = ClampStep(rec.m_nStep);
    if (!rec.IsProcessable()) return step;
    int headPoint = fromHeadPoint;
    // Each round the step strictly falls, so this ends after at most kSamples rounds.
    for (;;) {
        const int old = step;
        const long double room = static_cast<long double>(width) - headPoint - 50;
        const long double q =
            2000000.0L * rec.m_fPileLength / (room * rec.m_nWaveSpeed * rec.m_fSampleInterval);
        // A view no wider than head + 50 points leaves no room for the toe: the formula turns negative
        // there and the step is 1, as for a zero width (which would divide by zero).
        const long long fitted = room > 0 && std::isfinite(static_cast<double>(q))
                                     ? 1 + static_cast<long long>(std::min<long double>(q, 1e9L))
                                     : 1;
        step = ClampStep(fitted);
        headPoint = rec.m_nHeadSample / step;
        if (step >= old) break;
    }
    return step;
}

int AreaStep(const CPileRecord& rec, int columns) {
    return FitStep(rec, columns, std::clamp<int>(rec.m_nHeadSample, 0, kSamples - 1) / ClampStep(rec.m_nStep));
}

ProcessInfo ProcessRecord(const CPileRecord& rec, int step, std::span<float, kSamples> out) {
    ProcessInfo info;
    info.nStep = ClampStep(step);
    info.nHeadPoint = rec.m_nHeadSample / info.nStep;
    std::copy(std::begin(rec.m_fRaw), std::end(rec.m_fRaw), out.begin());
    if (!rec.IsProcessable()) return info; // nothing turns time into depth: show the samples as recorded

    const std::span<float> x(out.data(), kSamples);
    for (const AmpSegment& seg : rec.m_pSegments)
        if (seg.nFrom < seg.nTo) ApplySegment(x, seg.nFrom, seg.nTo, seg.fFactor, info.nStep);

    PipelineParams p;
    p.nStep = info.nStep;
    p.nHeadPoint = info.nHeadPoint;
    p.nWindowType = rec.m_nWindowType;
    p.bRemoveDC = rec.m_bRemoveDC != 0;
    p.nPreZero = rec.m_nPreZero;
    p.nPostCut = rec.m_nPostCut;
    p.fLowPass = rec.m_fLowPass;
    p.nLowPassPasses = rec.m_nLowPassPasses;
    p.fHighPass = rec.m_fHighPass;
    p.bIntegrate = rec.m_bIntegrate == 1;
    p.fGain = rec.m_fGain;
    p.nGainMode = rec.m_nGainMode;
    p.fGainDelay = rec.m_fGainDelay;
    p.fPileLength = rec.m_fPileLength;
    p.nWaveSpeed = rec.m_nWaveSpeed;
    p.fSampleInterval = rec.m_fSampleInterval;
    p.nRotate = rec.m_nRotate;
    // The filter's scratch lives on this thread's stack only while it runs, zeroed as a new record's was.
    float coef[kSamples] = {};
    float window[kSamples] = {};
    float work[kSamples] = {};
    const PipelineResult r = RunPipeline(p, x, FirBuffers{coef, window, work});
    info.nFirTaps = r.nFirTaps;
    info.nIntegSpan = r.nIntegSpan;
    return info;
}

void TraceRangeOf(std::span<const float, kSamples> trace, int k, int points, float& max, float& min) {
    max = 0.f;
    min = 0.f;
    if (k < 1) k = 1;
    const int count = std::min(std::max(points, 0), kSamples / k);
    for (int i = 0; i < count; ++i) {
        const float v = trace[static_cast<std::size_t>(i * k)];
        if (v > max)
            max = v;
        else if (v < min)
            min = v;
    }
}

CTraceCache::CEntry& CTraceCache::Find(const CPileRecord& rec, int step) {
    step = ClampStep(step);
    // Stale addresses (records deleted or moved) are only dropped wholesale: far more entries than any
    // project has piles means most of them are stale.
    if (m_Entries.size() > kCacheBound && !m_Entries.contains(&rec))
        m_Entries.clear();
    CEntry& e = m_Entries[&rec];
    if (!e.pTrace || e.nRevision != rec.m_nRevision || e.nStep != step) {
        if (!e.pTrace) e.pTrace = std::make_unique<float[]>(kSamples);
        e.Info = ProcessRecord(rec, step, std::span<float, kSamples>(e.pTrace.get(), kSamples));
        e.nRevision = rec.m_nRevision;
        e.nStep = step;
    }
    return e;
}

const float* CTraceCache::Trace(const CPileRecord& rec, int step) { return Find(rec, step).pTrace.get(); }

const ProcessInfo& CTraceCache::Info(const CPileRecord& rec, int step) { return Find(rec, step).Info; }

CTraceCache& TraceCache() {
    thread_local CTraceCache cache;
    return cache;
}

const float* ProcessedTrace(const CPileRecord& rec) { return TraceCache().Trace(rec, rec.m_nStep); }

float RecordSpectrum(const CPileRecord& rec, int kind, std::span<float, kSamples> out) {
    return TraceSpectrum(std::span<const float>(ProcessedTrace(rec), kSamples), kind, std::span<float>(out));
}

float SampleAt(const CPileRecord& rec, int i) { return i >= 0 && i < kSamples ? ProcessedTrace(rec)[i] : 0.f; }

const CPileRecord& ShownRecord(const CPileRecord& rec, std::optional<CPileRecord>& scratch) {
    if (!rec.NeedsSettling()) return rec;
    scratch.emplace(rec);
    SettleStep(*scratch);
    return *scratch;
}

int FitViewStep(CPileRecord& rec, int width) {
    rec.m_nViewPoints = width;
    rec.m_nStep = static_cast<int16_t>(FitStep(rec, width, rec.m_nFitHeadPoint));
    if (rec.IsProcessable()) rec.m_nFitHeadPoint = rec.m_nHeadSample / rec.m_nStep;
    return rec.m_nStep;
}

const float* SettleStep(CPileRecord& rec) {
    if (rec.NeedsSettling()) {
        FitViewStep(rec, rec.m_nViewPoints);
        rec.m_nFitHeadPoint = rec.m_nHeadSample / rec.m_nStep;
        rec.m_nSettledRevision = rec.m_nRevision;
    }
    return ProcessedTrace(rec);
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

int CPileRecord::FindDefectNearPoint(int p) const {
    const auto depth = DepthOfPoint(p);
    const auto toe = ToePoint();
    if (!depth || !toe || *toe <= 0) return -1;
    const double tolerance = 4.0 * m_fPileLength / *toe; // the length of four display points
    const int n = GetDefectCount();
    for (int i = 0; i < n; ++i)
        if (std::fabs(*depth - m_Defects[i].fDepth) < tolerance) return i;
    return -1;
}

int CPileRecord::GetDefect(int index, int& type, int& point) const {
    if (index < 0 || index >= GetDefectCount()) return 0;
    type = m_Defects[index].nType;
    point = PointOfDepth(m_Defects[index].fDepth).value_or(0);
    return 1;
}

int CPileRecord::GetDefectText(int index, std::string& text, float& depth) const {
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

std::optional<double> CPileRecord::BinFrequency(int k) const { return pw::BinFrequency(k, m_fSampleInterval); }

int CPileRecord::GainCurve(std::span<int> out) const {
    if (!IsProcessable()) return 0;
    return pw::GainCurve(out, m_nStep, m_fSampleInterval, m_nWaveSpeed, m_fGainDelay, m_fPileLength, m_fGain,
                         m_nGainMode);
}

} // namespace pw
