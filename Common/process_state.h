// The process-wide state that every base operation shares: one camera
// connection per process. Written without synchronisation; base operations
// are meant to be called from one application thread at a time, and the
// event channel thread only reads the notification callback and context.
#pragma once

#include <windows.h>

#include <cstddef>

#include "bvcl2sti.h"
#include "notification_targets.h"
#include "owned.h"

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

}  // namespace bv
