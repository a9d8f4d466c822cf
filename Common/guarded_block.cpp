#include "guarded_block.h"

#include <cstring>

namespace bv {
namespace {

void* placeHeader(void* allocation, std::size_t size) {
    if (!allocation) return nullptr;
    auto* header = static_cast<BlockHeader*>(allocation);
    void* user = static_cast<BYTE*>(allocation) + sizeof(BlockHeader);
    header->kind = kBlockFromHeap;
    header->size = static_cast<std::uint32_t>(size);
    header->self = reinterpret_cast<std::uintptr_t>(user);
    return user;
}

void* allocateWithHeader(std::size_t size, DWORD heapFlags) {
    if (size > MAXDWORD - sizeof(BlockHeader)) return nullptr;
    return placeHeader(HeapAlloc(GetProcessHeap(), heapFlags, size + sizeof(BlockHeader)), size);
}

}  // namespace

void* allocBlock(std::size_t size) { return allocateWithHeader(size, 0); }

void* allocZeroedBlock(std::size_t size) { return allocateWithHeader(size, HEAP_ZERO_MEMORY); }

DWORD freeBlock(void* address) {
    if (!address) return 0;
    BlockHeader header;
    std::memcpy(&header, static_cast<BYTE*>(address) - sizeof(BlockHeader), sizeof header);
    if (header.self != reinterpret_cast<std::uintptr_t>(address)) return kFreeForeignBlock;
    if (header.kind != kBlockFromHeap) return 0;
    HeapFree(GetProcessHeap(), 0, static_cast<BYTE*>(address) - sizeof(BlockHeader));
    return 0;
}

}  // namespace bv
