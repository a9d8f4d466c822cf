// Opening and closing camera communication, the open port, the model
// description, port selection and the model selector.
#include <cstring>

#include "bvWinReg.h"
#include "bvcl2sti.h"
#include "device_port.h"
#include "dispatch.h"
#include "process_state.h"
#include "serial_library.h"
#include "sti_transport.h"
#include "usb_road.h"

using namespace bv;

namespace {

// A USB connection still open is closed first, whole (event channel,
// device, service instance, this thread's COM), as a close would; its
// codes do not concern the serial open.
DWORD openSerial(ProcessState& state, bvlCameraPort* port, bvlNotifyCB callback, UINT_PTR context,
                 DWORD* camera) {
    usbRoad().baseCloseCameraComm(kUsbCameraWord);
    state.portType = BVL_PORT_SERIAL;
    DWORD rc = connectSerialLibrary(state);
    if (rc != 0) return rc;
    rc = state.serialBaseAPI->baseOpenCameraComm(port, callback, context, camera);
    if (rc == 0) machineRegistry().WritePortSetting(port, kLastPort, 0);
    return rc;
}

DWORD openUsb(ProcessState& state, bvlCameraPort* port, bvlNotifyCB callback, DWORD* camera) {
    state.portType = BVL_PORT_USB;
    disconnectSerialLibrary(state);
    return usbRoad().baseOpenCameraComm(port, callback, 0, camera);
}

}  // namespace

// Opens communication on the port that the descriptor names and writes the
// camera word. The callback and context are registered first, whatever
// happens next; the port type is set before anything is loaded or opened,
// so it keeps its value when the open fails. A port type other than serial
// or USB changes nothing else and returns 0. An open from a callback of a
// running USB operation changes nothing and returns BVL_E_CONNECTION_IN_USE.
extern "C" DWORD WINAPI baseOpenCameraComm(bvlCameraPort* port, bvlNotifyCB callback,
                                           UINT_PTR context, DWORD* camera) {
    traceLine("baseOpenCameraComm is called\n");
    if (!port) return BVL_E_INVALID_PARAMETER;
    return runGuarded([&]() -> DWORD {
        const bool opens = port->portType == BVL_PORT_SERIAL || port->portType == BVL_PORT_USB;
        if (opens && StiChange::refusedOnThisThread()) return BVL_E_CONNECTION_IN_USE;
        ProcessState& state = processState();
        state.notify.notifyCallback = callback;
        state.notify.notifyContext = context;
        switch (port->portType) {
        case BVL_PORT_SERIAL:
            return openSerial(state, port, callback, context, camera);
        case BVL_PORT_USB:
            return openUsb(state, port, callback, camera);
        default:
            return 0;
        }
    });
}

// Serial: the library's close, after which the port type is none whatever
// it reported; the serial library stays loaded. USB: the port type stays.
extern "C" DWORD WINAPI baseCloseCameraComm(DWORD camera) {
    const bool serial = processState().portType == BVL_PORT_SERIAL;
    const DWORD rc = dispatch("baseCloseCameraComm is called\n", &bvlBaseAPI::baseCloseCameraComm, camera);
    if (serial) processState().portType = BVL_PORT_NONE;
    return rc;
}

// Fills the descriptor of the open port; zeroed first, so with no port open
// the caller gets 114 zero bytes and 0.
extern "C" DWORD WINAPI baseGetOpenCameraPort(DWORD camera, bvlCameraPort* port) {
    if (!port) {
        traceLine("baseGetOpenCameraPort is called\n");
        return BVL_E_INVALID_PARAMETER;
    }
    std::memset(port, 0, sizeof *port);
    return dispatch("baseGetOpenCameraPort is called\n", &bvlBaseAPI::baseGetOpenCameraPort, camera, port);
}

extern "C" DWORD WINAPI baseGetModelDescrip(DWORD camera, bvlModelDescrip* descrip) {
    return dispatch("baseGetModelDescrip is called\n", &bvlBaseAPI::baseGetModelDescrip, camera, descrip);
}

extern "C" DWORD WINAPI baseSetNotificationCB(DWORD camera, bvlNotifyCB callback, UINT_PTR context) {
    return dispatch("baseSetNotificationCB is called\n", &bvlBaseAPI::baseSetNotificationCB, camera, callback,
                    context);
}

extern "C" DWORD WINAPI baseSetCameraSelector(DWORD modelID) {
    traceLine("baseSetCameraSelector is called\n");
    return runGuarded([&] { return selectCameraModel(modelID); });
}

// Supplies a port descriptor: request 1 the stored default, 2 the user's
// choice, 3 the stored last port, 4 the USB camera that launched the
// application. The descriptor is zeroed before anything is looked up.
extern "C" DWORD WINAPI baseGetDevicePort(DWORD request, HWND parent, DWORD modelID,
                                          bvlCameraPort* port, DWORD wantedKind) {
    traceLine("baseGetDevicePort is called\n");
    if (LOWORD(request) == 0 || !port) return BVL_E_INVALID_PARAMETER;
    std::memset(port, 0, sizeof *port);
    return runGuarded([&] { return lookUpDevicePort(request, parent, modelID, port, wantedKind); });
}

extern "C" DWORD WINAPI baseGetCameraPort(DWORD request, HWND parent, DWORD modelID,
                                          bvlCameraPort* port) {
    traceLine("baseGetCameraPort is called\n");
    return baseGetDevicePort(request, parent, modelID, port, 0);
}

extern "C" DWORD WINAPI baseGetUSBModels(bvlStream* stream) {
    traceLine("baseGetUSBModels is called\n");
    return runGuarded([&] { return listUsbModels(stream); });
}
