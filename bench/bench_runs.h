// The measurements of bvbench. Each appends its figures; a step that fails
// marks the run failed and says why on the output.
#pragma once

#include <string>
#include <vector>

#include "bench_device.h"
#include "bench_figures.h"
#include "sim/camera/bvsim.h"

namespace bvbench {

struct Setup {
    const bvlBaseAPI* base = nullptr;        // the library's tables, the camera open
    const bvlNewFactryAPI* factry = nullptr;
    FloorDevice* floor = nullptr;            // the bare device
    bool quick = false;
    int rounds(int full, int few) const { return quick ? few : full; }
};

// Notes a failed step: false, after a line on the output, unless rc is 0.
bool succeeded(DWORD rc, const char* what);
// Whether every step so far succeeded.
bool allSucceeded();

// Rounds of a pair, the stand-in's logs emptied every clearEvery rounds
// (untimed), so that a long run does not grow them.
template <class Library, class Floor>
void runPairs(Figure& f, int rounds, int clearEvery, Library runLibrary, Floor runFloor) {
    alternate(rounds, f.library, f.floor, runLibrary, runFloor, [clearEvery](int round) {
        if (round % clearEvery == 0) simClearLogs();
    });
}

void measureCommands(const Setup& s, std::vector<Figure>& figures);     // read setting, 10 writes
void measureBulk(const Setup& s, std::vector<Figure>& figures);         // 64 MiB get and put
void measureViewFinder(const Setup& s, std::vector<Figure>& figures);   // frames per second
// The camera must be open with eventCallback() as its notification callback.
void measureEvents(const Setup& s, const char* modelName, std::vector<Figure>& figures);
bvlNotifyCB eventCallback();
void measureMessages(const Setup& s, std::vector<Figure>& figures);     // command 60 and 61
void measureSlowDevice(const Setup& s, std::vector<Figure>& figures);   // 35 MB/s, 1 ms
// bvbench twain: the TWAIN source's transfers per picture against the
// library's fetch; loads the library itself.
void measureTwain(bool quick, std::vector<Figure>& figures);
// Library start; runs while neither the library nor Sti.dll is loaded.
void measureStart(bool quick, std::vector<Figure>& figures);

// Shared by the bulk and slow-device figures: baseGetFile and basePutFile
// of bytes against lock, command, raw reads or writes of 5120, unlock.
Figure bulkGetFigure(const Setup& s, DWORD bytes, int rounds, const std::string& name);
Figure bulkPutFigure(const Setup& s, DWORD bytes, int rounds, const std::string& name);
// baseReadSetting against lock, command 17, unlock.
Figure readSettingFigure(const Setup& s, int rounds, const std::string& name);

// The driver's side in a process of its own (bvbench --driver ...).
int runDriverProcess(int argc, char** argv);

}  // namespace bvbench
