// Round trip of one raw message against a camera that answers at once:
// bvlNewMessageTxRx (message built, worker thread started, reply handed to
// msgFoundCB, worker's end awaited) next to the bare command exchange it
// wraps (DoBvCommand with command 60, lock and unlock), and a thread that
// does nothing, started and awaited the same way as a worker. Prints the
// median and best time of each in microseconds.
// Run beside Sti.dll with WINEDLLOVERRIDES=sti=n.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Common/message_record.h"
#include "Common/guarded_block.h"
#include "message/message_transport.h"
#include "bench_camera.h"
#include "sim/camera/bvsim.h"
#include "sti/sti_private.h"

extern "C" DWORD WINAPI bvlNewMessageTxRx(DWORD, WORD, const void*, DWORD, DWORD, DWORD, DWORD,
                                          bvlMsgFoundCB, void*, DWORD, bvlIntervalCB, void*,
                                          DWORD);

namespace {

constexpr int kRounds = 2000;
constexpr DWORD kKind = 5;
constexpr DWORD kCapacity = 64;
const BYTE kPayload[16] = {'b', 'e', 'n', 'c', 'h'};

DWORD WINAPI onFound(dePC_MESSAGE*, void* context, DWORD* done) {
    ++*static_cast<int*>(context);
    *done = 1;
    return 0;
}

double microseconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return 1e6 * static_cast<double>(to.QuadPart - from.QuadPart) /
           static_cast<double>(frequency.QuadPart);
}

template <class Exchange>
double timeOne(Exchange exchange) {
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    const DWORD rc = exchange();
    QueryPerformanceCounter(&end);
    if (rc != 0) std::printf("exchange failed: 0x%08lx\n", static_cast<unsigned long>(rc));
    return microseconds(start, end);
}

void report(const char* name, std::vector<double>& times) {
    std::sort(times.begin(), times.end());
    std::printf("%-34s median %9.1f us   best %9.1f us\n", name, times[times.size() / 2],
                times.front());
}

DWORD WINAPI idleThread(void*) { return 0; }

DWORD startAndAwaitIdleThread() {
    HANDLE thread = CreateThread(nullptr, 0, idleThread, nullptr, 0, nullptr);
    if (!thread) return GetLastError();
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
    return 0;
}

}  // namespace

int main() {
    HMODULE sti = bvbench::openBenchCamera();
    if (!sti) return 2;
    simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
    dePC_MESSAGE* message = bv::buildMessageRecord(0x1234, kPayload, sizeof kPayload, kKind, 0);
    std::vector<BYTE> reply(kCapacity + bv::kMessageHeaderSize);
    const bv::requestBlock request = {bv::kMessageCommand, message->totalLength, message};
    int found = 0;

    // The three alternate, so that none profits from a warmer cache.
    std::vector<double> wrapped, bare, thread;
    for (int round = 0; round < kRounds; ++round) {
        simReset();  // keeps the camera's command log from growing
        wrapped.push_back(timeOne([&] {
            return bvlNewMessageTxRx(0, 0x1234, kPayload, sizeof kPayload, kKind, kKind, 0, onFound,
                                     &found, kCapacity, nullptr, nullptr, 5000);
        }));
        bare.push_back(timeOne([&] {
            return bv::DoBvCommand(&request, reply.data(), static_cast<DWORD>(reply.size()), 0,
                                   bv::kLockAround);
        }));
        thread.push_back(timeOne(startAndAwaitIdleThread));
    }
    std::printf("rounds: %d each, reply handed over %d times\n", kRounds, found);
    report("bvlNewMessageTxRx:", wrapped);
    report("DoBvCommand (command 60):", bare);
    report("empty thread, started and awaited:", thread);
    std::printf("gap (medians):                     %9.1f us\n",
                wrapped[wrapped.size() / 2] - bare[bare.size() / 2]);
    bv::freeBlock(message);
    bvbench::closeBenchCamera(sti);
    return 0;
}
