#include "volume_list.h"

#include <cstring>

#include "stream_wrappers.h"

namespace bv {
namespace {

constexpr DWORD kCountSize = 4;
constexpr DWORD kSlotWordsSize = 12;
constexpr DWORD kSlotNameSize = 64;

BYTE* slotAt(void* list, DWORD index) {
    return static_cast<BYTE*>(list) + kCountSize + index * kVolumeSlotSize;
}

// The words and the name with its terminator. A name that fills its field
// loses its last byte to a terminator, so that every entry the caller
// reads ends where the next begins.
DWORD terminatedEntryLength(BYTE* slot) {
    char* name = reinterpret_cast<char*>(slot + kSlotWordsSize);
    name[kSlotNameSize - 1] = '\0';
    return kSlotWordsSize + static_cast<DWORD>(std::strlen(name)) + 1;
}

}  // namespace

DWORD volumeListLength(WORD slots) { return kCountSize + kVolumeSlotSize * slots; }

DWORD volumeCount(const void* list) {
    DWORD count;
    std::memcpy(&count, list, sizeof count);
    return count;
}

DWORD writeVolumeEntries(const bvlStream* stream, void* list, WORD slots) {
    // A camera whose volumes grew between the two asks is reported with the
    // volumes that fit.
    const DWORD count = volumeCount(list) < slots ? volumeCount(list) : slots;
    std::memcpy(list, &count, sizeof count);
    DWORD error = 0;
    writeAll(stream, static_cast<const BYTE*>(list), kCountSize, BVL_E_STREAM_WRITE_ERROR, &error);
    for (DWORD i = 0; error == 0 && i < count; ++i) {
        BYTE* slot = slotAt(list, i);
        writeAll(stream, slot, terminatedEntryLength(slot), BVL_E_STREAM_WRITE_ERROR, &error);
    }
    return error;
}

}  // namespace bv
