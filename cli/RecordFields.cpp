// The table of settable record fields.
#include "cli/RecordFields.h"

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <variant>

namespace pw::cli {
namespace {

using FieldRef = std::variant<int16_t CPileRecord::*, int32_t CPileRecord::*, float CPileRecord::*>;

struct CField {
    const char* name;
    FieldRef ref;
};

const CField kFields[] = {
    {"m_nViewPoints", &CPileRecord::m_nViewPoints}, {"m_nWindowType", &CPileRecord::m_nWindowType},
    {"m_bRemoveDC", &CPileRecord::m_bRemoveDC},     {"m_nPileNo", &CPileRecord::m_nPileNo},
    {"m_nPileType", &CPileRecord::m_nPileType},     {"m_nDiameter", &CPileRecord::m_nDiameter},
    {"m_nSignalType", &CPileRecord::m_nSignalType}, {"m_nAux1", &CPileRecord::m_nAux1},
    {"m_nAux2", &CPileRecord::m_nAux2},             {"m_fAux3", &CPileRecord::m_fAux3},
    {"m_bIntegrate", &CPileRecord::m_bIntegrate},   {"m_nLowPassPasses", &CPileRecord::m_nLowPassPasses},
    {"m_nPreZero", &CPileRecord::m_nPreZero},       {"m_nPostCut", &CPileRecord::m_nPostCut},
    {"m_nShiftY", &CPileRecord::m_nShiftY},         {"m_fPileLength", &CPileRecord::m_fPileLength},
    {"m_nWaveSpeed", &CPileRecord::m_nWaveSpeed},   {"m_fSampleInterval", &CPileRecord::m_fSampleInterval},
    {"m_nAux4", &CPileRecord::m_nAux4},             {"m_nGainMode", &CPileRecord::m_nGainMode},
    {"m_fGain", &CPileRecord::m_fGain},             {"m_fGainDelay", &CPileRecord::m_fGainDelay},
    {"m_fLowPass", &CPileRecord::m_fLowPass},       {"m_fHighPass", &CPileRecord::m_fHighPass},
    {"m_nRotate", &CPileRecord::m_nRotate},         {"m_nHeadSample", &CPileRecord::m_nHeadSample},
    {"m_nStep", &CPileRecord::m_nStep},             {"m_nSmooth", &CPileRecord::m_nSmooth},
    {"m_nShiftX", &CPileRecord::m_nShiftX},         {"m_nZoom", &CPileRecord::m_nZoom},
    {"m_bChecked", &CPileRecord::m_bChecked},
};

template <typename T> std::string AssignInteger(CPileRecord& rec, T CPileRecord::*field, const std::string& value) {
    char* end = nullptr;
    errno = 0;
    const long long v = std::strtoll(value.c_str(), &end, 10);
    if (value.empty() || *end != '\0' || errno == ERANGE) return "\"" + value + "\" is not a whole number";
    if (v < std::numeric_limits<T>::min() || v > std::numeric_limits<T>::max())
        return value + " does not fit the field (" + std::to_string(std::numeric_limits<T>::min()) + ".." +
               std::to_string(std::numeric_limits<T>::max()) + ")";
    rec.*field = static_cast<T>(v);
    return {};
}

} // namespace

std::string SetRecordField(CPileRecord& rec, const std::string& field, const std::string& value) {
    for (const CField& f : kFields) {
        if (field != f.name) continue;
        if (auto* p = std::get_if<int16_t CPileRecord::*>(&f.ref)) return AssignInteger(rec, *p, value);
        if (auto* p = std::get_if<int32_t CPileRecord::*>(&f.ref)) return AssignInteger(rec, *p, value);
        char* end = nullptr;
        const float v = std::strtof(value.c_str(), &end); // nan and inf are allowed: files hold them too
        if (value.empty() || *end != '\0') return "\"" + value + "\" is not a number";
        rec.*std::get<float CPileRecord::*>(f.ref) = v;
        return {};
    }
    return "unknown field " + field;
}

} // namespace pw::cli
