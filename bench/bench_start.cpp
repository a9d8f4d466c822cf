// Library start: LoadLibrary of bvcl2sti.dll, the first USB open and the
// close, against what the stand-ins alone take for the same: loading
// Sti.dll, creating the service and the device, the connect and the
// disconnect commands, releasing. Each round starts with neither module
// loaded (bvsim.dll stays, this program imports it); unloading is not
// timed on either side.
#include "bench_runs.h"

namespace bvbench {
namespace {

constexpr DWORD kConnect = 1;
constexpr DWORD kDisconnect = 2;

DWORD libraryStart(Library& library) {
    if (!library.load()) return E_FAIL;
    if (DWORD rc = openUsbCamera(library.base, nullptr, 0)) return rc;
    return library.base->baseCloseCameraComm(kUsbCamera);
}

HRESULT standInStart(FloorDevice& device) {
    if (!device.open()) return E_FAIL;
    const DWORD connectValue = 0;
    if (HRESULT hr = device.lockedCommand(kConnect, 4, &connectValue, nullptr, 0); FAILED(hr)) return hr;
    return device.lockedCommand(kDisconnect, 0, nullptr, nullptr, 0);
}

}  // namespace

void measureStart(bool quick, std::vector<Figure>& figures) {
    Figure f;
    f.name = "start: load, first USB open, close";
    f.against = "the stand-ins alone: load, device, connect, disconnect";
    f.timeDivisor = 1000;
    f.unit = "ms";
    f.target = 5;
    Library library;
    FloorDevice device;
    auto timeLibrary = [&] {
        f.library.add(timeUs([&] { succeeded(libraryStart(library), "the library's start"); }));
        library.unload();
    };
    auto timeStandIns = [&] {
        f.floor.add(timeUs([&] { succeeded(standInStart(device), "the stand-ins' start"); }));
        device.close();
    };
    for (int round = 0; round < (quick ? 5 : 30); ++round) {
        simClearLogs();
        if (round % 2 == 0) {
            timeLibrary();
            timeStandIns();
        } else {
            timeStandIns();
            timeLibrary();
        }
    }
    figures.push_back(f);
}

}  // namespace bvbench
