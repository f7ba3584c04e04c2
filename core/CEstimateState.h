// What the estimate bar holds, without the widgets: the estimated pile length and wave speed, which of
// them was entered, the scope of an apply. The bar's edits and scope box show this state.
#pragma once

#include <cstdint>
#include <string>

namespace pw {

class CDEVAzazDoc;

inline constexpr const char* kScopeCurrent = "当前道"; // the current trace
inline constexpr const char* kScopeGroup = "当前组";   // every trace of the current pile's name
inline constexpr const char* kScopeAll = "全部波列";   // every trace

class CEstimateState {
public:
    float m_fLength = 0.f;     // estimated pile length, m
    int16_t m_nSpeed = 0;      // estimated wave speed, m/s
    int m_bLengthEntered = 0;  // 1 after a length commit, 0 after a speed commit (needs a document)
    int m_nLastEntered = 0;    // 0 length, 1 speed was committed last (changes even without a document)
    std::string m_strScope = kScopeCurrent;

    // The user leaves (or presses Enter in) the length edit with value typed. With a document, an
    // out-of-range value is refused with its message and the previous value stays; an accepted value
    // that differs from the previous one is applied to the scope. Returns "" or the message; when the
    // apply refuses, the bar is as it was.
    std::string CommitLength(CDEVAzazDoc* doc, float value);
    std::string CommitSpeed(CDEVAzazDoc* doc, int value);
    // The user picks a scope: the bar's speed and the pending set go into the records of that scope,
    // each keeping its toe and defects at their times (CDEVAzazDoc::WriteBarToScope). Returns "" or
    // the message: a bar value outside the commits' ranges, or a head the filters would push off the
    // trace (then nothing is written).
    std::string ScopeChanged(CDEVAzazDoc* doc, const std::string& scope);
    int LastEntered() const { return m_nLastEntered; }
};

} // namespace pw
