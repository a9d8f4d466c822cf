// Number of kernel handles (registry keys included) that this process
// holds, from the system's handle list: GetProcessHandleCount is a stub
// under Wine. And the number of its threads.
#pragma once

#include <windows.h>

namespace bvtools {

// Returns false when the system does not give its handle list.
bool liveHandleCount(DWORD* count);
// Returns false when the system does not give its thread list.
bool liveThreadCount(DWORD* count);

}  // namespace bvtools
