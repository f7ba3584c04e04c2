// printf-style formatting into a std::string of whatever length the text takes (the Chinese
// sentences of the checks and the report can run long: nothing is cut).
#pragma once

#include <cstdio>
#include <string>

namespace pw {

template <typename... Args> std::string Format(const char* format, Args... args) {
    char small[256];
    const int n = std::snprintf(small, sizeof small, format, args...);
    if (n < 0) return {};
    if (static_cast<std::size_t>(n) < sizeof small) return std::string(small, static_cast<std::size_t>(n));
    std::string text(static_cast<std::size_t>(n) + 1, '\0');
    std::snprintf(text.data(), text.size(), format, args...);
    text.resize(static_cast<std::size_t>(n));
    return text;
}

} // namespace pw
