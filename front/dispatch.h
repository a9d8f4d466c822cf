// The port dispatch shared by the table operations: serial port type hands
// the call to the serial library's slot of the same number with exactly the
// caller's arguments, USB runs the library's own road, and any other port
// type does nothing and returns 0.
#pragma once

#include "../Common/trace.h"
#include "guarded_call.h"
#include "process_state.h"

namespace bv {

// Calls the serial library's slot, returning its result unchanged. Only the
// pass-through is defined; with no table loaded (a failed serial open) the
// call reports the missing library instead of calling through nothing.
template <class Slot, class... Args>
DWORD forwardToSerial(Slot bvlBaseAPI::*slot, Args... args) {
    const bvlBaseAPI* table = processState().serialBaseAPI;
    if (!table) return BVL_E_SERIAL_LIBRARY_MISSING;
    return (table->*slot)(args...);
}

template <class Slot, class UsbRoad, class... Args>
DWORD dispatchOperation(const char* entryText, Slot bvlBaseAPI::*slot, UsbRoad usbRoad,
                        Args... args) noexcept {
    traceLine(entryText);
    return runGuarded([&]() -> DWORD {
        switch (processState().portType) {
        case BVL_PORT_SERIAL:
            return forwardToSerial(slot, args...);
        case BVL_PORT_USB:
            return usbRoad(args...);
        default:
            return 0;
        }
    });
}

// For the operations that forward only while the serial table is loaded;
// without it they do nothing and return 0.
template <class Slot, class UsbRoad, class... Args>
DWORD dispatchIfSerialLoaded(const char* entryText, Slot bvlBaseAPI::*slot, UsbRoad usbRoad,
                             Args... args) noexcept {
    if (processState().portType == BVL_PORT_SERIAL && !processState().serialBaseAPI) {
        traceLine(entryText);
        return 0;
    }
    return dispatchOperation(entryText, slot, usbRoad, args...);
}

}  // namespace bv
