// The caller's side of a transfer: a sink that takes what the library
// reads from the camera, and a source in memory that it writes from. Both
// touch the bytes, as a real consumer or producer would.
#pragma once

#include <windows.h>

#include <vector>

#include "include/bvcl2sti.h"

namespace bvbench {

struct Sink {
    unsigned long long bytes = 0;
    DWORD check = 0;
};

struct Source {
    const std::vector<BYTE>* data = nullptr;
    DWORD position = 0;
};

// Stream records over a sink or a source, without progress reports.
bvlStream sinkStream(Sink& sink);
bvlStream sourceStream(Source& source);

// The sink's WriteCB and the source's ReadCB, for the floor to call
// through a pointer as the library calls them.
extern void (WINAPI* volatile g_sinkWrite)(UINT_PTR, const BYTE*, DWORD*, DWORD*);
extern void (WINAPI* volatile g_sourceRead)(UINT_PTR, BYTE*, DWORD*, DWORD*);

}  // namespace bvbench
