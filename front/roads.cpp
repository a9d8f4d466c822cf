// The three tables of the library's own roads, and the choice of a road.
#include "roads.h"

#include "process_state.h"
#include "usb_road.h"

namespace bv {
namespace {

// A slot entry that does nothing and returns kCode, with the slot's own
// signature.
template <DWORD kCode, class Slot>
struct Answer;
template <DWORD kCode, class... Args>
struct Answer<kCode, DWORD(WINAPI*)(Args...)> {
    static DWORD WINAPI call(Args...) { return kCode; }
};
#define BV_ANSWER(code, slot) &Answer<code, decltype(bvlBaseAPI::slot)>::call
#define BV_ZERO(slot) BV_ANSWER(0, slot)
#define BV_MISSING(slot) BV_ANSWER(BVL_E_SERIAL_LIBRARY_MISSING, slot)

// Slot 14 on every road but a loaded serial table: the event channel
// delivers to the callback kept here.
DWORD WINAPI keepNotificationHere(DWORD, bvlNotifyCB callback, UINT_PTR context) {
    ProcessState& state = processState();
    state.notify.notifyCallback = callback;
    state.notify.notifyContext = context;
    return 0;
}

const bvlBaseAPI kUsbRoad = {
    BVL_BASE_API_VERSION,
    usbGetModelDescrip, nullptr, usbOpenCameraComm, usbCloseCameraComm, usbGetOpenCameraPort,  // 1-5
    usbGetVols, usbGetDirs, usbGetFile, usbDeleteFiles, usbDeleteVolPictures,                  // 6-10
    showCameraSettings, usbReadSetting, usbWriteSetting, keepNotificationHere, usbFormatVol,   // 11-15
    usbCreateDir, usbRemoveDir, usbPutFile, usbSetFileAttribs, usbSetFileTimes,                // 16-20
    usbGetJpegParsingHeader, usbReleaseControlEx, usbReleaseControlGetReleasedData,            // 21-23
    usbReleaseControlGetViewFinderData, nullptr, nullptr, nullptr,                             // 24-27
};

// No port open: every operation returns 0 and does nothing, except the
// model description and the settings dialog, which ask the USB camera (the
// model selector may have chosen one without an open), and the
// notification callback, which is kept.
const bvlBaseAPI kNoPort = {
    BVL_BASE_API_VERSION,
    usbGetModelDescrip, nullptr, nullptr, BV_ZERO(baseCloseCameraComm), BV_ZERO(baseGetOpenCameraPort),
    BV_ZERO(baseGetVols), BV_ZERO(baseGetDirs), BV_ZERO(baseGetFile), BV_ZERO(baseDeleteFiles),
    BV_ZERO(baseDeleteVolPictures), showCameraSettings, BV_ZERO(baseReadSetting), BV_ZERO(baseWriteSetting),
    keepNotificationHere, BV_ZERO(baseFormatVol), BV_ZERO(baseCreateDir), BV_ZERO(baseRemoveDir),
    BV_ZERO(basePutFile), BV_ZERO(baseSetFileAttribs), BV_ZERO(baseSetFileTimes),
    BV_ZERO(baseGetJpegParsingHeader), BV_ZERO(baseReleaseControlEx), BV_ZERO(baseReleaseControlGetReleasedData),
    BV_ZERO(baseReleaseControlGetViewFinderData), nullptr, nullptr, nullptr,
};

// Serial port type after a failed serial open: the operations that forward
// only while the table is loaded return 0 (the settings and release
// operations) or take their local road (model description, notification
// callback); the others report the missing library instead of calling
// through nothing.
const bvlBaseAPI kSerialWithoutTable = {
    BVL_BASE_API_VERSION,
    usbGetModelDescrip, nullptr, nullptr, BV_MISSING(baseCloseCameraComm), BV_MISSING(baseGetOpenCameraPort),
    BV_MISSING(baseGetVols), BV_MISSING(baseGetDirs), BV_MISSING(baseGetFile), BV_MISSING(baseDeleteFiles),
    BV_MISSING(baseDeleteVolPictures), BV_MISSING(baseShowSettingsUI), BV_ZERO(baseReadSetting),
    BV_ZERO(baseWriteSetting), keepNotificationHere, BV_MISSING(baseFormatVol), BV_MISSING(baseCreateDir),
    BV_MISSING(baseRemoveDir), BV_MISSING(basePutFile), BV_MISSING(baseSetFileAttribs),
    BV_MISSING(baseSetFileTimes), BV_MISSING(baseGetJpegParsingHeader), BV_ZERO(baseReleaseControlEx),
    BV_ZERO(baseReleaseControlGetReleasedData), BV_ZERO(baseReleaseControlGetViewFinderData),
    nullptr, nullptr, nullptr,
};

}  // namespace

const bvlBaseAPI& usbRoad() { return kUsbRoad; }

const bvlBaseAPI& selectRoad() {
    const ProcessState& state = processState();
    switch (state.portType) {
    case BVL_PORT_SERIAL:
        return state.serialBaseAPI ? *state.serialBaseAPI : kSerialWithoutTable;
    case BVL_PORT_USB:
        return kUsbRoad;
    default:
        return kNoPort;
    }
}

}  // namespace bv
