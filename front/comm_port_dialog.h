// The communication settings dialog as the port request runs it: front
// gathers what the dialog shows, hands it a probe over the still-image
// service and the serial library, and turns the user's choice into a port
// descriptor.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

namespace bv {

// What the port request asks of the dialog.
struct CommDialogRequest {
    DWORD offeredPortKinds = 3;           // 1 serial only, 2 USB only, 3 both
    bvlCameraPort* editedPort = nullptr;  // filled on OK only
    WORD modelChoiceFlag = 1;             // 1: the USB model list is shown
    DWORD givenModelID = 0;               // 0 for none
    HMODULE stillImageLibrary = nullptr;  // Sti.dll, for the USB model list
};

// Runs dialog 105 of the module modally, owned by owner, on the calling
// thread. It opens on the stored serial last port (or the serial default)
// and, with both kinds offered, on the kind of the general last port;
// "Erkennen" loads the serial camera library under its own handle for the
// search and unloads it again. Returns 0 after OK (editedPort filled) or 5
// when cancelled (editedPort untouched); -1 when the dialog could not be
// created.
INT_PTR runCommDialog(HINSTANCE instance, HWND owner, const CommDialogRequest& request);

}  // namespace bv
