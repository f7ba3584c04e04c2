// The data checks before a report: each record, each pile, the site, and the report's paragraph.
#include "core/DataChecks.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "core/CoreMessages.h"
#include "core/GbkText.h"
#include "core/PileOrder.h"
#include "core/SiteSpeed.h"
#include "core/TextFormat.h"

namespace pw {
namespace {

// Decimals (1 to 3) at which a and b print differently, so "不足" never stands between equal figures.
int DecimalsApart(double a, double b) {
    for (int d = 1; d < 3; ++d)
        if (Format("%.*f", d, a) != Format("%.*f", d, b)) return d;
    return 3;
}

CCheckFinding Finding(CheckCode code, CheckLevel level, int index, std::vector<CCheckFigure> figures,
                      std::string text) {
    return CCheckFinding{code, level, index, std::move(figures), std::move(text)};
}

// Four significant figures say which level a record is held at; raw units carry no more meaning.
double FourFigures(double v) {
    if (!(v != 0) || !std::isfinite(v)) return v;
    const double scale = std::pow(10.0, 3 - std::floor(std::log10(std::fabs(v))));
    return std::round(v * scale) / scale;
}

bool ToeDefined(const CPileRecord& rec) {
    return rec.m_fPileLength >= kToeLengthMin && rec.m_fPileLength <= kToeLengthMax &&
           rec.m_nWaveSpeed >= kToeSpeedMin && rec.m_nWaveSpeed <= kToeSpeedMax;
}

double Mean(const float* from, int n) {
    double sum = 0;
    for (int i = 0; i < n; ++i)
        sum += from[i];
    return n > 0 ? sum / n : 0.0;
}

// The longest run of samples held at the record's extreme: the sample of largest magnitude, and
// every neighbour in a row within kClipTolerance of it.
void LongestRunAtExtreme(const CPileRecord& rec, int& run, float& extreme) {
    int at = 0;
    for (int i = 1; i < kSamples; ++i)
        if (std::fabs(rec.m_fRaw[i]) > std::fabs(rec.m_fRaw[at])) at = i;
    extreme = rec.m_fRaw[at];
    run = 0;
    if (!(std::fabs(extreme) > 0.f) || !std::isfinite(extreme)) return; // a flat record clips nothing
    const double limit = std::fabs(static_cast<double>(extreme)) * (1.0 - kClipTolerance);
    for (int i = 0, length = 0; i < kSamples; ++i) {
        const double v = rec.m_fRaw[i];
        const bool held = extreme > 0 ? v >= limit : v <= -limit;
        length = held ? length + 1 : 0;
        run = std::max(run, length);
    }
}

} // namespace

const char* CheckCodeName(CheckCode code) {
    switch (code) {
    case CheckCode::kRecordShort: return "record_short";
    case CheckCode::kSpectrumLimit: return "spectrum_limit";
    case CheckCode::kLowPass: return "low_pass";
    case CheckCode::kClipped: return "clipped";
    case CheckCode::kDrift: return "drift";
    case CheckCode::kToeUndefined: return "toe_undefined";
    case CheckCode::kBadInterval: return "bad_sample_interval";
    case CheckCode::kFewSignals: return "few_signals";
    case CheckCode::kFewPiles: return "few_piles";
    }
    return "unknown";
}

int CDataChecks::CountFindings(CheckLevel level) const {
    int n = 0;
    for (const CPileCheck& p : m_Piles)
        n += static_cast<int>(std::count_if(p.m_Findings.begin(), p.m_Findings.end(),
                                            [&](const CCheckFinding& f) { return f.m_nLevel == level; }));
    for (const CCheckFinding& f : m_Site.m_Findings)
        n += f.m_nLevel == level;
    return n;
}

std::vector<CCheckFinding> CheckRecord(const CPileRecord& rec, int index) {
    std::vector<CCheckFinding> out;
    const double dt = rec.m_fSampleInterval; // µs
    const bool intervalUsable = std::isfinite(dt) && dt > 0;
    const bool toe = ToeDefined(rec);

    // The head is a sample of the drawn trace. That trace lags the raw samples by the filters' delay
    // and ends at sample 1023 like them, so this is the time the curve shows after the head.
    if (intervalUsable && toe) {
        const int after = kSamples - std::clamp<int>(rec.m_nHeadSample, 0, kSamples);
        const double recordedMs = after * dt / 1000.0;
        const double requiredMs = 2.0 * rec.m_fPileLength / rec.m_nWaveSpeed * 1000.0 + kRecordTailMs;
        // A record that ends exactly at 2L/c + 5 ms meets the rule: float rounding of the stored
        // length and interval is not a shortfall.
        if (recordedMs < requiredMs * (1.0 - 1e-9)) {
            const int d = DecimalsApart(recordedMs, requiredMs);
            out.push_back(Finding(CheckCode::kRecordShort, CheckLevel::kWarning, index,
                                  {{"recorded_ms", recordedMs}, {"required_ms", requiredMs}},
                                  Format(msg::kCheckRecordShort, d, recordedMs, d, requiredMs)));
        }
    }
    if (intervalUsable && dt > kMaxSampleIntervalUs * (1.0 + 1e-9)) {
        const double limitHz = 1e6 / (4.0 * dt);
        out.push_back(Finding(CheckCode::kSpectrumLimit, CheckLevel::kWarning, index,
                              {{"sample_interval_us", dt}, {"spectrum_limit_hz", limitHz}},
                              Format(msg::kCheckSpectrumLimit, dt, limitHz)));
    }
    if (rec.m_fLowPass > 0.f && rec.m_fLowPass < kLowPassNoteKHz)
        out.push_back(Finding(CheckCode::kLowPass, CheckLevel::kInfo, index,
                              {{"low_pass_khz", static_cast<double>(rec.m_fLowPass)}},
                              Format(msg::kCheckLowPass, static_cast<double>(rec.m_fLowPass))));

    int run = 0;
    float extreme = 0.f;
    LongestRunAtExtreme(rec, run, extreme);
    if (run >= kClipRunSamples)
        out.push_back(Finding(CheckCode::kClipped, CheckLevel::kWarning, index,
                              {{"run_samples", static_cast<double>(run)}, {"extreme", static_cast<double>(extreme)}},
                              Format(msg::kCheckClipped, run, FourFigures(extreme))));

    // The start level is taken before the head where the record has samples there: the raw head is
    // the drawn head less the filters' delay.
    const int rawHead = intervalUsable
                            ? rec.m_nHeadSample - FilterDelayOf(rec.m_fLowPass, rec.m_nLowPassPasses, rec.m_fHighPass,
                                                                rec.m_fSampleInterval)
                            : rec.m_nHeadSample;
    const int startCount = std::clamp(rawHead, 1, kDriftWindowSamples);
    const double start = Mean(rec.m_fRaw, startCount);
    const double end = Mean(rec.m_fRaw + kSamples - kDriftWindowSamples, kDriftWindowSamples);
    double pulse = 0;
    for (float v : rec.m_fRaw)
        pulse = std::max(pulse, std::fabs(v - start));
    if (pulse > 0 && std::isfinite(pulse)) {
        const double share = std::fabs(end - start) / pulse;
        if (share > kDriftShare)
            out.push_back(Finding(CheckCode::kDrift, CheckLevel::kWarning, index,
                                  {{"drift_share", share}, {"start", start}, {"end", end}, {"pulse", pulse}},
                                  Format(msg::kCheckDrift, share * 100.0, kDriftShare * 100.0)));
    }

    if (!toe)
        out.push_back(Finding(CheckCode::kToeUndefined, CheckLevel::kWarning, index,
                              {{"length_m", static_cast<double>(rec.m_fPileLength)},
                               {"wave_speed_mps", static_cast<double>(rec.m_nWaveSpeed)}},
                              Format(msg::kCheckToeUndefined, static_cast<double>(rec.m_fPileLength),
                                     static_cast<int>(rec.m_nWaveSpeed))));
    if (!intervalUsable)
        out.push_back(Finding(CheckCode::kBadInterval, CheckLevel::kWarning, index, {{"sample_interval_us", dt}},
                              Format(msg::kCheckBadInterval, dt)));
    return out;
}

int RequiredPiles(int total) {
    if (total <= 0) return 0;
    const int share = (total * kMinTestedPercent + 99) / 100; // rounded up, in whole numbers
    return std::min(total, std::max(kMinTestedPiles, share));
}

CDataChecks CheckData(const std::vector<CPileRecord>& piles, const std::vector<int>& indices,
                      std::optional<int> siteTotal) {
    CDataChecks r;
    std::vector<int> chosen;
    if (indices.empty()) {
        for (std::size_t i = 0; i < piles.size(); ++i)
            chosen.push_back(static_cast<int>(i));
    } else {
        for (int index : indices)
            if (index >= 0 && index < static_cast<int>(piles.size())) chosen.push_back(index);
    }

    // Repeated blows of one pile are its signals: group by trimmed name.
    for (int index : chosen) {
        const CPileRecord& rec = piles[static_cast<std::size_t>(index)];
        const std::string name = GbkToUtf8(TrimmedPileName(rec));
        auto it = std::find_if(r.m_Piles.begin(), r.m_Piles.end(), [&](const CPileCheck& p) { return p.m_strName == name; });
        if (it == r.m_Piles.end()) {
            r.m_Piles.push_back(CPileCheck{name, {}, 0, kClassI, {}});
            it = r.m_Piles.end() - 1;
        }
        it->m_Records.push_back(index);
        it->m_nClass = WorsePileClass(it->m_nClass, PileClassOf(rec));
        std::vector<CCheckFinding> found = CheckRecord(rec, index);
        const bool valid = std::none_of(found.begin(), found.end(), [](const CCheckFinding& f) {
            return f.m_nCode == CheckCode::kClipped || f.m_nCode == CheckCode::kDrift;
        });
        it->m_nValidSignals += valid;
        for (CCheckFinding& f : found)
            it->m_Findings.push_back(std::move(f));
    }

    CSiteCheck& site = r.m_Site;
    for (CPileCheck& p : r.m_Piles) {
        const int records = static_cast<int>(p.m_Records.size());
        if (p.m_nValidSignals < kMinValidSignals)
            p.m_Findings.push_back(Finding(CheckCode::kFewSignals, CheckLevel::kWarning, -1,
                                           {{"valid_signals", static_cast<double>(p.m_nValidSignals)},
                                            {"records", static_cast<double>(records)}},
                                           Format(msg::kCheckFewSignals, p.m_nValidSignals, records)));
        else
            ++site.m_nPilesWithEnoughSignals;
        ++site.m_nClassCounts[static_cast<std::size_t>(p.m_nClass - 1)];
        site.m_nRecords += records;
    }
    site.m_nPiles = static_cast<int>(r.m_Piles.size());
    site.m_strLines.push_back(
        Format(msg::kCheckSitePiles, site.m_nPiles, site.m_nRecords, site.m_nPilesWithEnoughSignals));

    if (siteTotal && *siteTotal > 0) {
        const int total = *siteTotal;
        site.m_nTotal = total;
        site.m_nRequired = RequiredPiles(total);
        site.m_bEnough = site.m_nPiles >= site.m_nRequired;
        if (!*site.m_bEnough) {
            const std::string text = Format(msg::kCheckFewPiles, site.m_nPiles, site.m_nRequired, total);
            site.m_Findings.push_back(Finding(CheckCode::kFewPiles, CheckLevel::kWarning, -1,
                                              {{"tested", static_cast<double>(site.m_nPiles)},
                                               {"required", static_cast<double>(site.m_nRequired)},
                                               {"total", static_cast<double>(total)}},
                                              text));
            site.m_strLines.push_back(text + "。");
        } else if (site.m_nPiles > total) {
            site.m_strLines.push_back(Format(msg::kCheckSiteOverTotal, site.m_nPiles, total));
        } else {
            site.m_strLines.push_back(Format(msg::kCheckSiteEnough, total, site.m_nRequired, site.m_nPiles));
        }
    } else {
        site.m_strLines.push_back(msg::kCheckSiteTotalUnknown);
    }

    std::string classes = Format(msg::kCheckSiteClasses, site.m_nClassCounts[0], site.m_nClassCounts[1],
                                 site.m_nClassCounts[2], site.m_nClassCounts[3]);
    if (const int undecided = site.m_nClassCounts[kClassUndecided - 1]; undecided > 0)
        classes += Format(msg::kCheckSiteUndecided, undecided);
    site.m_strLines.push_back(classes + "。");
    if (!chosen.empty()) {
        const CSiteSpeedResult speed = ComputeSiteSpeed(piles, chosen);
        site.m_bHasSpeed = speed.m_bHasSpeed;
        site.m_nSiteSpeed = speed.m_nSiteSpeed;
        site.m_nSpeedPiles = speed.m_nUsed;
        site.m_strLines.push_back(speed.m_strVerdict);
    }
    return r;
}

std::string DataQualityParagraph(const CDataChecks& checks) {
    // One clause per kind of warning, in the order of CheckCode, each naming its piles once.
    struct Clause {
        CheckCode code;
        const char* text;
    };
    static const Clause kClauses[] = {
        {CheckCode::kRecordShort, msg::kQualityRecordShort}, {CheckCode::kSpectrumLimit, msg::kQualitySpectrumLimit},
        {CheckCode::kClipped, msg::kQualityClipped},         {CheckCode::kDrift, msg::kQualityDrift},
        {CheckCode::kToeUndefined, msg::kQualityToeUndefined}, {CheckCode::kBadInterval, msg::kQualityBadInterval},
        {CheckCode::kFewSignals, msg::kQualityFewSignals},
    };
    // More names than this read as a list, not a sentence: the rest are counted.
    constexpr int kNamesShown = 6;
    std::vector<std::string> clauses;
    for (const Clause& c : kClauses) {
        std::vector<std::string> names;
        for (const CPileCheck& p : checks.m_Piles)
            if (std::any_of(p.m_Findings.begin(), p.m_Findings.end(), [&](const CCheckFinding& f) {
                    return f.m_nCode == c.code && f.m_nLevel == CheckLevel::kWarning;
                }))
                names.push_back(p.m_strName.empty() ? msg::kCheckUnnamedPile : p.m_strName);
        if (names.empty()) continue;
        std::string list;
        for (int i = 0; i < std::min<int>(kNamesShown, static_cast<int>(names.size())); ++i)
            list += (i ? "、" : "") + names[static_cast<std::size_t>(i)];
        if (static_cast<int>(names.size()) > kNamesShown)
            list += Format(msg::kQualityMoreNames, static_cast<int>(names.size()));
        clauses.push_back(Format(c.text, list.c_str()));
    }
    for (const CCheckFinding& f : checks.m_Site.m_Findings)
        if (f.m_nLevel == CheckLevel::kWarning) clauses.push_back(f.m_strText);
    if (clauses.empty()) return {};
    std::string text = msg::kQualityOpening;
    for (std::size_t i = 0; i < clauses.size(); ++i)
        text += (i ? "；" : "") + clauses[i];
    return text + "。";
}

} // namespace pw
