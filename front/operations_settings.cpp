// Camera settings and remote release. Except for the settings dialog,
// these forward on a serial port only while the serial table is loaded.
#include "dispatch.h"
#include "../include/bvcl2sti.h"
#include "usb_road.h"

using namespace bv;

// Serial: forwarded as it is. Any other port type shows the dialog over
// the USB road, whose settings reads return nothing when no port is open.
extern "C" DWORD WINAPI baseShowSettingsUI(DWORD camera, HWND parent) {
    traceLine("baseShowSettingsUI is called\n");
    return runGuarded([&]() -> DWORD {
        if (processState().portType == BVL_PORT_SERIAL)
            return forwardToSerial(&bvlBaseAPI::baseShowSettingsUI, camera, parent);
        return usbShowSettingsUI(camera, parent);
    });
}

extern "C" DWORD WINAPI baseReadSetting(DWORD camera, DWORD id, void* value) {
    return dispatchIfSerialLoaded("baseReadSetting is called\n", &bvlBaseAPI::baseReadSetting,
                                  usbReadSetting, camera, id, value);
}

extern "C" DWORD WINAPI baseWriteSetting(DWORD camera, DWORD id, void* value) {
    return dispatchIfSerialLoaded("baseWriteSetting is called\n", &bvlBaseAPI::baseWriteSetting,
                                  usbWriteSetting, camera, id, value);
}

extern "C" DWORD WINAPI baseReleaseControlEx(DWORD camera, DWORD requestLength, const void* request,
                                             DWORD replyLength, void* reply) {
    return dispatchIfSerialLoaded("baseReleaseControlEx is called\n",
                                  &bvlBaseAPI::baseReleaseControlEx, usbReleaseControlEx, camera,
                                  requestLength, request, replyLength, reply);
}

extern "C" DWORD WINAPI baseReleaseControlGetReleasedData(DWORD camera, DWORD word1, DWORD word2,
                                                          bvlStream* stream) {
    return dispatchIfSerialLoaded("baseReleaseControlGetReleasedData is called\n",
                                  &bvlBaseAPI::baseReleaseControlGetReleasedData,
                                  usbReleaseControlGetReleasedData, camera, word1, word2, stream);
}

extern "C" DWORD WINAPI baseReleaseControlGetViewFinderData(DWORD camera, bvlStream* stream) {
    return dispatchIfSerialLoaded("baseReleaseControlGetViewFinderData is called\n",
                                  &bvlBaseAPI::baseReleaseControlGetViewFinderData,
                                  usbReleaseControlGetViewFinderData, camera, stream);
}
