// Records that end right before a page no one may touch, so that a call
// that writes or reads past the end of a record it was given faults at
// once instead of landing unnoticed in a neighbour; and the fixture of the
// suites that hand such records to every export.
#pragma once

#include <atomic>
#include <cstring>
#include <memory>
#include <vector>

#include "tests/support/camera_world.h"

namespace bvtest {

// Each record is cleared, ends where its PAGE_NOACCESS guard page begins
// and is released with the owner. A touch of a guard page is counted and
// the page opened, so the call goes on and the test, not the process,
// fails (under Wine a process that dies of a fault may still exit with 0).
class GuardedRecords {
public:
    GuardedRecords() : handler_(AddVectoredExceptionHandler(1, onFault)) {}
    ~GuardedRecords() { RemoveVectoredExceptionHandler(handler_); }
    GuardedRecords(const GuardedRecords&) = delete;
    GuardedRecords& operator=(const GuardedRecords&) = delete;
    static LONG overruns() { return overruns_.load(); }

    template <class T = BYTE>
    T* make(size_t size = sizeof(T)) {
        const size_t page = 4096, usable = (size + page - 1) / page * page;
        auto* region = static_cast<BYTE*>(VirtualAlloc(nullptr, usable + page, MEM_COMMIT, PAGE_READWRITE));
        DWORD old = 0;
        if (!region || !VirtualProtect(region + usable, page, PAGE_NOACCESS, &old)) return nullptr;
        regions_.emplace_back(region);
        return reinterpret_cast<T*>(region + usable - size);
    }
    // A copy of a record, or of a text or byte array with its terminators.
    template <class T>
    T* copy(const T& value) { return static_cast<T*>(std::memcpy(make<T>(), &value, sizeof value)); }
    template <class T, size_t N>
    T* copy(const T (&values)[N]) { return static_cast<T*>(std::memcpy(make<T>(sizeof values), values, sizeof values)); }

private:
    static LONG CALLBACK onFault(EXCEPTION_POINTERS* e) {
        const EXCEPTION_RECORD& r = *e->ExceptionRecord;
        MEMORY_BASIC_INFORMATION m;
        DWORD old = 0;
        if (r.ExceptionCode != EXCEPTION_ACCESS_VIOLATION || r.NumberParameters < 2 ||
            !VirtualQuery(reinterpret_cast<void*>(r.ExceptionInformation[1]), &m, sizeof m) ||
            m.State != MEM_COMMIT || m.Protect != PAGE_NOACCESS ||
            !VirtualProtect(m.BaseAddress, m.RegionSize, PAGE_READWRITE, &old))
            return EXCEPTION_CONTINUE_SEARCH;
        ++overruns_;
        return EXCEPTION_CONTINUE_EXECUTION;
    }
    static inline std::atomic<LONG> overruns_{0};
    void* handler_;
    struct Free { void operator()(BYTE* region) const { VirtualFree(region, 0, MEM_RELEASE); } };
    std::vector<std::unique_ptr<BYTE, Free>> regions_;
};

}  // namespace bvtest

// The USB road, with the records handed to the library in guarded memory.
class BoundaryTest : public UsbRoadTest {
protected:
    void TearDown() override {
        EXPECT_EQ(overrunsBefore_, records_.overruns()) << "a call touched the bytes after a guarded record";
        UsbRoadTest::TearDown();
    }
    bvtest::GuardedRecords records_;
    const LONG overrunsBefore_ = records_.overruns();
};
