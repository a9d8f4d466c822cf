#include "camera_library.h"

#include <cctype>
#include <cstdlib>
#include <cstring>

CameraLibrary::CameraLibrary() : module_(LoadLibraryA("bvcl2sti.dll")) {
    if (module_)
        api_ = reinterpret_cast<const bvlBaseAPI*>(
            reinterpret_cast<void*>(GetProcAddress(module_, "g_bvlBaseAPI")));
}

CameraLibrary::~CameraLibrary() {
    if (module_) FreeLibrary(module_);
}

CameraSession::CameraSession(const bvlBaseAPI& api, bvlCameraPort port)
    : api_(api), port_(port), openResult_(api.baseOpenCameraComm(&port_, nullptr, 0, &camera_)) {}

CameraSession::~CameraSession() {
    if (openResult_ == 0) api_.baseCloseCameraComm(camera_);
}

bool parsePortName(const char* text, bvlCameraPort* port) {
    std::memset(port, 0, sizeof *port);
    if (_stricmp(text, "usb") == 0) {
        port->portType = BVL_PORT_USB;
        std::strcpy(port->portName, "USB");
        return true;
    }
    if (_strnicmp(text, "com", 3) != 0 || !std::isdigit(static_cast<unsigned char>(text[3])))
        return false;
    char* end = nullptr;
    long number = std::strtol(text + 3, &end, 10);
    if (*end != '\0' || number < 1 || number > 32) return false;
    port->portType = BVL_PORT_SERIAL;
    wsprintfA(port->portName, "com%ld", number);
    port->u.serial.portNumber = static_cast<BYTE>(number);
    const BYTE params[4] = {8, 1, 0, 3};
    std::memcpy(port->u.serial.params, params, sizeof params);
    port->u.serial.baudRate = 115200;
    return true;
}
