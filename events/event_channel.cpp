#include "event_channel.h"

#include <cstring>
#include <memory>
#include <new>

#include "../Common/owned.h"
#include "../Common/trace.h"
#include "event_record.h"
#include "object_security.h"

namespace bv {
namespace {

// How long a stop waits for the thread to leave a callback or a dialog
// message before it lets the thread finish on its own.
constexpr DWORD kStopWaitMs = 5000;

// The named objects and the stop signal, shared by the channel's owner and
// the notification thread. Whichever closes the named objects first (the
// thread after a final event, or a stop) does so under the lock; the other
// then finds them gone. The last of the two to let go frees the struct.
class ChannelObjects {
public:
    ChannelObjects() { InitializeCriticalSection(&lock_); }
    ~ChannelObjects() { DeleteCriticalSection(&lock_); }
    ChannelObjects(const ChannelObjects&) = delete;
    ChannelObjects& operator=(const ChannelObjects&) = delete;

    OwnedHandle mapping;
    OwnedHandle driverEvent;   // driver to library
    OwnedHandle libraryEvent;  // library to driver
    OwnedHandle stopEvent;     // unnamed: asks the thread to leave

    // Maps the record; an empty owner when the objects are closed or the
    // view cannot be had.
    OwnedView mapRecord() {
        Guard g(lock_);
        if (!mapping) return OwnedView();
        return OwnedView(MapViewOfFile(mapping.get(), FILE_MAP_ALL_ACCESS, 0, 0, kEventRecordSize));
    }

    void setListening(DWORD flag) {
        OwnedView view = mapRecord();
        if (view) writeWord(static_cast<BYTE*>(view.get()), kListeningOffset, flag);
    }

    void answerDriver() {
        Guard g(lock_);
        if (libraryEvent) SetEvent(libraryEvent.get());
    }

    void closeNamedObjects() {
        Guard g(lock_);
        driverEvent.reset();
        libraryEvent.reset();
        mapping.reset();
    }

private:
    class Guard {
    public:
        explicit Guard(CRITICAL_SECTION& cs) : cs_(cs) { EnterCriticalSection(&cs_); }
        ~Guard() { LeaveCriticalSection(&cs_); }
        Guard(const Guard&) = delete;
        Guard& operator=(const Guard&) = delete;

    private:
        CRITICAL_SECTION& cs_;
    };
    CRITICAL_SECTION lock_;
};

struct ThreadStart {
    std::shared_ptr<ChannelObjects> objects;
    NotificationTargets* targets;
    HMODULE module;  // a reference that keeps this module loaded while the thread runs
};

struct ChannelState {
    std::shared_ptr<ChannelObjects> objects;
    OwnedHandle thread;
    DWORD threadId = 0;
    SecurityContext recordSecurity, driverEventSecurity, libraryEventSecurity;
};

ChannelState g_channel;

// Delivers one event: dialog first, then the callback, whose answer goes
// over the code. No callback registered answers 0. The data buffer is at
// least as large as the size the callback is told, so a callback that
// trusts the size reads zeros past the 56 bytes the record holds.
void deliver(NotificationTargets& targets, BYTE* record, DWORD* code) {
    const EventCopy event = readEvent(record);
    *code = event.code;
    const DWORD told = event.size < 0x10000 ? event.size : 0x10000;
    std::unique_ptr<BYTE[]> data(new (std::nothrow) BYTE[told > kEventDataSize ? told : kEventDataSize]());
    if (!data) return;
    std::memcpy(data.get(), event.data, kEventDataSize);

    HWND window = targets.settingsDialogWindow.load();
    UINT message = targets.cameraNotificationMessage.load();
    if (window && message) {
        DWORD first;
        std::memcpy(&first, data.get(), sizeof first);
        SendMessageA(window, message, first, event.code);
    }
    DWORD answer = 0;
    if (bvlNotifyCB callback = targets.notifyCallback.load())
        answer = callback(event.code, data.get(), told, targets.notifyContext.load());
    writeWord(record, kCodeOffset, answer);
}

// Delivers events until a final one or a stop; then clears the listening
// flag and closes the named objects, having answered every event it took.
void runNotifications(ThreadStart& start) {
    ChannelObjects& objects = *start.objects;
    const HANDLE waits[2] = {objects.stopEvent.get(), objects.driverEvent.get()};
    for (;;) {
        if (WaitForMultipleObjects(2, waits, FALSE, INFINITE) != WAIT_OBJECT_0 + 1) {
            if (WaitForSingleObject(objects.stopEvent.get(), 0) == WAIT_OBJECT_0) break;
            continue;
        }
        OwnedView view = objects.mapRecord();
        if (!view) {
            traceLine("Error to MapViewOfFile");
            continue;  // dropped: the driver gets no answer for it
        }
        DWORD code = 0;
        deliver(*start.targets, static_cast<BYTE*>(view.get()), &code);
        view.reset();
        objects.answerDriver();
        if (isFinalEvent(code)) break;
    }
    objects.setListening(0);
    objects.closeNamedObjects();
}

// The thread holds a reference on this module, so the library cannot be
// unloaded under it; it gives the reference back as it exits.
DWORD WINAPI notificationThread(LPVOID parameter) {
    HMODULE module = nullptr;
    {
        std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(parameter));
        module = start->module;
        runNotifications(*start);
    }
    FreeLibraryAndExitThread(module, 0);
}

HMODULE referenceThisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS,
                       reinterpret_cast<LPCSTR>(reinterpret_cast<void*>(notificationThread)), &module);
    return module;
}

OwnedHandle createEvent(const char* prefix, const char* model, const char* port, SecurityContext* security) {
    SECURITY_ATTRIBUTES attributes = {};
    const bool secured = BuildSharedObjectSecurity(security, &attributes);
    const std::string name = buildObjectName(prefix, model, port);
    return OwnedHandle(CreateEventA(secured ? &attributes : nullptr, FALSE, FALSE, name.c_str()));
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
    objects->driverEvent = createEvent(kDriverEventPrefix, modelName, portName, &s.driverEventSecurity);
    objects->libraryEvent = createEvent(kLibraryEventPrefix, modelName, portName, &s.libraryEventSecurity);
    objects->stopEvent.reset(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    if (!objects->driverEvent || !objects->libraryEvent || !objects->stopEvent) {
        traceLine("m_hNotifyEvent** creation failed");
        return FALSE;  // the owners close what was created
    }

    // The flag is up from here on, so a driver never sees a running channel
    // that is not listening yet.
    objects->setListening(1);
    OwnedModule module(referenceThisModule());
    auto start = std::make_unique<ThreadStart>(ThreadStart{objects, targets, module.get()});
    DWORD threadId = 0;
    OwnedHandle thread(CreateThread(nullptr, 0, notificationThread, start.get(), 0, &threadId));
    if (!thread) {
        objects->setListening(0);
        return FALSE;
    }
    start.release();  // the thread owns both now
    module.release();
    s.objects = std::move(objects);
    s.thread = std::move(thread);
    s.threadId = threadId;
    return TRUE;
}

BOOL StopEventChannel() {
    ChannelState& s = g_channel;
    std::shared_ptr<ChannelObjects> objects = std::move(s.objects);
    OwnedHandle thread = std::move(s.thread);
    const DWORD threadId = s.threadId;
    s.threadId = 0;
    if (!objects) return TRUE;

    objects->setListening(0);
    SetEvent(objects->stopEvent.get());
    // A stop from a callback on the notification thread cannot wait for
    // itself: the thread answers the driver once the callback returns, then
    // closes the objects and ends.
    if (threadId == GetCurrentThreadId()) return TRUE;
    if (thread) WaitForSingleObject(thread.get(), kStopWaitMs);
    objects->closeNamedObjects();  // a thread still stuck in a callback finds them gone
    return TRUE;
}

void ShutdownEventChannel() {
    StopEventChannel();
    g_channel.recordSecurity.release();
    g_channel.driverEventSecurity.release();
    g_channel.libraryEventSecurity.release();
}

}  // namespace bv
