// Shared by the files of the message transport: the job that an entry
// point shares with its worker threads, the waits that bound a worker by
// a time-out and the caller's interval callback, and the pure helpers.
//
// Workers are never ended by force (a thread ended inside the heap, the
// loader or the device driver can hang the whole process). An entry point
// that gives up on its worker instead stops the job: from then on the
// worker calls none of the caller's callbacks, and it finishes the device
// call in progress on memory the job owns, then releases its lock and
// buffers itself. The entry point returns at once with its status.
#pragma once

#include <windows.h>

#include <atomic>

#include "../Common/owned.h"
#include "../include/bvcl2sti.h"

namespace bv {

constexpr DWORD kMessageCommand = 60;       // reply comes back in the reply buffer
constexpr DWORD kMessageDataCommand = 61;   // reply is a data size, then bulk data
constexpr DWORD kMessageChunkSize = 3072;
constexpr DWORD kResponsePollMs = 50;
constexpr DWORD kStampPollMs = 25;
constexpr DWORD kIntervalMs = 50;

// transferStamp: 0 no chunk started yet, 1 all data moved, otherwise the
// tick count at which the latest chunk read began.
constexpr DWORD kStampNotStarted = 0;
constexpr DWORD kStampAllMoved = 1;
extern std::atomic<DWORD> transferStamp;

// A tick count as a stamp: the two values that carry a meaning of their
// own move on to 2.
DWORD stampOfTick(DWORD tick);
// done * 100 / size, rounded half up; size must not be 0.
DWORD roundedPercent(DWORD done, DWORD size);
// Whether a destination stream has the callbacks a data exchange needs:
// OpenCB, CloseCB, WriteCB, and ProgressCB unless progressMode is 1.
bool streamHasCallbacks(const bvlStream& stream);

// What an entry point shares with its worker thread. The entry point and
// each running worker hold one reference; the last one deletes the job.
class WorkerJob {
public:
    using Body = DWORD (*)(WorkerJob& job);

    WorkerJob() = default;
    WorkerJob(const WorkerJob&) = delete;
    WorkerJob& operator=(const WorkerJob&) = delete;

    void addRef() { InterlockedIncrement(&refs_); }
    void release() {
        if (InterlockedDecrement(&refs_) == 0) delete this;
    }

    // Runs step on the worker unless the job was stopped; false when it
    // was. The caller's callbacks are called only inside such steps, so
    // none runs once stop() has returned.
    template <class Step>
    bool unlessStopped(Step step) {
        AcquireSRWLockExclusive(&gate_);
        const bool run = !stopped_;
        if (run) step();
        ReleaseSRWLockExclusive(&gate_);
        return run;
    }
    bool stopped() {
        return !unlessStopped([] {});
    }
    // Called by the entry point that gives up on the worker: waits for a
    // step in progress, marks the job stopped and runs onStop under the
    // same exclusion. A callback of the caller that is running then is
    // waited for, so it must not itself wait for the caller's thread.
    void stop() {
        AcquireSRWLockExclusive(&gate_);
        if (!stopped_) {
            stopped_ = true;
            onStop();
        }
        ReleaseSRWLockExclusive(&gate_);
    }

protected:
    virtual ~WorkerJob() = default;
    // Releases what the worker can no longer hand on once stopped; runs on
    // the entry point's thread.
    virtual void onStop() {}

private:
    SRWLOCK gate_ = SRWLOCK_INIT;
    bool stopped_ = false;
    LONG refs_ = 1;  // the entry point's
};

// The entry point's reference to its job.
struct JobReference {
    using Value = WorkerJob*;
    static WorkerJob* empty() { return nullptr; }
    static void close(WorkerJob* job) { job->release(); }
};
using OwnedJob = Owned<JobReference>;

// Starts body on a new thread with its own reference to the job; the
// thread also keeps this module loaded until it ends. 0, or 0x0C000003.
DWORD startWorker(WorkerJob& job, WorkerJob::Body body, OwnedHandle& thread);

// An exchange that gave up on its worker leaves the thread to finish its
// device call; the next exchange waits for it, at most timeoutMs, before
// it uses the device: 0, or 0x0C000001 when it is still running.
void leaveStrayWorker(OwnedHandle thread);
DWORD waitForStrayWorker(DWORD timeoutMs);

// Waits for the worker to end, calling the interval callback about every
// 50 ms: the worker's status, the callback's nonzero result, 0x0C000001
// after timeoutMs, 0x0C000004 when the status cannot be read. On every
// result but the worker's own, the job is stopped.
DWORD WaitResponse(bvlIntervalCB intervalCB, void* context, WorkerJob& job, HANDLE worker,
                   DWORD timeoutMs);

// Watches a data worker through transferStamp: 0 once all data moved (and
// the worker has ended), 0x0C000001 when one chunk read takes longer than
// timeoutMs, the interval callback's nonzero result, or the worker's
// status when it ended before its first chunk. The job is stopped on a
// time-out and on the callback's result.
DWORD WatchStreamTransfer(bvlIntervalCB intervalCB, void* context, DWORD timeoutMs,
                          WorkerJob& job, HANDLE worker);

}  // namespace bv
