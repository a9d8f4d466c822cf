// bvlMessageTxAndRecieveData over USB: command 61 carries the message and
// the camera answers with the size of the data that follows. One worker
// sends the command (SetStreamMode) and keeps the device locked; a second
// (ReadFromCamera) reads the data in chunks into the caller's stream and
// ends the lock, while the caller's thread watches its progress.
#include "message_transport.h"

#include <algorithm>
#include <new>
#include <utility>

#include "../Common/guarded_block.h"
#include "../Common/stream_wrappers.h"
#include "../sti/sti_transport.h"

namespace bv {
namespace {

// The workerBlock of a data exchange. Lock and stream state change only
// under the job's gate, so the entry point that stops the job knows
// exactly what is left to end.
class DataJob : public WorkerJob {
public:
    OwnedBlock message;
    bvlStream stream = {};    // a copy: the worker never reads the caller's record
    DWORD dataSize = 0;       // written by SetStreamMode
    bool lockParked = false;  // locked by the command, not yet taken by the reader
    bool streamOpen = false;

    // The entry point gives up: a lock that no worker holds is ended here,
    // and a stream the reader opened is closed before the call returns.
    void onStop() override {
        if (lockParked) unlockStiDevice();
        lockParked = false;
        if (streamOpen) {
            DWORD ignored = 0;
            streamClose(&stream, &ignored);
        }
        streamOpen = false;
    }
};

DataJob& dataJob(WorkerJob& job) { return static_cast<DataJob&>(job); }

// SetStreamMode: the command locks the device and leaves it locked for
// the reader. A failed command, a size of 0, or a caller that gave up
// meanwhile end the lock again here.
DWORD setStreamModeWorker(WorkerJob& base) {
    DataJob& job = dataJob(base);
    if (job.stopped()) return BVL_E_MESSAGE_TIMEOUT;
    if (DWORD rc = lockStiDevice()) return rc;  // nothing locked, nothing to end
    const auto* message = static_cast<const dePC_MESSAGE*>(job.message.get());
    const requestBlock request = {kMessageDataCommand, message->totalLength, message};
    DWORD size = 0;
    DWORD rc = DoBvCommand(&request, &size, sizeof size, 0, kLockNone);
    if (rc == 0 && size == 0) rc = BVL_E_FILE_NOT_FOUND;
    if (rc == 0 && job.unlessStopped([&] {
            job.dataSize = size;
            job.lockParked = true;
        }))
        return 0;
    unlockStiDevice();
    return rc != 0 ? rc : BVL_E_MESSAGE_TIMEOUT;
}

// One chunk after another into WriteCB, each followed by a percentage
// report with progressMode 3; transferStamp marks when each read began.
DWORD TransferFromSTIToStream(DataJob& job) {
    OwnedBlock buffer(allocBlock(kMessageChunkSize));
    if (!buffer) return BVL_E_MESSAGE_NO_MEMORY;
    BYTE* bytes = static_cast<BYTE*>(buffer.get());
    const bvlStream& s = job.stream;
    for (DWORD done = 0; done < job.dataSize;) {
        DWORD chunk = std::min(job.dataSize - done, kMessageChunkSize);
        if (!job.unlessStopped([] { transferStamp = stampOfTick(GetTickCount()); }))
            return BVL_E_MESSAGE_TIMEOUT;
        if (DWORD rc = ReadBvDataFromSTI(bytes, kMessageChunkSize, &chunk)) return rc;
        DWORD error = 0;
        if (!job.unlessStopped([&] {
                s.WriteCB(s.context, bytes, &chunk, &error);
                if (error == 0 && s.progressMode == BVL_PROGRESS_PERCENT)
                    s.ProgressCB(s.context, roundedPercent(done, job.dataSize), &error);
            }))
            return BVL_E_MESSAGE_TIMEOUT;
        if (error) return BVL_E_MESSAGE_STREAM_FAILED;
        done += chunk;  // as WriteCB left the count
    }
    DWORD error = 0;
    job.unlessStopped([&] {
        transferStamp = kStampAllMoved;
        if (s.progressMode == BVL_PROGRESS_PERCENT || s.progressMode == BVL_PROGRESS_END_ONLY)
            s.ProgressCB(s.context, 100, &error);
    });
    return error ? BVL_E_MESSAGE_STREAM_FAILED : 0;
}

DWORD runStreamTransfer(DataJob& job) {
    DWORD error = 0;
    if (!job.unlessStopped([&] {
            streamOpen(&job.stream, BVL_STREAM_OPEN_WRITE, &error);
            job.streamOpen = error == 0;
        }))
        return BVL_E_MESSAGE_TIMEOUT;
    if (error) return BVL_E_MESSAGE_STREAM_FAILED;  // not opened, so not closed
    const DWORD rc = TransferFromSTIToStream(job);
    job.unlessStopped([&] {
        if (job.streamOpen) streamClose(&job.stream, &error);
        job.streamOpen = false;
    });
    return rc;
}

// ReadFromCamera: takes over the lock that the command left, and ends it
// whatever happens. Its status tells the watcher only why it ended before
// the first chunk; the caller learns the rest from the watch.
DWORD readFromCameraWorker(WorkerJob& base) {
    DataJob& job = dataJob(base);
    if (!job.unlessStopped([&] { job.lockParked = false; })) return BVL_E_MESSAGE_TIMEOUT;
    const DWORD rc = runStreamTransfer(job);
    unlockStiDevice();
    return rc;
}

}  // namespace

DWORD dataMessageOverUsb(const MessageArgs& m, bvlStream* stream, const IntervalWait& wait) {
    if (!stream || !streamHasCallbacks(*stream)) return BVL_E_MESSAGE_STREAM_INCOMPLETE;
    OwnedJob owned(new (std::nothrow) DataJob);
    if (!owned) return BVL_E_MESSAGE_NO_MEMORY;
    DataJob& job = dataJob(*owned.get());
    job.stream = *stream;
    job.message.reset(buildMessage(m));
    if (!job.message) return BVL_E_MESSAGE_NO_MEMORY;
    if (DWORD rc = waitForStrayWorker(wait.timeoutMs)) return rc;

    OwnedHandle worker;
    if (DWORD rc = startWorker(job, setStreamModeWorker, worker)) return rc;
    DWORD status = WaitResponse(wait.intervalCB, wait.context, job, worker.get(), wait.timeoutMs);
    if (job.stopped()) leaveStrayWorker(std::move(worker));
    if (status != 0) return status;

    transferStamp = kStampNotStarted;
    if (DWORD rc = startWorker(job, readFromCameraWorker, worker)) {
        job.stop();  // ends the lock the command left
        return rc;
    }
    status = WatchStreamTransfer(wait.intervalCB, wait.context, wait.timeoutMs, job, worker.get());
    if (job.stopped()) leaveStrayWorker(std::move(worker));
    return status;
}

}  // namespace bv
