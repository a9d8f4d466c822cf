// The camera settings dialog (102): model and firmware, owner name, the
// date and time editor, power state and card slots, context help, and the
// camera events that the event channel sends while it is open. It works on
// the one bvlCameraSettings record of the process; the procedure only
// dispatches to the pieces in the other files of this folder.
#include "common_controls.h"
#include "observable_texts.h"
#include "settings_private.h"

namespace bv {
namespace {

constexpr UINT_PTR kClockTimer = 0;
constexpr DWORD kFinalEventBit = 0x40000;
constexpr WORD kTimeOutEvent = 5;
constexpr WORD kBatteryEvent = 1;

struct SettingsDialogState {
    HINSTANCE instance = nullptr;
    NotificationTargets* targets = nullptr;  // may be null: no event channel
    HWND window = nullptr;                   // settingsDialogWindow
    UINT notificationMessage = 0;            // cameraNotificationMessage
    bool closed = false;                     // closeSettingsDialog ran
};

SettingsDialogState g_dialog;

// Stops the event channel's deliveries to this dialog.
void withdrawFromEvents() {
    if (!g_dialog.targets) return;
    HWND window = g_dialog.window;
    g_dialog.targets->settingsDialogWindow.compare_exchange_strong(window, nullptr);
}

// The record's texts need not be terminated; at most 63 characters show.
void setRecordText(HWND dialog, int id, const char (&text)[kSettingsTextSize]) {
    char copy[kSettingsTextSize];
    lstrcpynA(copy, text, kSettingsTextSize);
    SetDlgItemTextA(dialog, id, copy);
}

void initialise(HWND dialog) {
    const bvlCameraSettings& settings = cameraSettings();
    g_dialog.window = dialog;
    if (g_dialog.targets) g_dialog.targets->settingsDialogWindow = dialog;
    centreWindowOver(dialog, GetWindow(dialog, GW_OWNER));
    g_dialog.notificationMessage = RegisterWindowMessageA("CameraNotificationMessage");
    if (g_dialog.targets) g_dialog.targets->cameraNotificationMessage = g_dialog.notificationMessage;
    attachDateTimeFields(dialog);
    // A camera event may have ended the dialog while the message about the
    // camera's date was up; then it is not set up further nor shown.
    if (g_dialog.closed) return;

    setRecordText(dialog, IDC_MODEL_NAME, settings.modelName);
    setRecordText(dialog, IDC_FIRMWARE_VERSION, settings.firmwareVersion);
    SendDlgItemMessageA(dialog, IDC_OWNER_NAME, EM_LIMITTEXT, 31, 0);
    setRecordText(dialog, IDC_OWNER_NAME, settings.ownerName);
    SetTimer(dialog, kClockTimer, 1000, nullptr);
    showPowerState(dialog, g_dialog.instance, settings.batteryState);
    showCardSlots(dialog, g_dialog.instance, settings);
    SetFocus(GetDlgItem(dialog, IDC_SETTINGS_OK));
    ShowWindow(dialog, SW_RESTORE);
}

// OK: an impossible date keeps the dialog open; otherwise the owner name
// and the composed time go into the record.
void onOk(HWND dialog) {
    LONG value = 0;
    const DWORD status = composeDateTime(&value);
    if (status == kSettingsDateInvalid) {
        showSettingsMessage(IDS_DATE_INVALID);
        SetFocus(GetDlgItem(dialog, IDC_DATE_FIELD1));
        return;
    }
    char owner[32] = "";
    GetDlgItemTextA(dialog, IDC_OWNER_NAME, owner, sizeof owner);
    const HCURSOR previous = SetCursor(LoadCursor(nullptr, IDC_WAIT));
    bvlCameraSettings& settings = cameraSettings();
    lstrcpynA(settings.ownerName, owner, kSettingsTextSize);
    settings.dateTime = status == kSettingsTimeUntouched ? static_cast<LONG>(kUnknownDateTime) : value;
    SetCursor(previous);
    closeSettingsDialog(status, 1);
}

void onFieldNotification(int id, int code) {
    switch (code) {
    case EN_SETFOCUS: fieldFocusGained(id); break;
    case EN_KILLFOCUS: checkFieldOnLeave(id); break;
    case EN_CHANGE: checkFieldWhileTyping(id); break;
    }
}

void onCommand(HWND dialog, int id, int code) {
    switch (id) {
    case IDC_SETTINGS_OK: onOk(dialog); break;
    case IDC_SETTINGS_CANCEL:
    case IDCANCEL: closeSettingsDialog(kSettingsCancelled, IDC_SETTINGS_CANCEL); break;
    case IDC_SETTINGS_HELP: showHelpContents(dialog, g_dialog.instance); break;
    case IDC_FROM_PC: takePcTime(); break;
    case IDC_DATE_FIELD1: case IDC_DATE_FIELD2: case IDC_DATE_FIELD3:
    case IDC_HOUR: case IDC_MINUTE: case IDC_TIME_FILLER: onFieldNotification(id, code); break;
    }
}

void onNotify(const NMHDR& header, LPARAM lParam) {
    if (header.code != static_cast<UINT>(UDN_DELTAPOS)) return;
    const int delta = reinterpret_cast<const NMUPDOWN*>(lParam)->iDelta;
    if (header.idFrom == IDC_DATE_SPIN) spinDate(delta);
    if (header.idFrom == IDC_TIME_SPIN) spinTime(delta);
}

void onBatteryEvent(DWORD level) {
    switch (level) {
    case 3: closeSettingsDialog(kSettingsBatteryExhausted, 0); break;
    case 4: setPowerState(g_dialog.window, g_dialog.instance, "BattWarnIcon", IDS_BATTERY_LOW_EVENT); break;
    case 6: setPowerState(g_dialog.window, g_dialog.instance, "BattNormIcon", IDS_BATTERY_NORMAL_EVENT); break;
    }
}

// A DLGPROC's own result only says whether it handled the message; what
// the sender sees is DWLP_MSGRESULT, which stays 0 unless set. Apart from
// the camera event, every message returns FALSE, so the dialog manager's
// default handling still runs after ours (F1 also reaches the owner, a
// right click on the caption shows the system menu).
INT_PTR onSettingsDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (g_dialog.notificationMessage != 0 && message == g_dialog.notificationMessage) {
        const LRESULT answer = LOWORD(handleCameraEvent(wParam, lParam));
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
        return answer;
    }
    switch (message) {
    case WM_INITDIALOG: initialise(dialog); break;  // the focus stays on OK
    case WM_COMMAND: onCommand(dialog, LOWORD(wParam), HIWORD(wParam)); break;
    case WM_NOTIFY: onNotify(*reinterpret_cast<const NMHDR*>(lParam), lParam); break;
    case WM_TIMER:
        if (wParam == kClockTimer) refreshClock();
        break;
    case WM_DRAWITEM: drawDateTimeItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); break;
    case WM_HELP:
        showHelpPopup(kSettingsHelp, dialog, g_dialog.instance, *reinterpret_cast<const HELPINFO*>(lParam));
        break;
    case WM_CONTEXTMENU:
        showContextMenuHelp(kSettingsHelp, dialog, g_dialog.instance, reinterpret_cast<HWND>(wParam), lParam);
        break;
    case WM_DESTROY: withdrawFromEvents(); break;
    }
    return FALSE;
}

INT_PTR CALLBACK settingsDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return runGuardedOr<INT_PTR>(FALSE, [&] { return onSettingsDialog(dialog, message, wParam, lParam); });
}

}  // namespace

bvlCameraSettings& cameraSettings() {
    static bvlCameraSettings settings = {};
    return settings;
}

HWND settingsDialogWindow() { return g_dialog.window; }
HINSTANCE settingsInstance() { return g_dialog.instance; }
UINT cameraNotificationMessage() { return g_dialog.notificationMessage; }
bool settingsDialogEnding() { return g_dialog.closed; }

void closeSettingsDialog(DWORD status, INT_PTR result) {
    HWND dialog = g_dialog.window;
    cameraSettings().endStatus = status;
    g_dialog.closed = true;
    KillTimer(dialog, kClockTimer);
    EnableWindow(GetDlgItem(dialog, IDC_FROM_PC), TRUE);
    quitHelp(dialog, g_dialog.instance);
    if (HWND message = messageDialogWindow()) EndDialog(message, 1);
    EndDialog(dialog, result);
}

LRESULT handleCameraEvent(WPARAM data, LPARAM code) {
    const DWORD event = static_cast<DWORD>(code);
    if (event & kFinalEventBit) {
        closeSettingsDialog(kSettingsDisconnected, 0);
    } else if (LOWORD(event) == kTimeOutEvent) {
        OutputDebugStringA(kTextDialogClosedByTimeout);
        closeSettingsDialog(kSettingsChangedTime, 0);
    } else if (LOWORD(event) == kBatteryEvent) {
        onBatteryEvent(static_cast<DWORD>(data) & 0xF);
    }
    return 1;
}

INT_PTR runCameraSettingsDialog(HINSTANCE instance, HWND owner, NotificationTargets* targets) {
    initCommonControls(ICC_UPDOWN_CLASS);
    g_dialog = SettingsDialogState{};
    g_dialog.instance = instance;
    g_dialog.targets = targets;
    const INT_PTR result =
        DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_CAMERA_SETTINGS), owner, settingsDialogProc, 0);
    // The window is gone: the event channel must not send to it any more.
    withdrawFromEvents();
    g_dialog.window = nullptr;
    return result;
}

}  // namespace bv
