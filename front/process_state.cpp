#include "process_state.h"

#include "../Common/library_search.h"
#include "../ui/common_controls.h"

namespace bv {
namespace {

ProcessState g_process;

}  // namespace

ProcessState& processState() { return g_process; }

void attachProcess(HINSTANCE instance) {
    ProcessState& s = g_process;
    s.moduleInstance = instance;
    s.portType = BVL_PORT_NONE;
    s.serialBaseAPI = nullptr;
    s.serialLibrary.reset();
    s.stillImageLibrary.reset(loadLibraryFromKnownFolders(L"Sti.dll"));
}

void detachProcess(bool processTerminating) {
    ProcessState& s = g_process;
    if (processTerminating) {
        // Leave the modules to the system; the owners must not free them
        // from the static destructors either.
        releaseCommonControls(true);
        s.serialLibrary.release();
        s.stillImageLibrary.release();
        return;
    }
    releaseCommonControls(false);
    ShutdownEventChannel();
    s.serialBaseAPI = nullptr;
    s.serialLibrary.reset();
    s.stillImageLibrary.reset();
}

}  // namespace bv
