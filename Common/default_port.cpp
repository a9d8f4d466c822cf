#include "default_port.h"

namespace bv {

void fillDefaultPort(bvlCameraPort* port, DWORD modelID, DWORD kind) {
    std::memset(port, 0, sizeof *port);
    if (kind != kPortKindUsb) {
        writeSerialPort(port, BVL_SERIAL_DEFAULT_PORT_NUMBER, BVL_SERIAL_DEFAULT_BAUD_RATE);
        return;
    }
    writeUsbPortName(port);
    port->u.usb.modelID = modelID != 0 ? modelID : kDefaultUsbModelID;
}

}  // namespace bv
