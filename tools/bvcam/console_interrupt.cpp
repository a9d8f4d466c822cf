#include "console_interrupt.h"

namespace {

// The installed object's event: the console handler has no context of its
// own. Set and cleared on the main thread around the handler's lifetime.
HANDLE g_interruptEvent = nullptr;

BOOL WINAPI onConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
    SetEvent(g_interruptEvent);
    return TRUE;
}

}  // namespace

ConsoleInterrupt::ConsoleInterrupt() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {
    if (!event_) return;  // without an event Ctrl-C keeps ending the process
    g_interruptEvent = event_.get();
    SetConsoleCtrlHandler(onConsoleControl, TRUE);
}

ConsoleInterrupt::~ConsoleInterrupt() {
    if (!event_) return;
    SetConsoleCtrlHandler(onConsoleControl, FALSE);
    g_interruptEvent = nullptr;
}

bool ConsoleInterrupt::raised() {
    return g_interruptEvent && WaitForSingleObject(g_interruptEvent, 0) == WAIT_OBJECT_0;
}

HANDLE ConsoleInterrupt::event() { return g_interruptEvent; }
