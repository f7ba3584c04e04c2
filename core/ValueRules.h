// Rules of the data that the editing dialogs and the command line both apply: gain, filters, print
// settings and project information. Each check returns "" or the exact message to show; the window
// shows it in a box, the command line prints it and writes nothing.
#pragma once

#include <string>

#include "core/PrintSettings.h"

namespace pw {

struct GainValues {
    int m_nMode = 0; // 0 exponential, 1 linear, -1 neither chosen
    float m_fGain = 1.f;
    float m_fDelay = 0.f; // m
};

std::string CheckGainFactor(float gain);
// The longest delay: eight tenths of the estimate bar's pile length, in single precision.
float GainDelayLimit(float barLength);
std::string CheckGainDelay(float delay, float limit);

struct FilterValues {
    float m_fLowPass = 0.f;  // kHz, 0 = off
    int m_nPasses = 1;       // low-pass passes
    float m_fHighPass = 0.f; // Hz, 0 = off
};

std::string CheckLowPass(float kHz);
std::string CheckPasses(int passes);
std::string CheckHighPass(float hz);
// A low-pass at or below the high-pass would pass nothing. A low-pass of 0 is switched off and is not
// compared (otherwise no filter could ever be switched off).
std::string CheckFilterOrder(const FilterValues& v);
// Every filter rule in the dialog's order: low-pass, passes, high-pass, then their order.
std::string CheckFilter(const FilterValues& v);

// OK of the print settings dialog, in its order: the format page (no margin below 0, then footer and
// header margins within theirs, then the page grid), then the parameters page (spectra rows, footer
// against page number, custom paper).
std::string CheckPrintFormat(const CPrintSettings& s);
std::string CheckPrintParameters(const CPrintSettings& s);

// Field sizes the stored layouts give (characters, not bytes): the project information's unit,
// project and pile name, and the report dialog's texts.
inline constexpr int kUnitChars = 50;
inline constexpr int kProjectNameChars = 20;
inline constexpr int kPileNameChars = 10;
inline constexpr int kReportFieldChars = 200;
inline constexpr int kGeologyChars = 2000;
// A pile's diameter, mm, as the project information accepts it.
inline constexpr int kDiameterMin = 0;
inline constexpr int kDiameterMax = 5000;

// "" or "“请填入不多于N个的字符。”" when the UTF-8 text holds more than maxChars characters.
std::string CheckTextLength(const std::string& utf8, int maxChars);
// "" or "“请填入一个在lo和hi之间的整数。”".
std::string CheckIntegerRange(long long value, int lo, int hi);
std::string CheckDiameter(long long mm);

// Project information: a pile name may stay empty (a tester's file can carry one), but a name the
// pile had cannot be cleared: the pile would vanish from the list's names and from its name group.
std::string CheckPileNameChange(const std::string& before, const std::string& after);

} // namespace pw
