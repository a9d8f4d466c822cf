// Why the Still Image service could not list its devices, found by asking
// it once more the way bvcl2sti.dll does (the same Sti.dll, the same
// calls), so that the tool can name the call that failed and say what to
// do about it.
#pragma once

#include <windows.h>

#include <string>

struct StillImageProbe {
    std::string library;     // the Sti.dll loaded in this process; empty when none is
    std::string failedCall;  // empty when every call succeeded
    HRESULT result = S_OK;   // what the failed call returned
    DWORD devices = 0;       // devices listed when every call succeeded
};

StillImageProbe probeStillImage();

// The probe in words: the call, its result, and the way out (the camera's
// driver, or the simulator's Sti.dll).
std::string describeStillImageProbe(const StillImageProbe& probe);
