// A calendar date as the dialogs and the settings files keep it: year, month, day.
#pragma once

namespace pw {

struct CDate {
    int nYear = 1970; // the dialogs' "time value 0"
    int nMonth = 1;
    int nDay = 1;

    // A calendar date of the years 1..9999.
    bool IsValid() const {
        if (nYear < 1 || nYear > 9999 || nMonth < 1 || nMonth > 12 || nDay < 1) return false;
        constexpr int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
        const bool leap = (nYear % 4 == 0 && nYear % 100 != 0) || nYear % 400 == 0;
        return nDay <= days[nMonth - 1] + (nMonth == 2 && leap ? 1 : 0);
    }
    bool operator==(const CDate&) const = default;
};

// A date left empty: the report prints nothing for it and the settings file never stores it.
inline constexpr CDate kNoDate{0, 0, 0};

} // namespace pw
