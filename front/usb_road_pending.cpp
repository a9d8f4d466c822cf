// USB road of the settings and release operations, whose commands are not
// in place yet: each reports that no still-image device is open, which is
// what a USB operation returns without a device.
#include "usb_road.h"

namespace bv {

DWORD usbShowSettingsUI(DWORD, HWND) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReadSetting(DWORD, DWORD, void*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbWriteSetting(DWORD, DWORD, void*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReleaseControlEx(DWORD, DWORD, const void*, DWORD, void*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReleaseControlGetReleasedData(DWORD, DWORD, DWORD, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReleaseControlGetViewFinderData(DWORD, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }

}  // namespace bv
