#include "camera_time.h"

#include <cstdio>

namespace {

constexpr int kFirstYear = 1970;
constexpr int kLastYear = 2105;  // the last whole year a 32-bit count reaches
constexpr long long kSecondsPerDay = 86400;

bool isLeapYear(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int daysInMonth(int year, int month) {
    static const int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && isLeapYear(year) ? 29 : kDays[month - 1];
}

// Days from 1970-01-01 to the given date of the proleptic Gregorian
// calendar, counted in 400-year eras that start on 1 March.
long long daysFromCivil(int year, int month, int day) {
    year -= month <= 2;
    const long long era = year / 400;
    const int yearOfEra = year - static_cast<int>(era * 400);
    const int dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const int dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

void civilFromDays(long long days, int* year, int* month, int* day) {
    days += 719468;
    const long long era = days / 146097;
    const int dayOfEra = static_cast<int>(days - era * 146097);
    const int yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const int dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const int shiftedMonth = (5 * dayOfYear + 2) / 153;
    *day = dayOfYear - (153 * shiftedMonth + 2) / 5 + 1;
    *month = shiftedMonth < 10 ? shiftedMonth + 3 : shiftedMonth - 9;
    *year = static_cast<int>(yearOfEra + era * 400) + (*month <= 2);
}

}  // namespace

namespace {

SYSTEMTIME systemTimeOf(DWORD time) {
    int year, month, day;
    civilFromDays(time / kSecondsPerDay, &year, &month, &day);
    const DWORD second = time % kSecondsPerDay;
    SYSTEMTIME t = {};
    t.wYear = static_cast<WORD>(year);
    t.wMonth = static_cast<WORD>(month);
    t.wDay = static_cast<WORD>(day);
    t.wHour = static_cast<WORD>(second / 3600);
    t.wMinute = static_cast<WORD>(second / 60 % 60);
    t.wSecond = static_cast<WORD>(second % 60);
    return t;
}

}  // namespace

std::string formatCameraTime(DWORD time) {
    const SYSTEMTIME utc = systemTimeOf(time);
    SYSTEMTIME local;
    if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) local = utc;
    char text[32];
    std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", local.wYear, local.wMonth, local.wDay,
                  local.wHour, local.wMinute, local.wSecond);
    return text;
}

bool cameraTimeFromFields(int year, int month, int day, int hour, int minute, int second, DWORD* time) {
    if (year < kFirstYear || year > kLastYear || month < 1 || month > 12) return false;
    if (day < 1 || day > daysInMonth(year, month)) return false;
    if (hour < 0 || hour > 23 || minute < 0 || minute > 59 || second < 0 || second > 59) return false;
    const long long seconds = daysFromCivil(year, month, day) * kSecondsPerDay + hour * 3600 + minute * 60 + second;
    *time = static_cast<DWORD>(seconds);
    return true;
}

bool parseCameraTime(const std::string& text, DWORD* time) {
    int year, month, day, hour, minute, second, consumed = 0;
    if (std::sscanf(text.c_str(), "%4d-%2d-%2d %2d:%2d:%2d%n", &year, &month, &day, &hour, &minute, &second,
                    &consumed) != 6)
        return false;
    if (static_cast<size_t>(consumed) != text.size() || text.size() != 19) return false;
    DWORD local = 0;
    if (!cameraTimeFromFields(year, month, day, hour, minute, second, &local)) return false;
    const SYSTEMTIME localTime = systemTimeOf(local);
    SYSTEMTIME utc;
    if (!TzSpecificLocalTimeToSystemTime(nullptr, &localTime, &utc)) return false;
    return cameraTimeFromFields(utc.wYear, utc.wMonth, utc.wDay, utc.wHour, utc.wMinute, utc.wSecond, time);
}

DWORD cameraTimeNow() {
    SYSTEMTIME now;
    GetSystemTime(&now);
    DWORD time = 0;
    cameraTimeFromFields(now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond, &time);
    return time;
}
