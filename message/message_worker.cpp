// The worker threads of the message transport and the waits on them.
#include "message_private.h"

#include <new>
#include <utility>

namespace bv {

std::atomic<DWORD> transferStamp{kStampNotStarted};

namespace {

// A stopped exchange's worker that may still be finishing its device call.
OwnedHandle g_strayWorker;

struct WorkerStart {
    WorkerJob* job;
    WorkerJob::Body body;
    HMODULE module;
};

DWORD WINAPI workerMain(void* parameter) {
    const WorkerStart start = *static_cast<WorkerStart*>(parameter);
    delete static_cast<WorkerStart*>(parameter);
    DWORD status = BVL_E_MESSAGE_NO_MEMORY;
    try {
        status = start.body(*start.job);
    } catch (...) {
        // Nothing may leave a thread procedure; the body allocates only
        // through guarded blocks, so this is a failed allocation at most.
    }
    start.job->release();
    FreeLibraryAndExitThread(start.module, status);
}

HMODULE referenceThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(workerMain)), &module);
    return module;
}

// Ends a wait on the worker's own status.
DWORD exitStatusOf(WorkerJob& job, HANDLE worker) {
    DWORD status = 0;
    if (GetExitCodeThread(worker, &status)) return status;
    job.stop();
    return BVL_E_MESSAGE_NO_EXIT_STATUS;
}

}  // namespace

DWORD stampOfTick(DWORD tick) { return tick <= kStampAllMoved ? kStampAllMoved + 1 : tick; }

DWORD roundedPercent(DWORD done, DWORD size) {
    return static_cast<DWORD>((static_cast<ULONGLONG>(done) * 100 + size / 2) / size);
}

bool streamHasCallbacks(const bvlStream& stream) {
    return stream.OpenCB && stream.CloseCB && stream.WriteCB &&
           (stream.ProgressCB || stream.progressMode == BVL_PROGRESS_NONE);
}

DWORD startWorker(WorkerJob& job, WorkerJob::Body body, OwnedHandle& thread) {
    HMODULE module = referenceThisModule();
    if (!module) return BVL_E_MESSAGE_NO_THREAD;
    auto* start = new (std::nothrow) WorkerStart{&job, body, module};
    if (!start) {
        FreeLibrary(module);
        return BVL_E_MESSAGE_NO_THREAD;
    }
    job.addRef();
    thread.reset(CreateThread(nullptr, 0, workerMain, start, 0, nullptr));
    if (thread) return 0;
    delete start;
    job.release();
    FreeLibrary(module);
    return BVL_E_MESSAGE_NO_THREAD;
}

void leaveStrayWorker(OwnedHandle thread) { g_strayWorker = std::move(thread); }

DWORD waitForStrayWorker(DWORD timeoutMs) {
    if (!g_strayWorker) return 0;
    if (WaitForSingleObject(g_strayWorker.get(), timeoutMs) != WAIT_OBJECT_0)
        return BVL_E_MESSAGE_TIMEOUT;
    g_strayWorker.reset();
    return 0;
}

// The worker's end wakes the wait at once instead of at the next 50 ms
// mark; the interval callback keeps its 50 ms rhythm while the worker runs.
DWORD WaitResponse(bvlIntervalCB intervalCB, void* context, WorkerJob& job, HANDLE worker,
                   DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeoutMs) {
        const DWORD waited = WaitForSingleObject(worker, kResponsePollMs);
        if (waited == WAIT_OBJECT_0) return exitStatusOf(job, worker);
        if (waited != WAIT_TIMEOUT) {
            job.stop();
            return BVL_E_MESSAGE_NO_EXIT_STATUS;
        }
        if (intervalCB) {
            if (DWORD rc = intervalCB(context)) {
                job.stop();
                return rc;
            }
        }
    }
    job.stop();
    return BVL_E_MESSAGE_TIMEOUT;
}

// Each round reads the stamp once. The time-out counts from the start of
// the latest chunk read; before the first chunk only the worker's end
// (it could not open the stream or get its buffer) ends the watch. Once
// all data moved, the watch waits for the worker's last steps (end
// report, CloseCB, unlock), so none of them runs after the call returned.
DWORD WatchStreamTransfer(bvlIntervalCB intervalCB, void* context, DWORD timeoutMs,
                          WorkerJob& job, HANDLE worker) {
    bool ended = false;
    auto pause = [&](DWORD ms) {
        if (ended)
            Sleep(ms);
        else
            ended = WaitForSingleObject(worker, ms) == WAIT_OBJECT_0;
    };
    auto allMoved = [&]() -> DWORD {
        WaitForSingleObject(worker, INFINITE);
        return 0;
    };
    if (transferStamp == kStampAllMoved) return allMoved();
    for (;;) {
        const DWORD stamp = transferStamp;
        if (stamp == kStampNotStarted) {
            if (ended) return exitStatusOf(job, worker);
            pause(kStampPollMs);
        } else {
            const DWORD elapsed = GetTickCount() - stamp;
            if (elapsed > timeoutMs) {
                job.stop();
                return BVL_E_MESSAGE_TIMEOUT;
            }
            if (elapsed <= kIntervalMs) {
                pause(kStampPollMs);
            } else {
                if (intervalCB) {
                    if (DWORD rc = intervalCB(context)) {
                        job.stop();
                        return rc;
                    }
                }
                pause(kIntervalMs);
            }
        }
        if (transferStamp == kStampAllMoved) return allMoved();
    }
}

}  // namespace bv
