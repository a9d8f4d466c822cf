#include "serial_library.h"

#include <utility>

#include "library_search.h"
#include "serial_base_table.h"

namespace bv {
namespace {

const wchar_t kSerialLibraryName[] = L"BVCLL.DLL";
const char kFactryTableName[] = "g_bvlFactryAPI";

}  // namespace

DWORD connectSerialLibrary(ProcessState& state) {
    OwnedModule library = state.serialLibrary ? std::move(state.serialLibrary)
                                              : OwnedModule(loadLibraryFromKnownFolders(kSerialLibraryName));
    state.serialBaseAPI = nullptr;
    if (!library) return BVL_E_SERIAL_LIBRARY_MISSING;
    const bvlBaseAPI* table = findSerialBaseTable(library.get());
    if (!table) return BVL_E_SERIAL_LIBRARY_MISSING;  // the owner unloads it
    state.serialLibrary = std::move(library);
    state.serialBaseAPI = table;
    return 0;
}

void disconnectSerialLibrary(ProcessState& state) {
    state.serialBaseAPI = nullptr;
    state.serialLibrary.reset();
}

void loadSerialLibrary(ProcessState& state) {
    if (!state.serialLibrary) state.serialLibrary.reset(loadLibraryFromKnownFolders(kSerialLibraryName));
}

const SerialFactryTable* findSerialFactryTable(const ProcessState& state) {
    if (!state.serialLibrary) return nullptr;
    return reinterpret_cast<const SerialFactryTable*>(
        reinterpret_cast<void*>(GetProcAddress(state.serialLibrary.get(), kFactryTableName)));
}

}  // namespace bv
