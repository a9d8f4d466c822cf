// The date and time editor of the camera settings dialog: three date
// fields in the locale's order, hour and minute with an am/pm field on a
// 12-hour clock, two spins and "Vom PC". The fields show the camera's clock
// running on with the PC's until the user edits them; composeDateTime
// turns them into the new camera time at OK.
#include <cstdio>
#include <initializer_list>

#include "date_time_fields.h"
#include "settings_private.h"
#include "system_time_fields.h"

namespace bv {

DateTimeEditorState& dateTimeEditor() {
    static DateTimeEditorState state;
    return state;
}

namespace {

HWND item(int id) { return GetDlgItem(dateTimeEditor().dialog, id); }

DateTimeField fieldKind(int id) {
    const DateTimeEditorState& e = dateTimeEditor();
    if (id == e.yearField) return DateTimeField::Year;
    if (id == e.monthField) return DateTimeField::Month;
    if (id == e.dayField) return DateTimeField::Day;
    if (id == IDC_HOUR) return DateTimeField::Hour;
    if (id == IDC_MINUTE) return DateTimeField::Minute;
    return DateTimeField::None;
}

bool isDateField(int id) {
    const DateTimeField kind = fieldKind(id);
    return kind == DateTimeField::Year || kind == DateTimeField::Month || kind == DateTimeField::Day;
}

// The dialog's control that has the focus, else 0.
int focusedControl() {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == dateTimeEditor().dialog ? GetDlgCtrlID(focus) : 0;
}

// Whether the focus is in a window that the dialog owns: a message box of
// its own, which the user reads before going on in the field.
bool focusInOwnedWindow() {
    HWND focus = GetFocus();
    return focus && GetWindow(GetAncestor(focus, GA_ROOT), GW_OWNER) == dateTimeEditor().dialog;
}

// Marks the editor's own writes, so that the change notifications they
// cause are not taken for typing. Nests.
class FieldUpdateGuard {
public:
    FieldUpdateGuard() : saved_(dateTimeEditor().fieldUpdateGuard) { dateTimeEditor().fieldUpdateGuard = true; }
    ~FieldUpdateGuard() { dateTimeEditor().fieldUpdateGuard = saved_; }
    FieldUpdateGuard(const FieldUpdateGuard&) = delete;
    FieldUpdateGuard& operator=(const FieldUpdateGuard&) = delete;

private:
    bool saved_;
};

void writeFieldText(int id, const char* text) {
    FieldUpdateGuard guard;
    if (id >= IDC_DATE_FIELD1 && id <= IDC_MINUTE)
        lstrcpynA(dateTimeEditor().acceptedText[id - IDC_DATE_FIELD1], text, kFieldTextSize);
    SetDlgItemTextA(dateTimeEditor().dialog, id, text);
}

// Writes value with format, or an empty field when it lies outside low..high.
void writeNumber(int id, int value, const char* format, int low, int high) {
    char text[kFieldTextSize] = "";
    if (value >= low && value <= high) std::snprintf(text, sizeof text, format, value);
    writeFieldText(id, text);
}

void selectAll(int id) { SendMessageA(item(id), EM_SETSEL, 0, -1); }

int readField(int id) {
    char text[kFieldTextSize] = "";
    GetDlgItemTextA(dateTimeEditor().dialog, id, text, sizeof text);
    return fieldNumber(text);
}

LONG pcTimeNow() {
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    return fileTimeToSeconds(now);
}

std::tm pcLocalTimeNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return systemTimeToFields(now);
}

// The camera's clock run on by the PC time that passed since the editor
// was prepared, broken down as UTC.
std::tm cameraClockAt(LONG now) {
    const DateTimeEditorState& e = dateTimeEditor();
    return secondsToFields(static_cast<long long>(e.cameraTime) - e.pcTimeAtOpen + now);
}

void writeDate(const std::tm* shown) {
    const DateTimeEditorState& e = dateTimeEditor();
    const int year = shown ? shown->tm_year + 1900 : 0;
    if (!shown || year < kFirstYear || year > kLastYear) {
        for (int id : {e.yearField, e.monthField, e.dayField}) writeFieldText(id, "");
        return;
    }
    writeNumber(e.yearField, year, "%d", kFirstYear, kLastYear);
    writeNumber(e.monthField, shown->tm_mon + 1, "%d", 1, 12);
    writeNumber(e.dayField, shown->tm_mday, "%d", 1, 31);
}

void writeHour(int hour) {
    const DateTimeEditorState& e = dateTimeEditor();
    if (e.twelveHourClock) setAmPm(hour < 12 ? AmPm::Am : AmPm::Pm);
    char text[kFieldTextSize];
    std::snprintf(text, sizeof text, "%02d", shownHour(hour, e.twelveHourClock != 0));
    writeFieldText(IDC_HOUR, text);
}

std::tm recordFromFields() {
    const DateTimeEditorState& e = dateTimeEditor();
    std::tm record = {};
    record.tm_year = readField(e.yearField) - 1900;
    record.tm_mon = readField(e.monthField) - 1;
    record.tm_mday = readField(e.dayField);
    record.tm_hour = hour24(readField(IDC_HOUR), e.twelveHourClock != 0, e.amPmState == AmPm::Pm);
    record.tm_min = readField(IDC_MINUTE);
    return record;
}

void readLocale(LCTYPE type, char (&value)[8]) {
    if (GetLocaleInfoA(LOCALE_USER_DEFAULT, type, value, sizeof value) <= 0) value[0] = '\0';
}

void loadText(UINT id, char (&text)[16]) {
    if (LoadStringA(dateTimeEditor().instance, id, text, sizeof text) <= 0) text[0] = '\0';
}

RECT rectInDialog(HWND dialog, int id) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

void place(HWND dialog, int id, int x, int y, int width, int height) {
    SetWindowPos(GetDlgItem(dialog, id), nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

// Year first: the year moves into the first slot and takes the width of
// the wide third slot; month and day follow with the narrow width.
void relayoutYearFirst(HWND dialog) {
    const RECT wide = rectInDialog(dialog, IDC_DATE_FIELD3);
    const RECT separator = rectInDialog(dialog, IDC_DATE_SEPARATOR1);
    const RECT first = rectInDialog(dialog, IDC_DATE_FIELD1);
    const int w = wide.right - wide.left, s = separator.right - separator.left;
    const int left = first.left, top = first.top;
    const int n = first.right - first.left, h = first.bottom - first.top;
    place(dialog, IDC_DATE_FIELD1, left, top, w, h);
    place(dialog, IDC_DATE_SEPARATOR1, left + w, top, s, h);
    place(dialog, IDC_DATE_FIELD2, left + w + s, top, n, h);
    place(dialog, IDC_DATE_SEPARATOR2, left + w + s + n, top, s, h);
    place(dialog, IDC_DATE_FIELD3, left + w + 2 * s + n, top, n, h);
}

void showControl(HWND dialog, int id, bool shown) {
    EnableWindow(GetDlgItem(dialog, id), shown);
    ShowWindow(GetDlgItem(dialog, id), shown ? SW_SHOW : SW_HIDE);
}

// A field left with a bad value: beep, say why, and put the user back.
DWORD refuseField(int id, UINT message) {
    MessageBeep(0xFFFFFFFF);
    showSettingsMessage(message);
    SetFocus(item(id));
    selectAll(id);
    return kSettingsDateInvalid;
}

}  // namespace

void enableFromPc() { EnableWindow(item(IDC_FROM_PC), TRUE); }

void prepareDateTimeEditor(LONG dateTime, HINSTANCE instance) {
    DateTimeEditorState& e = dateTimeEditor();
    e.instance = instance;
    e.dialog = nullptr;
    e.timeEdited = e.dateEdited = e.usePcTime = false;
    char value[8];
    readLocale(LOCALE_IDATE, value);
    e.dateOrder = dateOrderFromLocale(value);
    readLocale(LOCALE_ITIME, value);
    e.twelveHourClock = twelveHourFromLocale(value) ? 1 : 0;
    if (e.twelveHourClock) {
        e.hourMinimum = 1;
        e.hourMaximum = 12;
        loadText(IDS_AM, e.amText);
        loadText(IDS_PM, e.pmText);
    } else {
        // Set anew rather than kept from an earlier dialog: after a 12-hour
        // dialog the bounds 1..12 would otherwise cap a 24-hour clock.
        e.hourMinimum = 0;
        e.hourMaximum = 23;
    }
    e.pcTimeAtOpen = pcTimeNow();
    e.nextClockRefresh = 0;
    e.fieldUpdateGuard = false;
    e.cameraTime = dateTime;
}

void attachDateTimeFields(HWND dialog) {
    DateTimeEditorState& e = dateTimeEditor();
    e.dialog = dialog;
    for (auto& text : e.acceptedText) text[0] = '\0';
    switch (e.dateOrder) {
    case 0:
        e.yearField = IDC_DATE_FIELD1, e.monthField = IDC_DATE_FIELD2, e.dayField = IDC_DATE_FIELD3;
        relayoutYearFirst(dialog);
        break;
    case 1: e.dayField = IDC_DATE_FIELD1, e.monthField = IDC_DATE_FIELD2, e.yearField = IDC_DATE_FIELD3; break;
    default: e.monthField = IDC_DATE_FIELD1, e.dayField = IDC_DATE_FIELD2, e.yearField = IDC_DATE_FIELD3; break;
    }
    if (e.twelveHourClock) {
        showControl(dialog, IDC_TIME_FILLER, false);
        subclassAmPmField(dialog);
    } else {
        showControl(dialog, IDC_AM_PM, false);
    }
    // The fields are just wide enough for their digits in the dialog font.
    // Without margins, as a raster font has them, a TrueType stand-in for
    // that font still takes every digit: a single-line edit without
    // horizontal scrolling refuses a key whose character would not fit.
    for (int id : {IDC_DATE_FIELD1, IDC_DATE_FIELD2, IDC_DATE_FIELD3, IDC_HOUR, IDC_MINUTE}) {
        SendDlgItemMessageA(dialog, id, EM_LIMITTEXT, id == e.yearField ? 4 : 2, 0);
        SendDlgItemMessageA(dialog, id, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
    }
    SendDlgItemMessageA(dialog, IDC_DATE_SPIN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(item(e.yearField)), 0);
    SendDlgItemMessageA(dialog, IDC_TIME_SPIN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(item(IDC_HOUR)), 0);

    constexpr LONG kFirstValid = 883612800, kLastValid = 1924991999;  // 1998-01-01 .. 2030-12-31
    if (e.cameraTime >= kFirstValid && e.cameraTime <= kLastValid) {
        refreshClock();
        return;
    }
    showMessageDialog(IDS_CAMERA_DATE_INVALID);
    takePcTime();
}

void refreshClock() {
    DateTimeEditorState& e = dateTimeEditor();
    FieldUpdateGuard guard;
    const LONG now = pcTimeNow();
    if (e.nextClockRefresh > now || e.timeEdited) return;

    std::tm shown = {};
    const bool known = e.usePcTime || e.cameraTime != static_cast<LONG>(kUnknownDateTime);
    if (e.usePcTime)
        shown = pcLocalTimeNow();
    else if (known)
        shown = cameraClockAt(now);
    if (known) {
        writeHour(shown.tm_hour);
        writeNumber(IDC_MINUTE, shown.tm_min, "%02d", 0, 59);
    } else {
        writeFieldText(IDC_HOUR, "");
        writeFieldText(IDC_MINUTE, "");
    }
    if (!e.dateEdited) writeDate(known ? &shown : nullptr);
    // Rewritten when the shown clock reaches its next whole minute.
    e.nextClockRefresh = now - (known ? shown.tm_sec : 0) + 60;
}

void spinDate(int delta) {
    DateTimeEditorState& e = dateTimeEditor();
    const int step = spinStep(delta);
    const int id = focusedControl();
    if (id == e.yearField)
        writeNumber(id, wrapIntoRange(readField(id) + step, kFirstYear, kLastYear), "%d", kFirstYear, kLastYear);
    else if (id == e.monthField)
        writeNumber(id, wrapIntoRange(readField(id) + step, 1, 12), "%d", 1, 12);
    else if (id == e.dayField)
        writeNumber(id, wrapIntoRange(readField(id) + step, 1, 31), "%d", 1, 31);
    else {
        SetFocus(item(e.yearField));
        return;
    }
    selectAll(id);
    e.dateEdited = true;
    enableFromPc();
}

void spinTime(int delta) {
    DateTimeEditorState& e = dateTimeEditor();
    const int step = spinStep(delta);
    const int id = focusedControl();
    if (id == IDC_HOUR) {
        int hour = wrapIntoRange(readField(id) + step, e.hourMinimum, e.hourMaximum);
        if (e.twelveHourClock && hour == 0) hour = 1;
        writeNumber(id, hour, "%d", 0, 99);
        selectAll(id);
    } else if (id == IDC_MINUTE) {
        writeNumber(id, wrapIntoRange(readField(id) + step, 0, 59), "%d", 0, 59);
        selectAll(id);
    } else if (id == IDC_AM_PM) {
        if (step != 0) setAmPm(e.amPmState == AmPm::Am ? AmPm::Pm : AmPm::Am);
    } else {
        SetFocus(item(IDC_HOUR));
        return;
    }
    e.timeEdited = true;
    enableFromPc();
}

void fieldFocusGained(int id) {
    const DateTimeField kind = fieldKind(id);
    if (kind == DateTimeField::None) return;
    const int spin = kind == DateTimeField::Hour || kind == DateTimeField::Minute ? IDC_TIME_SPIN : IDC_DATE_SPIN;
    SendMessageA(item(spin), UDM_SETBUDDY, reinterpret_cast<WPARAM>(item(id)), 0);
    selectAll(id);
}

void checkFieldWhileTyping(int id) {
    DateTimeEditorState& e = dateTimeEditor();
    const DateTimeField kind = fieldKind(id);
    if (e.fieldUpdateGuard || kind == DateTimeField::None) return;
    char text[kFieldTextSize] = "";
    GetDlgItemTextA(e.dialog, id, text, sizeof text);
    char* accepted = e.acceptedText[id - IDC_DATE_FIELD1];
    if (!typedFieldPasses(kind, text, e.hourMaximum)) {
        // Undo the keystroke: back to the field's last good text.
        writeFieldText(id, accepted);
        const LPARAM end = lstrlenA(accepted);
        SendMessageA(item(id), EM_SETSEL, end, end);
        return;
    }
    lstrcpynA(accepted, text, kFieldTextSize);
    (isDateField(id) ? e.dateEdited : e.timeEdited) = true;
    enableFromPc();
}

DWORD checkFieldOnLeave(int id) {
    DateTimeEditorState& e = dateTimeEditor();
    const DateTimeField kind = fieldKind(id);
    if (kind == DateTimeField::None) return 0;
    // Leaving towards "Abbrechen" or "Vom PC" is never met by a message,
    // nor is the focus taken by a message of the dialog's own or by a
    // dialog that is ending. Leaving to another window, with the focus on
    // no control, is checked like any other move.
    const int to = focusedControl();
    if (to == IDC_SETTINGS_CANCEL || to == IDC_FROM_PC || settingsDialogEnding() || focusInOwnedWindow()) return 0;

    const int value = readField(id);
    if (value == 0) writeFieldText(id, "0");
    const LeftField left = checkLeftField(kind, value, e.twelveHourClock != 0);
    if (left.message != 0) return refuseField(id, left.message);
    if (left.shown[0]) writeFieldText(id, left.shown);

    if (!isDateField(id) || isDateField(to)) return 0;  // still inside the date
    if (fieldDateValid(readField(e.yearField), readField(e.monthField), readField(e.dayField))) return 0;
    return refuseField(e.dayField, IDS_DATE_INVALID);
}

void takePcTime() {
    DateTimeEditorState& e = dateTimeEditor();
    const std::tm local = pcLocalTimeNow();
    if (local.tm_year + 1900 < kFirstYear || local.tm_year + 1900 > kLastYear) {
        showSettingsMessage(IDS_PC_YEAR_UNSUPPORTED);
        return;
    }
    EnableWindow(item(IDC_FROM_PC), FALSE);
    e.timeEdited = e.dateEdited = false;
    e.usePcTime = true;
    e.nextClockRefresh = pcTimeNow();
    refreshClock();
    SetFocus(item(e.yearField));
}

DWORD composeDateTime(LONG* value) {
    const DateTimeEditorState& e = dateTimeEditor();
    const ComposeInputs in = {e.timeEdited, e.dateEdited, e.usePcTime,
                              recordFromFields(), pcLocalTimeNow(), cameraClockAt(pcTimeNow())};
    const Composed composed = composeFromInputs(in);
    *value = composed.value;
    return composed.status;
}

void showSettingsMessage(UINT id) {
    const DateTimeEditorState& e = dateTimeEditor();
    char caption[30];
    if (LoadStringA(e.instance, IDS_SETTINGS_TITLE, caption, sizeof caption) <= 0) caption[0] = '\0';
    MessageBoxA(e.dialog, loadMessageText(e.instance, id), caption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace bv
