// The device's speed: a bulk rate and a latency per command, so that the
// virtual camera can play a camera on a slower bus. A call waits out its
// share from the moment it arrives. The wait spins on the performance
// counter: a sleep moves in steps of a millisecond or more, as long as the
// latency being played.
#include <atomic>

#include "bvsim.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

std::atomic<DWORD> g_bytesPerSecond{0};
std::atomic<DWORD> g_commandLatencyUs{0};

LONGLONG counterNow() {
    LARGE_INTEGER now;
    QueryPerformanceCounter(&now);
    return now.QuadPart;
}

void spinFor(double seconds) {
    if (seconds <= 0) return;
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    const LONGLONG end = counterNow() + static_cast<LONGLONG>(seconds * frequency.QuadPart);
    while (counterNow() < end) YieldProcessor();
}

}  // namespace

void paceCommand() { spinFor(g_commandLatencyUs.load() / 1e6); }

void paceBulk(DWORD bytes) {
    const DWORD rate = g_bytesPerSecond.load();
    if (rate != 0) spinFor(static_cast<double>(bytes) / rate);
}

void resetDeviceSpeed() { simSetDeviceSpeed(0, 0); }

}  // namespace bvsim

extern "C" void simSetDeviceSpeed(DWORD bytesPerSecond, DWORD commandLatencyUs) {
    bvsim::g_bytesPerSecond.store(bytesPerSecond);
    bvsim::g_commandLatencyUs.store(commandLatencyUs);
}
