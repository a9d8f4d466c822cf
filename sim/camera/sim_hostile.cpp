// The hostile mode of the virtual camera: a seeded sequence decides where
// an answer is spoilt and how, so one seed always spoils the same answers
// of the same run.
#include <cstring>

#include "bvsim.h"
#include "sim_internal.h"

namespace {

bvsim::SimLock g_lock;
DWORD g_seed = 0;   // 0: the mode is off
DWORD g_state = 0;  // xorshift state

DWORD nextLocked() {
    g_state ^= g_state << 13;
    g_state ^= g_state >> 17;
    g_state ^= g_state << 5;
    return g_state;
}

}  // namespace

extern "C" void simSetHostile(DWORD seed) {
    bvsim::SimGuard g(g_lock);
    g_seed = seed;
    g_state = seed * 2654435761u | 1;
}

extern "C" DWORD simHostileNext(void) {
    bvsim::SimGuard g(g_lock);
    return nextLocked();
}

extern "C" BOOL simHostileChance(DWORD percent) {
    bvsim::SimGuard g(g_lock);
    return g_seed != 0 && nextLocked() % 100 < percent;
}

extern "C" DWORD simHostileSize(void) {
    switch (simHostileNext() % 3) {
    case 0: return 0;
    case 1: return 0xffffffff;
    default: return simHostileNext();
    }
}

namespace bvsim {

void spoilReply(BYTE* reply, DWORD length) {
    if (!reply || length == 0 || !simHostileChance(25)) return;
    if (simHostileChance(30)) {
        std::memset(reply, 0xff, length);
        return;
    }
    const DWORD at = simHostileNext() % length;
    const DWORD value = simHostileSize();
    std::memcpy(reply + at, &value, length - at < 4 ? length - at : 4);
}

void spoilBulk(std::vector<BYTE>& data) {
    if (data.empty() || !simHostileChance(25)) return;
    if (simHostileChance(50)) {
        data.resize(simHostileNext() % data.size());
        return;
    }
    for (BYTE& b : data)
        if (b == 0) b = 'A';
}

DWORD spoilReadCount(DWORD wanted) {
    return simHostileChance(20) ? simHostileNext() % (wanted + 1) : wanted;
}

}  // namespace bvsim
