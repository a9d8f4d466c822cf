#include "default_port.h"

#include <cstring>

#include "bvWinReg.h"

namespace bv {

void fillDefaultPort(bvlCameraPort* port, DWORD modelID, DWORD kind) {
    std::memset(port, 0, sizeof *port);
    if (kind != kPortKindUsb) {
        writeSerialDefaultPort(port);
        return;
    }
    port->portType = BVL_PORT_USB;
    std::strcpy(port->portName, "USB");
    port->u.usb.modelID = modelID != 0 ? modelID : kDefaultUsbModelID;
}

}  // namespace bv
