// The value checks shared by the editing dialogs and the command line.
#include "core/ValueRules.h"

#include <cstdio>
#include <utility>

#include "core/CoreMessages.h"

namespace pw {
namespace {

bool IsBlank(const std::string& text) {
    return text.find_first_not_of(" \t") == std::string::npos;
}

} // namespace

std::string CheckGainFactor(float gain) {
    return gain >= 1.0f && gain <= 1000.0f ? "" : msg::kGainRange;
}

float GainDelayLimit(float barLength) {
    return 0.8f * barLength;
}

std::string CheckGainDelay(float delay, float limit) {
    if (delay >= 0.f && delay <= limit) return "";
    char text[128];
    std::snprintf(text, sizeof text, msg::kGainDelayRange, static_cast<double>(limit));
    return text;
}

std::string CheckLowPass(float kHz) {
    return kHz >= 0.f && kHz <= 5.0f ? "" : msg::kLowPassRange;
}

std::string CheckPasses(int passes) {
    return passes >= 1 && passes <= 5 ? "" : msg::kPassesRange;
}

std::string CheckHighPass(float hz) {
    return hz >= 0.f && hz <= 2000.0f ? "" : msg::kHighPassRange;
}

std::string CheckFilterOrder(const FilterValues& v) {
    if (v.m_fLowPass == 0.f) return "";
    return v.m_fLowPass * 1000.0f > v.m_fHighPass ? "" : msg::kLowBelowHigh;
}

std::string CheckFilter(const FilterValues& v) {
    for (const std::string& m : {CheckLowPass(v.m_fLowPass), CheckPasses(v.m_nPasses), CheckHighPass(v.m_fHighPass)})
        if (!m.empty()) return m;
    return CheckFilterOrder(v);
}

std::string CheckPrintFormat(const CPrintSettings& s) {
    // A margin below 0 is refused with its own name, before the comparisons would blame another one.
    // NaN fails the comparison too.
    const std::pair<float, const char*> margins[] = {
        {s.m_fTopMargin, msg::kTopMarginNegative},       {s.m_fBottomMargin, msg::kBottomMarginNegative},
        {s.m_fLeftMargin, msg::kLeftMarginNegative},     {s.m_fRightMargin, msg::kRightMarginNegative},
        {s.m_fHeaderMargin, msg::kHeaderMarginNegative}, {s.m_fFooterMargin, msg::kFooterMarginNegative}};
    for (const auto& [value, message] : margins)
        if (!(value >= 0.f)) return message;
    // Equal margins pass: the header or footer line sits on the margin.
    if (s.m_fBottomMargin < s.m_fFooterMargin) return msg::kFooterMargin;
    if (s.m_fTopMargin < s.m_fHeaderMargin) return msg::kHeaderMargin;
    if (s.m_nColumns < 1 || s.m_nColumns > kMaxColumns) return msg::kColumnsRange;
    if (s.m_nRows < 1 || s.m_nRows > MaxRows(s.m_nColumns)) {
        char text[128];
        std::snprintf(text, sizeof text, msg::kRowsRange, MaxRows(s.m_nColumns));
        return text;
    }
    return "";
}

std::string CheckPrintParameters(const CPrintSettings& s) {
    if (s.m_bSpectra && s.m_nRows == 1) return msg::kSpectraRows;
    if (s.m_szFooter[0] != '\0' && s.m_nPagePosition == 1) return msg::kFooterOverlap;
    if (s.m_nPaperKind == kPaperCustom && (s.m_nPaperHeight <= 0 || s.m_nPaperWidth <= 0))
        return msg::kCustomPaper;
    return "";
}

std::string CheckTextLength(const std::string& utf8, int maxChars) {
    // Characters are counted as the user sees them: every byte that does not continue a UTF-8
    // sequence starts one.
    long long chars = 0;
    for (const char c : utf8)
        if ((static_cast<unsigned char>(c) & 0xC0) != 0x80) ++chars;
    if (chars <= maxChars) return "";
    char text[128];
    std::snprintf(text, sizeof text, msg::kTooManyChars, maxChars);
    return text;
}

std::string CheckIntegerRange(long long value, int lo, int hi) {
    if (value >= lo && value <= hi) return "";
    char text[128];
    std::snprintf(text, sizeof text, msg::kIntOutOfRange, lo, hi);
    return text;
}

std::string CheckDiameter(long long mm) {
    return CheckIntegerRange(mm, kDiameterMin, kDiameterMax);
}

std::string CheckPileNameChange(const std::string& before, const std::string& after) {
    return !IsBlank(before) && IsBlank(after) ? msg::kPileNameCleared : "";
}

} // namespace pw
