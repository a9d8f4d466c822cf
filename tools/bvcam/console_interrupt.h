// Ctrl-C, Ctrl-Break and closing the console, turned from ending the
// process into a request: transfers then fail their next chunk and clean
// up (a download leaves no temporary file behind), the command chain
// stops, and watch stops waiting.
#pragma once

#include <windows.h>

#include "Common/owned.h"

// Installs the console handler for its lifetime; one at a time, on the
// main thread.
class ConsoleInterrupt {
public:
    ConsoleInterrupt();
    ~ConsoleInterrupt();
    ConsoleInterrupt(const ConsoleInterrupt&) = delete;
    ConsoleInterrupt& operator=(const ConsoleInterrupt&) = delete;

    // True once an interrupt came while one is installed. Any thread.
    static bool raised();
    // The event an interrupt signals, to wait on; null when none is
    // installed. Lent.
    static HANDLE event();

private:
    bv::OwnedHandle event_;
};

// The code a stream callback reports when the user interrupted:
// OPERATION_CANCELLED of the base library.
constexpr DWORD kInterruptedCode = 0x0a000005;
