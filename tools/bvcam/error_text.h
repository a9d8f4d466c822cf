// Error codes as a user reads them: the code in hex, the component that
// reported it, the error's name and one plain sentence.
#pragma once

#include <windows.h>

#include <string>

// "0x0a000022 (base library, FILE_NOT_FOUND): the camera has no such file".
std::string describeError(DWORD code);

// "could not create C:\x.jpg: Access denied. (Windows error 5)" for a
// failure on this computer's side.
std::string describeHostError(const std::string& action, DWORD win32Error);
