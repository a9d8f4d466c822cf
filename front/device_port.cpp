// The ports that baseGetDevicePort hands out: the stored default and last
// ports (requests 1 and 3), the user's choice in the communication
// settings dialog (request 2) and the launching USB camera (request 4); and
// the model selector.
#include <cstring>

#include "bvWinReg.h"
#include "default_port.h"
#include "sti_transport.h"
#include "comm_port_dialog.h"
#include "process_state.h"
#include "device_port.h"

namespace bv {
namespace {

constexpr DWORD kNoLastPort = BVL_E_NO_LAST_PORT;
constexpr DWORD kKindNotInstalled = BVL_E_DEVICE_NOT_INSTALLED;

// The port kinds a model is installed for (bit 0 serial, bit 1 USB); a
// model that cannot be looked up counts as serial only.
DWORD supportedKinds(const RegistryStore& registry, DWORD modelID) {
    if (modelID == 0) return processState().stillImageLibrary ? 3 : 1;
    const DWORD method = registry.ReadInstallMethodOr(modelID, 0) & 3;
    return method != 0 ? method : 1;
}

// One lookup of a stored port: request 1 reads "defaultPort", request 3
// "lastPort". When nothing is stored the default of the wanted kind is
// filled in, and for the last port that is reported as kNoLastPort.
class StoredPortLookup {
public:
    StoredPortLookup(DWORD request, DWORD modelID, DWORD wantedKind, bvlCameraPort* port)
        : registry_(machineRegistry()), request_(request), modelID_(modelID),
          wantedKind_(wantedKind), port_(port),
          valueName_(request == BVL_PORT_REQUEST_DEFAULT ? kDefaultPort : kLastPort) {}

    DWORD run() {
        if (modelID_ == 0) {
            runWithoutModel();
        } else {
            DWORD rc = runForModel();
            if (rc != 0) return rc;
        }
        if (port_->portType == BVL_PORT_USB) port_->u.usb.deviceName[0] = '\0';
        return result_;
    }

private:
    void runWithoutModel() {
        switch (wantedKind_) {
        case kPortKindSerial: return readFor(BVL_PORT_SERIAL, kPortKindSerial, 0);
        case kPortKindUsb: return readFor(BVL_PORT_USB, kPortKindUsb, 0);
        default: return readForLastKind();
        }
    }

    DWORD runForModel() {
        const DWORD supported = supportedKinds(registry_, modelID_);
        DWORD kind = wantedKind_;
        if (kind != kPortKindSerial && kind != kPortKindUsb)
            kind = supported == 1 ? kPortKindSerial : supported == 2 ? kPortKindUsb : 0;
        switch (kind) {
        case kPortKindSerial:
            readFor(modelID_, kPortKindSerial, modelID_);
            return 0;
        case kPortKindUsb:
            if (supported == 1) return kKindNotInstalled;
            readFor(BVL_PORT_USB, kPortKindUsb, modelID_);
            break;
        default:
            readForLastKind();
            break;
        }
        if (port_->portType == BVL_PORT_USB) port_->u.usb.modelID = modelID_;
        return 0;
    }

    void readFor(DWORD selector, DWORD kind, DWORD defaultModelID) {
        readStored(selector);
        fillWhenNothingStored(kind, defaultModelID);
    }

    // Any stored port; nothing stored gives the default of the kind that
    // was stored last.
    void readForLastKind() {
        readStored(0);
        fillWhenNothingStored(lastStoredType() == BVL_PORT_USB ? kPortKindUsb : kPortKindSerial, 0);
    }

    // A registry that cannot be read: the last port is reported missing,
    // the default port becomes the default of the wanted kind.
    void readStored(DWORD selector) {
        if (!missed(registry_.TryReadPortSetting(port_, valueName_, selector))) return;
        if (request_ == BVL_PORT_REQUEST_LAST)
            result_ = kNoLastPort;
        else
            fillDefaultPort(port_, modelID_, wantedKind_ == kPortKindUsb ? kPortKindUsb : kPortKindSerial);
    }

    void fillWhenNothingStored(DWORD kind, DWORD modelID) {
        if (port_->portType != BVL_PORT_NONE) return;
        fillDefaultPort(port_, modelID, kind);
        if (request_ == BVL_PORT_REQUEST_LAST) result_ = kNoLastPort;
    }

    WORD lastStoredType() const { return registry_.ReadLastPortTypeOr(valueName_, BVL_PORT_NONE); }

    const RegistryStore registry_;
    const DWORD request_;
    const DWORD modelID_;
    const DWORD wantedKind_;
    bvlCameraPort* const port_;
    const char* const valueName_;
    DWORD result_ = 0;
};

// Request 4: the USB camera whose still-image event launched the
// application, with its device name, so that the open takes that device.
DWORD launchingCameraPort(bvlCameraPort* port) {
    HMODULE stillImage = processState().stillImageLibrary.get();
    wchar_t deviceName[128] = {};
    DWORD modelID = 0;
    if (!stillImage || findLaunchedModelID(stillImage, deviceName, &modelID) != 1) {
        port->u.usb.deviceName[0] = '\0';
        return BVL_E_NO_LAUNCHING_CAMERA;
    }
    writeUsbPortName(port);
    port->u.usb.modelID = modelID;
    WideCharToMultiByte(CP_ACP, 0, deviceName, -1, port->u.usb.deviceName, sizeof port->u.usb.deviceName,
                        nullptr, nullptr);
    port->u.usb.deviceName[sizeof port->u.usb.deviceName - 1] = '\0';
    return 0;
}

}  // namespace

namespace {

// The port kinds the dialog offers: what was wanted, or with any kind
// wanted what the model supports; without a model, USB only when the
// still-image service is there and some model is installed for USB.
DWORD offeredPortKinds(const RegistryStore& registry, DWORD modelID, DWORD wantedKind, DWORD supported) {
    if (wantedKind == kPortKindSerial) return 1;
    if (wantedKind == kPortKindUsb) return 2;
    if (modelID != 0) return supported;
    if (!processState().stillImageLibrary) return 1;
    return registry.IsUSBInstalledOr(FALSE) ? 3 : 1;
}

// Request 2: the user chooses in the communication settings dialog. After
// OK the choice is stored as the last port (a serial port chosen for a
// model also as that model's last port); a USB choice that names neither a
// model nor a device is refused and not stored. Cancelling returns 5 with
// nothing stored.
DWORD chooseDevicePort(HWND parent, DWORD modelID, bvlCameraPort* port, DWORD wantedKind) {
    const RegistryStore registry = machineRegistry();
    if (wantedKind == kPortKindUsb && !processState().stillImageLibrary) return kKindNotInstalled;
    const DWORD supported = supportedKinds(registry, modelID);
    CommDialogRequest request;
    request.offeredPortKinds = offeredPortKinds(registry, modelID, wantedKind, supported);
    request.editedPort = port;
    request.modelChoiceFlag = modelID == 0 ? 1 : 0;
    request.givenModelID = modelID;
    request.stillImageLibrary = processState().stillImageLibrary.get();
    const INT_PTR ended = runCommDialog(processState().moduleInstance, parent, request);
    if (ended != 0) return static_cast<DWORD>(ended);

    if (port->portType == BVL_PORT_SERIAL) {
        registry.WritePortSetting(port, kLastPort, 0);
        if (modelID != 0) registry.WritePortSetting(port, kLastPort, modelID);
    } else if (port->portType == BVL_PORT_USB) {
        if (modelID != 0) port->u.usb.modelID = modelID;
        if (port->u.usb.modelID == 0 && port->u.usb.deviceName[0] == '\0') return BVL_E_DEVICE_INVALID;
        registry.WritePortSetting(port, kLastPort, 0);
    }
    if ((wantedKind == kPortKindSerial && supported == 2) || (wantedKind == kPortKindUsb && supported == 1))
        return kKindNotInstalled;
    return 0;
}

}  // namespace

DWORD lookUpDevicePort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort* port,
                       DWORD wantedKind) {
    switch (LOWORD(request)) {
    case BVL_PORT_REQUEST_DEFAULT:
    case BVL_PORT_REQUEST_LAST:
        return StoredPortLookup(LOWORD(request), modelID, LOWORD(wantedKind), port).run();
    case BVL_PORT_REQUEST_LAUNCHED:
        return launchingCameraPort(port);
    case BVL_PORT_REQUEST_DIALOG: {
        const DWORD rc = chooseDevicePort(parent, modelID, port, LOWORD(wantedKind));
        if (port->portType == BVL_PORT_USB) port->u.usb.deviceName[0] = '\0';  // opened by model later
        return rc;
    }
    default:
        return 0;  // an unknown request leaves the descriptor zeroed
    }
}

// A model that is not installed gives the registry error and leaves the
// selection as it was.
DWORD selectCameraModel(DWORD modelID) {
    char name[kModelTextSize] = {};
    if (missed(machineRegistry().TryReadModelName(modelID, name))) return BVL_E_REGISTRY;
    std::memcpy(processState().currentModelName, name, sizeof name);
    return 0;
}

}  // namespace bv
