// USB road of the operations whose still-image transport is not in place
// yet: each reports that no still-image device is open, which is what a
// USB operation returns without a device.
#include "usb_road.h"

namespace bv {

DWORD usbGetModelDescrip(DWORD, bvlModelDescrip*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbOpenCameraComm(bvlCameraPort*, DWORD*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbCloseCameraComm(DWORD) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbGetOpenCameraPort(DWORD, bvlCameraPort*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbGetVols(DWORD, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbGetDirs(DWORD, const BYTE*, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbGetFile(DWORD, const char*, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbDeleteFiles(DWORD, const char*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbDeleteVolPictures(DWORD, const char*, DWORD, DWORD) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbShowSettingsUI(DWORD, HWND) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReadSetting(DWORD, DWORD, void*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbWriteSetting(DWORD, DWORD, void*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbFormatVol(DWORD, const char*, DWORD, DWORD) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbCreateDir(DWORD, const char*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbRemoveDir(DWORD, const char*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbPutFile(DWORD, const char*, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbSetFileAttribs(DWORD, const char*, DWORD) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbSetFileTimes(DWORD, const char*, DWORD) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbGetJpegParsingHeader(DWORD, const char*, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReleaseControlEx(DWORD, DWORD, const void*, DWORD, void*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReleaseControlGetReleasedData(DWORD, DWORD, DWORD, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }
DWORD usbReleaseControlGetViewFinderData(DWORD, bvlStream*) { return BVL_E_NO_DEVICE_OPEN; }

}  // namespace bv
