// The volume list and firmware text the settings dialog reads: slots come
// only from whole entries; the version is terminated in its buffer and
// starts with a digit.
#include "fuzz.h"
#include "front/usb/settings_snapshot.h"

FUZZ_TARGET {
    const bv::CardSlots slots = bv::summariseVolumes(data, static_cast<DWORD>(size));
    check(size >= 16 || (!slots.slot1Total && !slots.slot1Free));
    std::vector<char> version(size % 8);  // 0 to 7 bytes of room
    bv::firmwareVersionText(reinterpret_cast<const char*>(data), size, version.data(), version.size());
    if (version.empty()) return 0;
    check(strnlen(version.data(), version.size()) < version.size());
    check(!version[0] || (version[0] >= '0' && version[0] <= '9'));
    return 0;
}
