// Shared by the files of the message transport: the job that an entry
// point hands to a pool thread, the caller's wait for it, and the pure
// helpers.
//
// A job runs the whole device side of one exchange on a pool thread while
// the caller's thread waits, handling the messages other threads send to
// it and calling the interval callback. Workers are never ended by force
// (a thread ended inside the heap, the loader or the device driver can
// hang the whole process). An entry point that gives up on its job stops
// it and returns at once: from then on the worker calls none of the
// caller's callbacks; it finishes the device call in progress on memory
// the job owns, unlocks the device, frees its blocks and ends.
#pragma once

#include <windows.h>

#include <atomic>

#include "owned.h"
#include "bvcl2sti.h"

namespace bv {

constexpr DWORD kMessageCommand = 60;       // reply comes back in the reply buffer
constexpr DWORD kMessageDataCommand = 61;   // reply is a data size, then bulk data
constexpr DWORD kMessageChunkSize = 3072;
constexpr DWORD kIntervalMs = 50;           // rhythm of the interval callback
// How long the caller first waits without handling sent messages: most
// exchanges end within it, and this wait costs no call into the system's
// message queue. A callback that sends to the caller's windows in it is
// answered once it has passed.
constexpr DWORD kQuietWaitMs = 2;

// Milliseconds of the performance counter, wrapping like a tick count.
// The waits measure time with it: the system's tick count moves in steps
// of 10 to 16 ms, too coarse for time-outs of a few milliseconds.
DWORD tickMs();
// A tick as a step stamp: 0 means "no step yet", so tick 0 moves on to 1.
DWORD stampOfTick(DWORD tick);
// done * 100 / size, rounded half up; size must not be 0.
DWORD roundedPercent(DWORD done, DWORD size);
// Whether a destination stream has the callbacks a data exchange needs:
// OpenCB, CloseCB, WriteCB, and ProgressCB unless progressMode is 1.
bool streamHasCallbacks(const bvlStream& stream);

struct IntervalWait {
    bvlIntervalCB intervalCB;
    void* context;
    DWORD timeoutMs;
};

// One exchange as a pool thread runs it. The entry point and the worker
// each hold a reference; the last one deletes the job with everything it
// owns, so a stopped worker still reads valid memory.
class MessageJob {
public:
    MessageJob() = default;
    MessageJob(const MessageJob&) = delete;
    MessageJob& operator=(const MessageJob&) = delete;

    void release() {
        if (InterlockedDecrement(&refs_) == 0) delete this;
    }

    // ---- the entry point's side ----
    // Hands the job to a pool thread, which holds a reference to this
    // module until the job's callback returned: 0, or BVL_E_MESSAGE_NO_THREAD.
    DWORD submit();
    // From now on the worker starts no caller callback. Returns at once; a
    // callback already running may still finish.
    void stop() { caller_.store(kStopped); }
    // Waits at most ms for the job to end, without handling messages;
    // true, with its status, when it ended.
    bool waitQuietly(DWORD ms, DWORD* status);
    // The job's status once it ended.
    bool ended(DWORD* status) const;
    // A new event that the job sets when it ends, owned by the job; null
    // when the job ended already or no event could be made. Called once.
    HANDLE endEvent();
    // When the current step began: the data phase stamps each chunk read;
    // before that, and for a reply, 0.
    DWORD stepStamp() const { return stamp_.load(); }
    // Whether all data reached the caller's stream.
    bool allMoved() const { return allMoved_.load(); }

protected:
    virtual ~MessageJob() = default;
    // The device side of the exchange; runs on the pool thread.
    virtual DWORD run() = 0;

    // Calls the caller's code unless the job was stopped; true when the
    // call ran and the job was not stopped meanwhile. No lock of the
    // library is held while it runs.
    template <class Call>
    bool callCaller(Call call) {
        LONG state = kIdle;
        if (!caller_.compare_exchange_strong(state, kInCallback)) return false;
        call();
        state = kInCallback;
        return caller_.compare_exchange_strong(state, kIdle);
    }
    bool stopped() const { return caller_.load() == kStopped; }
    void stampStep() { stamp_.store(stampOfTick(tickMs())); }
    void markAllMoved() {
        stampStep();  // the end report and CloseCB get a time-out of their own
        allMoved_.store(true);
    }

private:
    static void CALLBACK work(PTP_CALLBACK_INSTANCE instance, void* context);
    void end(DWORD status);

    enum : LONG { kIdle, kInCallback, kStopped };
    std::atomic<LONG> caller_{kIdle};
    std::atomic<DWORD> stamp_{0};
    std::atomic<bool> allMoved_{false};
    LONG refs_ = 1;  // the entry point's
    HMODULE module_ = nullptr;  // the worker's reference to this module

    // The end of the job, under lock_: the caller waits on changed_ first
    // and then, handling sent messages, on endEvent_.
    mutable SRWLOCK lock_ = SRWLOCK_INIT;
    CONDITION_VARIABLE changed_ = CONDITION_VARIABLE_INIT;
    bool ended_ = false;
    DWORD status_ = 0;
    OwnedHandle endEvent_;
};

// The entry point's reference to its job.
struct JobReference {
    using Value = MessageJob*;
    static MessageJob* empty() { return nullptr; }
    static void close(MessageJob* job) { job->release(); }
};
using OwnedJob = Owned<JobReference>;

// Runs the job on a pool thread and waits for it on the caller's thread:
// the job's status; the interval callback's nonzero result;
// BVL_E_MESSAGE_TIMEOUT when the current step outlives timeoutMs (0 once
// all data moved); BVL_E_MESSAGE_NO_EXIT_STATUS when the wait itself fails. On every result but the job's
// own, the job is stopped. While it waits, the thread handles messages
// sent to it by other threads, and nothing else.
DWORD runJob(MessageJob& job, const IntervalWait& wait);

// Marks the calling thread as waiting for an exchange while it lives. An
// exchange started from a message that the thread handles in that wait
// finds the mark and is refused.
class WaitingThread {
public:
    WaitingThread();
    ~WaitingThread();
    WaitingThread(const WaitingThread&) = delete;
    WaitingThread& operator=(const WaitingThread&) = delete;
    // Whether the thread was waiting already, so this exchange is nested.
    bool nested() const { return nested_; }

private:
    DWORD threadId_;
    bool nested_ = false;
    WaitingThread* next_ = nullptr;
};

}  // namespace bv
