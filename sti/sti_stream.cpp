// Stream transfers: bulk data announced by a command moves between the
// device and the caller's bvlStream, in one piece (directory listing) or in
// chunks of 5120 bytes, with progress reports. One buffer per transfer; the
// callbacks read or fill it directly. The first error wins. A WriteCB that
// takes fewer bytes than offered is offered the rest (writeAll); one that
// takes none, or claims more, ends the transfer with
// BVL_E_STREAM_WRITE_ERROR.
#include <algorithm>
#include <cstdint>
#include <utility>

#include "guarded_block.h"
#include "observable_texts.h"
#include "stream_wrappers.h"
#include "sti_private.h"

namespace bv {
namespace {

bool reportsPercent(const bvlStream* s) { return s->progressMode == BVL_PROGRESS_PERCENT; }
bool reportsEnd(const bvlStream* s) {
    return s->progressMode == BVL_PROGRESS_PERCENT || s->progressMode == BVL_PROGRESS_END_ONLY;
}

DWORD percentDone(DWORD size, DWORD remaining) {
    return static_cast<DWORD>(static_cast<unsigned long long>(size - remaining) * 100 / size);
}

// A report whose error does not count.
void reportIgnoringError(const bvlStream* s, DWORD percent) {
    DWORD ignored = 0;
    streamProgress(s, percent, &ignored);
}

enum class Direction { FromDevice, ToDevice };

// What a transfer holds between its start and its finish. Members are
// released in reverse order: buffer, then the stream's close, then the
// unlock. The lock is the command's (kLockEnd), or empty until the
// transfer takes its own (kLockAround); without a lock to end (kLockNone,
// kLockTake) the transfer still takes the device for its whole length.
struct Transfer {
    Transfer(const bvlStream* s, DeviceLock held) : lock(std::move(held)), session(s) {}
    IStiDevice* device() const { return lock ? lock.device() : use.device(); }
    DeviceUse use;
    DeviceLock lock;
    StreamSession session;
    OwnedBlock block;
    BYTE* buffer = nullptr;  // inside block, aligned
};

// The cleared guarded block that holds an aligned buffer of size bytes;
// a size above kMaxTransferBuffer is refused like any block too large.
void* allocAlignedBuffer(DWORD size, BYTE** buffer) {
    if (size > kMaxTransferBuffer) return nullptr;
    void* block = allocZeroedBlock(size + kBufferPadding);
    const auto address = reinterpret_cast<std::uintptr_t>(block);
    *buffer = reinterpret_cast<BYTE*>((address + kBufferPadding) & ~std::uintptr_t{kBufferPadding});
    return block;
}

// The lock that a lockMode form of a transfer continues: one taken
// earlier without an owner (kLockEnd), else none yet.
DeviceLock earlierLock(BYTE lockMode) {
    return lockMode == kLockEnd ? DeviceLock::adoptHeld() : DeviceLock();
}

// Common start: argument test, lock, open, buffer. 0 when the transfer may
// run; otherwise the status to return, with the lock and stream already
// handled as the failure requires (the lock in t ends with t).
DWORD startTransfer(const bvlStream* s, BYTE lockMode, DWORD size, Direction direction,
                    DWORD bufferSize, Transfer& t) {
    const bool callbackPresent = direction == Direction::FromDevice ? s->WriteCB != nullptr
                                                                    : s->ReadCB != nullptr;
    if (size == 0 || !callbackPresent) return BVL_E_INVALID_PARAMETER;
    if (lockMode == kLockNone) t.use.take();  // without a device the first read says so
    if (lockMode == kLockTake) {
        if (DWORD rc = t.use.take()) return rc;
        if (DWORD rc = lockDevice(t.use.device())) return rc;  // held on return, for a later kLockEnd
    }
    if (lockMode == kLockAround) {
        if (DWORD rc = t.lock.take()) return rc;
    }
    const DWORD openMode =
        direction == Direction::FromDevice ? BVL_STREAM_OPEN_WRITE : BVL_STREAM_OPEN_READ;
    if (DWORD rc = t.session.open(openMode)) return rc;  // nothing to close
    t.block.reset(allocAlignedBuffer(bufferSize, &t.buffer));
    if (!t.block) return BVL_E_MEM_ALLOC_FAILED;
    return 0;
}

// Common end: report 100 (reads), close, unlock, release the buffer.
DWORD finishTransfer(const bvlStream* s, Direction direction, DWORD status, Transfer& t) {
    if (direction == Direction::FromDevice && reportsEnd(s)) {
        DWORD error = 0;
        streamProgress(s, 100, &error);
        status = keepFirst(status, error);
    }
    status = keepFirst(status, t.session.close());
    status = keepFirst(status, t.lock.end());
    t.block.reset();
    return status;
}

// The chunk buffer of a transfer: no larger than the data, so that a short
// transfer (a view-finder frame) does not clear a whole chunk for nothing.
DWORD chunkBufferSize(DWORD size) { return std::min(size, kChunkSize); }

DWORD readListing(const bvlStream* s, BYTE lockMode, DWORD size, DeviceLock held) {
    Transfer t(s, std::move(held));
    if (DWORD rc = startTransfer(s, lockMode, size, Direction::FromDevice, size, t)) return rc;
    BYTE* listing = t.buffer;
    if (readData(t.device(), listing, size, &size) != 0) {
        finishTransfer(s, Direction::FromDevice, 0, t);
        return BVL_E_DIR_IO_ERROR;
    }
    if (reportsPercent(s)) reportIgnoringError(s, 0);
    DWORD status = 0;
    writeAll(s, listing, size, BVL_E_STREAM_WRITE_ERROR, &status);
    return finishTransfer(s, Direction::FromDevice, status, t);
}

DWORD readChunks(const bvlStream* s, BYTE lockMode, DWORD size, DeviceLock held) {
    Transfer t(s, std::move(held));
    const DWORD bufferSize = chunkBufferSize(size);
    if (DWORD rc = startTransfer(s, lockMode, size, Direction::FromDevice, bufferSize, t)) return rc;
    BYTE* buffer = t.buffer;
    const bool percent = reportsPercent(s) && s->ProgressCB;
    DWORD status = 0;
    for (DWORD remaining = size; remaining != 0;) {
        const DWORD chunk = std::min(remaining, kChunkSize);
        if (percent) reportIgnoringError(s, percentDone(size, remaining));
        status = readData(t.device(), buffer, bufferSize, &chunk);
        if (status != 0) break;
        writeAll(s, buffer, chunk, BVL_E_STREAM_WRITE_ERROR, &status);
        if (status != 0) break;
        remaining -= chunk;
    }
    return finishTransfer(s, Direction::FromDevice, status, t);
}

DWORD writeChunks(const bvlStream* s, BYTE lockMode, DWORD size, DeviceLock held) {
    Transfer t(s, std::move(held));
    const DWORD bufferSize = chunkBufferSize(size);
    if (DWORD rc = startTransfer(s, lockMode, size, Direction::ToDevice, bufferSize, t)) return rc;
    BYTE* buffer = t.buffer;
    const bool percent = reportsPercent(s) && s->ProgressCB;
    DWORD status = 0;
    for (DWORD remaining = size; remaining != 0;) {
        if (percent) reportIgnoringError(s, percentDone(size, remaining));
        DWORD count = std::min(remaining, kChunkSize);
        s->ReadCB(s->context, buffer, &count, &status);
        if (status != 0) {
            MessageBoxA(nullptr, kTextReadCallbackFailed, kCaptionReadCallbackFailed,
                        MB_OK | MB_ICONEXCLAMATION);
            break;
        }
        if (count == 0 || count > std::min(remaining, kChunkSize)) {
            // Nothing, or more than asked, while data remain would stall
            // or overrun the transfer.
            status = BVL_E_STREAM_READ_ERROR;
            break;
        }
        // The write sends what ReadCB delivered; the next chunk starts
        // right after it.
        status = writeData(t.device(), buffer, bufferSize, &count);
        if (status != 0) break;
        remaining -= count;
    }
    return finishTransfer(s, Direction::ToDevice, status, t);
}

}  // namespace

DWORD InStreamFuncForGetFromSTIForGetDir(const bvlStream* s, DeviceLock held, DWORD size) {
    return readListing(s, kLockEnd, size, std::move(held));
}

DWORD InStreamFuncForGetFromSTI(const bvlStream* s, DeviceLock held, DWORD size) {
    return readChunks(s, kLockEnd, size, std::move(held));
}

DWORD InStreamFuncForPutToSTI(const bvlStream* s, DeviceLock held, DWORD size) {
    return writeChunks(s, kLockEnd, size, std::move(held));
}

DWORD InStreamFuncForGetFromSTIForGetDir(const bvlStream* s, BYTE lockMode, DWORD size) {
    return readListing(s, lockMode, size, earlierLock(lockMode));
}

DWORD InStreamFuncForGetFromSTI(const bvlStream* s, BYTE lockMode, DWORD size) {
    return readChunks(s, lockMode, size, earlierLock(lockMode));
}

DWORD InStreamFuncForPutToSTI(const bvlStream* s, BYTE lockMode, DWORD size) {
    return writeChunks(s, lockMode, size, earlierLock(lockMode));
}

}  // namespace bv
