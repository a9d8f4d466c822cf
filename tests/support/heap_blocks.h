// Counts the live blocks of the process heap that have one exact size, so
// a test can tell whether a guarded block of a transfer was released.
#pragma once

#include <cstddef>

namespace bvtest {

// Live guarded blocks whose caller's area is size bytes.
std::size_t liveGuardedBlocks(std::size_t size);

}  // namespace bvtest
