// USB road of the settings dialog, which is not in place yet: it reports
// that no still-image device is open, which is what a USB operation
// returns without a device.
#include "usb_road.h"

namespace bv {

DWORD usbShowSettingsUI(DWORD, HWND) { return BVL_E_NO_DEVICE_OPEN; }

}  // namespace bv
