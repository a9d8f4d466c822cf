// The serial stand-in's message table g_bvlFactryAPI, counted from 0:
// entry 4 sends a message, entry 0 polls for the reply and entry 6 sets the
// wake-up code. The virtual camera's answer to a message (simMessageAnswer)
// is delivered to the reply callback in chunks of up to 5120 bytes (or in
// the chunks a test scripted), one chunk per poll; a poll first waits as long as "serial.factry0" is told
// to. The other entries are recorded and refused.
#include <algorithm>
#include <cstring>
#include <vector>

#include "../../include/bvcl2sti.h"
#include "../camera/bvsim.h"
#include "../camera/sim_camera.h"

using namespace bvsim;

namespace {

constexpr DWORD kChunk = 5120;
constexpr DWORD kHeaderSize = 16;
constexpr DWORD kReplyHeaderSize = 36;

typedef DWORD(WINAPI* ReplyCallback)(BYTE* reply, UINT_PTR context, DWORD* done);

// Offsets in the reply state record shared with the caller; the callback
// and its context are addresses, wider on 64 bits.
constexpr size_t kStateReceived = 14;
constexpr size_t kStateFinished = 15;
constexpr size_t kStateCallback = 20;
constexpr size_t kStateContext = kStateCallback + sizeof(void*);

struct PendingReply {
    bool active = false;
    DWORD kind = 0;
    std::vector<BYTE> payload;
    DWORD sent = 0;        // plain chunks: bytes delivered so far
    DWORD nextChunk = 0;   // scripted chunks: the next one to deliver
};

PendingReply g_reply;

template <class T>
T readAt(const BYTE* base, size_t offset) {
    T value;
    std::memcpy(&value, base + offset, sizeof value);
    return value;
}

void writeWord(std::vector<BYTE>& record, size_t offset, DWORD value) {
    std::memcpy(record.data() + offset, &value, 4);
}

DWORD recordCall(DWORD entry, DWORD argCount, UINT_PTR a0, UINT_PTR a1, UINT_PTR a2, DWORD result) {
    SimSerialCall call = {1, entry, argCount, {a0, a1, a2, 0, 0}, result};
    simRecordSerialCall(&call);
    return result;
}

bool failed(DWORD entry, DWORD* code) {
    char step[32];
    wsprintfA(step, "serial.factry%lu", static_cast<unsigned long>(entry));
    return simShouldFail(step, code) != FALSE;
}

// In hostile mode some chunks come with an error status, a gap, or a
// length that runs past the record they arrive in.
void spoilChunk(SimReplyChunk& chunk) {
    if (!simHostileChance(20)) return;
    switch (simHostileNext() % 3) {
    case 0: chunk.status = simHostileSize(); break;
    case 1: chunk.offset += 1 + simHostileNext() % 16; break;
    default: chunk.length = simHostileSize(); break;
    }
}

// The next chunk: the next scripted one if a test set any, otherwise the
// next plain one of up to 5120 bytes; last is set on the final one.
SimReplyChunk nextChunk() {
    SimReplyChunk chunk = {};
    if (simSerialReplyChunkAt(g_reply.nextChunk, &chunk)) {
        ++g_reply.nextChunk;
        if (!simSerialReplyChunkAt(g_reply.nextChunk, nullptr)) chunk.last = 1;
        return chunk;
    }
    const DWORD total = static_cast<DWORD>(g_reply.payload.size());
    chunk.offset = g_reply.sent;
    chunk.length = std::min(kChunk, total - g_reply.sent);
    chunk.last = g_reply.sent + chunk.length == total;
    g_reply.sent += chunk.length;
    return chunk;
}

DWORD deliverNextChunk(BYTE* state) {
    const DWORD total = static_cast<DWORD>(g_reply.payload.size());
    SimReplyChunk chunk = nextChunk();
    spoilChunk(chunk);
    // The record carries the chunk's bytes, but never more than a few
    // plain chunks' worth whatever length the chunk claims.
    const DWORD carried = std::min(chunk.length, 16 * kChunk);
    std::vector<BYTE> reply(kReplyHeaderSize + carried);
    writeWord(reply, 0, readAt<WORD>(state, 4));
    writeWord(reply, 4, g_reply.kind);
    writeWord(reply, 8, kReplyHeaderSize + carried);
    writeWord(reply, 16, chunk.status);
    writeWord(reply, 20, total);
    writeWord(reply, 24, chunk.offset);
    writeWord(reply, 28, chunk.length);
    writeWord(reply, 32, chunk.last ? 1 : 0);
    for (DWORD i = 0; i < carried && chunk.offset + i < total; ++i)
        reply[kReplyHeaderSize + i] = g_reply.payload[chunk.offset + i];

    DWORD done = 0;
    auto callback = readAt<ReplyCallback>(state, kStateCallback);
    DWORD rc = callback ? callback(reply.data(), readAt<UINT_PTR>(state, kStateContext), &done) : 0;
    state[kStateReceived] = chunk.last ? 0 : 1;
    if (chunk.last || done || !callback) {
        state[kStateFinished] = 1;
        g_reply = PendingReply();
    }
    return rc;
}

DWORD WINAPI fakePoll(DWORD camera, BYTE* state, DWORD wait) {
    if (DWORD ms = simStepDelay("serial.factry0")) Sleep(ms);
    DWORD code = 0;
    if (failed(0, &code)) return recordCall(0, 3, camera, reinterpret_cast<UINT_PTR>(state), wait, code);
    DWORD rc = 0;
    if (!state)
        rc = kCamInvalidParameter;
    else if (g_reply.active)
        rc = deliverNextChunk(state);
    return recordCall(0, 3, camera, reinterpret_cast<UINT_PTR>(state), wait, rc);
}

DWORD WINAPI fakeSend(DWORD camera, const BYTE* message) {
    DWORD code = 0;
    if (failed(4, &code)) return recordCall(4, 2, camera, reinterpret_cast<UINT_PTR>(message), 0, code);
    if (!message) return recordCall(4, 2, camera, 0, 0, kCamInvalidParameter);
    const DWORD total = readAt<DWORD>(message, 8);
    if (total < kHeaderSize) return recordCall(4, 2, camera, reinterpret_cast<UINT_PTR>(message), 0,
                                               kCamInvalidParameter);
    g_reply.active = true;
    g_reply.payload.resize(simMessageAnswer(message, &g_reply.kind, nullptr, 0));
    simMessageAnswer(message, &g_reply.kind, g_reply.payload.data(),
                     static_cast<DWORD>(g_reply.payload.size()));
    g_reply.sent = 0;
    g_reply.nextChunk = 0;
    return recordCall(4, 2, camera, reinterpret_cast<UINT_PTR>(message), 0, 0);
}

DWORD WINAPI fakeSetWakeupCode(BYTE wakeupCode) {
    DWORD code = 0;
    if (failed(6, &code)) return recordCall(6, 1, wakeupCode, 0, 0, code);
    return recordCall(6, 1, wakeupCode, 0, 0, 0);
}

DWORD WINAPI fakeUnusedEntry1(DWORD camera) { return recordCall(1, 1, camera, 0, 0, kCamNotSupported); }
DWORD WINAPI fakeUnusedEntry2(DWORD camera) { return recordCall(2, 1, camera, 0, 0, kCamNotSupported); }
DWORD WINAPI fakeUnusedEntry3(DWORD camera) { return recordCall(3, 1, camera, 0, 0, kCamNotSupported); }
DWORD WINAPI fakeUnusedEntry5(DWORD camera) { return recordCall(5, 1, camera, 0, 0, kCamNotSupported); }

}  // namespace

struct FakeFactryTable {
    void* entries[7];
};

extern "C" __declspec(dllexport) const FakeFactryTable g_bvlFactryAPI = {{
    reinterpret_cast<void*>(fakePoll), reinterpret_cast<void*>(fakeUnusedEntry1),
    reinterpret_cast<void*>(fakeUnusedEntry2), reinterpret_cast<void*>(fakeUnusedEntry3),
    reinterpret_cast<void*>(fakeSend), reinterpret_cast<void*>(fakeUnusedEntry5),
    reinterpret_cast<void*>(fakeSetWakeupCode),
}};
