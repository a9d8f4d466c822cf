#include "volume_list.h"

#include <cstring>

#include "stream_wrappers.h"

namespace bv {
namespace {

constexpr DWORD kCountSize = 4;
constexpr DWORD kSlotWordsSize = 12;
constexpr DWORD kSlotNameSize = 64;

const BYTE* slotAt(const void* list, DWORD index) {
    return static_cast<const BYTE*>(list) + kCountSize + index * kVolumeSlotSize;
}

// One volume as the caller's stream receives it: the three words and the
// name with its terminator. A name that fills its 64-byte field gets the
// terminator the camera left out, so that every entry the caller reads ends
// where the next begins and no byte past the slot is read.
struct VolumeEntry {
    BYTE bytes[kSlotWordsSize + kSlotNameSize + 1];
    DWORD length;
};

VolumeEntry entryOf(const BYTE* slot) {
    VolumeEntry entry = {};
    const char* name = reinterpret_cast<const char*>(slot + kSlotWordsSize);
    entry.length = kSlotWordsSize + static_cast<DWORD>(strnlen(name, kSlotNameSize)) + 1;
    std::memcpy(entry.bytes, slot, entry.length - 1);
    return entry;
}

}  // namespace

DWORD volumeListLength(WORD slots) { return kCountSize + kVolumeSlotSize * slots; }

DWORD volumeCount(const void* list) {
    DWORD count;
    std::memcpy(&count, list, sizeof count);
    return count;
}

DWORD writeVolumeEntries(const bvlStream* stream, const void* list, WORD slots) {
    // The count the caller reads is the number of entries that follow: a
    // camera whose volumes grew between the two asks is reported with the
    // volumes that fit.
    const DWORD count = volumeCount(list) < slots ? volumeCount(list) : slots;
    DWORD error = 0;
    writeAll(stream, reinterpret_cast<const BYTE*>(&count), kCountSize, BVL_E_STREAM_WRITE_ERROR, &error);
    for (DWORD i = 0; error == 0 && i < count; ++i) {
        const VolumeEntry entry = entryOf(slotAt(list, i));
        writeAll(stream, entry.bytes, entry.length, BVL_E_STREAM_WRITE_ERROR, &error);
    }
    return error;
}

}  // namespace bv
