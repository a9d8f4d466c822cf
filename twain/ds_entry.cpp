// The data source's one export. A manager loads the source to ask its
// identity; nothing else happens until MSG_OPENDS.
#include <new>

#include "source.h"

namespace {

// The process's one source, made when the module is loaded: a guarded
// static would leave a lock of the run-time library behind at every
// unload. After MSG_CLOSEDS it holds nothing; a source still open at
// unload is left alone, since the camera must not be closed from within
// the loader's lock.
Source* g_source = nullptr;

}  // namespace

extern "C" TW_UINT16 WINAPI DS_Entry(TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg,
                                     TW_MEMREF data) {
    // No exception may leave for the manager.
    try {
        return g_source ? g_source->entry(origin, dg, dat, msg, data) : TW_UINT16{TWRC_FAILURE};
    } catch (...) {
        return TWRC_FAILURE;
    }
}

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        g_source = new (std::nothrow) Source(instance);
        return g_source != nullptr;
    }
    if (reason == DLL_PROCESS_DETACH && reserved == nullptr && g_source && g_source->closed()) {
        delete g_source;
        g_source = nullptr;
    }
    return TRUE;
}
