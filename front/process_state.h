// The process-wide state that every base operation shares: one camera
// connection per process. Written without synchronisation; base operations
// are meant to be called from one application thread at a time, and the
// event channel thread only reads the notification callback and context.
#pragma once

#include <windows.h>

#include <cstddef>

#include "../Common/owned.h"
#include "../events/event_channel.h"
#include "../include/bvcl2sti.h"

namespace bv {

constexpr DWORD kUsbCameraWord = 100;  // the camera word of a USB connection
constexpr std::size_t kModelNameSize = 64;

struct ProcessState {
    WORD portType = BVL_PORT_NONE;
    OwnedModule serialLibrary;                  // BVCLL.DLL
    const bvlBaseAPI* serialBaseAPI = nullptr;  // its g_bvlBaseAPI, while loaded
    OwnedModule stillImageLibrary;              // Sti.dll, loaded at attach
    HINSTANCE moduleInstance = nullptr;
    NotificationTargets notify;  // also read by the notification thread
    char currentModelName[kModelNameSize] = {};
};

ProcessState& processState();

// Process attach: records the module, clears the port type and the serial
// library, and loads Sti.dll (a failed load leaves it absent).
void attachProcess(HINSTANCE instance);

// Process detach: unloads the common controls, releases the event
// channel's security, unloads the serial library and Sti.dll, in reverse
// order of loading. Skipped when the process is terminating: the system
// reclaims everything then, and unloading from a dying process is unsafe.
void detachProcess(bool processTerminating);

}  // namespace bv
