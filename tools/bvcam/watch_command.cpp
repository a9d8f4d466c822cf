// watch: prints the camera's events as they come, until the camera goes
// away or the user presses Ctrl-C (which main turns into a request).
#include <cstdio>

#include "commands.h"
#include "console_interrupt.h"
#include "event_text.h"
#include "Common/owned.h"

namespace {

// Runs on the library's notification thread; context is the event that
// ends the watch, which outlives the connection. A final event ends it.
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
    bv::OwnedHandle disconnected(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!disconnected) return failOnHost("could not create an event", GetLastError());
    if (DWORD rc = c.open(onCameraEvent, reinterpret_cast<UINT_PTR>(disconnected.get())))
        return failWithCode(std::string("open ") + c.port().portName, rc);
    std::printf("Watching the camera on %s; Ctrl-C stops.%s\n", c.port().portName,
                c.port().portType == BVL_PORT_SERIAL ? " (A serial camera sends no events.)" : "");
    std::fflush(stdout);
    const HANDLE ends[2] = {disconnected.get(), ConsoleInterrupt::event()};
    WaitForMultipleObjects(ends[1] ? 2 : 1, ends, FALSE, INFINITE);
    // No callback runs once close returns, so the event may go after it.
    const DWORD rc = c.close();
    return rc == 0 ? kExitOk : failWithCode("close", rc);
}
