// Number of kernel handles (registry keys included) that this process
// holds, from the system's handle list: GetProcessHandleCount is a stub
// under Wine.
#pragma once

#include <windows.h>

namespace bvtools {

// Returns false when the system does not give its handle list.
bool liveHandleCount(DWORD* count);

}  // namespace bvtools
