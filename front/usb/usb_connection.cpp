// The USB road of opening and closing: the still-image device of the
// camera, the connect and disconnect commands, the open port and the model
// description, and the event channel that runs while the camera is open.
//
// Opening and closing change the still-image state inside a StiChange, so
// they wait for the operations running on the device and refuse to run
// from a callback of one. The event channel is stopped once before the
// change (a notification callback that closes the camera itself can then
// finish without meeting it) and once inside (a channel that an open on
// another thread started meanwhile).
#include <cstring>

#include "bvWinReg.h"
#include "bv_exception.h"
#include "event_channel.h"
#include "sti_transport.h"
#include "process_state.h"
#include "usb_exchange.h"
#include "usb_road.h"

namespace bv {
namespace {

constexpr DWORD kCommandConnect = 1;
constexpr DWORD kCommandDisconnect = 2;
constexpr DWORD kCommandOpenPort = 3;
constexpr DWORD kCommandModelDescrip = 15;
constexpr DWORD kConnectPayloadLength = 4;  // the address field carries a value
constexpr DWORD kDevicePortNameSize = 128;

// Releases the still-image objects when an open leaves early, unless the
// open got far enough to keep them.
class DeviceOpening {
public:
    DeviceOpening() = default;
    DeviceOpening(const DeviceOpening&) = delete;
    DeviceOpening& operator=(const DeviceOpening&) = delete;
    ~DeviceOpening() {
        if (!kept_) releaseStiObjects();
    }
    void keep() { kept_ = true; }

private:
    bool kept_ = false;
};

// The registry's name of the model; a model that is not installed gives
// the registry error and leaves the current name as it was.
DWORD readCurrentModelName(ProcessState& state, DWORD modelID) {
    char name[kModelNameSize] = {};
    if (missed(machineRegistry().TryReadModelName(modelID, name))) return BVL_E_REGISTRY;
    std::memcpy(state.currentModelName, name, sizeof name);
    return 0;
}

// Opens the descriptor's device: by its device name when it has one, else
// by the description of its model as the registry names it. A model that
// is not installed gives the registry error.
DWORD openDevice(ProcessState& state, const bvlCameraPort& port) {
    HMODULE sti = state.stillImageLibrary.get();
    if (port.u.usb.deviceName[0] != '\0') {
        // The caller's field need not hold a terminator: the name ends with it.
        char name[sizeof port.u.usb.deviceName + 1] = {};
        std::memcpy(name, port.u.usb.deviceName, sizeof port.u.usb.deviceName);
        if (DWORD rc = openDeviceByName(sti, name)) return rc;
        // Without a model ID the camera names its model after the connect.
        return port.u.usb.modelID != 0 ? readCurrentModelName(state, port.u.usb.modelID) : 0;
    }
    if (port.u.usb.modelID == 0) return BVL_E_DEVICE_INVALID;
    if (DWORD rc = readCurrentModelName(state, port.u.usb.modelID)) return rc;
    return openDeviceByModel(sti, state.currentModelName);
}

// A descriptor without a model ID learns it from the camera: the name its
// description reports becomes the current model name, and the installed
// model of that name gives the ID. A camera that gives no description, or
// whose model is not installed, leaves 0: the camera is usable all the
// same.
void learnModel(ProcessState& state, bvlCameraPort* port) {
    bvlModelDescrip descrip = {};
    if (usbGetModelDescrip(kUsbCameraWord, &descrip) != 0) return;
    descrip.modelName[sizeof descrip.modelName - 1] = '\0';
    lstrcpynA(state.currentModelName, descrip.modelName, kModelNameSize);
    port->u.usb.modelID = machineRegistry().ReadModelIDOr(descrip.modelName, 0);
}

void startEventChannel(ProcessState& state) {
    char portName[kDevicePortNameSize] = {};
    getDevicePortName(portName, sizeof portName);
    StartEventChannel(state.currentModelName, portName, &state.notify);
}

}  // namespace

DWORD WINAPI usbOpenCameraComm(bvlCameraPort* port, bvlNotifyCB callback, UINT_PTR, DWORD* camera) {
    if (StiChange::refusedOnThisThread()) return BVL_E_CONNECTION_IN_USE;
    ProcessState& state = processState();
    StopEventChannel();
    StiChange change;
    change.begin();  // cannot refuse now
    // A second open without a close replaces the first connection whole.
    StopEventChannel();
    if (isStiInstanceSet()) releaseStiObjects();
    if (port->u.usb.deviceName[0] == '\0' && port->u.usb.modelID == 0) return BVL_E_DEVICE_INVALID;

    DeviceOpening opening;
    if (DWORD rc = openDevice(state, *port)) return rc;
    if (!camera) return BVL_E_INVALID_PARAMETER;  // nothing to write the camera word to
    // From here the device stays open, even when the connect fails: the
    // caller closes it with baseCloseCameraComm.
    opening.keep();
    *camera = kUsbCameraWord;
    const void* callbackValue = reinterpret_cast<const void*>(callback);
    if (DWORD rc = exchangeLocked(kCommandConnect, kConnectPayloadLength, callbackValue, nullptr, 0))
        return rc;
    if (port->u.usb.modelID == 0) learnModel(state, port);
    port->u.usb.deviceName[0] = '\0';
    machineRegistry().WritePortSetting(port, kLastPort, 0);
    startEventChannel(state);
    return 0;
}

DWORD WINAPI usbCloseCameraComm(DWORD) {
    if (StiChange::refusedOnThisThread()) return BVL_E_CONNECTION_IN_USE;
    StopEventChannel();
    StiChange change;
    change.begin();  // cannot refuse now
    StopEventChannel();
    const DWORD rc = exchangeLocked(kCommandDisconnect, 0, nullptr, nullptr, 0);
    return keepFirst(rc, releaseStiConnection());
}

DWORD WINAPI usbGetOpenCameraPort(DWORD, bvlCameraPort* port) {
    return exchangeLocked(kCommandOpenPort, 0, nullptr, port, sizeof *port);
}

// Works without an open connection too: the device of the selected model
// is then opened for this one question and released again. A device that
// cannot be opened gives its code even when the record is missing.
DWORD WINAPI usbGetModelDescrip(DWORD, bvlModelDescrip* descrip) {
    auto ask = [descrip] {
        return descrip ? exchangeLocked(kCommandModelDescrip, 0, nullptr, descrip, sizeof *descrip)
                       : BVL_E_INVALID_PARAMETER;
    };
    if (isStiInstanceSet()) return ask();
    StiChange change;
    if (DWORD rc = change.begin()) return rc;
    if (isStiInstanceSet()) return ask();  // opened meanwhile
    ProcessState& state = processState();
    if (DWORD rc = openDeviceByModel(state.stillImageLibrary.get(), state.currentModelName)) {
        releaseStiObjects();
        return rc;
    }
    const DWORD rc = ask();
    return keepFirst(rc, releaseStiConnection());
}

}  // namespace bv
