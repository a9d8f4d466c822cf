#include "common_controls.h"

#include <commctrl.h>

#include "library_search.h"
#include "owned.h"

namespace bv {
namespace {

using InitCommonControlsExFn = BOOL(WINAPI*)(const INITCOMMONCONTROLSEX*);

// Stays loaded from the first dialog until the library unloads: windows of
// its classes may be created by any later dialog.
OwnedModule g_commonControls;

}  // namespace

bool initCommonControls(DWORD classes) {
    if (!g_commonControls) g_commonControls.reset(loadSystemLibrary(L"comctl32.dll"));
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
}

}  // namespace bv
