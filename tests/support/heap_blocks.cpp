#include "heap_blocks.h"

#include <windows.h>

#include "Common/guarded_block.h"

namespace bvtest {

std::size_t liveGuardedBlocks(std::size_t size) {
    HANDLE heap = GetProcessHeap();
    std::size_t count = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry))
        if ((entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) && entry.cbData == size + sizeof(bv::BlockHeader))
            ++count;
    HeapUnlock(heap);
    return count;
}

}  // namespace bvtest
