// Where the event channel delivers camera events: the caller's
// notification callback and the open settings dialog.
#pragma once

#include <windows.h>

#include <atomic>

#include "bvcl2sti.h"

namespace bv {

// Where the thread delivers events. Read anew for every event, so the
// application may change the callback while the channel runs.
struct NotificationTargets {
    std::atomic<bvlNotifyCB> notifyCallback{nullptr};
    std::atomic<UINT_PTR> notifyContext{0};
    std::atomic<HWND> settingsDialogWindow{nullptr};
    std::atomic<UINT> cameraNotificationMessage{0};
};

}  // namespace bv
