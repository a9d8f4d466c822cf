// The camera models installed on this machine, as the installer lists them
// under HKEY_LOCAL_MACHINE\Software\Orvel\Brivant\BVLL.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct InstalledModel {
    DWORD modelID;
    std::string name;
    DWORD installMethod;  // bit 0 RS-232C, bit 1 USB
};

// False when the model list key does not exist.
bool readInstalledModels(std::vector<InstalledModel>& models);
