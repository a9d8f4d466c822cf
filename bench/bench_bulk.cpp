// Bulk data: baseGetFile and basePutFile against the bare raw reads and
// writes of 5120 bytes, and view-finder frames against the stand-in's own
// rate of handing out frames. Every floor makes the device calls that the
// library makes (lock, the command, the chunks, unlock) and hands each
// chunk to the same stream callback, so the two differ only by what the
// library adds.
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_runs.h"
#include "bench_streams.h"

namespace bvbench {
namespace {

constexpr DWORD kChunk = 5120;
constexpr DWORD kGetFile = 6;
constexpr DWORD kPutFile = 7;
constexpr DWORD kViewFinder = 42;
constexpr int kFramesPerCycle = 4;  // the stand-in shows its frames in turn
const char kBigFile[] = "CF\\BIG.BIN";
const char kPutName[] = "CF\\PUT.BIN";

std::vector<BYTE> pattern(DWORD bytes) {
    std::vector<BYTE> data(bytes);
    for (DWORD i = 0; i < bytes; ++i) data[i] = static_cast<BYTE>(i ^ (i >> 9));
    return data;
}

// One card with room for the transfers, holding BIG.BIN of data.
bool prepareCard(const std::vector<BYTE>& data) {
    const SimCardSlot slot = {"CF", nullptr, 0x40000000u, 1};
    WCHAR folder[MAX_PATH];
    if (!simSetCards(&slot, 1) || !simCardFolder(0, folder, MAX_PATH - 16)) return false;
    lstrcatW(folder, L"\\BIG.BIN");
    HANDLE file = CreateFileW(folder, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    const BOOL ok = WriteFile(file, data.data(), static_cast<DWORD>(data.size()), &written, nullptr);
    CloseHandle(file);
    return ok && written == data.size();
}

// Reads size announced bytes in chunks into the sink; the device is locked.
HRESULT readChunks(FloorDevice& d, DWORD size, std::vector<BYTE>& buffer, Sink& sink) {
    for (DWORD remaining = size; remaining != 0;) {
        DWORD chunk = std::min(remaining, kChunk), count = chunk, error = 0;
        if (HRESULT hr = d.read(buffer.data(), &count); FAILED(hr) || count != chunk) return E_FAIL;
        g_sinkWrite(reinterpret_cast<UINT_PTR>(&sink), buffer.data(), &chunk, &error);
        remaining -= chunk;
    }
    return S_OK;
}

// Lock, a command that announces a size, its data, unlock.
HRESULT floorFetch(FloorDevice& d, DWORD command, const char* path, std::vector<BYTE>& buffer,
                   Sink& sink) {
    if (HRESULT hr = d.lock(); FAILED(hr)) return hr;
    DWORD size = 0;
    const DWORD length = path ? lstrlenA(path) + 1 : 0;
    HRESULT hr = d.command(command, length, path, &size, sizeof size);
    if (SUCCEEDED(hr)) hr = readChunks(d, size, buffer, sink);
    const HRESULT unlocked = d.unlock();
    return FAILED(hr) ? hr : unlocked;
}

// The upload command's payload: size, name length with terminator, name.
std::vector<BYTE> putPayload(DWORD size, const char* name) {
    const DWORD nameLength = lstrlenA(name) + 1;
    std::vector<BYTE> payload(8 + nameLength);
    std::memcpy(payload.data(), &size, 4);
    std::memcpy(payload.data() + 4, &nameLength, 4);
    std::memcpy(payload.data() + 8, name, nameLength);
    return payload;
}

HRESULT floorPut(FloorDevice& d, const std::vector<BYTE>& payload, DWORD size,
                 std::vector<BYTE>& buffer, Source& source) {
    if (HRESULT hr = d.lock(); FAILED(hr)) return hr;
    HRESULT hr = d.command(kPutFile, static_cast<DWORD>(payload.size()), payload.data(), nullptr, 0);
    source.position = 0;
    for (DWORD remaining = size; SUCCEEDED(hr) && remaining != 0;) {
        DWORD count = std::min(remaining, kChunk), error = 0;
        g_sourceRead(reinterpret_cast<UINT_PTR>(&source), buffer.data(), &count, &error);
        hr = d.write(buffer.data(), count);
        remaining -= count;
    }
    const HRESULT unlocked = d.unlock();
    return FAILED(hr) ? hr : unlocked;
}

Figure bulkFigure(const std::string& name, const char* against, DWORD bytes) {
    Figure f;
    f.name = name;
    f.against = against;
    f.compare = Compare::Rate;
    f.unitsPerOp = bytes;
    f.unit = "MB/s";
    return f;
}

}  // namespace

Figure bulkGetFigure(const Setup& s, DWORD bytes, int rounds, const std::string& name) {
    Figure f = bulkFigure(name, "lock, command 6, raw reads of 5120, unlock", bytes);
    const std::vector<BYTE> data = pattern(bytes);
    if (!succeeded(prepareCard(data) ? 0 : E_FAIL, "preparing the card")) return f;
    Sink librarySink, floorSink;
    bvlStream stream = sinkStream(librarySink);
    std::vector<BYTE> buffer(kChunk);
    runPairs(f, rounds, 1, [&] { succeeded(s.base->baseGetFile(kUsbCamera, kBigFile, &stream), "baseGetFile"); },
             [&] { succeeded(floorFetch(*s.floor, kGetFile, kBigFile, buffer, floorSink), "raw reads"); });
    if (librarySink.bytes != floorSink.bytes || librarySink.check != floorSink.check)
        succeeded(E_FAIL, "the two reads delivering the same bytes");
    return f;
}

Figure bulkPutFigure(const Setup& s, DWORD bytes, int rounds, const std::string& name) {
    Figure f = bulkFigure(name, "lock, command 7, raw writes of 5120, unlock", bytes);
    const std::vector<BYTE> data = pattern(bytes);
    Source librarySource{&data}, floorSource{&data};
    bvlStream stream = sourceStream(librarySource);
    const std::vector<BYTE> payload = putPayload(bytes, kPutName);
    std::vector<BYTE> buffer(kChunk);
    runPairs(f, rounds, 1, [&] { succeeded(s.base->basePutFile(kUsbCamera, kPutName, &stream), "basePutFile"); },
             [&] { succeeded(floorPut(*s.floor, payload, bytes, buffer, floorSource), "raw writes"); });
    return f;
}

void measureBulk(const Setup& s, std::vector<Figure>& figures) {
    constexpr DWORD kBytes = 64u << 20;
    const int rounds = s.rounds(20, 2);
    Figure get = bulkGetFigure(s, kBytes, rounds, "bulk read: baseGetFile 64 MiB");
    get.target = 0.95;
    figures.push_back(get);
    Figure put = bulkPutFigure(s, kBytes, rounds, "bulk write: basePutFile 64 MiB");
    put.target = 0.95;
    figures.push_back(put);
}

// A cycle shows each of the stand-in's frames once on each side, so both
// move frames of the same sizes.
void measureViewFinder(const Setup& s, std::vector<Figure>& figures) {
    Figure f = bulkFigure("view finder: GetViewFinderData", "lock, command 42, raw reads, unlock",
                          kFramesPerCycle);
    f.rateFactor = 1e6;
    f.unit = "frames/s";
    f.target = 0.95;
    Sink librarySink, floorSink;
    bvlStream stream = sinkStream(librarySink);
    std::vector<BYTE> buffer(kChunk);
    runPairs(f, s.rounds(500, 50), 50,
             [&] {
                 for (int i = 0; i < kFramesPerCycle; ++i)
                     succeeded(s.base->baseReleaseControlGetViewFinderData(kUsbCamera, &stream),
                               "baseReleaseControlGetViewFinderData");
             },
             [&] {
                 for (int i = 0; i < kFramesPerCycle; ++i)
                     succeeded(floorFetch(*s.floor, kViewFinder, nullptr, buffer, floorSink), "frame reads");
             });
    figures.push_back(f);
}

}  // namespace bvbench
