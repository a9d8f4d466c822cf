#include "settings_snapshot.h"

#include <cstring>

namespace bv {
namespace {

constexpr LONG kUnknownTime = -1;
constexpr DWORD kVolumeWordsSize = 12;

DWORD wordAt(const BYTE* data, DWORD offset) {
    DWORD word;
    std::memcpy(&word, data + offset, sizeof word);
    return word;
}

// Offset just past the terminated name that starts at offset; length when
// the name runs to the end of the data.
DWORD pastName(const BYTE* data, DWORD offset, DWORD length) {
    const void* end = offset < length ? std::memchr(data + offset, 0, length - offset) : nullptr;
    return end ? static_cast<DWORD>(static_cast<const BYTE*>(end) - data) + 1 : length;
}

}  // namespace

void firmwareVersionText(const char* reply, std::size_t replyLength, char* version,
                         std::size_t versionSize) {
    if (versionSize == 0) return;
    std::size_t from = 0;
    while (from < replyLength && reply[from] != '\0' && !(reply[from] >= '0' && reply[from] <= '9'))
        ++from;
    std::size_t n = 0;
    while (from + n < replyLength && reply[from + n] != '\0' && n + 1 < versionSize) {
        version[n] = reply[from + n];
        ++n;
    }
    version[n] = '\0';
}

CardSlots summariseVolumes(const BYTE* list, DWORD length) {
    CardSlots slots;
    if (!list || length < sizeof(DWORD)) return slots;
    slots.count = wordAt(list, 0);
    DWORD offset = sizeof(DWORD);
    DWORD* totals[2] = {&slots.slot1Total, &slots.slot2Total};
    DWORD* frees[2] = {&slots.slot1Free, &slots.slot2Free};
    for (DWORD i = 0; i < 2 && i < slots.count; ++i) {
        if (length < offset || length - offset < kVolumeWordsSize) break;
        *totals[i] = wordAt(list, offset + 4);
        *frees[i] = wordAt(list, offset + 8);
        offset = pastName(list, offset + kVolumeWordsSize, length);
    }
    return slots;
}

LONG cameraToDialogTime(LONG cameraTime, long zoneBiasSeconds) {
    if (cameraTime == kUnknownTime) return cameraTime;
    return static_cast<LONG>(static_cast<DWORD>(cameraTime) - static_cast<DWORD>(zoneBiasSeconds));
}

LONG dialogToCameraTime(LONG dialogTime, long zoneBiasSeconds) {
    if (dialogTime == kUnknownTime) return dialogTime;
    return static_cast<LONG>(static_cast<DWORD>(dialogTime) + static_cast<DWORD>(zoneBiasSeconds));
}

}  // namespace bv
