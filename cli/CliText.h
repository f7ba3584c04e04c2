// Small text helpers of the CLI's verbs: today's date and columns padded for a terminal.
#pragma once

#include <string>

#include "core/CDate.h"

namespace pw::cli {

// The local calendar day.
CDate Today();
// The local calendar day as "YYYY-MM-DD".
std::string TodayText();

// text followed by blanks up to `columns` terminal columns (CJK characters take two), and at least
// minBlanks blanks (1 keeps padded fields apart when one fills its column).
std::string PadColumns(const std::string& text, int columns, int minBlanks = 0);

} // namespace pw::cli
