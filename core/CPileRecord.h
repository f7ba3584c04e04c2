// One pile test: raw samples, identification, the values that turn time into depth, processing
// parameters, the analyst's marks (head, defects, spectrum marks, amplified segments) and the cached
// processed trace. Fields keep their stored widths; texts are GBK bytes in fixed fields.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "core/GbkText.h"
#include "dsp/Conversions.h"

namespace pw {

inline constexpr int kSamples = 1024;  // samples per trace
inline constexpr int kMaxDefects = 10; // entries of the defect list
inline constexpr int kMaxMarks = 5;    // spectrum marks per record

struct DefectMark {
    int16_t nType = 0;  // defect code; 0 ends the used part of the list
    float fDepth = 0.f; // depth below the pile head, m
};

// An amplified column range: samples of display points nFrom <= k < nTo are multiplied by fFactor + 1.
struct AmpSegment {
    float fFactor = 0.f;
    int16_t nFrom = 0;
    int16_t nTo = 0;
};

// A fresh revision, never given out before in this process (see CPileRecord::m_nRevision).
uint32_t NextRecordRevision();

class CPileRecord {
public:
    // --- not stored: processing switches ---
    int32_t m_nWindowType = 4; // FIR design window 1..7 (4 = Hann)
    int32_t m_bRemoveDC = 1;
    // --- not stored: the record's state in the views ---
    // Every change of the record takes a fresh revision, so a processed trace kept under the old one
    // is never taken for the new record; copies share it as they share the content.
    uint32_t m_nRevision = NextRecordRevision();
    uint32_t m_nSettledRevision = 0; // revision at which the step was last settled; 0 = never
    int32_t m_nViewPoints = 512;     // width the step was last fitted to, display points
    int32_t m_nFitHeadPoint = 50;    // head point the next step fit starts from (that of the last one)
    float m_fRaw[kSamples] = {};     // stored: raw samples as the instrument delivered them

    // --- stored ---
    int16_t m_nPileNo = 0; // 1-based position in the project; renumbered on load, merge, delete
    char m_szPileName[10] = {};
    int16_t m_nPileType = 0;
    int16_t m_nDiameter = 0; // mm
    char m_szTestDate[20] = {};
    int16_t m_nSignalType = 0;
    int16_t m_nAux1 = 0;
    int16_t m_nAux2 = 0;
    float m_fAux3 = 0.f;
    int16_t m_bIntegrate = 0;
    int16_t m_nLowPassPasses = 0;
    int16_t m_nPreZero = 0; // leading samples forced to 0
    int16_t m_nPostCut = 0; // trailing samples forced to 0
    int16_t m_nShiftY = 0;  // vertical shift of the drawing, -160..160
    char m_szRemark[40] = {};
    float m_fPileLength = 0.f; // m
    int16_t m_nWaveSpeed = 0;  // m/s
    float m_fSampleInterval = 0.f; // µs
    int16_t m_nAux4 = 0;
    int16_t m_nGainMode = 0; // 0 exponential, 1 linear
    float m_fGain = 0.f;
    float m_fGainDelay = 0.f; // m below the pile head
    float m_fLowPass = 0.f;   // kHz, 0 = off
    float m_fHighPass = 0.f;  // Hz, 0 = off
    int16_t m_nRotate = 0;
    int16_t m_nHeadSample = 0; // pile head, samples
    int16_t m_nStep = 0;       // samples per display point
    DefectMark m_Defects[kMaxDefects] = {};
    int16_t m_nSmooth = 0;
    int16_t m_nShiftX = 0; // display points
    int16_t m_nZoom = 0;   // amplitude factor 1 + 0.1 * m_nZoom
    std::vector<AmpSegment> m_pSegments; // in the order they were created; count = GetSegmentCount()
    int32_t m_bChecked = 0;
    char m_szInfo[36] = {};
    int16_t m_nMarks[kMaxMarks] = {}; // spectrum marks, columns of the spectrum box
    int16_t m_nMarkCount = 0;
    // Not in the record layout: kept in the block after the records (core/ProjectBlock.h).
    int16_t m_nClassDecision = 0; // the engineer's integrity class 1..4 (Ⅰ..Ⅳ); 0 = the defect rule


    // Texts as UTF-8; setters cut at the field's byte limit on a character boundary.
    std::string GetPileName() const { return FieldUtf8(m_szPileName); }
    std::string GetTestDate() const { return FieldUtf8(m_szTestDate); }
    std::string GetRemark() const { return FieldUtf8(m_szRemark); }
    std::string GetInfo() const { return FieldUtf8(m_szInfo); }
    void SetPileName(std::string_view utf8) { SetFieldUtf8(m_szPileName, utf8); }
    void SetTestDate(std::string_view utf8) { SetFieldUtf8(m_szTestDate, utf8); }
    void SetRemark(std::string_view utf8) { SetFieldUtf8(m_szRemark, utf8); }
    void SetInfo(std::string_view utf8) { SetFieldUtf8(m_szInfo, utf8); }

    // The record changed: its processed trace must be made again and its step settled again.
    void Touch() { m_nRevision = NextRecordRevision(); }
    // True when the record changed since its step was last settled (see SettleStep).
    bool NeedsSettling() const { return m_nSettledRevision != m_nRevision; }

    // Head position. SetHeadPoint keeps the head sample in step with this record's current step.
    void SetHeadPoint(int point);
    int GetHeadPoint() const;

    // Defect list: used entries first, an entry of type 0 ends it.
    int GetDefectCount() const;
    int AddDefect(float depth, int type); // 1 = added or retyped, 0 = list full
    int RemoveDefect(int index);          // 1 = removed, 0 = index out of range
    int GetDefectSeverity() const;        // 0 none/minor, 1 defect, 2 broken pile

    // Spectrum marks.
    int AddMark(int column); // 1 = added, 0 = already five marks
    int FindMark(int column) const;
    void RemoveMark(int index);

    // Amplified segments (display points, from inclusive, to exclusive; up = 1 more gain, 0 less).
    void AdjustSegment(int from, int to, int up);
    void ClearSegments() { m_pSegments.clear(); }
    int GetSegmentCount() const { return static_cast<int>(m_pSegments.size()); }

    // --- conversions on the record's own fields (PileProcessing.cpp) ---
    // True when sampling interval, wave speed and length are positive finite numbers: only then can
    // time become depth. Otherwise the trace is the raw samples and the conversions refuse.
    bool IsProcessable() const;
    static bool CanProcess(float sampleInterval, int waveSpeed, float pileLength);
    // Samples by which the processed trace lags the raw samples: every FIR pass delays by
    // (taps - 1) / 2. 0 when the record is not processed (its trace is the raw samples).
    int FilterDelay() const;
    TraceScale Scale() const { return TraceScale{m_nStep, m_fSampleInterval, m_nWaveSpeed, m_fPileLength}; }

    // Conversions (display points from the head); nullopt when the record cannot convert.
    std::optional<double> TimeOfPoint(int p) const;  // ms
    std::optional<double> DepthOfPoint(int p) const; // m, one decimal
    std::optional<int> PointOfDepth(double depth) const;
    std::optional<int> ToePoint() const;
    std::optional<int> SpeedFromToePoint(int p) const;
    std::optional<double> LengthFromSpeed(double speed) const;
    std::optional<int> SpeedFromLength(double length) const;

    // 1000 at the head (|p| < 4), 1001 at the toe (|p - toe| < 4), else -1.
    int ClassifyPoint(int p) const;
    // The first defect within four display points of p, by index, or -1.
    int FindDefectNearPoint(int p) const;
    // Type and display point of defect index; 0 when index is not a used entry.
    int GetDefect(int index, int& type, int& point) const;
    // Type text and depth of defect index; 0 when index is not a used entry.
    int GetDefectText(int index, std::string& text, float& depth) const;
    // Moves defect index to the depth of point p; 0 when refused.
    int SetDefectDepthAtPoint(int index, int p);
    // A new wave speed with every defect kept at its time: each depth scales by the new speed over the
    // old one, rounded to one decimal as stored. The length is the caller's to set. Without a usable
    // old speed the depths stay.
    void SetSpeedKeepingTimes(int speed);

    std::optional<double> BinFrequency(int k) const;
    // The gain curve the view draws, in display points from the head (values 0..20); returns how many
    // values were written.
    int GainCurve(std::span<int> out) const;

    // Takes over the parameters of a record this one is derived from (averaging). Returns "" or the
    // refusal message when there is no source.
    std::string CopyParameters(const CPileRecord* source);
};

// Only the stored fields and a few words of state: 500 piles stay about 2 MB in memory.
static_assert(sizeof(CPileRecord) <= 4608, "CPileRecord holds the stored fields, not processing buffers");

// The delay in samples of these filters at sampling interval dt (µs), as the pipeline runs them:
// low-pass passes (at most five) and one high-pass pass.
int FilterDelayOf(float lowPassKHz, int passes, float highPassHz, float dt);

// The pile head is a sample of the trace: 0..1023.
inline bool HeadSampleInTrace(long long head) { return head >= 0 && head < kSamples; }

} // namespace pw
