// The still-image driver's side of the event channel, as the camera's
// driver plays it: it opens the objects that the library created, writes
// events into the shared record and waits for the library's answer.
#include "bvsim.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kRecordSize = 68;
constexpr DWORD kDataBytes = 56;

struct DriverChannel {
    HANDLE mapping = nullptr;
    HANDLE toLibrary = nullptr;
    HANDLE fromLibrary = nullptr;
    BYTE* record = nullptr;
};

DriverChannel g_driver;

// The driver's spelling of an object name: prefix, model, port, with the
// backslashes of all three turned into blanks, at most 127 characters.
std::string objectName(const char* prefix, const char* model, const char* port) {
    std::string name = std::string(prefix) + model + port;
    for (char& c : name)
        if (c == '\\') c = ' ';
    return name.substr(0, 127);
}

}  // namespace

extern "C" void simDriverCloseChannel(void) {
    if (g_driver.record) UnmapViewOfFile(g_driver.record);
    for (HANDLE h : {g_driver.mapping, g_driver.toLibrary, g_driver.fromLibrary})
        if (h) CloseHandle(h);
    g_driver = DriverChannel();
}

extern "C" BOOL simDriverOpenChannel(const char* modelName, const char* portName) {
    simDriverCloseChannel();
    DriverChannel d;
    d.mapping = OpenFileMappingA(FILE_MAP_ALL_ACCESS, FALSE,
                                 objectName("EventDatafromUSDtoBVL2STI ", modelName, portName).c_str());
    d.toLibrary = OpenEventA(EVENT_ALL_ACCESS, FALSE,
                             objectName("NotifyEventFromUSDToBVL2STI ", modelName, portName).c_str());
    d.fromLibrary = OpenEventA(EVENT_ALL_ACCESS, FALSE,
                               objectName("NotifyEventFromBVL2STIToUSD ", modelName, portName).c_str());
    if (d.mapping) d.record = static_cast<BYTE*>(MapViewOfFile(d.mapping, FILE_MAP_ALL_ACCESS, 0, 0, kRecordSize));
    g_driver = d;
    if (d.record && d.toLibrary && d.fromLibrary) return TRUE;
    simDriverCloseChannel();
    return FALSE;
}

extern "C" BOOL simDriverRaiseEvent(DWORD code, const void* data, DWORD size, DWORD timeoutMs, DWORD* answer) {
    if (!g_driver.record) return FALSE;
    std::memcpy(g_driver.record + 4, &code, 4);
    std::memcpy(g_driver.record + 8, &size, 4);
    std::memset(g_driver.record + 12, 0, kDataBytes);
    if (data) std::memcpy(g_driver.record + 12, data, std::min(size, kDataBytes));
    SetEvent(g_driver.toLibrary);
    if (WaitForSingleObject(g_driver.fromLibrary, timeoutMs) != WAIT_OBJECT_0) return FALSE;
    if (answer) std::memcpy(answer, g_driver.record + 4, 4);
    return TRUE;
}

extern "C" DWORD simDriverListening(void) {
    if (!g_driver.record) return MAXDWORD;
    DWORD flag;
    std::memcpy(&flag, g_driver.record, 4);
    return flag;
}
