// Guarded blocks and the text sizes of command payloads.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "Common/guarded_block.h"
#include "Common/memory_stream.h"
#include "Common/text_size.h"

namespace {

// freeBlock frees only what allocBlock handed out: an address whose header
// does not name it is refused (64) and kept, a block of another kind is
// left alone.
TEST(GuardedBlock, FreeTakesOnlyItsOwnBlocks) {
    BYTE buffer[64] = {};
    EXPECT_EQ(64u, bv::freeBlock(buffer + 32));
    EXPECT_EQ(0u, bv::freeBlock(nullptr));

    void* block = bv::allocBlock(16);
    ASSERT_NE(nullptr, block);
    BYTE* copy = static_cast<BYTE*>(block) - sizeof(std::uintptr_t);  // the header's copy of the address
    std::uintptr_t saved;
    std::memcpy(&saved, copy, sizeof saved);
    std::memset(copy, 0, sizeof saved);
    EXPECT_EQ(64u, bv::freeBlock(block)) << "the address copy was overwritten";
    std::memcpy(copy, &saved, sizeof saved);

    auto* kind = reinterpret_cast<std::uint16_t*>(static_cast<BYTE*>(block) - sizeof(bv::BlockHeader));
    *kind = 2;
    EXPECT_EQ(0u, bv::freeBlock(block));  // another kind: left alone
    *kind = bv::kBlockFromHeap;
    EXPECT_EQ(0u, bv::freeBlock(block));
    EXPECT_EQ(nullptr, bv::allocBlock(MAXDWORD)) << "a size that cannot take the header";
}

}  // namespace

// Writes that outgrow the first kilobyte keep every byte, and closing puts
// a zero into the last one, so collected text ends there.
TEST(MemoryStream, GrowsAndTerminatesOnClose) {
    bv::memoryStream memory;
    bvlStream* s = memory.stream();
    DWORD error = 1;
    s->OpenCB(s->context, BVL_STREAM_OPEN_WRITE, &error);
    ASSERT_EQ(0u, error);
    std::vector<BYTE> expected;
    for (BYTE round = 1; round <= 3; ++round) {
        const std::vector<BYTE> chunk(700, round);
        DWORD count = static_cast<DWORD>(chunk.size());
        s->WriteCB(s->context, chunk.data(), &count, &error);
        ASSERT_EQ(0u, error);
        expected.insert(expected.end(), chunk.begin(), chunk.end());
    }
    EXPECT_EQ(2100u, s->TellCB(s->context, &error));
    s->CloseCB(s->context, &error);
    expected.back() = 0;
    EXPECT_EQ(expected, std::vector<BYTE>(memory.data(), memory.data() + memory.length()));
}
