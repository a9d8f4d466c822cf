// The camera settings dialog (template 102) as the settings operation uses
// it: one process-wide record that is filled from the camera before the
// dialog opens and read back after it ends.
#pragma once

#include <windows.h>

#include "event_channel.h"
#include "settings_status.h"

namespace bv {

constexpr int kSettingsTextSize = 64;

constexpr DWORD kUnknownDateTime = 0xFFFFFFFF;

struct bvlCameraSettings {
    char modelName[kSettingsTextSize];
    char firmwareVersion[kSettingsTextSize];
    char ownerName[kSettingsTextSize];  // on OK: the edit's text, at most 31 characters
    LONG dateTime;                      // local wall-clock seconds since 1970, or unknown
    DWORD batteryState;                 // 0 none; top nibble 1 mains; low nibble 6, 4, 3
    DWORD slotCount;                    // 0, 1 or 2
    DWORD slot1Total, slot1Free;
    DWORD slot2Total, slot2Free;
    DWORD endStatus;
};

// The one record of the process; only one settings dialog is open at a time.
bvlCameraSettings& cameraSettings();

// Fixes the locale's date order and clock style, the camera time and the
// PC time for the next dialog; called before runCameraSettingsDialog.
void prepareDateTimeEditor(LONG dateTime, HINSTANCE instance);

// Initialises the common controls and runs dialog 102 of the module
// modally, owned by owner. While it is open, targets->settingsDialogWindow
// and targets->cameraNotificationMessage name it, so that the event channel
// delivers camera events to it; the window is withdrawn when it closes.
// Returns 1 (OK), 1056 (cancelled), 0 (closed by a camera event) or -1
// when the dialog could not be created.
INT_PTR runCameraSettingsDialog(HINSTANCE instance, HWND owner, NotificationTargets* targets);

}  // namespace bv
