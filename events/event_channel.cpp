#include "event_channel.h"

#include <cstring>
#include <memory>

#include "guarded_call.h"
#include "owned.h"
#include "trace.h"
#include "event_record.h"
#include "object_security.h"

namespace bv {
namespace {

// How long a stop waits for the thread to leave a callback or a dialog
// message before it lets the thread finish on its own.
constexpr DWORD kStopWaitMs = 5000;

// The named objects and the stop signal, shared by the channel's owner and
// the notification thread. Every touch of the shared record and of the
// answer event happens under the lock and only while the channel runs, so
// a thread that outlives its channel (stuck in a callback, or restarted
// from one) never writes into a later channel's record, which carries the
// same names. The one exception is a stop from inside the callback: the
// event being delivered is still answered, since the driver waits for it
// and nothing else can have happened on the record meanwhile. The record's
// view is mapped at its first touch and unmapped with the shared objects.
class ChannelObjects {
public:
    ChannelObjects() { InitializeCriticalSection(&lock_); }
    ~ChannelObjects() { DeleteCriticalSection(&lock_); }
    ChannelObjects(const ChannelObjects&) = delete;
    ChannelObjects& operator=(const ChannelObjects&) = delete;

    OwnedHandle mapping;
    OwnedHandle driverEvent;   // driver to library; closed by the thread as it leaves
    bool driverEventFound = false;  // another party created it first: it may be manual-reset
    OwnedHandle libraryEvent;  // library to driver
    OwnedHandle stopEvent;     // unnamed: asks the thread to leave

    // Runs body(record) on the mapped record while the channel runs; false
    // when it did not run.
    template <class Body>
    bool withRecord(Body body) {
        Guard g(lock_);
        return state_ == State::Running && mapped(body);
    }

    // Writes the answer over the code and signals the driver, unless the
    // channel was stopped from elsewhere meanwhile.
    void answerDriver(DWORD answer) {
        Guard g(lock_);
        if (state_ == State::Stopped) return;
        mapped([answer](BYTE* record) { writeWord(record, kCodeOffset, answer); });
        SetEvent(libraryEvent.get());
        if (state_ == State::AnswerThenStop) closeShared();
    }

    // Clears the listening flag and wakes the thread. From inside the
    // callback (fromCallback) the event in delivery is still answered;
    // otherwise the record and the answer event close at once.
    void stop(bool fromCallback) {
        {
            Guard g(lock_);
            if (state_ == State::Running) {
                mapped([](BYTE* record) { writeWord(record, kListeningOffset, 0); });
                state_ = State::AnswerThenStop;
                if (!fromCallback) closeShared();
            }
        }
        SetEvent(stopEvent.get());
    }

    // The thread's last step: after a final event the flag goes down here;
    // after a stop it went down already, and a restarted channel may have
    // raised it again on the same record.
    void leave() {
        Guard g(lock_);
        if (state_ == State::Running) mapped([](BYTE* record) { writeWord(record, kListeningOffset, 0); });
        closeShared();
        driverEvent.reset();
    }

    bool running() {
        Guard g(lock_);
        return state_ == State::Running;
    }

private:
    enum class State { Running, AnswerThenStop, Stopped };

    class Guard {
    public:
        explicit Guard(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
        ~Guard() { LeaveCriticalSection(&cs_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CRITICAL_SECTION& cs_;
    };

    // Kept mapped: mapping the view anew for each read and write costs two
    // calls into the system per touch, twice per event.
    template <class Body>
    bool mapped(Body body) {
        if (!mapping) return false;
        if (!view_) view_.reset(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kEventRecordSize));
        if (!view_) return false;
        body(static_cast<BYTE*>(view_.get()));
        return true;
    }

    void closeShared() {
        state_ = State::Stopped;
        view_.reset();
        mapping.reset();
        libraryEvent.reset();
    }

    CRITICAL_SECTION lock_;
    State state_ = State::Running;
    OwnedView view_;  // the record, touched only under lock_ while the channel runs
};

struct ThreadStart {
    std::shared_ptr<ChannelObjects> objects;
    NotificationTargets* targets;
    HMODULE module;  // a reference that keeps this module loaded while the thread runs
};

// The running channel is handed over under lock: a stop may come from any
// thread, two at a time. The security contexts are built by the starts,
// which the caller runs one at a time, and released at unload.
struct ChannelState {
    SRWLOCK lock = SRWLOCK_INIT;
    std::shared_ptr<ChannelObjects> objects;  // under lock
    OwnedHandle thread;                       // under lock
    DWORD threadId = 0;                       // under lock
    SecurityContext recordSecurity, driverEventSecurity, libraryEventSecurity;
};

ChannelState g_channel;

// Delivers one event: dialog first, then the callback; returns the
// callback's answer (0 without a callback). The callback gets the copy's
// 56 bytes and is told the driver's size cut to them, so a callback that
// trusts the size never reads past its buffer.
DWORD deliver(NotificationTargets& targets, EventCopy event) {
    HWND window = targets.settingsDialogWindow.load();
    UINT message = targets.cameraNotificationMessage.load();
    if (window && message) {
        DWORD first;
        std::memcpy(&first, event.data, sizeof first);
        SendMessageA(window, message, first, event.code);
    }
    bvlNotifyCB callback = targets.notifyCallback.load();
    const DWORD told = event.size < kEventDataSize ? event.size : kEventDataSize;
    return callback ? callback(event.code, event.data, told, targets.notifyContext.load()) : 0;
}

// Delivers events until a final one or a stop. A driver's event that
// another party created is reset after each wake: should it be manual-reset,
// each signal of the driver still makes one delivery. The event created
// here is auto-reset, and the wake has reset it already.
void runNotifications(ThreadStart& start) {
    ChannelObjects& objects = *start.objects;
    const HANDLE waits[2] = {objects.stopEvent.get(), objects.driverEvent.get()};
    while (WaitForMultipleObjects(2, waits, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        if (objects.driverEventFound) ResetEvent(objects.driverEvent.get());
        EventCopy event = {};
        if (!objects.withRecord([&](const BYTE* record) { event = readEvent(record); })) {
            if (!objects.running()) break;
            traceLine("Error to MapViewOfFile");
            continue;  // dropped: the driver gets no answer for it
        }
        objects.answerDriver(deliver(*start.targets, event));
        if (isFinalEvent(event.code)) break;
    }
    objects.leave();
}

// The thread holds a reference on this module, taken by the start, so an
// application's FreeLibrary while the channel runs leaves the library
// mapped; the thread gives the reference back as it exits, after a stop or
// the final event, and the last reference unloads the library then.
DWORD WINAPI notificationThread(LPVOID parameter) {
    const HMODULE module = static_cast<ThreadStart*>(parameter)->module;
    runGuardedOr<DWORD>(0, [parameter] {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        runNotifications(*start);
        return DWORD{0};
    });
    FreeLibraryAndExitThread(module, 0);
}

HMODULE referenceThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(notificationThread)), &module);
    return module;
}

// *found tells whether the event existed already, created by another party.
OwnedHandle createEvent(const char* prefix, const char* model, const char* port, SecurityContext* security,
                        bool* found) {
    SECURITY_ATTRIBUTES attributes = {};
    const bool secured = BuildSharedObjectSecurity(security, &attributes);
    const std::string name = buildObjectName(prefix, model, port);
    OwnedHandle event(CreateEventA(secured ? &attributes : nullptr, FALSE, FALSE, name.c_str()));
    *found = event && GetLastError() == ERROR_ALREADY_EXISTS;
    return event;
}

}  // namespace

BOOL StartEventChannel(const char* modelName, const char* portName, NotificationTargets* targets) {
    StopEventChannel();
    ChannelState& s = g_channel;
    auto objects = std::make_shared<ChannelObjects>();

    SECURITY_ATTRIBUTES attributes = {};
    const bool secured = BuildSharedObjectSecurity(&s.recordSecurity, &attributes);
    const std::string recordName = buildObjectName(kRecordPrefix, modelName, portName);
    objects->mapping.reset(CreateFileMappingA(INVALID_HANDLE_VALUE, secured ? &attributes : nullptr,
                                              PAGE_READWRITE, 0, kEventRecordSize, recordName.c_str()));
    if (!objects->mapping) {
        traceLine("CreateFileMapping error.");
        return FALSE;
    }
    bool libraryEventFound = false;
    objects->driverEvent = createEvent(kDriverEventPrefix, modelName, portName, &s.driverEventSecurity,
                                       &objects->driverEventFound);
    objects->libraryEvent = createEvent(kLibraryEventPrefix, modelName, portName, &s.libraryEventSecurity,
                                        &libraryEventFound);
    objects->stopEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!objects->driverEvent || !objects->libraryEvent || !objects->stopEvent) {
        traceLine("m_hNotifyEvent** creation failed");
        return FALSE;  // the owners close what was created
    }
    // A signal left over from before this channel is no event of this camera.
    ResetEvent(objects->driverEvent.get());

    // The flag is up from here on, so a driver never sees a running channel
    // that is not listening yet.
    objects->withRecord([](BYTE* record) { writeWord(record, kListeningOffset, 1); });
    OwnedModule module(referenceThisModule());
    auto start = std::make_unique<ThreadStart>(ThreadStart{objects, targets, module.get()});
    DWORD threadId = 0;
    OwnedHandle thread(CreateThread(nullptr, 0, notificationThread, start.get(), 0, &threadId));
    if (!thread) {
        objects->leave();
        return FALSE;
    }
    start.release();  // the thread owns both now
    module.release();
    AcquireSRWLockExclusive(&s.lock);
    s.objects = std::move(objects);
    s.thread = std::move(thread);
    s.threadId = threadId;
    ReleaseSRWLockExclusive(&s.lock);
    return TRUE;
}

BOOL StopEventChannel() {
    ChannelState& s = g_channel;
    AcquireSRWLockExclusive(&s.lock);
    std::shared_ptr<ChannelObjects> objects = std::move(s.objects);
    OwnedHandle thread = std::move(s.thread);
    const DWORD threadId = s.threadId;
    s.threadId = 0;
    ReleaseSRWLockExclusive(&s.lock);
    if (!objects) return TRUE;

    // A stop from a callback on the notification thread cannot wait for
    // itself: the thread answers the event in delivery once the callback
    // returns, then leaves.
    const bool fromCallback = threadId == GetCurrentThreadId();
    objects->stop(fromCallback);
    if (fromCallback) return TRUE;
    if (thread) WaitForSingleObject(thread.get(), kStopWaitMs);
    return TRUE;
}

void ShutdownEventChannel() {
    StopEventChannel();
    g_channel.recordSecurity.release();
    g_channel.driverEventSecurity.release();
    g_channel.libraryEventSecurity.release();
}

}  // namespace bv
