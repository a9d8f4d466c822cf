// The roads of the dispatching base operations. Each road is a table of
// the exported shape; dispatch picks one by the port type and calls its
// slot with the caller's arguments:
//   serial, table loaded   the serial library's g_bvlBaseAPI as loaded
//   serial, no table       after a failed serial open (see roads.cpp)
//   USB                    the library's own USB road
//   none                   every slot returns 0 (with the exceptions below)
// What differs from a plain slot call is said here and in roads.cpp only:
//   - slots 2, 25, 26, 27 (port selection, model selector, USB model list)
//     do not dispatch; their slots in the library's roads are null;
//   - slot 3, the open, picks its road by the descriptor, not the port type;
//   - slot 4, the close, sets the port type to none after a serial close;
//   - slot 5 zeroes the caller's descriptor before dispatching;
//   - slots 1 and 11 (model description, settings dialog) run their USB
//     road on every road but a loaded serial table (slot 11 not on serial);
//   - slot 14 keeps the notification callback here on every road but a
//     loaded serial table.
#pragma once

#include "bvcl2sti.h"

namespace bv {

// The road for the current port type.
const bvlBaseAPI& selectRoad();

// The USB road, also taken by the open of a USB descriptor.
const bvlBaseAPI& usbRoad();

// The settings dialog on every road but serial: gathers the settings
// through the dispatched operations, shows the dialog and writes back.
DWORD WINAPI showCameraSettings(DWORD camera, HWND parent);

}  // namespace bv
