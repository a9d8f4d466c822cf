// A TWAIN source manager and application in one, for the programs that
// drive bvcl2sti.ds without a manager of the platform: the tests and
// bvbench. It plays their side of the protocol as the TWAIN standard lays
// it down: it loads the source by full path and calls DS_Entry with the
// application's identity; as a version 2 manager it hands over its entry
// point and memory functions and takes the source's notifications as
// DAT_NULL; as a version 1 manager it does neither, and the application
// passes every message of its loop to DAT_EVENT. What the source does
// against the protocol in a notification is noted, not thrown.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "twain/twain_types.h"

namespace bvtwain {

enum class Manager { Version1, Version2 };

class TwainHost {
public:
    TwainHost(const std::wstring& sourcePath, Manager manager);
    ~TwainHost();
    TwainHost(const TwainHost&) = delete;
    TwainHost& operator=(const TwainHost&) = delete;

    bool loaded() const { return entry_ != nullptr; }
    TW_UINT16 call(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    // The condition DAT_STATUS reports now; TWCC_BUMMER when it fails.
    TW_UINT16 condition();
    // MSG_OPENDS (after DAT_ENTRYPOINT for a version 2 manager).
    TW_UINT16 open();
    TW_UINT16 enable(bool showUI = false);
    // Runs the application's message loop until the source sends a
    // notification or timeoutMs pass; MSG_NULL for none.
    TW_UINT16 waitNotification(DWORD timeoutMs = 5000);

    // Capabilities: the container an operation answered with (freed here).
    struct Answer {
        TW_UINT16 rc, conType, itemType;
        std::vector<TW_UINT32> items;      // one value, the list, or the array
        TW_UINT32 current = 0, deflt = 0;  // for an enumeration: indexes
        std::string text;                  // for a string item
    };
    Answer capability(TW_UINT16 cap, TW_UINT16 msg);
    TW_UINT16 setOne(TW_UINT16 cap, TW_UINT16 type, TW_UINT32 item);
    TW_UINT16 setArray(TW_UINT16 cap, TW_UINT16 type, const std::vector<TW_UINT32>& items);
    TW_UINT16 setText(TW_UINT16 cap, const char* text);

    // Frees a block the source handed out, as the application does.
    void freeBlock(TW_HANDLE handle) { release(handle); }
    // Blocks the manager's memory functions handed out and did not get back.
    static LONG liveBlocks();
    const TW_IDENTITY& sourceIdentity() const { return source_; }
    // What the source's notifications did against the protocol: a wrong
    // origin or destination, another triplet than DAT_NULL, data, or a call
    // from another thread than the application's. Empty when none.
    const std::string& protocolFaults() const { return faults_; }

private:
    // MSG_SET with a container of conType: the item type, then the bytes.
    TW_UINT16 set(TW_UINT16 cap, TW_UINT16 conType, TW_UINT16 type, const void* after, size_t size);
    TW_HANDLE allocate(TW_UINT32 size);
    void release(TW_HANDLE handle);
    TW_UINT16 notified(const TW_IDENTITY* origin, const TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                       TW_UINT16 msg, TW_MEMREF data);
    static TW_UINT16 WINAPI managerEntry(TW_IDENTITY* origin, TW_IDENTITY* dest, TW_UINT32 dg, TW_UINT16 dat,
                                         TW_UINT16 msg, TW_MEMREF data);

    Manager manager_;
    HMODULE module_ = nullptr;
    DSENTRYPROC entry_ = nullptr;
    TW_IDENTITY application_ = {};
    TW_IDENTITY source_ = {};
    std::vector<TW_UINT16> notifications_;
    std::string faults_;
    DWORD thread_ = 0;  // the application's
};

}  // namespace bvtwain
