// Module load and unload of the library.
#pragma once

#include <windows.h>

namespace bv {

// Process attach: records the module, clears the port type and the serial
// library, and loads Sti.dll (a failed load leaves it absent).
void attachProcess(HINSTANCE instance);

// Process detach: unloads the common controls, releases the event
// channel's security, unloads the serial library and Sti.dll, in reverse
// order of loading. Skipped when the process is terminating: the system
// reclaims everything then, and unloading from a dying process is unsafe.
void detachProcess(bool processTerminating);

}  // namespace bv
