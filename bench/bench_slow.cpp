// A slow device: the stand-in at 35 MB/s of bulk data and 1 ms a command,
// about a camera on USB 2.0. What the library adds then shows as a share
// of what a real camera would take.
#include "bench_runs.h"

namespace bvbench {

void measureSlowDevice(const Setup& s, std::vector<Figure>& figures) {
    constexpr DWORD kBytes = 8u << 20;
    simSetDeviceSpeed(35000000, 1000);
    const int rounds = s.rounds(10, 1);
    Figure get = bulkGetFigure(s, kBytes, rounds, "slow device: baseGetFile 8 MiB");
    Figure put = bulkPutFigure(s, kBytes, rounds, "slow device: basePutFile 8 MiB");
    Figure read = readSettingFigure(s, s.rounds(200, 20), "slow device: baseReadSetting");
    read.unitsPerOp = 1;
    read.rateFactor = 1e6;
    read.unit = "cmd/s";
    simSetDeviceSpeed(0, 0);
    for (Figure* f : {&get, &put, &read}) {
        f->compare = Compare::Rate;
        f->target = 0.98;
        figures.push_back(*f);
    }
}

}  // namespace bvbench
