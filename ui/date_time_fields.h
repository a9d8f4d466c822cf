// Pure logic of the date and time editor: calendar arithmetic, the field
// checks and the composition of the new camera time. No handles, no
// globals, no clock; builds without the system headers.
#pragma once

#include "win_types.h"

#include <ctime>

namespace bv {

constexpr int kFirstYear = 1998;
constexpr int kLastYear = 2030;
constexpr int kFieldTextSize = 10;  // field texts are read with at most 9 characters

enum class DateTimeField { None, Year, Month, Day, Hour, Minute };

// Days of month (1-12) in year; 0 for any other month.
int daysInMonth(int year, int month);

// Days from 1970-01-01 to the given day of the proleptic Gregorian
// calendar (month 1-12).
long long daysFromCivil(long long year, int month, int day);

// Seconds from 1970-01-01 00:00:00 to the record's date and time, both
// taken as UTC; -1 when the result does not fit a signed 32-bit count.
LONG fieldsToSeconds(std::tm record);

// Breaks seconds since 1970 (UTC) down into a calendar record.
std::tm secondsToFields(long long seconds);

// Decimal value of a field text: leading blanks skipped, digits up to the
// first other character; 0 for an empty text.
int fieldNumber(const char* text);

// Date order from the locale's short-date order: "1" day-month-year (1),
// "2" year-month-day (0), anything else month-day-year (2).
WORD dateOrderFromLocale(const char* shortDateOrder);

// True when the locale's time format ("0") is the 12-hour clock.
bool twelveHourFromLocale(const char* timeFormat);

// The check of a field while typing: only blanks and digits, and a value
// the field may hold on the way to a complete entry.
bool typedFieldPasses(DateTimeField field, const char* text, int hourMaximum);

// The check of a field that is left. message is 0 when the value passes,
// else the string-table entry to show; shown is the text that replaces the
// field's text when it passes (empty: the text stays).
struct LeftField {
    UINT message;
    char shown[kFieldTextSize];
};
LeftField checkLeftField(DateTimeField field, int value, bool twelveHourClock);

// A spin's step: -delta for the small steps of the arrows (up reports -1),
// 0 for accelerated steps.
int spinStep(int delta);

// value moved back into low..high: below low gives high, above high low.
int wrapIntoRange(int value, int low, int high);

// Hour field text value of a 24-hour value: 12-hour clocks show 12 for 0
// and h - 12 from 13 on.
int shownHour(int hour24, bool twelveHourClock);

// 24-hour value of the hour field; on a 12-hour clock 12 counts as 0.
int hour24(int fieldValue, bool twelveHourClock, bool pm);

// The field check: the day fits the month of the year.
bool fieldDateValid(int year, int month, int day);

// The record check: year 1998-2030 and the day fits its month.
bool recordDateValid(const std::tm& record);

// What composing the new camera time starts from.
struct ComposeInputs {
    bool timeEdited;
    bool dateEdited;
    bool usePcTime;
    std::tm fields;       // date and time as the fields show them (hour in 24 hours)
    std::tm pcLocal;      // the PC's local time now
    std::tm cameraClock;  // the running camera clock now
};

struct Composed {
    DWORD status;  // 0, 0x827000A1 (nothing touched) or 0x827000A2 (invalid date)
    LONG value;    // with status 0: the new camera time
};

Composed composeFromInputs(const ComposeInputs& in);

}  // namespace bv
