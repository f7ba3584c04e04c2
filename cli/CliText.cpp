// Small text helpers of the CLI's verbs (see CliText.h).
#include "cli/CliText.h"

#include <algorithm>
#include <cstdio>
#include <ctime>

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
    int used = 0;
    for (std::size_t i = 0; i < text.size();) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const int bytes = c < 0x80 ? 1 : c < 0xE0 ? 2 : c < 0xF0 ? 3 : 4;
        unsigned cp = bytes == 1 ? c : c & (0xFFu >> (bytes + 1));
        for (int k = 1; k < bytes && i + k < text.size(); ++k)
            cp = (cp << 6) | (static_cast<unsigned char>(text[i + k]) & 0x3Fu);
        const bool wide = (cp >= 0x2E80 && cp <= 0xA4CF) || (cp >= 0xAC00 && cp <= 0xD7A3) ||
                          (cp >= 0xFF00 && cp <= 0xFF60);
        used += wide ? 2 : 1;
        i += static_cast<std::size_t>(bytes);
    }
    return text + std::string(static_cast<std::size_t>(std::max(minBlanks, columns - used)), ' ');
}

} // namespace pw::cli
