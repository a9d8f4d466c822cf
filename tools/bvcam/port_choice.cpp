#include "port_choice.h"

#include <cstdio>

#include "port_text.h"
#include "camera_formats.h"
#include "memory_stream.h"
#include "model_list.h"
#include "usb_model_match.h"

DWORD lastPort(const bvlBaseAPI& api, bvlCameraPort* port) {
    const DWORD rc = api.baseGetDevicePort(BVL_PORT_REQUEST_LAST, nullptr, 0, port, 0);
    if (rc != BVL_E_NO_LAST_PORT) return rc;
    std::printf("No port stored yet; trying %s\n", describePort(*port).c_str());
    return 0;
}

DWORD completeUsbPort(const bvlBaseAPI& api, bvlCameraPort* port, std::string* problem) {
    problem->clear();
    if (port->portType != BVL_PORT_USB || port->u.usb.modelID != 0 || port->u.usb.deviceName[0] != '\0') return 0;
    MemoryStream list;
    if (DWORD rc = api.baseGetUSBModels(list.stream())) return rc;
    std::vector<InstalledModel> models;
    readInstalledModels(models);
    const UsbModelMatch match = matchConnectedModel(parseTextList(list.bytes()), models);
    port->u.usb.modelID = match.modelID;
    *problem = match.problem;
    return 0;
}
