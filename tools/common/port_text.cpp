#include "port_text.h"

#include <cstdlib>
#include <cstring>
#include <sstream>
#include <vector>

namespace {

std::vector<std::string> words(const std::string& text) {
    std::istringstream in(text);
    std::vector<std::string> out;
    for (std::string w; in >> w;) out.push_back(w);
    return out;
}

bool parseNumber(const std::string& text, unsigned long* value) {
    char* end = nullptr;
    *value = std::strtoul(text.c_str(), &end, 0);
    return !text.empty() && *end == '\0';
}

bool parseSerial(const std::vector<std::string>& w, bvlCameraPort* port) {
    unsigned long number = 0, baud = BVL_SERIAL_DEFAULT_BAUD_RATE;
    if (w.empty() || w.size() > 2 || _strnicmp(w[0].c_str(), "com", 3) != 0) return false;
    if (!parseNumber(w[0].substr(3), &number) || number < 1 || number > 32) return false;
    if (w.size() == 2 && (!parseNumber(w[1], &baud) || baud == 0)) return false;
    port->portType = BVL_PORT_SERIAL;
    std::snprintf(port->portName, sizeof port->portName, "com%lu", number);
    port->u.serial.portNumber = static_cast<BYTE>(number);
    const BYTE params[4] = BVL_SERIAL_PARAMS;
    std::memcpy(port->u.serial.params, params, sizeof params);
    port->u.serial.baudRate = baud;
    return true;
}

}  // namespace

bool parsePortText(const std::string& text, bvlCameraPort* port) {
    std::memset(port, 0, sizeof *port);
    std::vector<std::string> w = words(text);
    if (w.empty()) return false;
    if (_stricmp(w[0].c_str(), "usb") == 0) {
        unsigned long model = 0;
        if (w.size() > 2 || (w.size() == 2 && !parseNumber(w[1], &model))) return false;
        port->portType = BVL_PORT_USB;
        std::strcpy(port->portName, BVL_USB_PORT_NAME);
        port->u.usb.modelID = model;
        return true;
    }
    if (_stricmp(w[0].c_str(), "serial") == 0) w.erase(w.begin());
    return parseSerial(w, port);
}

std::string describePort(const bvlCameraPort& port) {
    char text[200];
    if (port.portType == BVL_PORT_SERIAL)
        std::snprintf(text, sizeof text, "%.32s, %lu baud", port.portName,
                      static_cast<unsigned long>(port.u.serial.baudRate));
    else if (port.portType == BVL_PORT_USB)
        std::snprintf(text, sizeof text, "USB, model 0x%08lx%s%.76s", static_cast<unsigned long>(port.u.usb.modelID),
                      port.u.usb.deviceName[0] ? ", device " : "", port.u.usb.deviceName);
    else
        std::snprintf(text, sizeof text, "none (port type %u)", port.portType);
    return text;
}
