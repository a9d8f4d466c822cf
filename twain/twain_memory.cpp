#include "twain_memory.h"

#include <cstring>

bool TwainMemory::useManager(const TW_ENTRYPOINT& entry) {
    if (!entry.DSM_Entry || !entry.DSM_MemAllocate || !entry.DSM_MemFree || !entry.DSM_MemLock ||
        !entry.DSM_MemUnlock)
        return false;
    manager_ = entry;
    return true;
}

TW_HANDLE TwainMemory::allocate(TW_UINT32 size) const {
    const TW_HANDLE handle = fromManager() ? manager_.DSM_MemAllocate(size) : GlobalAlloc(GHND, size);
    if (!handle) return nullptr;
    // The manager's allocator need not clear the block; every byte handed
    // out must be one the source wrote.
    if (void* data = lock(handle)) {
        std::memset(data, 0, size);
        unlock(handle);
        return handle;
    }
    free(handle);
    return nullptr;
}

void TwainMemory::free(TW_HANDLE handle) const {
    if (fromManager()) manager_.DSM_MemFree(handle);
    else GlobalFree(handle);
}

TW_MEMREF TwainMemory::lock(TW_HANDLE handle) const {
    return fromManager() ? manager_.DSM_MemLock(handle) : GlobalLock(handle);
}

void TwainMemory::unlock(TW_HANDLE handle) const {
    if (fromManager()) manager_.DSM_MemUnlock(handle);
    else GlobalUnlock(handle);
}
