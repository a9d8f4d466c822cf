// Calendar arithmetic and the checks of the date and time editor.
#include "date_time_fields.h"

#include <cstdio>

#include "settings_status.h"

namespace bv {
namespace {

constexpr long long kSecondsPerDay = 86400;

long long floorDivide(long long a, long long b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

bool onlyBlanksAndDigits(const char* text) {
    for (; *text; ++text)
        if (*text != ' ' && (*text < '0' || *text > '9')) return false;
    return true;
}

LeftField passes(int value, bool withLeadingZero) {
    LeftField left = {0, {}};
    if (withLeadingZero) std::snprintf(left.shown, sizeof left.shown, "%02d", value);
    return left;
}

}  // namespace

// Counts through the 400-year cycle.
long long daysFromCivil(long long year, int month, int day) {
    year -= month <= 2;
    const long long era = floorDivide(year, 400);
    const long long yearOfEra = year - era * 400;
    const long long dayOfYear = (153 * (month + (month > 2 ? -3 : 9)) + 2) / 5 + day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

int daysInMonth(int year, int month) {
    switch (month) {
    case 1: case 3: case 5: case 7: case 8: case 10: case 12: return 31;
    case 4: case 6: case 9: case 11: return 30;
    case 2:
        if (year % 400 == 0) return 29;
        if (year % 100 == 0) return 28;
        return year % 4 == 0 ? 29 : 28;
    default: return 0;
    }
}

LONG fieldsToSeconds(std::tm record) {
    record.tm_isdst = 0;
    const long long year = 1900LL + record.tm_year + floorDivide(record.tm_mon, 12);
    const int month = static_cast<int>(record.tm_mon - floorDivide(record.tm_mon, 12) * 12) + 1;
    const long long days = daysFromCivil(year, month, 1) + record.tm_mday - 1;
    const long long seconds =
        days * kSecondsPerDay + record.tm_hour * 3600LL + record.tm_min * 60LL + record.tm_sec;
    if (seconds < 0 || seconds > 0x7FFFFFFF) return -1;
    return static_cast<LONG>(seconds);
}

std::tm secondsToFields(long long seconds) {
    const long long days = floorDivide(seconds, kSecondsPerDay);
    const long long inDay = seconds - days * kSecondsPerDay;
    // The civil date of a day count, the inverse of daysFromCivil.
    const long long shifted = days + 719468;
    const long long era = floorDivide(shifted, 146097);
    const long long dayOfEra = shifted - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long monthIndex = (5 * dayOfYear + 2) / 153;
    const int month = static_cast<int>(monthIndex < 10 ? monthIndex + 3 : monthIndex - 9);
    const long long year = yearOfEra + era * 400 + (month <= 2);

    std::tm record = {};
    record.tm_sec = static_cast<int>(inDay % 60);
    record.tm_min = static_cast<int>(inDay / 60 % 60);
    record.tm_hour = static_cast<int>(inDay / 3600);
    record.tm_mday = static_cast<int>(dayOfYear - (153 * monthIndex + 2) / 5 + 1);
    record.tm_mon = month - 1;
    record.tm_year = static_cast<int>(year - 1900);
    record.tm_wday = static_cast<int>(days - floorDivide(days + 4, 7) * 7 + 4);
    record.tm_yday = static_cast<int>(days - daysFromCivil(year, 1, 1));
    return record;
}

int fieldNumber(const char* text) {
    while (*text == ' ' || *text == '\t') ++text;
    int value = 0;
    for (; *text >= '0' && *text <= '9' && value < 100000000; ++text) value = value * 10 + (*text - '0');
    return value;
}

WORD dateOrderFromLocale(const char* shortDateOrder) {
    if (shortDateOrder[0] == '1') return 1;
    if (shortDateOrder[0] == '2') return 0;
    return 2;
}

bool twelveHourFromLocale(const char* timeFormat) { return timeFormat[0] == '0'; }

bool typedFieldPasses(DateTimeField field, const char* text, int hourMaximum) {
    if (!onlyBlanksAndDigits(text)) return false;
    const int value = fieldNumber(text);
    switch (field) {
    case DateTimeField::Year: return value < 2031;
    case DateTimeField::Month: return value <= 12;
    case DateTimeField::Day: return value <= 31;
    case DateTimeField::Hour: return value <= hourMaximum;
    case DateTimeField::Minute: return value <= 59;
    case DateTimeField::None: break;
    }
    return true;
}

LeftField checkLeftField(DateTimeField field, int value, bool twelveHourClock) {
    switch (field) {
    case DateTimeField::Year:
        return value >= kFirstYear && value <= kLastYear ? passes(value, false) : LeftField{53, {}};
    case DateTimeField::Month: return value >= 1 && value <= 12 ? passes(value, false) : LeftField{54, {}};
    case DateTimeField::Day: return value >= 1 && value <= 31 ? passes(value, false) : LeftField{55, {}};
    case DateTimeField::Hour:
        if (twelveHourClock) {
            if (value >= 13) return {56, {}};
            return value == 0 ? LeftField{0, "12"} : passes(value, value <= 9);
        }
        return value >= 24 ? LeftField{57, {}} : passes(value, value <= 9);
    case DateTimeField::Minute: return value >= 60 ? LeftField{58, {}} : passes(value, value <= 9);
    case DateTimeField::None: break;
    }
    return {0, {}};
}

int spinStep(int delta) { return delta >= -10 && delta <= 10 ? -delta : 0; }

int wrapIntoRange(int value, int low, int high) {
    if (value < low) return high;
    if (value > high) return low;
    return value;
}

int shownHour(int hour24, bool twelveHourClock) {
    if (!twelveHourClock) return hour24;
    if (hour24 >= 13) return hour24 - 12;
    return hour24 == 0 ? 12 : hour24;
}

int hour24(int fieldValue, bool twelveHourClock, bool pm) {
    if (!twelveHourClock) return fieldValue;
    return (fieldValue == 12 ? 0 : fieldValue) + (pm ? 12 : 0);
}

bool fieldDateValid(int year, int month, int day) { return daysInMonth(year, month) >= day; }

bool recordDateValid(const std::tm& record) {
    const int year = record.tm_year + 1900;
    return year >= kFirstYear && year <= kLastYear && daysInMonth(year, record.tm_mon + 1) >= record.tm_mday;
}

Composed composeFromInputs(const ComposeInputs& in) {
    if (!in.timeEdited && !in.dateEdited && !in.usePcTime) return {kSettingsTimeUntouched, -1};
    std::tm record;
    bool checkDate;
    if (in.timeEdited) {
        record = in.fields;
        record.tm_sec = 0;
        checkDate = true;
    } else {
        // The time of day keeps running: the PC's after "Vom PC", else the
        // camera's. Edited date fields win over the PC's date.
        const std::tm& clock = in.usePcTime ? in.pcLocal : in.cameraClock;
        record = in.dateEdited ? in.fields : in.pcLocal;
        record.tm_hour = clock.tm_hour;
        record.tm_min = clock.tm_min;
        record.tm_sec = clock.tm_sec;
        checkDate = in.dateEdited;
    }
    if (checkDate && !recordDateValid(record)) return {kSettingsDateInvalid, 0};
    return {kSettingsChangedTime, fieldsToSeconds(record)};
}

}  // namespace bv
