// Short operations: one setting read, and a batch of ten setting writes,
// each against the lock, escape and unlock that the library makes.
#include <cstring>

#include "bench_runs.h"

namespace bvbench {
namespace {

constexpr DWORD kReadSetting = 17;
constexpr DWORD kWriteSetting = 18;
constexpr DWORD kClockSetting = BVL_SETTING_DATE_TIME;  // a word on the camera's clock
constexpr int kBatch = 10;

// The record of a setting write as the camera reads it: ID, value length,
// value.
struct SettingRecord {
    DWORD id;
    DWORD length;
    DWORD value;
};

}  // namespace

Figure readSettingFigure(const Setup& s, int rounds, const std::string& name) {
    Figure f;
    f.name = name;
    f.against = "lock, command 17, unlock";
    DWORD value = 0, reply = 0, id = kClockSetting;
    runPairs(f, rounds, 1000, [&] { succeeded(s.base->baseReadSetting(kUsbCamera, kClockSetting, &value), "baseReadSetting"); },
             [&] { succeeded(s.floor->lockedCommand(kReadSetting, sizeof id, &id, &reply, sizeof reply), "setting read"); });
    return f;
}

void measureCommands(const Setup& s, std::vector<Figure>& figures) {
    Figure read = readSettingFigure(s, s.rounds(20000, 2000), "command overhead: baseReadSetting");
    read.compare = Compare::Difference;
    read.target = 1;
    figures.push_back(read);

    Figure batch;
    batch.name = "10 x baseWriteSetting";
    batch.against = "10 x lock, command 18, unlock";
    batch.target = 10;
    DWORD clock = 0x12345678;
    const SettingRecord record = {kClockSetting, sizeof(DWORD), clock};
    runPairs(batch, s.rounds(5000, 500), 100,
             [&] {
                 for (int i = 0; i < kBatch; ++i)
                     succeeded(s.base->baseWriteSetting(kUsbCamera, kClockSetting, &clock), "baseWriteSetting");
             },
             [&] {
                 for (int i = 0; i < kBatch; ++i)
                     succeeded(s.floor->lockedCommand(kWriteSetting, sizeof record, &record, nullptr, 0),
                               "setting write");
             });
    figures.push_back(batch);
}

}  // namespace bvbench
