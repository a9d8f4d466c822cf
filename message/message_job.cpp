// The job of one message exchange on the system's thread pool: handing it
// over, running it, and telling the waiting caller that it ended.
#include "message_private.h"

#include <utility>

#include "guarded_call.h"

namespace bv {

DWORD tickMs() {
    LARGE_INTEGER counter, frequency;
    QueryPerformanceCounter(&counter);
    QueryPerformanceFrequency(&frequency);
    return static_cast<DWORD>(static_cast<ULONGLONG>(counter.QuadPart) * 1000 /
                              static_cast<ULONGLONG>(frequency.QuadPart));
}

DWORD stampOfTick(DWORD tick) { return tick == 0 ? 1 : tick; }

DWORD roundedPercent(DWORD done, DWORD size) {
    return static_cast<DWORD>((static_cast<ULONGLONG>(done) * 100 + size / 2) / size);
}

bool streamHasCallbacks(const bvlStream& stream) {
    return stream.OpenCB && stream.CloseCB && stream.WriteCB &&
           (stream.ProgressCB || stream.progressMode == BVL_PROGRESS_NONE);
}

// The pool thread holds a reference to this module for as long as the job
// runs, and the pool gives it back only after this function returned: a
// FreeLibrary meanwhile cannot unmap the code it is running.
DWORD MessageJob::submit() {
    OwnedModule self;
    if (!GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                            reinterpret_cast<LPCWSTR>(reinterpret_cast<void*>(work)), self.put()))
        return BVL_E_MESSAGE_NO_THREAD;
    InterlockedIncrement(&refs_);  // the worker's
    module_ = self.get();
    if (TrySubmitThreadpoolCallback(work, this, nullptr)) {
        self.release();  // given back by the pool
        return 0;
    }
    module_ = nullptr;
    InterlockedDecrement(&refs_);
    return BVL_E_MESSAGE_NO_THREAD;
}

void CALLBACK MessageJob::work(PTP_CALLBACK_INSTANCE instance, void* context) {
    auto* job = static_cast<MessageJob*>(context);
    FreeLibraryWhenCallbackReturns(instance, job->module_);
    // A stopped job's status is read by nobody. The bodies allocate only
    // through guarded blocks, so what escapes is a failed allocation at most.
    const DWORD status = runGuardedOr<DWORD>(BVL_E_MESSAGE_NO_MEMORY, [job] {
        return job->stopped() ? BVL_E_MESSAGE_TIMEOUT : job->run();
    });
    job->end(status);
    job->release();
}

// The event is read under the lock, so a caller that made one after this
// runs sees the end instead; it stays open until the job is deleted.
void MessageJob::end(DWORD status) {
    AcquireSRWLockExclusive(&lock_);
    ended_ = true;
    status_ = status;
    const HANDLE event = endEvent_.get();
    ReleaseSRWLockExclusive(&lock_);
    WakeAllConditionVariable(&changed_);
    if (event) SetEvent(event);
}

bool MessageJob::ended(DWORD* status) const {
    AcquireSRWLockShared(&lock_);
    const bool done = ended_;
    *status = status_;
    ReleaseSRWLockShared(&lock_);
    return done;
}

bool MessageJob::waitQuietly(DWORD ms, DWORD* status) {
    const DWORD start = tickMs();
    AcquireSRWLockExclusive(&lock_);
    for (DWORD waited = 0; !ended_ && waited < ms; waited = tickMs() - start)
        SleepConditionVariableSRW(&changed_, &lock_, ms - waited, 0);
    const bool done = ended_;
    *status = status_;
    ReleaseSRWLockExclusive(&lock_);
    return done;
}

HANDLE MessageJob::endEvent() {
    OwnedHandle event(CreateEventW(nullptr, TRUE, FALSE, nullptr));
    AcquireSRWLockExclusive(&lock_);
    if (!ended_ && event) endEvent_ = std::move(event);
    const HANDLE kept = ended_ ? nullptr : endEvent_.get();
    ReleaseSRWLockExclusive(&lock_);
    return kept;
}

}  // namespace bv
