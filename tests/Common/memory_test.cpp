// Guarded blocks and the text sizes of command payloads.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <vector>

#include "Common/guarded_block.h"
#include "Common/memory_stream.h"
#include "Common/text_size.h"

namespace {

TEST(GuardedBlock, HeaderPrecedesTheCallersArea) {
    void* block = bv::allocBlock(300);
    ASSERT_NE(nullptr, block);
    bv::BlockHeader header;
    std::memcpy(&header, static_cast<BYTE*>(block) - sizeof header, sizeof header);
    EXPECT_EQ(bv::kBlockFromHeap, header.kind);
    EXPECT_EQ(300u, header.size);
    EXPECT_EQ(reinterpret_cast<std::uintptr_t>(block), header.self);
    std::memset(block, 0x5a, 300);  // the whole area is the caller's
    EXPECT_EQ(0u, bv::freeBlock(block));
}

TEST(GuardedBlock, ZeroedBlockIsZero) {
    bv::OwnedBlock block(bv::allocZeroedBlock(5120));
    ASSERT_TRUE(block);
    const BYTE* bytes = static_cast<const BYTE*>(block.get());
    for (int i = 0; i < 5120; ++i) ASSERT_EQ(0, bytes[i]) << "at " << i;
}

TEST(GuardedBlock, ForeignAddressIsRefusedAndKept) {
    BYTE buffer[64] = {};
    EXPECT_EQ(64u, bv::freeBlock(buffer + 32));  // header bytes do not name this address
    EXPECT_EQ(0u, bv::freeBlock(nullptr));

    // A block whose address copy was overwritten is refused as well.
    void* block = bv::allocBlock(16);
    ASSERT_NE(nullptr, block);
    std::uintptr_t saved;
    BYTE* self = static_cast<BYTE*>(block) - sizeof(std::uintptr_t);
    std::memcpy(&saved, self, sizeof saved);
    std::memset(self, 0, sizeof saved);
    EXPECT_EQ(64u, bv::freeBlock(block));
    std::memcpy(self, &saved, sizeof saved);
    EXPECT_EQ(0u, bv::freeBlock(block));
}

TEST(GuardedBlock, BlockOfAnotherKindIsLeftAlone) {
    void* block = bv::allocBlock(8);
    ASSERT_NE(nullptr, block);
    auto* kind = reinterpret_cast<std::uint16_t*>(static_cast<BYTE*>(block) - sizeof(bv::BlockHeader));
    *kind = 2;
    EXPECT_EQ(0u, bv::freeBlock(block));
    *kind = bv::kBlockFromHeap;  // still allocated: free it for real
    EXPECT_EQ(0u, bv::freeBlock(block));
}

TEST(GuardedBlock, ImpossibleSizeGivesNull) {
    EXPECT_EQ(nullptr, bv::allocBlock(MAXDWORD));
}

struct SizeCase {
    const char* text;
    size_t bytes;  // the list with its terminators, for stringListSize
    DWORD expected;
};

TEST(TextSize, StringSizeCountsTheTerminator) {
    DWORD size = 0;
    EXPECT_TRUE(bv::stringSize("", &size));
    EXPECT_EQ(1u, size);
    EXPECT_TRUE(bv::stringSize("\\DCIM\\BRV_0001.JPG", &size));
    EXPECT_EQ(19u, size);
}

TEST(TextSize, StringListSizeEndsAtTheFirstDoubleZero) {
    const SizeCase cases[] = {
        {"a\0", 3, 3},
        {"\0", 2, 2},
        {"one\0two\0", 9, 9},
        {"x\0\0y\0", 6, 3},  // stops at the first empty text
    };
    for (const SizeCase& c : cases) {
        SCOPED_TRACE(c.expected);
        DWORD size = 0;
        EXPECT_TRUE(bv::stringListSize(c.text, &size));
        EXPECT_EQ(c.expected, size);
    }
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
    std::vector<BYTE> chunk(700);
    for (BYTE round = 1; round <= 3; ++round) {
        std::fill(chunk.begin(), chunk.end(), round);
        DWORD count = static_cast<DWORD>(chunk.size());
        s->WriteCB(s->context, chunk.data(), &count, &error);
        ASSERT_EQ(0u, error);
    }
    EXPECT_EQ(2100u, s->TellCB(s->context, &error));
    s->CloseCB(s->context, &error);
    ASSERT_EQ(2100u, memory.length());
    EXPECT_EQ(1, memory.data()[699]);
    EXPECT_EQ(2, memory.data()[700]);
    EXPECT_EQ(3, memory.data()[2098]);
    EXPECT_EQ(0, memory.data()[2099]);
}
