#include "serial_library.h"

#include <utility>

#include "library_search.h"

namespace bv {
namespace {

const wchar_t kSerialLibraryName[] = L"BVCLL.DLL";
const char kBaseTableName[] = "g_bvlBaseAPI";
const char kFactryTableName[] = "g_bvlFactryAPI";

OwnedModule loadSerialModule() { return OwnedModule(loadLibraryFromKnownFolders(kSerialLibraryName)); }

// The library's g_bvlBaseAPI, or null when it has none.
const bvlBaseAPI* findSerialBaseTable(HMODULE library) {
    return reinterpret_cast<const bvlBaseAPI*>(reinterpret_cast<void*>(GetProcAddress(library, kBaseTableName)));
}

}  // namespace

DWORD connectSerialLibrary(ProcessState& state) {
    OwnedModule library = state.serialLibrary ? std::move(state.serialLibrary) : loadSerialModule();
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

const bvlBaseAPI* loadSerialBaseTable(OwnedModule* library) {
    OwnedModule loaded = loadSerialModule();
    if (!loaded) return nullptr;
    const bvlBaseAPI* table = findSerialBaseTable(loaded.get());
    if (!table) return nullptr;  // the owner unloads it
    *library = std::move(loaded);
    return table;
}

void loadSerialLibrary(ProcessState& state) {
    if (!state.serialLibrary) state.serialLibrary = loadSerialModule();
}

const SerialFactryTable* findSerialFactryTable(const ProcessState& state) {
    if (!state.serialLibrary) return nullptr;
    return reinterpret_cast<const SerialFactryTable*>(
        reinterpret_cast<void*>(GetProcAddress(state.serialLibrary.get(), kFactryTableName)));
}

}  // namespace bv
