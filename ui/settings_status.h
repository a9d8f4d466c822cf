// How the camera settings dialog ended. Pure; builds without the system
// headers.
#pragma once

#include "win_types.h"

namespace bv {

// End statuses of the dialog.
constexpr DWORD kSettingsChangedTime = 0;            // OK; the date/time is to be written
constexpr DWORD kSettingsTimeUntouched = 0x827000A1;  // OK; the date/time was not touched
constexpr DWORD kSettingsDateInvalid = 0x827000A2;    // the date in the fields is impossible
constexpr DWORD kSettingsCancelled = 0x02700005;      // Abbrechen, Esc or the close box
constexpr DWORD kSettingsDisconnected = 0x020000C1;   // a final camera event
constexpr DWORD kSettingsBatteryExhausted = 0x82700003;

}  // namespace bv
