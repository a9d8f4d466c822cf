// The camera's answer to raw messages: command 60 replies at once in the
// reply buffer, command 61 replies with a data size and leaves the data
// for the raw reads. The serial stand-in asks simMessageAnswer for the
// same answer.
#include <algorithm>
#include <cstring>
#include <vector>

#include "bvsim.h"
#include "sim_camera.h"
#include "sim_internal.h"

namespace {

constexpr DWORD kMessageHeader = 16;

struct MessageAnswer {
    LONG replyKind = static_cast<LONG>(SIM_MESSAGE_ECHO);
    LONG dataSize = static_cast<LONG>(SIM_MESSAGE_ECHO);
};

MessageAnswer g_answer;  // set from the test thread, read by stray workers

// Set and read on the test's thread: the serial road runs there.
std::vector<SimReplyChunk> g_replyChunks;

DWORD wordAt(const BYTE* p, size_t offset) {
    DWORD w;
    std::memcpy(&w, p + offset, 4);
    return w;
}

}  // namespace

extern "C" void simSetMessageAnswer(DWORD replyKind, DWORD dataSize) {
    InterlockedExchange(&g_answer.replyKind, static_cast<LONG>(replyKind));
    InterlockedExchange(&g_answer.dataSize, static_cast<LONG>(dataSize));
}

extern "C" void simSetSerialReplyChunks(const SimReplyChunk* chunks, DWORD count) {
    g_replyChunks.assign(chunks, chunks + (chunks ? count : 0));
}

extern "C" BOOL simSerialReplyChunkAt(DWORD index, SimReplyChunk* chunk) {
    if (index >= g_replyChunks.size()) return FALSE;
    if (chunk) *chunk = g_replyChunks[index];
    return TRUE;
}

namespace bvsim {
void resetSerialReplyChunks() { g_replyChunks.clear(); }
}  // namespace bvsim

extern "C" DWORD simMessageAnswer(const BYTE* message, DWORD* replyKind, BYTE* data, DWORD size) {
    const DWORD kind = static_cast<DWORD>(g_answer.replyKind);
    const DWORD sizeSet = static_cast<DWORD>(g_answer.dataSize);
    const DWORD payloadLength = wordAt(message, 8) - kMessageHeader;
    const BYTE* payload = message + kMessageHeader;
    *replyKind = kind == SIM_MESSAGE_ECHO ? wordAt(message, 4) : kind;
    if (simHostileChance(25)) *replyKind = simHostileNext() & 0xff;
    const DWORD dataSize = sizeSet == SIM_MESSAGE_ECHO ? payloadLength : sizeSet;
    const DWORD copied = std::min(size, dataSize);
    for (DWORD i = 0; i < copied; ++i)
        data[i] = payloadLength ? payload[i % payloadLength] : static_cast<BYTE>(i);
    return dataSize;
}

extern "C" DWORD simRunMessageCommand(DWORD command, const BYTE* payload, DWORD payloadLength,
                                      BYTE* reply, DWORD replyLength) {
    if (!payload || payloadLength < kMessageHeader || wordAt(payload, 8) != payloadLength)
        return bvsim::kCamInvalidParameter;
    DWORD kind = 0;
    if (command == 61) {
        if (!reply || replyLength < 4) return bvsim::kCamInvalidParameter;
        std::vector<BYTE> data(simMessageAnswer(payload, &kind, nullptr, 0));
        simMessageAnswer(payload, &kind, data.data(), static_cast<DWORD>(data.size()));
        const DWORD size = static_cast<DWORD>(data.size());
        std::memcpy(reply, &size, 4);
        if (size) simQueueBulkData(data.data(), size);
        return 0;
    }
    if (!reply || replyLength < kMessageHeader) return bvsim::kCamInvalidParameter;
    const DWORD length =
        simMessageAnswer(payload, &kind, reply + kMessageHeader, replyLength - kMessageHeader);
    const DWORD carried = std::min(length, replyLength - kMessageHeader);
    const DWORD header[4] = {wordAt(payload, 0), kind, kMessageHeader + carried, wordAt(payload, 12)};
    std::memcpy(reply, header, sizeof header);
    return 0;
}
