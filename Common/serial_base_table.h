// The base table g_bvlBaseAPI of a serial camera library (BVCLL.DLL): the
// one place where it is looked up, for the connection and for the camera
// search of the communication settings dialog, which loads the library on
// its own.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "owned.h"

namespace bv {

// The library's g_bvlBaseAPI, or null when it has none.
const bvlBaseAPI* findSerialBaseTable(HMODULE library);

// Loads fileName from the folders loadLibraryFromKnownFolders searches and
// finds its base table; succeeds as a whole. On success
// library owns the module and the table is returned; otherwise null, with
// library empty (a module without the table is unloaded again).
const bvlBaseAPI* loadSerialBaseTable(const wchar_t* fileName, OwnedModule* library);

}  // namespace bv
