// The simulated camera that the benchmarks run against: the Still Image
// stand-in loaded beside the program (WINEDLLOVERRIDES=sti=n), reset, and
// its camera opened.
#pragma once

#include <windows.h>

#include <cstdio>

#include "sim/camera/bvsim.h"
#include "sti/sti_private.h"

namespace bvbench {

// The stand-in's module with the camera open, or null after a line on
// the output saying why.
inline HMODULE openBenchCamera() {
    HMODULE sti = LoadLibraryW(L"Sti.dll");
    if (!sti || simCounter("sti.library") == 0) {
        std::printf("the Still Image stand-in is not the Sti.dll loaded\n");
        if (sti) FreeLibrary(sti);
        return nullptr;
    }
    simReset();
    if (bv::openDeviceByModel(sti, "Brivant 350") != 0) {
        std::printf("cannot open the simulated camera\n");
        FreeLibrary(sti);
        return nullptr;
    }
    return sti;
}

inline void closeBenchCamera(HMODULE sti) {
    bv::releaseStiObjects();
    FreeLibrary(sti);
}

}  // namespace bvbench
