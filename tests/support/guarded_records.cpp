#include "tests/support/guarded_records.h"

#include <windows.h>

#include <cstring>

namespace bvtest {

GuardedRecords::~GuardedRecords() {
    for (void* region : regions_) VirtualFree(region, 0, MEM_RELEASE);
}

void* GuardedRecords::allocate(size_t size) {
    SYSTEM_INFO info;
    GetSystemInfo(&info);
    const size_t page = info.dwPageSize;
    const size_t usable = (size + page - 1) / page * page;
    auto* region = static_cast<BYTE*>(VirtualAlloc(nullptr, usable + page, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE));
    if (!region) return nullptr;
    regions_.push_back(region);
    DWORD old = 0;
    if (!VirtualProtect(region + usable, page, PAGE_NOACCESS, &old)) return nullptr;
    return region + usable - size;
}

void* GuardedRecords::copyBytes(const void* from, size_t size) {
    void* to = allocate(size);
    if (to) std::memcpy(to, from, size);
    return to;
}

}  // namespace bvtest
