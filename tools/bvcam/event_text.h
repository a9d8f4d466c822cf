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

// A power state word (as a battery event's first data word or setting 6
// gives it): the level in its low four bits (6 normal, 4 low, 3 exhausted),
// the source in its top four (1: mains adapter); 0 is not reported.
std::string describePowerState(DWORD word);
