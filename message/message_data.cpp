// bvlMessageTxAndRecieveData over USB: command 61 carries the message and
// the camera answers with the size of the data that follows. One job
// sends the command, reads the data in chunks into the caller's stream
// and ends the device lock, while the caller's thread watches its steps.
#include "message_transport.h"

#include <algorithm>
#include <new>

#include "guarded_block.h"
#include "stream_wrappers.h"
#include "sti_transport.h"

namespace bv {
namespace {

// The job works on its own copy of the caller's stream record: the caller
// may free its record once the call returned, even if the worker is still
// finishing a device call then.
class DataJob : public MessageJob {
public:
    OwnedBlock message;
    bvlStream stream = {};

private:
    // The lock is held from the command until the data moved, whatever
    // ends the job; the unlock's own code does not count. A job stopped
    // while it waited for the lock sends nothing.
    DWORD run() override {
        DeviceLock lock;
        if (DWORD rc = lock.take()) return rc;
        return stopped() ? BVL_E_MESSAGE_TIMEOUT : sendAndReceive(lock);
    }

    DWORD sendAndReceive(const DeviceLock& lock) {
        const auto* sent = static_cast<const dePC_MESSAGE*>(message.get());
        const requestBlock request = {kMessageDataCommand, sent->totalLength, sent};
        DWORD size = 0;
        if (DWORD rc = DoBvNonStreamCommand(lock, &request, &size, sizeof size)) return rc;
        if (size == 0) return BVL_E_FILE_NOT_FOUND;
        stampStep();  // from here the time-out counts per step
        OwnedBlock buffer(allocBlock(kMessageChunkSize));
        if (!buffer) return BVL_E_MESSAGE_NO_MEMORY;
        DWORD error = 0;
        if (!callCaller([&] { streamOpen(&stream, BVL_STREAM_OPEN_WRITE, &error); }))
            return BVL_E_MESSAGE_TIMEOUT;  // stopped: the stream is the caller's now
        if (error) return BVL_E_MESSAGE_STREAM_FAILED;  // not opened, so not closed
        const DWORD rc = copyChunks(lock, static_cast<BYTE*>(buffer.get()), size);
        if (!callCaller([&] { streamClose(&stream, &error); })) return BVL_E_MESSAGE_TIMEOUT;
        return rc;
    }

    // Hands one chunk to WriteCB the way writeAll does, each call watched
    // like every call of the caller's code: a WriteCB that takes fewer
    // bytes is offered the rest; one that takes none, or claims more than
    // it was offered, ends the transfer with BVL_E_STREAM_WRITE_ERROR.
    DWORD writeChunk(const BYTE* bytes, DWORD length) {
        const bvlStream& s = stream;
        while (length > 0) {
            DWORD taken = length;
            DWORD error = 0;
            if (!callCaller([&] { s.WriteCB(s.context, bytes, &taken, &error); }))
                return BVL_E_MESSAGE_TIMEOUT;
            if (error) return BVL_E_MESSAGE_STREAM_FAILED;
            if (taken == 0 || taken > length) return BVL_E_STREAM_WRITE_ERROR;
            bytes += taken;
            length -= taken;
        }
        return 0;
    }

    // One chunk after another into WriteCB, each followed by a percentage
    // report with progressMode 3; the first report is therefore 0. Once all
    // data moved the result is 0, whatever the end report says.
    DWORD copyChunks(const DeviceLock& lock, BYTE* bytes, DWORD size) {
        const bvlStream& s = stream;
        for (DWORD done = 0; done < size;) {
            const DWORD chunk = std::min(size - done, kMessageChunkSize);
            if (stopped()) return BVL_E_MESSAGE_TIMEOUT;
            stampStep();
            if (DWORD rc = ReadBvDataFromSTI(lock, bytes, kMessageChunkSize, &chunk)) return rc;
            if (DWORD rc = writeChunk(bytes, chunk)) return rc;
            if (s.progressMode == BVL_PROGRESS_PERCENT) {
                const DWORD percent = roundedPercent(done, size);
                DWORD error = 0;
                if (!callCaller([&] { s.ProgressCB(s.context, percent, &error); }))
                    return BVL_E_MESSAGE_TIMEOUT;
                if (error) return BVL_E_MESSAGE_STREAM_FAILED;
            }
            done += chunk;
        }
        markAllMoved();
        if (s.progressMode == BVL_PROGRESS_PERCENT || s.progressMode == BVL_PROGRESS_END_ONLY) {
            DWORD ignored = 0;
            callCaller([&] { s.ProgressCB(s.context, 100, &ignored); });
        }
        return 0;
    }
};

}  // namespace

DWORD dataMessageOverUsb(const MessageArgs& m, const bvlStream* stream, const IntervalWait& wait) {
    const WaitingThread waiting;
    if (waiting.nested()) return BVL_E_MESSAGE_NESTED;
    if (!stream || !streamHasCallbacks(*stream)) return BVL_E_MESSAGE_STREAM_INCOMPLETE;
    auto* job = new (std::nothrow) DataJob;
    OwnedJob owned(job);
    if (!job) return BVL_E_MESSAGE_NO_MEMORY;
    job->stream = *stream;
    job->message.reset(buildMessage(m));
    if (!job->message) return BVL_E_MESSAGE_NO_MEMORY;
    return runJob(*job, wait);
}

}  // namespace bv
