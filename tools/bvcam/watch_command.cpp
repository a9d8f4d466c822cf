// watch: prints the camera's events as they come, until the camera goes
// away or the user presses Ctrl-C.
#include <cstdio>

#include "commands.h"
#include "event_text.h"
#include "Common/owned.h"

namespace {

// The event that ends the wait. The console handler has no context of its
// own, so ConsoleStop lends it the handle for as long as it is installed.
HANDLE g_stopEvent = nullptr;

BOOL WINAPI onConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
    SetEvent(g_stopEvent);
    return TRUE;
}

// Ctrl-C and Ctrl-Break signal stop instead of ending the process, from
// construction to destruction.
class ConsoleStop {
public:
    explicit ConsoleStop(HANDLE stop) {
        g_stopEvent = stop;
        SetConsoleCtrlHandler(onConsoleControl, TRUE);
    }
    ~ConsoleStop() {
        SetConsoleCtrlHandler(onConsoleControl, FALSE);
        g_stopEvent = nullptr;
    }
    ConsoleStop(const ConsoleStop&) = delete;
    ConsoleStop& operator=(const ConsoleStop&) = delete;
};

// Runs on the library's notification thread; context is the stop event,
// which outlives the connection. A final event ends the watch.
DWORD WINAPI onCameraEvent(DWORD code, void* data, DWORD size, UINT_PTR context) {
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::printf("%02u:%02u:%02u  %s\n", now.wHour, now.wMinute, now.wSecond,
                describeCameraEvent(code, data, size).c_str());
    std::fflush(stdout);
    if (isFinalEvent(code)) SetEvent(reinterpret_cast<HANDLE>(context));
    return 0;
}

}  // namespace

int runWatch(CameraConnection& c, const CommandArgs&) {
    bv::OwnedHandle stop(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!stop) return failOnHost("could not create an event", GetLastError());
    ConsoleStop consoleStop(stop.get());
    if (DWORD rc = c.open(onCameraEvent, reinterpret_cast<UINT_PTR>(stop.get())))
        return failWithCode(std::string("open ") + c.port().portName, rc);
    std::printf("Watching the camera on %s; Ctrl-C stops.%s\n", c.port().portName,
                c.port().portType == BVL_PORT_SERIAL ? " (A serial camera sends no events.)" : "");
    std::fflush(stdout);
    WaitForSingleObject(stop.get(), INFINITE);
    // No callback runs once close returns, so the stop event may go after it.
    const DWORD rc = c.close();
    return rc == 0 ? kExitOk : failWithCode("close", rc);
}
