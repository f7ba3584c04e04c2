// Small text helpers of the CLI's verbs: today's date and columns padded for a terminal.
#pragma once

#include <array>
#include <string>

#include <nlohmann/json.hpp>

#include "core/CDate.h"
#include "core/ReportContent.h"

namespace pw::cli {

// The local calendar day.
CDate Today();
// The local calendar day as "YYYY-MM-DD".
std::string TodayText();

// text followed by blanks up to `columns` terminal columns (CJK characters take two), and at least
// minBlanks blanks (1 keeps padded fields apart when one fills its column).
std::string PadColumns(const std::string& text, int columns, int minBlanks = 0);

// Piles per class as a JSON object keyed by the classes' own names: Ⅰ, Ⅱ, Ⅲ, Ⅳ and the undecided Ⅱ/Ⅲ.
nlohmann::ordered_json ClassCountsJson(const std::array<int, kPileClassCount>& counts);

} // namespace pw::cli
