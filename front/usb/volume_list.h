// The camera's volume list and what the caller's stream receives of it.
// The camera answers in fixed slots (passed-through word, capacity, free
// space, 64-byte name); the caller gets the three words and the name with
// its terminator only, one piece per volume.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

namespace bv {

constexpr DWORD kVolumeSlotSize = 76;

// Bytes of a reply with room for slots volumes.
DWORD volumeListLength(WORD slots);
// The number of volumes the camera reported.
DWORD volumeCount(const void* list);
// Writes the count and the first min(count, slots) volumes to the stream,
// reading nothing past the slots; the first write error is the result.
DWORD writeVolumeEntries(const bvlStream* stream, const void* list, WORD slots);

}  // namespace bv
