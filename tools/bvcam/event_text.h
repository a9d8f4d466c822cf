// Camera events as the notification callback receives them, decoded into
// a line of text.
#pragma once

#include <windows.h>

#include <string>

// True for an event of the final class (the camera went away): no event
// follows it.
bool isFinalEvent(DWORD code);

// "battery: normal", "battery: low (mains adapter)", "camera time-out",
// "disconnected", or the raw code and data size for other events. data
// may be null; only size bytes of it are read.
std::string describeCameraEvent(DWORD code, const void* data, DWORD size);
