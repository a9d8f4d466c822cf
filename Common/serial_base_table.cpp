#include "serial_base_table.h"

#include <utility>

#include "library_search.h"

namespace bv {

const bvlBaseAPI* findSerialBaseTable(HMODULE library) {
    return reinterpret_cast<const bvlBaseAPI*>(reinterpret_cast<void*>(GetProcAddress(library, "g_bvlBaseAPI")));
}

const bvlBaseAPI* loadSerialBaseTable(const wchar_t* fileName, OwnedModule* library) {
    OwnedModule loaded(loadLibraryFromKnownFolders(fileName));
    if (!loaded) return nullptr;
    const bvlBaseAPI* table = findSerialBaseTable(loaded.get());
    if (!table) return nullptr;  // the owner unloads it
    *library = std::move(loaded);
    return table;
}

}  // namespace bv
