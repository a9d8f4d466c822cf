#include "comm_port_dialog.h"

#include <cstring>

#include "bvWinReg.h"
#include "comm_settings_dialog.h"
#include "default_port.h"
#include "serial_camera_search.h"
#include "sti_transport.h"

namespace bv {
namespace {

// Registry reads for the first view fall back like missing values: a store
// that cannot be read leaves the record empty, so the default is filled in.
void readPortSetting(bvlCameraPort* port, DWORD selector) {
    missed(machineRegistry().TryReadPortSetting(port, kLastPort, selector));
}

WORD readLastPortType(const char* valueName) {
    return machineRegistry().ReadLastPortTypeOr(valueName, BVL_PORT_NONE);
}

// With both kinds offered, the kind shown first is that of the general last
// port; without one, the default of the kind stored last (or as default).
WORD initialKindOfBoth(DWORD givenModelID) {
    bvlCameraPort general = {};
    readPortSetting(&general, 0);
    if (general.portType == BVL_PORT_NONE) {
        WORD type = readLastPortType(kLastPort);
        if (type == BVL_PORT_NONE) type = readLastPortType(kDefaultPort);
        fillDefaultPort(&general, givenModelID, type == BVL_PORT_USB ? kPortKindUsb : kPortKindSerial);
    }
    return general.portType;
}

// The serial lists open on the stored serial last port, else the default.
CommDialogView gatherView(const CommDialogRequest& request) {
    CommDialogView view;
    view.offeredPortKinds = request.offeredPortKinds;
    view.modelChoiceFlag = request.modelChoiceFlag;
    bvlCameraPort serial = {};
    readPortSetting(&serial, BVL_PORT_SERIAL);
    if (serial.portType == BVL_PORT_NONE) fillDefaultPort(&serial, request.givenModelID, kPortKindSerial);
    view.serialPortNumber = serial.u.serial.portNumber;
    view.serialBaudRate = serial.u.serial.baudRate;
    if (request.offeredPortKinds == 3) view.kindShownOfBoth = initialKindOfBoth(request.givenModelID);
    return view;
}

// The USB cameras come from the still-image service anew each time the
// dialog asks; the serial search looks for the given model, if any.
class DeviceProbe final : public CommDialogProbe {
public:
    DeviceProbe(HMODULE stillImage, DWORD givenModelID) : stillImage_(stillImage), givenModelID_(givenModelID) {}

    DWORD listUsbCameras(char* names, DWORD size) override {
        DWORD count = 0;
        return SUCCEEDED(enumerateUsbModels(stillImage_, names, size, &count)) ? count : 0;
    }

    SerialSearchEnd searchSerialCamera(DWORD baudRate, int* foundPort) override {
        return bv::searchSerialCamera(baudRate, givenModelID_, foundPort);
    }

private:
    HMODULE stillImage_;
    DWORD givenModelID_;
};

// Writes the choice into the caller's descriptor: the port type, and the
// name and fields of the chosen kind; other bytes stay. A USB model that
// the registry does not know (such as "(Keine)") leaves model ID 0 and no
// device name; the port request decides what that means.
void writeChoice(const CommDialogChoice& choice, bvlCameraPort* port) {
    port->portType = choice.portType;
    if (choice.portType == BVL_PORT_SERIAL) {
        bvlCameraPort chosen = {};
        writeSerialPort(&chosen, choice.comPort, choice.baudRate);
        std::memcpy(port->portName, chosen.portName, sizeof port->portName);
        port->u.serial = chosen.u.serial;
    } else if (choice.portType == BVL_PORT_USB) {
        writeUsbPortName(port);
        port->u.usb.modelID = machineRegistry().ReadModelIDOr(choice.usbModel, 0);
        if (port->u.usb.modelID == 0) port->u.usb.deviceName[0] = '\0';
    }
}

}  // namespace

INT_PTR runCommDialog(HINSTANCE instance, HWND owner, const CommDialogRequest& request) {
    const CommDialogView view = gatherView(request);
    DeviceProbe probe(request.stillImageLibrary, request.givenModelID);
    CommDialogChoice choice;
    const INT_PTR ended = runCommSettingsDialog(instance, owner, view, probe, &choice);
    if (choice.made) writeChoice(choice, request.editedPort);
    return ended;
}

}  // namespace bv
