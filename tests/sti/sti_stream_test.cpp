// Stream transfers: chunking, progress reports, short reads, the stream's
// open and close, and the directory listing passed on whole.
#include <algorithm>
#include <cstring>
#include <string>

#include "Common/stream_wrappers.h"
#include "sti_fixture.h"
#include "tests/support/stream_recorder.h"

namespace {

using Log = std::vector<std::string>;
using bvtest::StreamRecorder;
using bvtest::pattern;
using bvtest::reached;

enum class Kind { Read, Write };

struct ChunkCase {
    const char* name;
    Kind kind;
    WORD progressMode;
    DWORD size;
    Log expected;
    DWORD readLimit = 0;  // the most a ReadCB delivers; 0: all it is asked
    DWORD rawReadCut = 0;  // the most the first raw read delivers; 0: all
};

class Chunks : public StiTransportTest, public ::testing::WithParamInterface<ChunkCase> {};

TEST_P(Chunks, MoveTheDataWithTheReportsOfTheMode) {
    openCamera();
    const ChunkCase& c = GetParam();
    const std::vector<BYTE> data = pattern(c.size);
    StreamRecorder rec(c.progressMode);
    if (c.kind == Kind::Read) {
        simQueueBulkData(data.data(), c.size);
        if (c.rawReadCut) simCutRawRead(1, c.rawReadCut);
    } else {
        rec.setSource(data);
        rec.limitReads(c.readLimit);
    }
    EXPECT_EQ(0u, c.kind == Kind::Read ? bv::InStreamFuncForGetFromSTI(rec.stream(), 3, c.size)
                                       : bv::InStreamFuncForPutToSTI(rec.stream(), 3, c.size));
    EXPECT_EQ(c.expected, rec.log());
    EXPECT_EQ(data, c.kind == Kind::Read ? rec.written() : writtenToDevice());
}

INSTANTIATE_TEST_SUITE_P(Sizes, Chunks, ::testing::Values(
    ChunkCase{"ReadOneChunk", Kind::Read, 3, 5120, {"open 3", "progress 0", "write 5120", "progress 100", "close"}},
    ChunkCase{"ReadPercent", Kind::Read, 3, 12000, {"open 3", "progress 0", "write 5120", "progress 42",
              "write 5120", "progress 85", "write 1760", "progress 100", "close"}},
    ChunkCase{"ReadEndOnly", Kind::Read, 2, 12000,
              {"open 3", "write 5120", "write 5120", "write 1760", "progress 100", "close"}},
    ChunkCase{"ReadNoReports", Kind::Read, 1, 12000, {"open 3", "write 5120", "write 5120", "write 1760", "close"}},
    // A short raw read is followed by reads for the rest of its chunk.
    ChunkCase{"ReadShortRawRead", Kind::Read, 1, 8000, {"open 3", "write 5120", "write 2880", "close"}, 0, 100},
    ChunkCase{"WriteOneChunk", Kind::Write, 3, 5120, {"open 1", "progress 0", "read 5120", "close"}},
    ChunkCase{"WritePercent", Kind::Write, 3, 12000, {"open 1", "progress 0", "read 5120", "progress 42",
              "read 5120", "progress 85", "read 1760", "close"}},
    ChunkCase{"WriteEndOnly", Kind::Write, 2, 12000, {"open 1", "read 5120", "read 5120", "read 1760", "close"}},
    ChunkCase{"WriteNoReports", Kind::Write, 1, 12000, {"open 1", "read 5120", "read 5120", "read 1760", "close"}},
    // A short ReadCB moves the next chunk's start.
    ChunkCase{"WriteShortReads", Kind::Write, 1, 6000,
              {"open 1", "read 5120", "read 5000", "read 4000", "read 3000", "read 2000", "read 1000", "close"},
              1000}),
    [](const ::testing::TestParamInfo<ChunkCase>& i) { return std::string(i.param.name); });

// Faults found before any transfer: a stream lacking what the transfer
// needs, and a listing too large to hold, which is closed again.
TEST_F(StiTransportTest, ArgumentFaultsUnlockOnlyAnEarlierLock) {
    openCamera();
    StreamRecorder rec;
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, bv::InStreamFuncForGetFromSTI(rec.stream(), 3, 0));
    EXPECT_FALSE(reached("sti.lock"));
    ASSERT_EQ(0u, bv::lockStiDevice());
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, bv::InStreamFuncForGetFromSTIForGetDir(rec.stream(), 2, 0));
    EXPECT_EQ(0, simCounter("sti.locks")) << "mode 2 ends the command's lock";
    bvlStream noRead = *rec.stream();
    noRead.ReadCB = nullptr;
    ASSERT_EQ(0u, bv::lockStiDevice());
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, bv::InStreamFuncForPutToSTI(&noRead, 2, 10));
    EXPECT_EQ(0, simCounter("sti.locks"));
    EXPECT_TRUE(rec.log().empty());
    EXPECT_EQ(BVL_E_MEM_ALLOC_FAILED, bv::InStreamFuncForGetFromSTIForGetDir(rec.stream(), 3, 0xffffffff));
    EXPECT_EQ((Log{"open 3", "close"}), rec.log());
}

// Entries: six passed-through bytes, the time, the name.
std::vector<BYTE> listing(const std::vector<std::pair<DWORD, std::string>>& entries) {
    std::vector<BYTE> out;
    for (const auto& e : entries) {
        BYTE head[10] = {0x20, 1, 2, 3, 4, 5};
        std::memcpy(head + 6, &e.first, 4);
        out.insert(out.end(), head, head + 10);
        out.insert(out.end(), e.second.begin(), e.second.end());
        out.push_back(0);
    }
    return out;
}

// The entry times are the camera's clock, which keeps UTC: they pass as
// they came, a time that is no date among them.
TEST_F(StiTransportTest, ListingArrivesAsTheCameraSentIt) {
    openCamera();
    const std::vector<BYTE> data = listing({{1120000000, "A.JPG"}, {0, "B.JPG"}, {0x80000000, ""}});
    simQueueBulkData(data.data(), static_cast<DWORD>(data.size()));
    StreamRecorder rec(3);
    ASSERT_EQ(0u, bv::InStreamFuncForGetFromSTIForGetDir(rec.stream(), bv::kLockAround,
                                                          static_cast<DWORD>(data.size())));
    EXPECT_EQ((Log{"open 3", "progress 0", "write 43", "progress 100", "close"}), rec.log());
    EXPECT_EQ(data, rec.written());
}

// A WriteCB that claims one byte more than it was offered: writeAll ends
// with the caller's layer's code. Fewer bytes and none are the USB roads'
// (UsbRoadTest.WriteCallbacksThatTakeLessAreOfferedTheRest).
void WINAPI claimingMore(UINT_PTR calls, const BYTE*, DWORD* count, DWORD* error) {
    ++*reinterpret_cast<size_t*>(calls);
    *count += 1;
    *error = 0;
}

TEST(StreamWrappers, WriteAllEndsOnAnExcessiveCountWithTheLayersCode) {
    size_t calls = 0;
    bvlStream s = {};
    s.context = reinterpret_cast<UINT_PTR>(&calls);
    s.WriteCB = claimingMore;
    const BYTE data[10] = {};
    DWORD error = 0;
    bv::writeAll(&s, data, sizeof data, BVL_E_LL_STREAM_WRITE_ERROR, &error);
    EXPECT_EQ(0x020000a8u, error);
    EXPECT_EQ(1u, calls);
}

}  // namespace
