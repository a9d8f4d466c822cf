#include "process_lifetime.h"

#include "event_channel.h"
#include "process_state.h"

#include "library_search.h"
#include "common_controls.h"

namespace bv {
void attachProcess(HINSTANCE instance) {
    ProcessState& s = processState();
    s.moduleInstance = instance;
    s.portType = BVL_PORT_NONE;
    s.serialBaseAPI = nullptr;
    s.serialLibrary.reset();
    s.stillImageLibrary.reset(loadLibraryFromKnownFolders(L"Sti.dll"));
}

void detachProcess(bool processTerminating) {
    ProcessState& s = processState();
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
