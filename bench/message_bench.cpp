// Round trips of the raw message exchange against a camera that answers at
// once, each next to the bare device calls it wraps:
// - bvlNewMessageTxRx (message built, job handed to a pool thread, reply
//   handed to msgFoundCB, the job's end awaited) against DoBvCommand with
//   command 60 (lock, escape, unlock);
// - bvlMessageTxAndRecieveData of 3 chunks into a stream whose callbacks
//   do nothing, against lock, command 61, three chunk reads and unlock.
// Prints the median and best time of each in microseconds.
// Run beside Sti.dll with WINEDLLOVERRIDES=sti=n.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "Common/guarded_block.h"
#include "Common/message_record.h"
#include "bench_camera.h"
#include "message/message_transport.h"
#include "sim/camera/bvsim.h"
#include "sti/sti_private.h"

extern "C" DWORD WINAPI bvlNewMessageTxRx(DWORD, WORD, const void*, DWORD, DWORD, DWORD, DWORD,
                                          bvlMsgFoundCB, void*, DWORD, bvlIntervalCB, void*,
                                          DWORD);
extern "C" DWORD WINAPI bvlMessageTxAndRecieveData(DWORD, WORD, const void*, DWORD, DWORD, DWORD,
                                                   DWORD, bvlStream*, bvlIntervalCB, void*,
                                                   DWORD);

namespace {

constexpr int kRounds = 2000;
constexpr DWORD kKind = 5;
constexpr DWORD kCapacity = 64;
constexpr DWORD kDataSize = 3 * bv::kMessageChunkSize;
const BYTE kPayload[16] = {'b', 'e', 'n', 'c', 'h'};

DWORD WINAPI onFound(dePC_MESSAGE*, void* context, DWORD* done) {
    ++*static_cast<int*>(context);
    *done = 1;
    return 0;
}

void WINAPI onOpen(UINT_PTR, DWORD, DWORD* error) { *error = 0; }
void WINAPI onClose(UINT_PTR, DWORD* error) { *error = 0; }
void WINAPI onWrite(UINT_PTR, const BYTE*, DWORD*, DWORD* error) { *error = 0; }
void WINAPI onProgress(UINT_PTR, DWORD, DWORD* error) { *error = 0; }

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

double median(std::vector<double>& times) {
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

void report(const char* name, std::vector<double>& wrapped, const char* bareName,
            std::vector<double>& bare) {
    const double gap = median(wrapped) - median(bare);
    std::printf("%-30s median %8.1f us   best %8.1f us\n", name, median(wrapped), wrapped.front());
    std::printf("%-30s median %8.1f us   best %8.1f us\n", bareName, median(bare), bare.front());
    std::printf("%-30s        %8.1f us\n", "gap (medians):", gap);
}

// Lock, command 61, the announced data in chunks, unlock.
DWORD bareDataExchange(const bv::requestBlock& request, BYTE* buffer) {
    if (DWORD rc = bv::lockStiDevice()) return rc;
    DWORD size = 0;
    DWORD rc = bv::DoBvCommand(&request, &size, sizeof size, 0, bv::kLockNone);
    for (DWORD done = 0; rc == 0 && done < size;) {
        const DWORD chunk = std::min(size - done, bv::kMessageChunkSize);
        rc = bv::ReadBvDataFromSTI(buffer, bv::kMessageChunkSize, &chunk);
        done += chunk;
    }
    return bv::keepFirst(rc, bv::unlockStiDevice());
}

}  // namespace

int main() {
    HMODULE sti = bvbench::openBenchCamera();
    if (!sti) return 2;
    dePC_MESSAGE* message = bv::buildMessageRecord(0x1234, kPayload, sizeof kPayload, kKind, 0);
    std::vector<BYTE> reply(kCapacity + bv::kMessageHeaderSize);
    std::vector<BYTE> chunk(bv::kMessageChunkSize);
    const bv::requestBlock replyRequest = {bv::kMessageCommand, message->totalLength, message};
    const bv::requestBlock dataRequest = {bv::kMessageDataCommand, message->totalLength, message};
    bvlStream stream = {};
    stream.OpenCB = onOpen;
    stream.CloseCB = onClose;
    stream.WriteCB = onWrite;
    stream.ProgressCB = onProgress;
    stream.progressMode = BVL_PROGRESS_PERCENT;
    int found = 0;

    // Each wrapped exchange alternates with its bare counterpart, and which
    // of the two goes first alternates too, so that neither profits from a
    // warmer cache or pays for the reset before it.
    std::vector<double> wrapped, bare, wrappedData, bareData;
    for (int round = 0; round < kRounds; ++round) {
        // Keeps the camera's command log from growing; a reset takes
        // milliseconds of file work, after which any first call is slow.
        if (round % 500 == 0) simReset();
        const bool wrappedFirst = round % 2 == 0;
        simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == wrappedFirst)
                wrapped.push_back(timeOne([&] {
                    return bvlNewMessageTxRx(0, 0x1234, kPayload, sizeof kPayload, kKind, kKind, 0,
                                             onFound, &found, kCapacity, nullptr, nullptr, 5000);
                }));
            else
                bare.push_back(timeOne([&] {
                    return bv::DoBvCommand(&replyRequest, reply.data(),
                                           static_cast<DWORD>(reply.size()), 0, bv::kLockAround);
                }));
        }
        simSetMessageAnswer(SIM_MESSAGE_ECHO, kDataSize);
        for (int turn = 0; turn < 2; ++turn) {
            if ((turn == 0) == wrappedFirst)
                wrappedData.push_back(timeOne([&] {
                    return bvlMessageTxAndRecieveData(0, 0x1234, kPayload, sizeof kPayload, kKind,
                                                      kKind, 0, &stream, nullptr, nullptr, 5000);
                }));
            else
                bareData.push_back(timeOne([&] { return bareDataExchange(dataRequest, chunk.data()); }));
        }
    }
    simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
    std::printf("rounds: %d each, reply handed over %d times\n", kRounds, found);
    report("bvlNewMessageTxRx:", wrapped, "lock, command 60, unlock:", bare);
    report("bvlMessageTxAndRecieveData:", wrappedData, "lock, command 61, 3 reads:", bareData);
    bv::freeBlock(message);
    bvbench::closeBenchCamera(sti);
    return 0;
}
