// One pointer-sized value per thread in a TLS slot of the library's own:
// 0 on every thread until that thread sets it, and gone with the thread,
// so a later thread that reuses the id starts from 0 again. The slot is
// taken when the object is built (at load, for a namespace-scope object)
// and given back when it goes; without a free slot the value reads 0 and
// available() is false.
#pragma once

#include <windows.h>

namespace bv {

class ThreadValue {
public:
    ThreadValue() : slot_(TlsAlloc()) {}
    ~ThreadValue() {
        if (available()) TlsFree(slot_);
    }
    ThreadValue(const ThreadValue&) = delete;
    ThreadValue& operator=(const ThreadValue&) = delete;

    bool available() const { return slot_ != TLS_OUT_OF_INDEXES; }
    // TlsGetValue clears the thread's last error; the caller's stays.
    UINT_PTR get() const {
        if (!available()) return 0;
        const DWORD saved = GetLastError();
        const auto value = reinterpret_cast<UINT_PTR>(TlsGetValue(slot_));
        SetLastError(saved);
        return value;
    }
    void set(UINT_PTR value) {
        if (available()) TlsSetValue(slot_, reinterpret_cast<void*>(value));
    }

private:
    DWORD slot_;
};

}  // namespace bv
