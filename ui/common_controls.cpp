#include "common_controls.h"

#include <commctrl.h>

#include "library_search.h"
#include "owned.h"

namespace bv {
namespace {

using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// Stays loaded from the first dialog until the library unloads: windows of
// its classes may be created by any later dialog. Dialogs on several
// threads may ask at once; the first load is the only one, and the others
// wait for it.
OwnedModule g_commonControls;
INIT_ONCE g_loadOnce = INIT_ONCE_STATIC_INIT;

BOOL CALLBACK loadCommonControls(INIT_ONCE*, void*, void**) {
    g_commonControls.reset(loadSystemLibrary(L"comctl32.dll"));
    return TRUE;
}

}  // namespace

bool initCommonControls(DWORD classes) {
    InitOnceExecuteOnce(&g_loadOnce, loadCommonControls, nullptr, nullptr);
    if (!g_commonControls) return false;
    auto init = reinterpret_cast<InitCommonControlsExFn>(
        reinterpret_cast<void*>(GetProcAddress(g_commonControls.get(), "InitCommonControlsEx")));
    const INITCOMMONCONTROLSEX controls = {sizeof controls, classes};
    return init && init(&controls);
}

void releaseCommonControls(bool processTerminating) {
    if (processTerminating)
        g_commonControls.release();
    else
        g_commonControls.reset();
    InitOnceInitialize(&g_loadOnce);  // a later dialog loads it again
}

}  // namespace bv
