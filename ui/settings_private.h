// Declarations shared by the camera settings dialog (102), its message
// dialog (108) and its date and time editor. Everything here runs on the
// thread that runs the dialog.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <ctime>

#include "owned.h"
#include "camera_settings_dialog.h"
#include "ui_private.h"

namespace bv {

// --- The settings dialog (settings_dialog.cpp) ---

// The open settings dialog, or null.
HWND settingsDialogWindow();
// The module whose resources the open dialog uses.
HINSTANCE settingsInstance();
// The id of "CameraNotificationMessage" once the dialog registered it, else 0.
UINT cameraNotificationMessage();
// Records status in endStatus, stops the clock timer, enables "Vom PC",
// quits the help viewer, ends the message dialog if it is open, then ends
// the settings dialog with result. Harmless when it already ended.
void closeSettingsDialog(DWORD status, INT_PTR result);
// True once closeSettingsDialog ran for the open dialog.
bool settingsDialogEnding();
// Acts on one camera event (data: the event's first data word, code: the
// event code) and returns 1, the answer for the sender.
LRESULT handleCameraEvent(WPARAM data, LPARAM code);

// --- Power state and card slots (settings_contents.cpp) ---

void showPowerState(HWND dialog, HINSTANCE instance, DWORD batteryState);
// Puts the named power icon into 1030 and string-table entry text into 1015.
void setPowerState(HWND dialog, HINSTANCE instance, const char* iconName, UINT text);
void showCardSlots(HWND dialog, HINSTANCE instance, const bvlCameraSettings& settings);

// --- Sizes and layout ---

constexpr int kVolumeSizeTextSize = 6 + 32;
// Writes a card size as "  1.50 KB", " 50.00 MB" or "  2.00 GB" into text
// (at least kVolumeSizeTextSize characters).
void formatVolumeSize(HINSTANCE instance, DWORD bytes, char* text);

struct DialogUnitScale {
    WORD x;  // pixels of 4 horizontal dialog units
    WORD y;  // pixels of 8 vertical dialog units
};
DialogUnitScale dialogUnitScale(HWND dialog);
// Applies the one-slot layout resource; false (nothing changed) when the
// resource cannot be found or loaded.
bool repositionForOneSlot(HWND dialog, HINSTANCE instance);

// --- Help (settings_help.cpp) ---

// The first listed control whose window holds the screen point, else 0.
int controlAtPoint(POINT screenPoint, HWND dialog);
extern const HelpLayout kSettingsHelp;
void quitHelp(HWND dialog, HINSTANCE instance);

// --- The message dialog (message_dialog.cpp) ---

// Loads entry id into messageText and runs dialog 108 modally over the
// settings dialog; returns when it is closed.
INT_PTR showMessageDialog(UINT id);
// The open message dialog, or null.
HWND messageDialogWindow();

// --- The date and time editor (date_time_editor.cpp and its helpers) ---

void attachDateTimeFields(HWND dialog);
void refreshClock();
void spinDate(int delta);
void spinTime(int delta);
void fieldFocusGained(int id);
void checkFieldWhileTyping(int id);
DWORD checkFieldOnLeave(int id);
void takePcTime();
// Status 0 with the new value, kSettingsTimeUntouched, or kSettingsDateInvalid.
DWORD composeDateTime(LONG* value);
void showSettingsMessage(UINT id);
// Owner drawing of 1054, 1055, 1057, 1058 and 1059; other controls are left alone.
void drawDateTimeItem(const DRAWITEMSTRUCT& item);
// Subclasses the am/pm field 1054 of the dialog.
void subclassAmPmField(HWND dialog);
LRESULT CALLBACK amPmKeyboardHook(int code, WPARAM key, LPARAM flags);

// Process-wide state of the editor: one settings dialog at a time.
enum class AmPm : BYTE { Am = 1, Pm = 2 };

struct DateTimeEditorState {
    HINSTANCE instance = nullptr;
    HWND dialog = nullptr;
    WORD dateOrder = 0;        // 0 year-month-day, 1 day-month-year, 2 month-day-year
    WORD twelveHourClock = 1;  // 1 when the locale uses a 12-hour clock
    LONG hourMinimum = 0;      // bounds of the hour spin; the maximum also bounds typing
    LONG hourMaximum = 23;
    char amText[16] = {};
    char pmText[16] = {};
    AmPm amPmState = AmPm::Am;
    bool timeEdited = false;
    bool dateEdited = false;
    bool usePcTime = false;
    LONG pcTimeAtOpen = 0;  // PC time (seconds since 1970, UTC) when prepared
    LONG cameraTime = static_cast<LONG>(kUnknownDateTime);
    LONG nextClockRefresh = 0;    // PC time at which the clock display is rewritten
    bool fieldUpdateGuard = false;  // set while the editor writes the fields itself
    int yearField = IDC_DATE_FIELD3;
    int monthField = IDC_DATE_FIELD1;
    int dayField = IDC_DATE_FIELD2;
    // The last text of each of 1045 to 1049 that passed the typing check;
    // a keystroke that makes a field invalid is undone by restoring it.
    char acceptedText[5][10] = {};
    WNDPROC previousAmPmProc = nullptr;
    OwnedHook keyboardHook;
};

DateTimeEditorState& dateTimeEditor();

// Sets the am/pm state, names it in the window text of 1054 and repaints it.
void setAmPm(AmPm state);
// Enables "Vom PC" again after an accepted edit.
void enableFromPc();

}  // namespace bv
