// Port descriptors that the library fills in by itself: the defaults that
// stand in when nothing is stored, used by the port requests and by the
// communication settings dialog, and the records of a serial or USB port
// with the fixed values of the public header. Pure.
#pragma once

#include <cstdio>
#include <cstring>

#include "bvcl2sti.h"

namespace bv {

constexpr DWORD kDefaultUsbModelID = 0x70333036;  // model of a USB default port without one
constexpr DWORD kPortKindSerial = 1;               // kinds asked for by callers
constexpr DWORD kPortKindUsb = 2;

// Writes the serial fields of port "comN": port type, name, number, the
// parameter bytes and the speed. The bytes after the name's terminator and
// those past the serial fields stay as they were.
inline void writeSerialPort(bvlCameraPort* port, BYTE number, DWORD baudRate) {
    const BYTE params[4] = BVL_SERIAL_PARAMS;
    port->portType = BVL_PORT_SERIAL;
    std::snprintf(port->portName, sizeof port->portName, "com%u", static_cast<unsigned>(number));
    port->u.serial.portNumber = number;
    std::memcpy(port->u.serial.params, params, sizeof params);
    port->u.serial.baudRate = baudRate;
}

// Writes the port type and the name of a USB port; the USB fields stay.
inline void writeUsbPortName(bvlCameraPort* port) {
    port->portType = BVL_PORT_USB;
    std::strcpy(port->portName, BVL_USB_PORT_NAME);
}

// Clears port and fills the default of a kind: kPortKindUsb gives port type
// USB, "USB", the model ID (kDefaultUsbModelID for 0) and no device name;
// any other kind gives the serial default (COM1, 8/1/0/3, 115200 baud).
void fillDefaultPort(bvlCameraPort* port, DWORD modelID, DWORD kind);

}  // namespace bv
