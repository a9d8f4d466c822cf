// The port dispatch of the exported operations: the entry text goes to the
// trace hook, then the slot of the road that the port type selects runs
// with exactly the caller's arguments (roads.h), and no C++ exception
// leaves the library.
#pragma once

#include "guarded_call.h"
#include "roads.h"
#include "trace.h"

namespace bv {

template <class Slot, class... Args>
DWORD dispatch(const char* entryText, Slot bvlBaseAPI::*slot, Args... args) noexcept {
    traceLine(entryText);
    return runGuarded([&]() -> DWORD { return (selectRoad().*slot)(args...); });
}

}  // namespace bv
