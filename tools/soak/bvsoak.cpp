// bvsoak: a long run of mixed operations, opens and closes against the
// simulated USB camera, through bvcl2sti.dll as an application loads it.
// Every 10,000 operations it prints the process's handle count, private
// bytes and the library's live guarded blocks, so a leak shows as a curve
// that keeps climbing after the first block of operations.
//
//   bvsoak [operations]          (default 100000)
//
// Run in the USB demo folder that .ci/usb-demo prepares (the library beside
// the Still Image stand-in, its two-card camera configuration and the
// models installed), with WINEDLLOVERRIDES=sti=n.
#include <windows.h>
#include <psapi.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "Common/guarded_block.h"
#include "tools/bvcam/camera_library.h"
#include "tools/common/handle_count.h"

namespace {

constexpr DWORD kBrivant350 = 0x70333036;
constexpr int kReport = 10000;
constexpr int kOpsPerConnection = 250;
constexpr char kPicture[] = "CF\\DCIM\\100BRVNT\\BRV_0001.JPG";

// Guarded blocks are found by their header: its own copy of the address
// that the library handed out.
size_t liveGuardedBlocks() {
    HANDLE heap = GetProcessHeap();
    size_t count = 0;
    PROCESS_HEAP_ENTRY entry = {};
    HeapLock(heap);
    while (HeapWalk(heap, &entry)) {
        if (!(entry.wFlags & PROCESS_HEAP_ENTRY_BUSY) || entry.cbData < sizeof(bv::BlockHeader)) continue;
        bv::BlockHeader header;
        std::memcpy(&header, entry.lpData, sizeof header);
        const auto area = reinterpret_cast<std::uintptr_t>(entry.lpData) + sizeof header;
        count += header.kind == bv::kBlockFromHeap && header.self == area;
    }
    HeapUnlock(heap);
    return count;
}

void printFigures(int done, int failures) {
    DWORD handles = 0;
    bvtools::liveHandleCount(&handles);
    PROCESS_MEMORY_COUNTERS_EX memory = {};
    memory.cb = sizeof memory;
    GetProcessMemoryInfo(GetCurrentProcess(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory), sizeof memory);
    // Wine leaves PrivateUsage empty; the page-file usage is the same figure.
    const SIZE_T privateBytes = memory.PrivateUsage ? memory.PrivateUsage : memory.PagefileUsage;
    std::printf("%8d operations  %6d failed  %5lu handles  %9lu private bytes  %4u guarded blocks\n", done,
                failures, static_cast<unsigned long>(handles), static_cast<unsigned long>(privateBytes),
                static_cast<unsigned>(liveGuardedBlocks()));
    std::fflush(stdout);
}

// A stream that takes any data and, as a source, gives a small picture.
struct Soaked {
    DWORD position = 0;
};
void WINAPI onOpen(UINT_PTR context, DWORD, DWORD* error) {
    reinterpret_cast<Soaked*>(context)->position = 0;
    *error = 0;
}
void WINAPI onClose(UINT_PTR, DWORD* error) { *error = 0; }
void WINAPI onWrite(UINT_PTR, const BYTE*, DWORD*, DWORD* error) { *error = 0; }
void WINAPI onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error) {
    Soaked& s = *reinterpret_cast<Soaked*>(context);
    const DWORD size = 3000, n = *count < size - s.position ? *count : size - s.position;
    std::memset(buffer, 0x5a, n);
    s.position += n;
    *count = n;
    *error = 0;
}
void WINAPI onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error) {
    reinterpret_cast<Soaked*>(context)->position = origin == BVL_SEEK_END ? 3000 + offset : offset;
    *error = 0;
}
DWORD WINAPI onTell(UINT_PTR context, DWORD* error) {
    *error = 0;
    return reinterpret_cast<Soaked*>(context)->position;
}
void WINAPI onProgress(UINT_PTR, DWORD, DWORD* error) { *error = 0; }

DWORD WINAPI onReply(dePC_MESSAGE*, void*, DWORD* done) {
    *done = 1;
    return 0;
}

// One operation of the mix, chosen by its number; 0 or the library's code.
DWORD runOperation(const CameraConnection& c, int n, bvlStream* stream) {
    const bvlBaseAPI& api = c.api();
    const DWORD camera = c.camera();
    static const BYTE subtree[] = {0, 'C', 'F', 0, 0, 'D', 'C', 'I', 'M', 0, 0, 0};
    BYTE value[32] = {};
    switch (n % 12) {
    case 0: return api.baseGetVols(camera, stream);
    case 1: return api.baseGetDirs(camera, subtree, stream);
    case 2: return api.baseGetFile(camera, kPicture, stream);
    case 3: return api.baseGetJpegParsingHeader(camera, kPicture, stream);
    case 4: return api.baseReadSetting(camera, 1 + n % 5, value);
    case 5: std::strcpy(reinterpret_cast<char*>(value), "Soak"); return api.baseWriteSetting(camera, 2, value);
    case 6: return api.basePutFile(camera, "CF\\DCIM\\SOAK.JPG", stream);
    case 7: return api.baseDeleteFiles(camera, "CF\\DCIM\\SOAK.JPG\0");
    case 8: return api.baseGetFile(camera, "CF\\DCIM\\MISSING.JPG", stream);  // fails on purpose
    case 9: return api.baseReleaseControlGetViewFinderData(camera, stream);
    case 10: {
        bvlModelDescrip descrip;
        return api.baseGetModelDescrip(camera, &descrip);
    }
    default:
        return c.messageApi()->bvlNewMessageTxRx(camera, 1, "soak", 4, 5, 5, 0, onReply, nullptr, 64, nullptr,
                                                 nullptr, 2000);
    }
}

}  // namespace

// The stand-ins log every call for tests to read back; a soak empties
// those logs as it goes, so the figures are the library's own.
void clearStandInLogs() {
    using ClearLogs = void (*)();
    if (HMODULE sim = GetModuleHandleW(L"bvsim.dll"))
        if (auto clear = reinterpret_cast<ClearLogs>(reinterpret_cast<void*>(GetProcAddress(sim, "simClearLogs"))))
            clear();
}

int main(int argc, char** argv) {
    const int total = argc > 1 ? std::atoi(argv[1]) : 100000;
    CameraLibrary library;
    if (!library.api() || !library.messageApi()) {
        std::printf("bvsoak: bvcl2sti.dll or its tables cannot be loaded\n");
        return 1;
    }
    bvlCameraPort port = {};
    port.portType = BVL_PORT_USB;
    std::strcpy(port.portName, BVL_USB_PORT_NAME);
    port.u.usb.modelID = kBrivant350;
    CameraConnection connection(*library.api(), port, library.messageApi());
    Soaked soaked;
    bvlStream stream = {reinterpret_cast<UINT_PTR>(&soaked), 0, 0, BVL_PROGRESS_PERCENT, onOpen, onClose,
                        onRead, onWrite, onSeek, onTell, onProgress};
    int failures = 0, expectedFailures = 0;
    printFigures(0, 0);
    for (int n = 1; n <= total; ++n) {
        if (!connection.isOpen()) {
            if (DWORD rc = connection.open()) {
                std::printf("bvsoak: the camera cannot be opened: 0x%08lx (are the models installed?)\n",
                            static_cast<unsigned long>(rc));
                return 1;
            }
        }
        expectedFailures += n % 12 == 8;
        if (DWORD rc = runOperation(connection, n, &stream)) {
            ++failures;
            if (n % 12 != 8 && failures - expectedFailures <= 5)
                std::printf("operation %d (kind %d) failed: 0x%08lx\n", n, n % 12, static_cast<unsigned long>(rc));
        }
        if (n % kOpsPerConnection == 0) {
            connection.close();
            clearStandInLogs();
        }
        if (n % kReport == 0) printFigures(n, failures);
    }
    connection.close();
    std::printf("bvsoak: %d operations, %d failed (%d of them on purpose)\n", total, failures, expectedFailures);
    return failures == expectedFailures ? 0 : 1;
}
