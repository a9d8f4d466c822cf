// Port descriptors that the library fills in by itself: the defaults that
// stand in when nothing is stored, used by the port requests and by the
// communication settings dialog.
#pragma once

#include "bvcl2sti.h"

namespace bv {

constexpr DWORD kDefaultUsbModelID = 0x70333036;  // model of a USB default port without one
constexpr DWORD kPortKindSerial = 1;               // kinds asked for by callers
constexpr DWORD kPortKindUsb = 2;

// Clears port and fills the default of a kind: kPortKindUsb gives port type
// USB, "USB", the model ID (kDefaultUsbModelID for 0) and no device name;
// any other kind gives the serial default (COM1, 8/1/0/3, 115200 baud).
void fillDefaultPort(bvlCameraPort* port, DWORD modelID, DWORD kind);

}  // namespace bv
