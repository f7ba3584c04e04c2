// The data checked against the low-strain rules of JGJ 106-2014 before a report goes out: each record
// (time recorded after the head, frequency range, clipping, zero drift, a defined toe) and the site
// (valid signals per pile, piles tested against the site's total, classes, mean wave speed).
// Reads stored fields only; the processed trace plays no part.
#pragma once

#include <array>
#include <optional>
#include <string>
#include <vector>

#include "core/CPileRecord.h"
#include "core/ReportContent.h"

namespace pw {

// From JGJ 106-2014 (建筑基桩检测技术规范):
// 第8.3.2条: the time record runs on at least 5 ms past 2L/c ...
inline constexpr double kRecordTailMs = 5.0;
// ... and the frequency range of the spectrum reaches at least 2000 Hz.
inline constexpr double kMinSpectrumHz = 2000.0;
// The spectrum this program shows covers 0 to a quarter of the sampling rate, 1/(4Δt): it reaches
// 2000 Hz while Δt <= 125 µs.
inline constexpr double kMaxSampleIntervalUs = 1e6 / (4.0 * kMinSpectrumHz);
// A low-pass below this is worth a word (information, not a fault): the curve lacks what lies above.
inline constexpr double kLowPassNoteKHz = kMinSpectrumHz / 1000.0;
// 第8.3.4条: at least 3 valid signals (free of distortion and zero drift) per measuring point.
inline constexpr int kMinValidSignals = 3;
// 第3.3.3条, the general case: at least 20 % of the site's piles, and no fewer than 10.
inline constexpr int kMinTestedPercent = 20;
inline constexpr int kMinTestedPiles = 10;

// Our own limits: the standard asks for signals free of distortion and zero drift, without figures.
// Clipped: this many samples in a row held at the record's extreme (within kClipTolerance of it). A
// sharp pulse peaks on one or two samples; a converter at the end of its range holds its value.
inline constexpr int kClipRunSamples = 4;
inline constexpr double kClipTolerance = 1e-4; // share of the extreme
// Drift: the mean of the last kDriftWindowSamples lies off the mean of the first ones (before the
// head) by more than kDriftShare of the head pulse (the largest excursion from the start level). A
// clean short record may still ring at its end by some 10 % of the pulse: the limit stays above that.
inline constexpr int kDriftWindowSamples = 32;
inline constexpr double kDriftShare = 0.15;

// The toe is defined while length and speed lie within the ranges the estimate bar accepts.
inline constexpr float kToeLengthMin = 0.5f, kToeLengthMax = 200.0f;
inline constexpr int kToeSpeedMin = 100, kToeSpeedMax = 10000;

enum class CheckCode : int {
    kRecordShort,   // record after the head shorter than 2L/c + 5 ms
    kSpectrumLimit, // Δt above 125 µs: the spectrum stops short of 2000 Hz
    kLowPass,       // information: a low-pass below 2 kHz
    kClipped,
    kDrift,
    kToeUndefined,  // length or speed outside their ranges: no 2L/c to check against
    kBadInterval,   // no usable sampling interval
    kFewSignals,    // a pile with fewer than 3 valid signals
    kFewPiles,      // the site: fewer piles tested than the rule asks
};
enum class CheckLevel : int { kInfo, kWarning };

// "record_short", "spectrum_limit", ... (the CLI's JSON).
const char* CheckCodeName(CheckCode code);

struct CCheckFigure {
    const char* m_szName; // "recorded_ms", "required_ms", ... (units in the name)
    double m_fValue;
};

struct CCheckFinding {
    CheckCode m_nCode = CheckCode::kRecordShort;
    CheckLevel m_nLevel = CheckLevel::kWarning;
    int m_nRecord = -1; // index of the record in the project; -1 for a pile's or the site's finding
    std::vector<CCheckFigure> m_Figures;
    std::string m_strText; // one Chinese sentence, UTF-8
};

// One pile: all records of one trimmed pile name.
struct CPileCheck {
    std::string m_strName;      // UTF-8, trimmed
    std::vector<int> m_Records; // its records in the project, in the order asked
    int m_nValidSignals = 0;    // records free of clipping and drift
    int m_nClass = kClassI;     // the worst class of its records (the engineer's, else the rule's)
    std::vector<CCheckFinding> m_Findings; // its records' findings in record order, then its own
};

struct CSiteCheck {
    int m_nPiles = 0;   // piles tested (distinct trimmed names)
    int m_nRecords = 0;
    int m_nPilesWithEnoughSignals = 0;
    std::optional<int> m_nTotal; // the site's total, when known
    int m_nRequired = 0;         // piles the rule asks for (when the total is known)
    std::optional<bool> m_bEnough; // nullopt: the total is unknown, so nothing to compare
    std::array<int, kPileClassCount> m_nClassCounts{}; // piles, not records: Ⅰ, Ⅱ, Ⅲ, Ⅳ, Ⅱ/Ⅲ
    bool m_bHasSpeed = false;
    int m_nSiteSpeed = 0;  // m/s, when m_bHasSpeed
    int m_nSpeedPiles = 0; // the class Ⅰ piles it comes from
    std::vector<CCheckFinding> m_Findings; // kFewPiles
    std::vector<std::string> m_strLines;   // the site's lines for people, Chinese
};

struct CDataChecks {
    std::vector<CPileCheck> m_Piles; // in order of each pile's first record
    CSiteCheck m_Site;
    int CountFindings(CheckLevel level) const;
};

// The findings of one record, in the order of CheckCode. index is copied into each finding.
std::vector<CCheckFinding> CheckRecord(const CPileRecord& rec, int index = -1);

// Piles the sampling rule asks for of a site of total piles: 20 % rounded up, at least 10, never
// more than the site holds.
int RequiredPiles(int total);

// The records at these indices (all records when empty), grouped by pile name; the site's total when
// known (the report information keeps it, or the user types it).
CDataChecks CheckData(const std::vector<CPileRecord>& piles, const std::vector<int>& indices = {},
                      std::optional<int> siteTotal = std::nullopt);

// The report's data-quality paragraph: the warnings by kind with the piles they concern; "" when
// there is none (information alone does not make a paragraph).
std::string DataQualityParagraph(const CDataChecks& checks);

} // namespace pw
