// Memory that the source hands to the application: containers, images
// and events. With a version 2 manager it comes from the manager's own
// functions (which the application frees with the manager's); without
// one it is GlobalAlloc memory, as version 1 applications expect.
#pragma once

#include "twain_types.h"

class TwainMemory {
public:
    // Switches to the manager's functions; false (and no change) when the
    // entry point lacks one of them.
    bool useManager(const TW_ENTRYPOINT& entry);
    bool fromManager() const { return manager_.DSM_MemAllocate != nullptr; }

    // A zeroed block of size bytes, or null.
    TW_HANDLE allocate(TW_UINT32 size) const;
    void free(TW_HANDLE handle) const;
    TW_MEMREF lock(TW_HANDLE handle) const;
    void unlock(TW_HANDLE handle) const;

private:
    TW_ENTRYPOINT manager_ = {};
};

// A block locked for the length of a scope.
class LockedBlock {
public:
    LockedBlock(const TwainMemory& memory, TW_HANDLE handle)
        : memory_(memory), handle_(handle), data_(handle ? memory.lock(handle) : nullptr) {}
    ~LockedBlock() { if (data_) memory_.unlock(handle_); }
    LockedBlock(const LockedBlock&) = delete;
    LockedBlock& operator=(const LockedBlock&) = delete;
    template <class T> T* as() const { return static_cast<T*>(data_); }

private:
    const TwainMemory& memory_;
    TW_HANDLE handle_;
    TW_MEMREF data_;
};
