// Port selection and the model selector, which run whatever the port type.
#pragma once

#include "bvcl2sti.h"

namespace bv {

// The descriptor that request asks for (see baseGetDevicePort); the
// caller has zeroed it.
DWORD lookUpDevicePort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort* port, DWORD wantedKind);

// Reads the model's name into currentModelName for later USB opens.
DWORD selectCameraModel(DWORD modelID);

}  // namespace bv
