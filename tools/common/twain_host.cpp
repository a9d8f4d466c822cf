#include "twain_host.h"

#include <cstring>

namespace bvtwain {

namespace {

LONG g_liveBlocks = 0;
TwainHost* g_host = nullptr;  // the host whose manager the source calls

TW_HANDLE WINAPI managerAllocate(TW_UINT32 size) {
    InterlockedIncrement(&g_liveBlocks);
    return GlobalAlloc(GHND, size);
}
void WINAPI managerFree(TW_HANDLE handle) {
    InterlockedDecrement(&g_liveBlocks);
    GlobalFree(handle);
}
TW_MEMREF WINAPI managerLock(TW_HANDLE handle) { return GlobalLock(handle); }
void WINAPI managerUnlock(TW_HANDLE handle) { GlobalUnlock(handle); }

}  // namespace

TwainHost::TwainHost(const std::wstring& sourcePath, Manager manager) : manager_(manager) {
    module_ = LoadLibraryW(sourcePath.c_str());
    if (module_) entry_ = reinterpret_cast<DSENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "DS_Entry")));
    application_.Id = 1;
    application_.ProtocolMajor = TWON_PROTOCOLMAJOR;
    application_.ProtocolMinor = TWON_PROTOCOLMINOR;
    application_.SupportedGroups = DG_CONTROL | DG_IMAGE | (manager == Manager::Version2 ? DF_APP2 | DF_DSM2 : 0);
    std::strcpy(application_.ProductName, "Bvcl2STI host");
    source_.Id = 2;
    thread_ = GetCurrentThreadId();
    g_host = this;
}

TwainHost::~TwainHost() {
    g_host = nullptr;
    if (module_) FreeLibrary(module_);
}

TW_UINT16 TwainHost::call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return entry_(&application_, dg, dat, msg, data);
}

TW_UINT16 TwainHost::condition() {
    TW_STATUS status = {};
    if (call(DG_CONTROL, DAT_STATUS, MSG_GET, &status) != TWRC_SUCCESS) return TWCC_BUMMER;
    return status.ConditionCode;
}

TW_UINT16 TwainHost::open() {
    if (manager_ == Manager::Version2) {
        TW_ENTRYPOINT entry = {sizeof entry, managerEntry, managerAllocate, managerFree, managerLock, managerUnlock};
        if (TW_UINT16 rc = call(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &entry)) return rc;
    }
    return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_);
}

TW_UINT16 TwainHost::enable(bool showUI) {
    TW_USERINTERFACE ui = {static_cast<TW_BOOL>(showUI), FALSE, nullptr};
    return call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_UINT16 TwainHost::waitNotification(DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (notifications_.empty() && GetTickCount() - start < timeoutMs) {
        MSG message;
        if (!PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_ALLINPUT);
            continue;
        }
        if (manager_ == Manager::Version1) {
            TW_EVENT event = {&message, MSG_NULL};
            if (call(DG_CONTROL, DAT_EVENT, MSG_PROCESSEVENT, &event) == TWRC_DSEVENT) {
                if (event.TWMessage != MSG_NULL) notifications_.push_back(event.TWMessage);
                continue;
            }
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    if (notifications_.empty()) return MSG_NULL;
    const TW_UINT16 first = notifications_.front();
    notifications_.erase(notifications_.begin());
    return first;
}

TW_UINT16 WINAPI TwainHost::managerEntry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                         TW_UINT16 msg, TW_MEMREF data) {
    return g_host ? g_host->notified(origin, dest, dg, dat, msg, data) : TWRC_FAILURE;
}

// The source must name itself and the application, on the application's
// thread, with the data argument of DAT_NULL.
TW_UINT16 TwainHost::notified(const TW_IDENTITY* origin, const TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                              TW_UINT16 msg, TW_MEMREF data) {
    auto fault = [this](const char* what) { faults_ += std::string(faults_.empty() ? "" : "; ") + what; };
    if (!origin || !dest) {
        fault("a notification without origin or destination");
        return TWRC_FAILURE;
    }
    if (origin->Id != source_.Id || dest->Id != application_.Id) fault("a notification of another identity");
    if (dg != DG_CONTROL || dat != DAT_NULL || data) fault("a notification that is not DAT_NULL");
    if (thread_ != GetCurrentThreadId()) fault("a notification from another thread");
    notifications_.push_back(msg);
    return TWRC_SUCCESS;
}

TW_HANDLE TwainHost::allocate(TW_UINT32 size) {
    return manager_ == Manager::Version2 ? managerAllocate(size) : GlobalAlloc(GHND, size);
}

void TwainHost::release(TW_HANDLE handle) {
    if (manager_ == Manager::Version2) managerFree(handle);
    else GlobalFree(handle);
}

LONG TwainHost::liveBlocks() { return g_liveBlocks; }

TwainHost::Answer TwainHost::capability(TW_UINT16 cap, TW_UINT16 msg) {
    TW_CAPABILITY c = {cap, TWON_DONTCARE16, nullptr};
    Answer a;
    a.rc = call(DG_CONTROL, DAT_CAPABILITY, msg, &c);
    a.conType = c.ConType;
    a.itemType = 0;
    if (!c.hContainer) return a;
    const auto* block = static_cast<const BYTE*>(GlobalLock(c.hContainer));
    std::memcpy(&a.itemType, block, sizeof a.itemType);
    auto item = [&](const BYTE* at) {
        TW_UINT32 v = 0;
        std::memcpy(&v, at, a.itemType == TWTY_UINT16 || a.itemType == TWTY_INT16 || a.itemType == TWTY_BOOL ? 2 : 4);
        return v;
    };
    if (c.ConType == TWON_ONEVALUE && a.itemType == TWTY_STR32) {
        a.text = reinterpret_cast<const char*>(block + 2);
    } else if (c.ConType == TWON_ONEVALUE) {
        a.items.push_back(item(block + 2));
    } else if (c.ConType == TWON_ARRAY || c.ConType == TWON_ENUMERATION) {
        const auto* e = reinterpret_cast<const TW_ENUMERATION*>(block);
        const TW_UINT32 count = c.ConType == TWON_ARRAY ? reinterpret_cast<const TW_ARRAY*>(block)->NumItems : e->NumItems;
        const BYTE* list = c.ConType == TWON_ARRAY ? reinterpret_cast<const TW_ARRAY*>(block)->ItemList : e->ItemList;
        const size_t size = a.itemType == TWTY_FIX32 ? 4 : 2;
        for (TW_UINT32 i = 0; i < count; ++i) a.items.push_back(item(list + i * size));
        if (c.ConType == TWON_ENUMERATION) a.current = e->CurrentIndex, a.deflt = e->DefaultIndex;
    }
    GlobalUnlock(c.hContainer);
    release(c.hContainer);
    return a;
}

TW_UINT16 TwainHost::set(TW_UINT16 cap, TW_UINT16 conType, TW_UINT16 type, const void* after, size_t size) {
    TW_CAPABILITY c = {cap, conType, allocate(static_cast<TW_UINT32>(2 + size))};
    auto* block = static_cast<BYTE*>(GlobalLock(c.hContainer));
    std::memcpy(block, &type, 2);
    std::memcpy(block + 2, after, size);
    GlobalUnlock(c.hContainer);
    const TW_UINT16 rc = call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
    release(c.hContainer);
    return rc;
}

TW_UINT16 TwainHost::setOne(TW_UINT16 cap, TW_UINT16 type, TW_UINT32 item) {
    return set(cap, TWON_ONEVALUE, type, &item, sizeof item);
}

TW_UINT16 TwainHost::setArray(TW_UINT16 cap, TW_UINT16 type, const std::vector<TW_UINT32>& items) {
    std::vector<BYTE> after(4 + 2 * items.size());  // NumItems, then 16-bit items
    const TW_UINT32 count = static_cast<TW_UINT32>(items.size());
    std::memcpy(after.data(), &count, 4);
    for (size_t i = 0; i < items.size(); ++i) std::memcpy(&after[4 + 2 * i], &items[i], 2);
    return set(cap, TWON_ARRAY, type, after.data(), after.size());
}

TW_UINT16 TwainHost::setText(TW_UINT16 cap, const char* text) {
    TW_STR32 item = {};
    lstrcpynA(item, text, sizeof item);
    return set(cap, TWON_ONEVALUE, TWTY_STR32, item, sizeof item);
}

}  // namespace bvtwain
