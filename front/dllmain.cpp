// Module entry of bvcl2sti.dll.
#include <windows.h>

#include "process_lifetime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    switch (reason) {
    case DLL_PROCESS_ATTACH:
        bv::attachProcess(instance);
        break;
    case DLL_PROCESS_DETACH:
        bv::detachProcess(reserved != nullptr);
        break;
    default:
        break;  // thread attach and detach need nothing
    }
    return TRUE;
}
