// The common controls library, which the dialogs' up-down and other
// controls come from. It is loaded from the system folder when a dialog
// first needs it, not with this library: an application that never shows
// a dialog does not pay for loading it.
#pragma once

#include <windows.h>

namespace bv {

// Loads the library (once, whichever thread asks first; a failed load is
// not retried) and registers the control classes of classes
// (ICC_ flags). false when the library or its entry is missing. Called on
// the thread that shows the dialog.
bool initCommonControls(DWORD classes);

// For this library's unload, when the dialogs' windows are gone: unloads
// the library, or, when the process is terminating, leaves it to the system.
void releaseCommonControls(bool processTerminating);

}  // namespace bv
