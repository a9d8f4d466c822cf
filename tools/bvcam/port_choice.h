// Which port the tool talks on when --port does not say it all.
#pragma once

#include <string>

#include "bvcl2sti.h"

// The port the library stored as the last one; without one, its default
// (printing that it tries it). 0 or the library's code.
DWORD lastPort(const bvlBaseAPI& api, bvlCameraPort* port);

// A USB port without model or device ("--port usb") gets the model of the
// first USB camera the Still Image service lists whose description names
// an installed USB model. When none does, the port stays as it is and
// problem says why. 0, or the library's code for the service's list.
DWORD completeUsbPort(const bvlBaseAPI& api, bvlCameraPort* port, std::string* problem);
