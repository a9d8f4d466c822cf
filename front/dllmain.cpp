// Module entry of bvcl2sti.dll.
#include <windows.h>

#include "guarded_call.h"
#include "process_lifetime.h"

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    return bv::runGuardedOr<BOOL>(TRUE, [&] {
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
    });
}
