// The communication settings dialog (template 105), through which the
// user chooses the port kind, COM port and baud rate, or the USB model.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

namespace bv {

// What the port request gives the dialog.
struct CommDialogRequest {
    DWORD offeredPortKinds = 3;           // 1 serial only, 2 USB only, 3 both
    bvlCameraPort* editedPort = nullptr;  // filled on OK only
    WORD modelChoiceFlag = 1;             // 1: the USB model list is shown
    DWORD givenModelID = 0;               // 0 for none
    HMODULE stillImageLibrary = nullptr;  // Sti.dll, for the USB model list
};

// Initialises the common controls and runs dialog 105 of the module
// modally, owned by owner. Returns 0 after OK (editedPort filled) or 5
// when cancelled (editedPort untouched); -1 when the dialog could not be
// created. Runs on the calling thread; the "Erkennen" button loads the
// serial camera library "bvcll.dll" by itself and unloads it again.
INT_PTR runCommSettingsDialog(HINSTANCE instance, HWND owner, const CommDialogRequest& request);

}  // namespace bv
