// Sets the user locale's date order and clock style, and restores both.
// The order itself cannot be set: the system derives it from the short
// date format, and the clock style from the time format where setting it
// directly is refused.
#pragma once

#include <windows.h>

namespace bvtest {

class LocaleOverride {
public:
    LocaleOverride() {
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate_, sizeof shortDate_);
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, timeFormat_, sizeof timeFormat_);
    }
    ~LocaleOverride() {
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, shortDate_);
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, timeFormat_);
    }
    // dateOrder "0" month-day-year, "1" day-month-year, "2" year-month-day;
    // timeFormat "0" 12 hours, "1" 24 hours. True when the locale now says so.
    bool set(const char* dateOrder, const char* timeFormat) {
        static const char* const kShortDates[] = {"M/d/yyyy", "d/M/yyyy", "yyyy/M/d"};
        SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_SSHORTDATE, kShortDates[dateOrder[0] - '0']);
        if (!SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ITIME, timeFormat))
            SetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_STIMEFORMAT, timeFormat[0] == '0' ? "h:mm:ss tt" : "HH:mm:ss");
        char date[8] = "", time[8] = "";
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_IDATE, date, sizeof date);
        GetLocaleInfoA(LOCALE_USER_DEFAULT, LOCALE_ITIME, time, sizeof time);
        return date[0] == dateOrder[0] && time[0] == timeFormat[0];
    }

private:
    char shortDate_[80] = "", timeFormat_[80] = "";
};

}  // namespace bvtest
