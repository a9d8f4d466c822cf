// Raw messages: the round trip of bvlNewMessageTxRx (the job handed to a
// pool thread, the reply handed to msgFoundCB, the end awaited) against
// lock, command 60 and unlock; and a 3-chunk bvlMessageTxAndRecieveData
// against lock, command 61, three raw reads of 3072 bytes and unlock.
#include <algorithm>
#include <cstring>

#include "bench_runs.h"
#include "bench_streams.h"

namespace bvbench {
namespace {

constexpr WORD kCode = 0x1234;
constexpr DWORD kKind = 5;
constexpr DWORD kCapacity = 64;
constexpr DWORD kMessageChunk = 3072;
constexpr DWORD kDataSize = 3 * kMessageChunk;
constexpr DWORD kTimeoutMs = 5000;

struct Message {
    dePC_MESSAGE header;
    BYTE payload[16];
};

DWORD WINAPI onFound(dePC_MESSAGE*, void*, DWORD* done) {
    *done = 1;
    return 0;
}

HRESULT floorData(FloorDevice& d, const Message& message, std::vector<BYTE>& buffer) {
    if (HRESULT hr = d.lock(); FAILED(hr)) return hr;
    DWORD size = 0;
    HRESULT hr = d.command(61, sizeof message, &message, &size, sizeof size);
    for (DWORD done = 0; SUCCEEDED(hr) && done < size;) {
        DWORD count = std::min(size - done, kMessageChunk);
        hr = d.read(buffer.data(), &count);
        done += count;
    }
    const HRESULT unlocked = d.unlock();
    return FAILED(hr) ? hr : unlocked;
}

Figure shownFigure(const char* name, const char* against) {
    Figure f;
    f.name = name;
    f.against = against;
    f.compare = Compare::Shown;
    return f;
}

}  // namespace

void measureMessages(const Setup& s, std::vector<Figure>& figures) {
    Message message = {{kCode, kKind, sizeof(Message), 0}, {'b', 'e', 'n', 'c', 'h'}};
    std::vector<BYTE> reply(kCapacity + sizeof(dePC_MESSAGE)), buffer(kMessageChunk);
    const int rounds = s.rounds(2000, 200);

    Figure tx = shownFigure("message: bvlNewMessageTxRx", "lock, command 60, unlock");
    simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
    runPairs(tx, rounds, 500,
             [&] {
                 succeeded(s.factry->bvlNewMessageTxRx(kUsbCamera, kCode, message.payload, sizeof message.payload,
                                                       kKind, kKind, 0, onFound, nullptr, kCapacity, nullptr,
                                                       nullptr, kTimeoutMs),
                           "bvlNewMessageTxRx");
             },
             [&] {
                 succeeded(s.floor->lockedCommand(60, sizeof message, &message, reply.data(),
                                                  static_cast<DWORD>(reply.size())),
                           "command 60");
             });
    figures.push_back(tx);

    Figure data = shownFigure("3-chunk bvlMessageTxAndRecieveData", "lock, command 61, 3 raw reads, unlock");
    simSetMessageAnswer(SIM_MESSAGE_ECHO, kDataSize);
    Sink sink;
    bvlStream stream = sinkStream(sink);
    runPairs(data, rounds, 500,
             [&] {
                 succeeded(s.factry->bvlMessageTxAndRecieveData(kUsbCamera, kCode, message.payload,
                                                                sizeof message.payload, kKind, kKind, 0, &stream,
                                                                nullptr, nullptr, kTimeoutMs),
                           "bvlMessageTxAndRecieveData");
             },
             [&] { succeeded(floorData(*s.floor, message, buffer), "command 61"); });
    simSetMessageAnswer(SIM_MESSAGE_ECHO, SIM_MESSAGE_ECHO);
    figures.push_back(data);
}

}  // namespace bvbench
