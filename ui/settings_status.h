// How the camera settings dialog ended. Pure; builds without the system
// headers. The codes are the public header's; 0 is OK with a new clock.
#pragma once

#include "win_types.h"

#include "bvcl2sti.h"

namespace bv {

// End statuses of the dialog.
constexpr DWORD kSettingsChangedTime = BVL_OK;                           // OK; the date/time is to be written
constexpr DWORD kSettingsTimeUntouched = BVL_E_SETTINGS_TIME_UNTOUCHED;   // OK; the date/time was not touched
constexpr DWORD kSettingsDateInvalid = BVL_E_SETTINGS_DATE_INVALID;       // the date in the fields is impossible
constexpr DWORD kSettingsCancelled = BVL_E_SETTINGS_CANCELLED;            // Abbrechen, Esc or the close box
constexpr DWORD kSettingsDisconnected = BVL_E_LL_COMM_DISCONNECTED;       // a final camera event
constexpr DWORD kSettingsBatteryExhausted = BVL_E_SETTINGS_BATTERY_EXHAUSTED;

}  // namespace bv
