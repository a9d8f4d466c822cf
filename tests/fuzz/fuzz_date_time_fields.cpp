// The editor's five field texts (9 characters each, as the dialog reads
// them) and its clocks: a typed field passes only with blanks and digits,
// a left field's text is terminated, and a time of 0 to 2^31 - 1 survives
// breaking down and composing again.
#include "fuzz.h"
#include "ui/date_time_fields.h"

using namespace bv;

FUZZ_TARGET {
    if (size < 5 + 5 * 9) return 0;
    const bool twelveHour = data[0] & 8;
    LONG clock;
    std::memcpy(&clock, data + 1, sizeof clock);
    check(clock < 0 || fieldsToSeconds(secondsToFields(clock)) == clock);
    int v[5];
    for (int i = 0; i < 5; ++i) {
        char text[kFieldTextSize] = {};
        std::memcpy(text, data + 5 + 9 * i, 9);
        const auto field = static_cast<DateTimeField>(i + 1);
        check(!typedFieldPasses(field, text, 23) || std::strspn(text, " 0123456789") == std::strlen(text));
        const LeftField left = checkLeftField(field, v[i] = fieldNumber(text), twelveHour);
        check(strnlen(left.shown, sizeof left.shown) < sizeof left.shown);
    }
    std::tm fields = {};
    fields.tm_year = v[0] - 1900, fields.tm_mon = v[1] - 1, fields.tm_mday = v[2], fields.tm_min = v[4];
    fields.tm_hour = hour24(v[3], twelveHour, data[0] & 16);
    composeFromInputs({bool(data[0] & 1), bool(data[0] & 2), bool(data[0] & 4), fields,
                       secondsToFields(clock / 2), secondsToFields(clock)});
    return 0;
}
