// The maker's serial camera library, BVCLL.DLL: every base operation on an
// RS-232C port is handed to the same slot of its g_bvlBaseAPI table. The
// one place where the library is loaded and its tables are looked up.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "owned.h"
#include "process_state.h"

namespace bv {

// Makes sure the serial library is loaded and its base table known. Loads
// "BVCLL.DLL" when it is not loaded yet. Succeeds as a whole or returns
// BVL_E_SERIAL_LIBRARY_MISSING; a library without the table is unloaded.
DWORD connectSerialLibrary(ProcessState& state);

// Unloads the serial library (a USB connection replaces it).
void disconnectSerialLibrary(ProcessState& state);

// Loads the serial library under a handle of its own, independent of any
// connection, and finds its base table; succeeds as a whole. On success
// library owns the module and the table is returned; otherwise null, with
// library empty (a module without the table is unloaded again). The
// camera search of the communication settings dialog uses it.
const bvlBaseAPI* loadSerialBaseTable(OwnedModule* library);

// The serial library's message table g_bvlFactryAPI, counted from 0. Only
// entries 0 (poll for the reply), 4 (send a message) and 6 (set the
// wake-up code) are called.
struct SerialFactryTable {
    DWORD(WINAPI* pollReply)(DWORD camera, void* replyState, DWORD waitMs);
    void* entries1to3[3];
    DWORD(WINAPI* sendMessage)(DWORD camera, const void* message);
    void* entry5;
    DWORD(WINAPI* setWakeupCode)(BYTE code);
};

// Loads "BVCLL.DLL" when it is not loaded yet, without looking for its
// base table (setting the wake-up code needs only the message table).
void loadSerialLibrary(ProcessState& state);

// The message table of the loaded serial library, looked up anew on each
// call; null when the library is not loaded or lacks the table.
const SerialFactryTable* findSerialFactryTable(const ProcessState& state);

}  // namespace bv
