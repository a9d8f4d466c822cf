#include "port_choice.h"

#include <cstdio>

#include "../common/port_text.h"
#include "camera_formats.h"
#include "memory_stream.h"
#include "model_list.h"

namespace {

constexpr DWORD kInstalledForUsb = 2;  // installMethod bit

}  // namespace

DWORD lastPort(const bvlBaseAPI& api, bvlCameraPort* port) {
    const DWORD rc = api.baseGetDevicePort(BVL_PORT_REQUEST_LAST, nullptr, 0, port, 0);
    if (rc != BVL_E_NO_LAST_PORT) return rc;
    std::printf("No port stored yet; trying %s\n", describePort(*port).c_str());
    return 0;
}

void completeUsbPort(const bvlBaseAPI& api, bvlCameraPort* port) {
    if (port->portType != BVL_PORT_USB || port->u.usb.modelID != 0 || port->u.usb.deviceName[0] != '\0') return;
    MemoryStream list;
    std::vector<InstalledModel> models;
    if (api.baseGetUSBModels(list.stream()) != 0 || !readInstalledModels(models)) return;
    for (const std::string& description : parseTextList(list.bytes()))
        for (const InstalledModel& m : models)
            if ((m.installMethod & kInstalledForUsb) && _stricmp(m.name.c_str(), description.c_str()) == 0) {
                port->u.usb.modelID = m.modelID;
                return;
            }
}
