#include "event_text.h"

#include <cstdio>
#include <cstring>

namespace {

constexpr DWORD kKindMask = 0xffff;
constexpr DWORD kClassMask = 0xf0000;
constexpr DWORD kFinalClass = 0x40000;
constexpr DWORD kBatteryChange = 1;
constexpr DWORD kCameraTimeOut = 5;

std::string describeBattery(const void* data, DWORD size) {
    DWORD word;
    if (!data || size < sizeof word) return "battery: changed (no level given)";
    std::memcpy(&word, data, sizeof word);
    return describePowerState(word);
}

}  // namespace

std::string describePowerState(DWORD word) {
    if (word == 0) return "power: not reported";
    const DWORD level = word & 0xf;
    const char* levelText = level == 6 ? "normal" : level == 4 ? "low" : level == 3 ? "exhausted" : nullptr;
    char text[80];
    if (levelText)
        std::snprintf(text, sizeof text, "battery: %s", levelText);
    else
        std::snprintf(text, sizeof text, "battery: level %lu", static_cast<unsigned long>(level));
    std::string line = text;
    if ((word >> 28) == 1) line += " (mains adapter)";
    return line;
}

bool isFinalEvent(DWORD code) { return (code & kClassMask) == kFinalClass; }

std::string describeCameraEvent(DWORD code, const void* data, DWORD size) {
    if (isFinalEvent(code)) return "disconnected";
    if ((code & kKindMask) == kBatteryChange) return describeBattery(data, size);
    if ((code & kKindMask) == kCameraTimeOut) return "camera time-out";
    char text[64];
    std::snprintf(text, sizeof text, "event 0x%08lx with %lu data bytes", static_cast<unsigned long>(code),
                  static_cast<unsigned long>(size));
    return text;
}
