// Owners for Windows resources: one template, one traits struct per kind.
// An owner is move-only; get() lends the value, release() gives it away,
// reset() closes early and put() empties the owner and hands out the
// address of its value for an out-parameter.
#pragma once

#include <windows.h>

namespace bv {

template <class Traits>  // Traits: Value, empty(), close(Value)
class Owned {
public:
    using Value = typename Traits::Value;

    Owned() = default;
    explicit Owned(Value v) : v_(v) {}
    Owned(Owned&& o) noexcept : v_(o.release()) {}
    Owned& operator=(Owned&& o) noexcept {
        reset(o.release());
        return *this;
    }
    Owned(const Owned&) = delete;
    Owned& operator=(const Owned&) = delete;
    ~Owned() { reset(); }

    Value get() const { return v_; }
    explicit operator bool() const { return v_ != Traits::empty(); }
    Value release() {
        Value v = v_;
        v_ = Traits::empty();
        return v;
    }
    Value* put() {
        reset();
        return &v_;
    }
    void reset(Value v = Traits::empty()) {
        if (v_ != Traits::empty()) {
            DWORD saved = GetLastError();  // cleanup must not hide the error
            Traits::close(v_);
            SetLastError(saved);
        }
        v_ = v;
    }

private:
    Value v_ = Traits::empty();
};

struct KernelHandle {  // events, mappings, threads: null means none
    using Value = HANDLE;
    static HANDLE empty() { return nullptr; }
    static void close(HANDLE h) { CloseHandle(h); }
};
using OwnedHandle = Owned<KernelHandle>;

struct ModuleHandle {  // LoadLibrary results
    using Value = HMODULE;
    static HMODULE empty() { return nullptr; }
    static void close(HMODULE h) { FreeLibrary(h); }
};
using OwnedModule = Owned<ModuleHandle>;

struct MappedView {  // MapViewOfFile results
    using Value = void*;
    static void* empty() { return nullptr; }
    static void close(void* view) { UnmapViewOfFile(view); }
};
using OwnedView = Owned<MappedView>;

struct SidPointer {  // AllocateAndInitializeSid results
    using Value = PSID;
    static PSID empty() { return nullptr; }
    static void close(PSID sid) { FreeSid(sid); }
};
using OwnedSid = Owned<SidPointer>;

struct LocalMemory {  // LocalAlloc blocks, access lists from SetEntriesInAclA
    using Value = HLOCAL;
    static HLOCAL empty() { return nullptr; }
    static void close(HLOCAL block) { LocalFree(block); }
};
using OwnedLocal = Owned<LocalMemory>;

struct FileHandle {  // CreateFile results: INVALID_HANDLE_VALUE means none
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
using OwnedFile = Owned<FileHandle>;

struct GdiObject {  // brushes, pens, fonts made by the caller
    using Value = HGDIOBJ;
    static HGDIOBJ empty() { return nullptr; }
    static void close(HGDIOBJ object) { DeleteObject(object); }
};
using OwnedGdiObject = Owned<GdiObject>;

struct WindowsHook {  // SetWindowsHookEx results
    using Value = HHOOK;
    static HHOOK empty() { return nullptr; }
    static void close(HHOOK hook) { UnhookWindowsHookEx(hook); }
};
using OwnedHook = Owned<WindowsHook>;

// First error wins: a later failure only replaces success. Both arguments
// are evaluated, so a release step passed as the second always runs.
inline DWORD keepFirst(DWORD sofar, DWORD next) { return sofar != 0 ? sofar : next; }

}  // namespace bv
