// Guarded memory blocks: heap blocks preceded by a header that lets
// freeBlock refuse an address that did not come from allocBlock. Memory
// handed between subsystems comes from here and is released by the side
// that allocated it.
#pragma once

#include <windows.h>
#include <cstddef>
#include <cstdint>

#include "owned.h"

namespace bv {

#pragma pack(push, 1)
struct BlockHeader {
    std::uint16_t kind;      // kBlockFromHeap for blocks of the general heap
    std::uint32_t size;      // size asked for by the caller
    std::uintptr_t self;     // copy of the address handed to the caller
};
#pragma pack(pop)

constexpr std::uint16_t kBlockFromHeap = 1;
// freeBlock's fixed answer for a foreign address: a status of the block
// store, not an error code of the library, and no caller passes it on.
constexpr DWORD kFreeForeignBlock = 64;

// Returns the caller's area (after the header) or null when the heap is
// exhausted. allocZeroedBlock fills the area with zeros.
void* allocBlock(std::size_t size);
void* allocZeroedBlock(std::size_t size);

// 0 on success or for a block of another kind (left alone);
// kFreeForeignBlock when the address did not come from allocBlock
// (nothing is freed). Null is 0.
DWORD freeBlock(void* address);

struct GuardedBlock {
    using Value = void*;
    static void* empty() { return nullptr; }
    static void close(void* p) { freeBlock(p); }
};
using OwnedBlock = Owned<GuardedBlock>;

}  // namespace bv
