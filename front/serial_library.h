// The maker's serial camera library, BVCLL.DLL: every base operation on an
// RS-232C port is handed to the same slot of its g_bvlBaseAPI table.
#pragma once

#include <windows.h>

#include "process_state.h"

namespace bv {

// Makes sure the serial library is loaded and its base table known. Loads
// "BVCLL.DLL" when it is not loaded yet. Succeeds as a whole or returns
// BVL_E_SERIAL_LIBRARY_MISSING; a library without the table is unloaded.
DWORD connectSerialLibrary(ProcessState& state);

// Unloads the serial library (a USB connection replaces it).
void disconnectSerialLibrary(ProcessState& state);

}  // namespace bv
