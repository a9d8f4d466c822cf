// Every step of the three transfers fails in turn: the status is the first
// error, the device lock is free afterwards, the transfer buffer is gone
// and the stream is closed exactly when it was opened.
#include <cstring>
#include <string>

#include "sti_fixture.h"
#include "tests/support/message_box_dismisser.h"
#include "tests/support/stream_recorder.h"

namespace {

using bvtest::pattern;

enum class Transfer { Listing, Read, Write };

constexpr DWORD kVendor = 0x0200beef;
constexpr DWORD kOpenError = 0x0a0000a3;
constexpr DWORD kCloseError = 0x0a0000a4;
constexpr DWORD kReadError = 0x0a0000a7;
constexpr DWORD kWriteError = 0x0a0000a8;
constexpr DWORD kProgressError = 0x0a0000a9;
constexpr DWORD kSize = 12000;  // three chunks: 5120, 5120, 1760

struct FaultCase {
    const char* name;
    Transfer transfer;
    const char* step;        // a stand-in step ("sti.") or a callback of the stream
    int nth;
    bool alsoFailClose;      // a later error that must not replace the first
    DWORD expected;
    int closes;
    bool lockLeftHeld;       // only a refused unlock keeps the lock
};

bool isDeviceStep(const char* step) { return std::strncmp(step, "sti.", 4) == 0; }

DWORD callbackCode(const std::string& callback) {
    if (callback == "open") return kOpenError;
    if (callback == "close") return kCloseError;
    if (callback == "read") return kReadError;
    if (callback == "write") return kWriteError;
    return kProgressError;
}

std::vector<BYTE> shortListing() {
    std::vector<BYTE> out;
    for (DWORD time : {1000u, 2000u}) {
        BYTE head[10] = {};
        std::memcpy(head + 6, &time, 4);
        out.insert(out.end(), head, head + 10);
        out.insert(out.end(), {'A', '.', 'J', 'P', 'G', 0});
    }
    return out;
}

class TransferFaults : public StiTransportTest, public ::testing::WithParamInterface<FaultCase> {};

TEST_P(TransferFaults, FirstErrorWinsAndEverythingIsReleased) {
    openCamera();
    const FaultCase& f = GetParam();
    bvtest::MessageBoxDismisser boxes;
    bvtest::StreamRecorder rec(BVL_PROGRESS_PERCENT);
    if (isDeviceStep(f.step)) {
        simFailNth(f.step, f.nth, kVendor);
    } else {
        rec.failOn(f.step, callbackCode(f.step), f.nth);
    }
    if (f.alsoFailClose) rec.failOn("close", kCloseError);

    const std::vector<BYTE> listing = shortListing();
    const DWORD listingSize = static_cast<DWORD>(listing.size());
    const size_t listingBlocks = bvtest::liveGuardedBlocks(listingSize + bv::kBufferPadding);
    DWORD status = 0;
    switch (f.transfer) {
    case Transfer::Listing:
        simQueueBulkData(listing.data(), listingSize);
        status = bv::InStreamFuncForGetFromSTIForGetDir(rec.stream(), bv::kLockAround, listingSize);
        break;
    case Transfer::Read: {
        const std::vector<BYTE> data = pattern(kSize);
        simQueueBulkData(data.data(), kSize);
        status = bv::InStreamFuncForGetFromSTI(rec.stream(), bv::kLockAround, kSize);
        break;
    }
    case Transfer::Write:
        rec.setSource(pattern(kSize));
        status = bv::InStreamFuncForPutToSTI(rec.stream(), bv::kLockAround, kSize);
        break;
    }

    EXPECT_EQ(f.expected, status);
    EXPECT_EQ(static_cast<size_t>(f.closes), rec.count("close"));
    EXPECT_EQ(rec.count("open 1") + rec.count("open 3") > 0 && f.closes == 0,
              std::string(f.step) == "open") << "only a failed open goes without close";
    EXPECT_EQ(listingBlocks, bvtest::liveGuardedBlocks(listingSize + bv::kBufferPadding));
    EXPECT_EQ(f.lockLeftHeld ? 1 : 0, simCounter("sti.locks"));
    if (f.lockLeftHeld) {
        EXPECT_EQ(0u, bv::unlockStiDevice());
    }
    if (f.transfer == Transfer::Write && std::string(f.step) == "read" &&
        bvtest::MessageBoxDismisser::hasDisplay()) {
        EXPECT_EQ(1u, boxes.captions().size());
    }
}

std::string caseName(const ::testing::TestParamInfo<FaultCase>& i) { return i.param.name; }

// Listing: lock, open, the one read, report 0, write, report 100, close, unlock.
const FaultCase kListingFaults[] = {
    {"Lock", Transfer::Listing, "sti.lock", 1, true, kVendor, 0, false},
    {"Open", Transfer::Listing, "open", 1, true, kOpenError, 0, false},
    {"RawRead", Transfer::Listing, "sti.rawRead", 1, true, BVL_E_DIR_IO_ERROR, 1, false},
    {"RawReadBeforeGoodClose", Transfer::Listing, "sti.rawRead", 1, false, BVL_E_DIR_IO_ERROR, 1, false},
    {"StartReport", Transfer::Listing, "progress", 1, false, 0, 1, false},
    {"StartReportThenClose", Transfer::Listing, "progress", 1, true, kCloseError, 1, false},
    {"Write", Transfer::Listing, "write", 1, true, kWriteError, 1, false},
    {"EndReport", Transfer::Listing, "progress", 2, true, kProgressError, 1, false},
    {"Close", Transfer::Listing, "close", 1, false, kCloseError, 1, false},
    {"Unlock", Transfer::Listing, "sti.unlock", 1, false, kVendor, 1, true},
    {"UnlockAfterClose", Transfer::Listing, "sti.unlock", 1, true, kCloseError, 1, true},
};
INSTANTIATE_TEST_SUITE_P(Listing, TransferFaults, ::testing::ValuesIn(kListingFaults), caseName);

// Bulk read: lock, open, three times (report, raw read, write), report
// 100, close, unlock.
const FaultCase kReadFaults[] = {
    {"Lock", Transfer::Read, "sti.lock", 1, true, kVendor, 0, false},
    {"Open", Transfer::Read, "open", 1, true, kOpenError, 0, false},
    {"Report1", Transfer::Read, "progress", 1, false, 0, 1, false},
    {"Report2", Transfer::Read, "progress", 2, true, kCloseError, 1, false},
    {"Report3", Transfer::Read, "progress", 3, false, 0, 1, false},
    {"RawRead1", Transfer::Read, "sti.rawRead", 1, true, kVendor, 1, false},
    {"RawRead2", Transfer::Read, "sti.rawRead", 2, true, kVendor, 1, false},
    {"RawRead3", Transfer::Read, "sti.rawRead", 3, true, kVendor, 1, false},
    {"Write1", Transfer::Read, "write", 1, true, kWriteError, 1, false},
    {"Write2", Transfer::Read, "write", 2, true, kWriteError, 1, false},
    {"Write3", Transfer::Read, "write", 3, true, kWriteError, 1, false},
    {"EndReport", Transfer::Read, "progress", 4, true, kProgressError, 1, false},
    {"Close", Transfer::Read, "close", 1, false, kCloseError, 1, false},
    {"Unlock", Transfer::Read, "sti.unlock", 1, false, kVendor, 1, true},
};
INSTANTIATE_TEST_SUITE_P(Read, TransferFaults, ::testing::ValuesIn(kReadFaults), caseName);

// Bulk write: lock, open, three times (report, ReadCB, raw write), close,
// unlock; no report at the end.
const FaultCase kWriteFaults[] = {
    {"Lock", Transfer::Write, "sti.lock", 1, true, kVendor, 0, false},
    {"Open", Transfer::Write, "open", 1, true, kOpenError, 0, false},
    {"Report1", Transfer::Write, "progress", 1, false, 0, 1, false},
    {"Report3", Transfer::Write, "progress", 3, true, kCloseError, 1, false},
    {"ReadCB1", Transfer::Write, "read", 1, true, kReadError, 1, false},
    {"ReadCB2", Transfer::Write, "read", 2, true, kReadError, 1, false},
    {"ReadCB3", Transfer::Write, "read", 3, true, kReadError, 1, false},
    {"RawWrite1", Transfer::Write, "sti.rawWrite", 1, true, kVendor, 1, false},
    {"RawWrite2", Transfer::Write, "sti.rawWrite", 2, true, kVendor, 1, false},
    {"RawWrite3", Transfer::Write, "sti.rawWrite", 3, true, kVendor, 1, false},
    {"Close", Transfer::Write, "close", 1, false, kCloseError, 1, false},
    {"Unlock", Transfer::Write, "sti.unlock", 1, false, kVendor, 1, true},
};
INSTANTIATE_TEST_SUITE_P(Write, TransferFaults, ::testing::ValuesIn(kWriteFaults), caseName);

}  // namespace
