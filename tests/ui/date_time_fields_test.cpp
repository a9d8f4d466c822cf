// The pure logic of the date and time editor: calendar edges, the checks
// while typing and on leaving a field, and the composition of the new
// camera time from the editor's flags.
#include <gtest/gtest.h>


#include "ui/camera_settings_dialog.h"
#include "ui/date_time_fields.h"

namespace {

std::tm record(int year, int month, int day, int hour = 0, int minute = 0, int second = 0) {
    std::tm r = {};
    r.tm_year = year - 1900, r.tm_mon = month - 1, r.tm_mday = day;
    r.tm_hour = hour, r.tm_min = minute, r.tm_sec = second;
    return r;
}

TEST(DateTimeFields, DaysInMonthKnowsLeapYearsAndRejectsOtherMonths) {
    struct Case { int year, month, days; };
    for (const Case& c : {Case{2023, 2, 28}, {2024, 2, 29}, {1900, 2, 28}, {2000, 2, 29}, {2024, 4, 30},
                          {2024, 12, 31}, {2024, 1, 31}, {2024, 0, 0}, {2024, 13, 0}}) {
        SCOPED_TRACE(std::to_string(c.year) + "-" + std::to_string(c.month));
        EXPECT_EQ(c.days, bv::daysInMonth(c.year, c.month));
    }
}

// Breaking a time down and composing it again is the fuzz target's round
// trip; here the ends of the 32-bit range and a day rolling on.
TEST(DateTimeFields, SecondsStayInsideThe32BitRange) {
    EXPECT_EQ(0x7FFFFFFF, bv::fieldsToSeconds(record(2038, 1, 19, 3, 14, 7)));
    EXPECT_EQ(-1, bv::fieldsToSeconds(record(2038, 1, 19, 3, 14, 8)));
    EXPECT_EQ(-1, bv::fieldsToSeconds(record(1969, 12, 31, 23, 59, 59)));
    EXPECT_EQ(bv::fieldsToSeconds(record(2024, 5, 1)), bv::fieldsToSeconds(record(2024, 4, 31)));
}

TEST(DateTimeFields, TypingKeepsOnlyTextsThatCanStillBecomeValid) {
    using F = bv::DateTimeField;
    struct Case { F field; const char* text; int hourMaximum; bool passes; };
    // The settings dialog tests type a 5-digit year, month 13 and hour 13 of 12.
    for (const Case& c : {Case{F::Year, "", 23, true}, {F::Year, "20a", 23, false}, {F::Month, "12", 23, true},
                          {F::Day, "31", 23, true}, {F::Day, "32", 23, false}, {F::Hour, "23", 23, true},
                          {F::Minute, " 59", 23, true}, {F::Minute, "60", 23, false}, {F::Month, "-1", 23, false}}) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(c.passes, bv::typedFieldPasses(c.field, c.text, c.hourMaximum));
    }
}

TEST(DateTimeFields, LeavingAFieldChecksItsRangeAndPadsTheTime) {
    using F = bv::DateTimeField;
    struct Case { F field; int value; bool twelveHour; UINT message; const char* shown; };
    // A month of 0 and a padded minute are the settings dialog's.
    for (const Case& c : {Case{F::Year, 1997, false, 53, ""}, {F::Year, 2030, false, 0, ""},
                          {F::Day, 32, false, 55, ""}, {F::Hour, 13, true, 56, ""}, {F::Hour, 0, true, 0, "12"},
                          {F::Hour, 7, true, 0, "07"}, {F::Hour, 12, true, 0, ""}, {F::Hour, 24, false, 57, ""},
                          {F::Hour, 0, false, 0, "00"}, {F::Minute, 60, false, 58, ""}}) {
        SCOPED_TRACE(std::to_string(static_cast<int>(c.field)) + ":" + std::to_string(c.value));
        const bv::LeftField left = bv::checkLeftField(c.field, c.value, c.twelveHour);
        EXPECT_EQ(c.message, left.message);
        EXPECT_STREQ(c.shown, left.shown);
    }
}

TEST(DateTimeFields, ComposeTakesEachPartFromWhereTheUserLeftIt) {
    const std::tm fields = record(2000, 2, 29, 12, 0, 0), pc = record(2024, 5, 6, 8, 9, 10),
                  camera = record(2010, 1, 2, 3, 4, 5), badFields = record(2023, 2, 29, 12);
    struct Case { bool time, date, pc; std::tm fields; DWORD status; LONG value; };
    for (const Case& c : {
             Case{true, false, false, fields, 0, 951825600},
             {true, false, true, fields, 0, 951825600},  // edited fields win over the PC
             {true, false, false, badFields, bv::kSettingsDateInvalid, 0},
             {false, true, true, fields, 0, bv::fieldsToSeconds(record(2000, 2, 29, 8, 9, 10))},
             {false, true, false, fields, 0, bv::fieldsToSeconds(record(2000, 2, 29, 3, 4, 5))},
             {false, true, false, badFields, bv::kSettingsDateInvalid, 0}}) {
        SCOPED_TRACE(std::to_string(c.time) + std::to_string(c.date) + std::to_string(c.pc));
        const bv::Composed composed = bv::composeFromInputs({c.time, c.date, c.pc, c.fields, pc, camera});
        EXPECT_EQ(c.status, composed.status);
        if (c.status != bv::kSettingsDateInvalid) {
            EXPECT_EQ(c.value, composed.value);
        }
    }
}

}  // namespace
