// Records that end right before a page no one may touch, so that a call
// that writes or reads past the end of a record it was given faults at
// once instead of landing unnoticed in a neighbour; and the fixture of the
// suites that hand such records to every export.
#pragma once

#include <cstddef>
#include <vector>

#include "tests/support/camera_world.h"

namespace bvtest {

// Each allocation is cleared, ends where its PAGE_NOACCESS guard page
// begins, and is released with the owner.
class GuardedRecords {
public:
    GuardedRecords() = default;
    GuardedRecords(const GuardedRecords&) = delete;
    GuardedRecords& operator=(const GuardedRecords&) = delete;
    ~GuardedRecords();

    void* allocate(size_t size);
    template <class T>
    T* make(size_t size = sizeof(T)) { return static_cast<T*>(allocate(size)); }
    template <class T>
    T* copy(const T& value) { return static_cast<T*>(copyBytes(&value, sizeof value)); }
    // The bytes of a text or byte array, terminators included.
    template <class T, size_t N>
    T* copy(const T (&values)[N]) { return static_cast<T*>(copyBytes(values, sizeof values)); }

private:
    void* copyBytes(const void* from, size_t size);

    std::vector<void*> regions_;
};

}  // namespace bvtest

// The USB road, with the records handed to the library in guarded memory.
class BoundaryTest : public UsbRoadTest {
protected:
    bvtest::GuardedRecords records_;
};
