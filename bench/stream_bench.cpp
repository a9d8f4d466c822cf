// Throughput of the bulk read against a zero-latency device: 64 MiB moved
// through InStreamFuncForGetFromSTI into a WriteCB, and the same bytes
// read with the device's RawReadData directly in 5120-byte chunks and
// handed to the same WriteCB. Prints MB/s for both and their ratio.
// Run beside Sti.dll with WINEDLLOVERRIDES=sti=n.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "bench_camera.h"
#include "sim/camera/bvsim.h"
#include "sti/sti_private.h"

namespace {

constexpr DWORD kTotal = 64u * 1024 * 1024;
constexpr int kRounds = 60;

struct Sink {
    unsigned long long bytes = 0;
    DWORD check = 0;
};

void WINAPI sinkWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    auto* sink = reinterpret_cast<Sink*>(context);
    sink->bytes += *count;
    sink->check += buffer[0] + buffer[*count - 1];  // touch the data, as a consumer would
    *error = 0;
}

double seconds(LARGE_INTEGER from, LARGE_INTEGER to) {
    LARGE_INTEGER frequency;
    QueryPerformanceFrequency(&frequency);
    return static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

double throughStream(const std::vector<BYTE>& data, Sink& sink) {
    simQueueBulkData(data.data(), kTotal);
    bvlStream stream = {};
    stream.context = reinterpret_cast<UINT_PTR>(&sink);
    stream.progressMode = BVL_PROGRESS_NONE;
    stream.WriteCB = sinkWrite;
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    DWORD rc = bv::InStreamFuncForGetFromSTI(&stream, bv::kLockAround, kTotal);
    QueryPerformanceCounter(&end);
    if (rc != 0) std::printf("stream transfer failed: 0x%08lx\n", static_cast<unsigned long>(rc));
    return seconds(start, end);
}

// Called through a pointer, as the transfer calls the stream's WriteCB.
void (WINAPI* volatile g_writeCB)(UINT_PTR, const BYTE*, DWORD*, DWORD*) = sinkWrite;

double direct(const std::vector<BYTE>& data, Sink& sink) {
    simQueueBulkData(data.data(), kTotal);
    IStiDevice* device = bv::stiState().stiDevice.get();
    std::vector<BYTE> buffer(bv::kChunkSize);
    LARGE_INTEGER start, end;
    QueryPerformanceCounter(&start);
    device->LockDevice(500);
    for (DWORD remaining = kTotal; remaining != 0;) {
        DWORD chunk = std::min(remaining, bv::kChunkSize);
        DWORD count = chunk, error = 0;
        if (FAILED(device->RawReadData(buffer.data(), &count, nullptr))) {
            std::printf("raw read failed\n");
            break;
        }
        g_writeCB(reinterpret_cast<UINT_PTR>(&sink), buffer.data(), &chunk, &error);
        remaining -= chunk;
    }
    device->UnLockDevice();
    QueryPerformanceCounter(&end);
    return seconds(start, end);
}

}  // namespace

int main() {
    HMODULE sti = bvbench::openBenchCamera();
    if (!sti) return 2;
    std::vector<BYTE> data(kTotal);
    for (DWORD i = 0; i < kTotal; ++i) data[i] = static_cast<BYTE>(i ^ (i >> 9));

    // Best of several rounds, the two paths alternating, so that neither
    // profits from a warmer cache or a quieter machine.
    double streamBest = 1e9, directBest = 1e9;
    Sink streamSink, directSink;
    for (int round = 0; round < kRounds; ++round) {
        streamBest = std::min(streamBest, throughStream(data, streamSink));
        directBest = std::min(directBest, direct(data, directSink));
    }
    const double mib = kTotal / (1024.0 * 1024.0);
    const double streamRate = mib / streamBest, directRate = mib / directBest;
    std::printf("bytes per run: %lu (%d runs each, best shown)\n", static_cast<unsigned long>(kTotal),
                kRounds);
    std::printf("InStreamFuncForGetFromSTI: %8.1f MB/s\n", streamRate);
    std::printf("RawReadData direct:        %8.1f MB/s\n", directRate);
    std::printf("ratio stream/direct:       %8.3f\n", streamRate / directRate);
    if (streamSink.check != directSink.check || streamSink.bytes != directSink.bytes)
        std::printf("the two paths delivered different bytes\n");
    bvbench::closeBenchCamera(sti);
    return 0;
}
