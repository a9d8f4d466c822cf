#include "twain_harness.h"

#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "sim/camera/bvsim.h"
#include "tests/support/product_library.h"

namespace twaintest {

namespace {

LONG g_liveBlocks = 0;
TwainSession* g_session = nullptr;  // the session whose manager the source calls

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

const std::filesystem::path kCards = BV_SAMPLE_CARDS;

void collect(const std::filesystem::path& folder, const std::string& cameraPath, std::vector<CardPicture>& out) {
    std::vector<std::filesystem::directory_entry> entries(std::filesystem::directory_iterator(folder), {});
    std::sort(entries.begin(), entries.end());
    for (const auto& e : entries) {
        const std::string name = e.path().filename().string();
        if (e.is_directory()) continue;
        std::string upper = name;
        for (char& c : upper) c = static_cast<char>(toupper(c));
        if (upper.size() < 4 || upper.substr(upper.size() - 4) != ".JPG") continue;
        std::ifstream file(e.path(), std::ios::binary);
        out.push_back({cameraPath + "\\" + name, std::vector<BYTE>(std::istreambuf_iterator<char>(file), {})});
    }
    for (const auto& e : entries)
        if (e.is_directory()) collect(e.path(), cameraPath + "\\" + e.path().filename().string(), out);
}

}  // namespace

void insertSampleCards() {
    const std::wstring slot1 = (kCards / "slot1").wstring(), slot2 = (kCards / "slot2").wstring();
    const SimCardSlot cards[] = {{"CF", slot1.c_str(), 64u << 20, 0}, {"SD", slot2.c_str(), 64u << 20, 0}};
    ASSERT_TRUE(simSetCards(cards, 2));
}

std::vector<CardPicture> samplePictures() {
    std::vector<CardPicture> pictures;
    collect(kCards / "slot1", "CF", pictures);
    collect(kCards / "slot2", "SD", pictures);
    return pictures;
}

TwainSession::TwainSession(Manager manager) : manager_(manager) {
    module_ = LoadLibraryW((bvtest::executableFolder() + L"bvcl2sti.ds").c_str());
    if (module_) entry_ = reinterpret_cast<DSENTRYPROC>(reinterpret_cast<void*>(GetProcAddress(module_, "DS_Entry")));
    application_.Id = 1;
    application_.ProtocolMajor = TWON_PROTOCOLMAJOR;
    application_.ProtocolMinor = TWON_PROTOCOLMINOR;
    application_.SupportedGroups = DG_CONTROL | DG_IMAGE | (manager == Manager::Version2 ? DF_APP2 | DF_DSM2 : 0);
    std::strcpy(application_.ProductName, "Test application");
    source_.Id = 2;
    thread_ = GetCurrentThreadId();
    g_session = this;
}

TwainSession::~TwainSession() {
    g_session = nullptr;
    if (module_) FreeLibrary(module_);
}

TW_UINT16 TwainSession::call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    return entry_(&application_, dg, dat, msg, data);
}

TW_UINT16 TwainSession::condition() {
    TW_STATUS status = {};
    EXPECT_EQ(TWRC_SUCCESS, call(DG_CONTROL, DAT_STATUS, MSG_GET, &status));
    return status.ConditionCode;
}

TW_UINT16 TwainSession::open() {
    if (manager_ == Manager::Version2) {
        TW_ENTRYPOINT entry = {sizeof entry, managerEntry, managerAllocate, managerFree, managerLock, managerUnlock};
        if (TW_UINT16 rc = call(DG_CONTROL, DAT_ENTRYPOINT, MSG_SET, &entry)) return rc;
    }
    return call(DG_CONTROL, DAT_IDENTITY, MSG_OPENDS, &source_);
}

TW_UINT16 TwainSession::enable(bool showUI) {
    TW_USERINTERFACE ui = {static_cast<TW_BOOL>(showUI), FALSE, nullptr};
    return call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDS, &ui);
}

TW_UINT16 TwainSession::waitNotification(DWORD timeoutMs) {
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

TW_UINT16 WINAPI TwainSession::managerEntry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                            TW_UINT16 msg, TW_MEMREF data) {
    // The source must name itself and the application, on the
    // application's thread, with the data argument of DAT_NULL.
    EXPECT_TRUE(g_session && origin && dest);
    if (!g_session || !origin || !dest) return TWRC_FAILURE;
    EXPECT_EQ(g_session->source_.Id, origin->Id);
    EXPECT_EQ(g_session->application_.Id, dest->Id);
    EXPECT_EQ(DG_CONTROL, dg);
    EXPECT_EQ(DAT_NULL, dat);
    EXPECT_EQ(nullptr, data);
    EXPECT_EQ(g_session->thread_, GetCurrentThreadId()) << "a notification from another thread";
    g_session->notifications_.push_back(msg);
    return TWRC_SUCCESS;
}

TW_HANDLE TwainSession::allocate(TW_UINT32 size) {
    return manager_ == Manager::Version2 ? managerAllocate(size) : GlobalAlloc(GHND, size);
}

void TwainSession::release(TW_HANDLE handle) {
    if (manager_ == Manager::Version2) managerFree(handle);
    else GlobalFree(handle);
}

LONG TwainSession::liveBlocks() { return g_liveBlocks; }

TwainSession::Answer TwainSession::capability(TW_UINT16 cap, TW_UINT16 msg) {
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

TW_UINT16 TwainSession::set(TW_UINT16 cap, TW_UINT16 conType, TW_UINT16 type, const void* after, size_t size) {
    TW_CAPABILITY c = {cap, conType, allocate(static_cast<TW_UINT32>(2 + size))};
    auto* block = static_cast<BYTE*>(GlobalLock(c.hContainer));
    std::memcpy(block, &type, 2);
    std::memcpy(block + 2, after, size);
    GlobalUnlock(c.hContainer);
    const TW_UINT16 rc = call(DG_CONTROL, DAT_CAPABILITY, MSG_SET, &c);
    release(c.hContainer);
    return rc;
}

TW_UINT16 TwainSession::setOne(TW_UINT16 cap, TW_UINT16 type, TW_UINT32 item) {
    return set(cap, TWON_ONEVALUE, type, &item, sizeof item);
}

TW_UINT16 TwainSession::setArray(TW_UINT16 cap, TW_UINT16 type, const std::vector<TW_UINT32>& items) {
    std::vector<BYTE> after(4 + 2 * items.size());  // NumItems, then 16-bit items
    const TW_UINT32 count = static_cast<TW_UINT32>(items.size());
    std::memcpy(after.data(), &count, 4);
    for (size_t i = 0; i < items.size(); ++i) std::memcpy(&after[4 + 2 * i], &items[i], 2);
    return set(cap, TWON_ARRAY, type, after.data(), after.size());
}

TW_UINT16 TwainSession::setText(TW_UINT16 cap, const char* text) {
    TW_STR32 item = {};
    lstrcpynA(item, text, sizeof item);
    return set(cap, TWON_ONEVALUE, TWTY_STR32, item, sizeof item);
}

}  // namespace twaintest
