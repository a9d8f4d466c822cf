// The search for a serial camera behind the communication settings
// dialog's "Erkennen": COM1 to COM6 through the serial library, loaded
// under a handle of its own for the search and unloaded when it ends.
#pragma once

#include <windows.h>

#include "comm_settings_dialog.h"

namespace bv {

// Opens each port from COM1 on that exists, at baudRate, through the serial
// library's base table; the first camera that answers (of givenModelID's
// model, when it is not 0) is the one found, and *foundPort gets its
// number. Every model that answers keeps its stored last port; nothing
// else is stored. A registry that cannot be read or memory that cannot be
// had ends the search with nothing found; NoLibrary when the library or
// its table is missing. Never raises.
SerialSearchEnd searchSerialCamera(DWORD baudRate, DWORD givenModelID, int* foundPort);

}  // namespace bv
