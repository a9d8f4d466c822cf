// Which installed camera model "--port usb" means: the first device the
// Still Image service lists whose description names a model installed for
// USB, or why there is none.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "model_list.h"

struct UsbModelMatch {
    DWORD modelID = 0;    // 0 when no device matched
    std::string problem;  // why not, in words, when modelID is 0
};

// offered: the descriptions of the Orvel cameras the Still Image service
// lists (the library's USB model list).
UsbModelMatch matchConnectedModel(const std::vector<std::string>& offered,
                                  const std::vector<InstalledModel>& installed);
