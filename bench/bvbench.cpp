// bvbench: what each cost a caller of bvcl2sti.dll pays, against the floor
// that the simulated device allows, in one run. Prints one table (or, with
// --json, the same as JSON); --quick runs few rounds. "bvbench twain" measures
// the TWAIN data source instead. Run in the build's
// bin folder beside Sti.dll with WINEDLLOVERRIDES=sti=n.
//
// Exit codes: 0 every measurement ran (whether or not its target was met),
// 1 a step failed, 2 wrong usage or no stand-in.
#include <cstdio>
#include <cstring>

#include "bench_runs.h"

namespace bvbench {
namespace {

bool g_allSucceeded = true;
constexpr char kModelName[] = "Brivant 350";  // the stand-in's camera

struct Options {
    bool quick = false;
    bool json = false;
};

bool parseOptions(int argc, char** argv, Options& options) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quick") == 0)
            options.quick = true;
        else if (std::strcmp(argv[i], "--json") == 0)
            options.json = true;
        else
            return false;
    }
    return true;
}

// Everything but the start, with the library loaded and the camera open.
void measureOpenCamera(bool quick, std::vector<Figure>& figures) {
    Library library;
    FloorDevice floor;
    if (!library.load() || !floor.open()) {
        succeeded(E_FAIL, "loading the library and the stand-in");
        return;
    }
    if (!succeeded(openUsbCamera(library.base, eventCallback(), 0), "opening the camera")) return;
    const Setup setup = {library.base, library.factry, &floor, quick};
    measureCommands(setup, figures);
    measureBulk(setup, figures);
    measureViewFinder(setup, figures);
    measureEvents(setup, kModelName, figures);
    measureMessages(setup, figures);
    measureSlowDevice(setup, figures);
    succeeded(library.base->baseCloseCameraComm(kUsbCamera), "closing the camera");
}

}  // namespace

bool succeeded(DWORD rc, const char* what) {
    if (rc == 0) return true;
    if (g_allSucceeded) std::fprintf(stderr, "bvbench: %s failed: 0x%08lx\n", what, static_cast<unsigned long>(rc));
    g_allSucceeded = false;
    return false;
}

bool allSucceeded() { return g_allSucceeded; }

}  // namespace bvbench

int main(int argc, char** argv) {
    using namespace bvbench;
    if (argc > 1 && std::strcmp(argv[1], "--driver") == 0) return runDriverProcess(argc - 2, argv + 2);
    const bool twain = argc > 1 && std::strcmp(argv[1], "twain") == 0;
    Options options;
    if (!parseOptions(argc - twain, argv + twain, options)) {
        std::fprintf(stderr, "usage: bvbench [twain] [--quick] [--json]\n");
        return 2;
    }
    if (simCounter("sti.library") != 0 || GetModuleHandleW(L"bvcl2sti.dll")) return 2;
    simReset();
    std::vector<Figure> figures;
    if (twain) {
        measureTwain(options.quick, figures);
    } else {
        measureStart(options.quick, figures);
        measureOpenCamera(options.quick, figures);
    }
    if (options.json)
        printJson(figures, stdout);
    else
        printTable(figures, stdout);
    return allSucceeded() ? 0 : 1;
}
