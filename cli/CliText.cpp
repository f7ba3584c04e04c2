// Small text helpers of the CLI's verbs (see CliText.h).
#include "cli/CliText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

#include "core/GbkText.h"

namespace pw::cli {

CDate Today() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

std::string TodayText() {
    const CDate d = Today();
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", d.nYear, d.nMonth, d.nDay);
    return text;
}

std::string PadColumns(const std::string& text, int columns, int minBlanks) {
    return text + std::string(static_cast<std::size_t>(std::max(minBlanks, columns - TextColumns(text))), ' ');
}

nlohmann::ordered_json ClassCountsJson(const std::array<int, kPileClassCount>& counts) {
    nlohmann::ordered_json j = nlohmann::ordered_json::object();
    for (int cls : {kClassI, kClassII, kClassIII, kClassIV, kClassUndecided})
        j[PileClassText(cls)] = counts[static_cast<std::size_t>(cls - 1)];
    return j;
}

} // namespace pw::cli
