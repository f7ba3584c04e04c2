// Usual sizes of the defect kinds and the "DEPTH:TYPE[:SEVERITY[:EXTENT]]" text of a defect.
#include "sim/PileDescription.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "core/PileTypes.h"

namespace pw {
namespace {

struct CDefectKind {
    float fSeverity; // relative change of impedance
    float fExtent;   // m; 0 = down to the toe
};

// Indexed by defect code. A broken pile leaves a layer of soil and water between the parts that
// barely couples them, so the part above rings like a pile of its own; a crack is thin and open over
// most of the section. A thin soft layer acts as a spring: its echo is the blow's sign only while the
// spring is soft enough (time constant Z·h / (2·Z_layer·c) longer than the blow).
constexpr CDefectKind kKinds[8] = {
    {0.f, 0.f},    // 0 无缺陷 (not a defect)
    {0.5f, 1.0f},  // 1 扩径
    {0.35f, 1.0f}, // 2 缩径
    {0.99f, 0.3f}, // 3 断桩
    {0.9f, 0.1f},  // 4 裂纹
    {0.45f, 0.6f}, // 5 夹泥
    {0.3f, 1.5f},  // 6 离析
    {0.8f, 0.f},   // 7 扩底
};

bool ParseFloat(const std::string& text, float& out) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const float v = std::strtof(text.c_str(), &end);
    if (errno != 0 || end != text.c_str() + text.size() || !std::isfinite(v)) return false;
    out = v;
    return true;
}

} // namespace

bool DefectDefaults(int type, float& severity, float& extent) {
    if (type < 1 || type > 7) return false;
    severity = kKinds[type].fSeverity;
    extent = kKinds[type].fExtent;
    return true;
}

std::string ParseDefect(std::string_view text, CSimDefect& out) {
    std::vector<std::string> parts(1);
    for (const char c : text) {
        if (c == ':')
            parts.emplace_back();
        else
            parts.back() += c;
    }
    const std::string quoted = "\"" + std::string(text) + "\"";
    if (parts.size() < 2 || parts.size() > 4)
        return "a defect is DEPTH:TYPE[:SEVERITY[:EXTENT]], not " + quoted;
    CSimDefect d;
    if (!ParseFloat(parts[0], d.fDepth) || d.fDepth < 0.f) return "bad defect depth in " + quoted;
    d.nType = 0;
    for (int code = 1; code <= 7; ++code)
        if (parts[1] == DefectTypeText(code) || parts[1] == std::to_string(code)) d.nType = code;
    if (d.nType == 0)
        return "unknown defect type \"" + parts[1] + "\" (1..7 or 扩径 缩径 断桩 裂纹 夹泥 离析 扩底)";
    if (!DefectDefaults(d.nType, d.fSeverity, d.fExtent)) return "unknown defect type in " + quoted;
    if (parts.size() > 2 && (!ParseFloat(parts[2], d.fSeverity) || d.fSeverity < 0.f ||
                             (d.fSeverity >= 1.f && d.nType != 1 && d.nType != 7)))
        return "bad defect severity in " + quoted + " (a fall of impedance is below 1)";
    if (parts.size() > 3 && (!ParseFloat(parts[3], d.fExtent) || d.fExtent < 0.f))
        return "bad defect extent in " + quoted;
    out = d;
    return "";
}

std::string CheckDefectDepths(const std::vector<CSimDefect>& defects, float length) {
    for (const CSimDefect& d : defects)
        if (!(d.fDepth > 0.f && d.fDepth < length)) {
            char text[160];
            std::snprintf(text, sizeof text, "a defect at %g m does not lie inside a pile of %g m",
                          static_cast<double>(d.fDepth), static_cast<double>(length));
            return text;
        }
    return "";
}

} // namespace pw
