// The caller's side of a message exchange: the wait for the job on its
// pool thread, bounded by the time-out and interleaved with the interval
// callback, in which the thread answers the messages other threads send
// to it.
#include "message_private.h"

#include <algorithm>

#include "sti_transport.h"

namespace bv {
namespace {

// The threads inside a wait of runJob, each marked by a WaitingThread on
// its stack.
SRWLOCK g_waitingLock = SRWLOCK_INIT;
WaitingThread* g_waiting = nullptr;

// A callback of the caller that sends to a window of the waiting thread
// (to move a progress bar, say) needs that thread to answer, or it waits
// for ever. Only sent messages are handled here: posted messages and
// input stay queued for the caller's own loop.
void answerSentMessages() {
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
}

// Sleeps at most ms, until the job's end event is set or another thread
// sends this one a message; false when the wait itself failed.
bool pause(HANDLE endEvent, DWORD ms) {
    const DWORD count = endEvent ? 1 : 0;
    const DWORD woke =
        MsgWaitForMultipleObjectsEx(count, &endEvent, ms, QS_SENDMESSAGE, MWMO_INPUTAVAILABLE);
    if (woke == WAIT_OBJECT_0 + count) answerSentMessages();
    return woke != WAIT_FAILED;
}

}  // namespace

WaitingThread::WaitingThread() : threadId_(GetCurrentThreadId()) {
    AcquireSRWLockExclusive(&g_waitingLock);
    for (const WaitingThread* w = g_waiting; w && !nested_; w = w->next_)
        nested_ = w->threadId_ == threadId_;
    if (!nested_) {
        next_ = g_waiting;
        g_waiting = this;
    }
    ReleaseSRWLockExclusive(&g_waitingLock);
}

WaitingThread::~WaitingThread() {
    if (nested_) return;
    AcquireSRWLockExclusive(&g_waitingLock);
    WaitingThread** link = &g_waiting;
    while (*link != this) link = &(*link)->next_;
    *link = next_;
    ReleaseSRWLockExclusive(&g_waitingLock);
}

// The time-out counts from the start of the call, or in the data phase
// from the start of the latest step (a chunk read and the callbacks it
// feeds, then the end report and CloseCB). The interval callback runs
// once a step has taken 50 ms, and then every 50 ms; not any more once
// all data moved, when nothing is left for it to stop.
//
// The waiting thread holds a use of the device, as an operation on it: an
// open or close from its interval callback, or from a message it handles,
// is refused at once instead of waiting for the job it would wait for.
DWORD runJob(MessageJob& job, const IntervalWait& wait) {
    const DWORD start = tickMs();
    DeviceUse waiting;
    waiting.take();  // without a device the job says so
    // A time-out of 0 is over before the wait begins; the job is not handed
    // over, so the device stays untouched.
    if (wait.timeoutMs == 0) return BVL_E_MESSAGE_TIMEOUT;
    if (DWORD rc = job.submit()) return rc;
    DWORD status = 0;
    if (job.waitQuietly(std::min(kQuietWaitMs, wait.timeoutMs), &status)) return status;

    const HANDLE endEvent = job.endEvent();
    DWORD lastInterval = start;
    for (;;) {
        if (job.ended(&status)) return status;
        const DWORD stamp = job.stepStamp();  // read first, so that it is never after now
        const DWORD now = tickMs();
        const DWORD inStep = now - (stamp != 0 ? stamp : start);
        if (inStep >= wait.timeoutMs) {
            job.stop();
            return job.allMoved() ? 0 : BVL_E_MESSAGE_TIMEOUT;
        }
        DWORD sleepMs = std::min(wait.timeoutMs - inStep, kIntervalMs);
        if (wait.intervalCB && !job.allMoved()) {
            const DWORD quiet = std::min(inStep, now - lastInterval);
            if (quiet >= kIntervalMs) {
                if (DWORD rc = wait.intervalCB(wait.context)) {
                    job.stop();
                    return rc;
                }
                lastInterval = tickMs();
                continue;
            }
            sleepMs = std::min(sleepMs, kIntervalMs - quiet);
        }
        if (!pause(endEvent, sleepMs)) {
            job.stop();
            return BVL_E_MESSAGE_NO_EXIT_STATUS;
        }
    }
}

}  // namespace bv
