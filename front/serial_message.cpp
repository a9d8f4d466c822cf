// RS232C_MessageTxRx, RS232C_MessageTxAndRecievedData and
// RS232C_SetWakeupCode: the raw message exchange handed to the serial
// library. The message is sent through entry 4 of its g_bvlFactryAPI; then
// entry 0 is polled until the library sets the finished flag of the reply
// state record, calling the reply callback for each reply chunk on the way.
// The caller's idle callback runs between polls, and a time-out bounds the
// whole wait.
#include "serial_message.h"

#include <cstring>

#include "../Common/guarded_block.h"
#include "../Common/message_record.h"
#include "../Common/stream_wrappers.h"
#include "../Common/trace.h"
#include "guarded_call.h"
#include "serial_library.h"

namespace bv {
namespace {

constexpr DWORD kPollWaitMs = 50;
constexpr DWORD kIdleIntervalMs = 50;
constexpr DWORD kSerialStreamBase = 0x02000000;  // component of the stream write error
constexpr WORD kClampLow = 1;
constexpr WORD kClampHigh = 99;

// The serial library's message table, or null (after a line on the
// debugger output) when the library is not loaded or has no such table.
// No loading here: only the serial open loads the library.
const SerialFactryTable* messageTable() {
    const ProcessState& state = processState();
    if (!state.serialLibrary) {
        OutputDebugStringA("m_hBvll == NULL\n\r");
        return nullptr;
    }
    const SerialFactryTable* table = findSerialFactryTable(state);
    if (!table) OutputDebugStringA("GetProcAddress g_bvlFactryAPI err\n\r");
    return table;
}

void fillReplyState(SerialReplyState& state, WORD messageCode, DWORD replyKind,
                    DWORD messageParam, bvlMsgFoundCB replyCB, void* replyContext) {
    state.messageCode = messageCode;
    state.replyKind = replyKind;
    state.messageParam = messageParam;
    state.received = 0;
    state.finished = 0;
    state.replyCB = replyCB;
    state.replyContext = replyContext;
}

struct SerialMessage {
    DWORD camera;
    WORD messageCode;
    const void* payload;
    DWORD length;
    DWORD messageKind;
    DWORD messageParam;
};

struct IdleWait {
    bvlIntervalCB idleCB;
    void* idleContext;
    DWORD timeoutMs;
};

// Sends the message and polls until the library reports the exchange
// finished. With watchReceived, the idle callback waits while reply data
// keeps arriving. The message record lives only for this call.
//
// Everything runs on the caller's thread, so a stop (the time-out or the
// idle callback's result) returns at once and no caller callback runs
// after it; a stream that the chunk writer opened stays open, and closing
// it is the caller's, as on the USB road.
DWORD exchange(const SerialFactryTable& table, const SerialMessage& m, SerialReplyState& state,
               const IdleWait& idle, bool watchReceived) {
    OwnedBlock message(
        buildMessageRecord(m.messageCode, m.payload, m.length, m.messageKind, m.messageParam));
    if (!message) {
        OutputDebugStringA("memory alloc err\n\r");
        return BVL_E_LL_MEM_ALLOC_FAILED;
    }
    if (DWORD rc = table.sendMessage(m.camera, message.get())) {
        OutputDebugStringA("bvlMsgTx error\n\r");
        return rc;
    }
    const DWORD start = GetTickCount();
    DWORD idleSince = start;
    for (;;) {
        const DWORD now = GetTickCount();
        if (now - start > idle.timeoutMs) return BVL_E_LL_DEVICE_INTERNAL_ERROR;
        // Without a context the idle callback is never called, even when given.
        if (now - idleSince > kIdleIntervalMs && idle.idleContext && idle.idleCB) {
            if (DWORD rc = idle.idleCB(idle.idleContext)) return rc;
            idleSince = now;
        }
        const DWORD rc = table.pollReply(m.camera, &state, kPollWaitMs);
        if (state.finished) return rc;
        if (watchReceived && state.received) idleSince = GetTickCount();
    }
}

// Closes the stream if this writer opened it and has not closed it yet;
// returns CloseCB's error.
DWORD closeOpenStream(SerialDataState& data) {
    if (data.streamState != SerialStreamState::Open) return 0;
    data.streamState = SerialStreamState::Closed;
    DWORD error = 0;
    streamClose(data.stream, &error);
    return error;
}

// A stream callback failed. The serial library is told nothing (0, done
// unchanged), as it expects of a reply callback; the writer closes what it
// opened, ignores the chunks still to come and keeps the error for the
// exchange's result.
DWORD failWriting(SerialDataState& data, DWORD error) {
    if (!data.failure) data.failure = error;
    closeOpenStream(data);
    return 0;
}

}  // namespace

DWORD serialChunkProgress(DWORD offset, DWORD length, DWORD total, bool clamp) {
    DWORD percent = total == 0 ? 100
                               : static_cast<DWORD>((static_cast<ULONGLONG>(offset) + length) * 100 /
                                                    total);
    if (clamp) {
        if (static_cast<WORD>(percent) == 0) percent = kClampLow;
        if (static_cast<WORD>(percent) == 100) percent = kClampHigh;
    }
    return percent;
}

// Chunks arrive in order; one whose offset is not the count received so
// far is ignored. The stream opens at the first chunk taken (a chunk of no
// bytes included) and closes after the last; a nonzero status from the
// library ends the reply with it.
DWORD WINAPI serialChunkWriter(dePC_MESSAGE* reply, void* context, DWORD* done) {
    SerialDataState& data = *static_cast<SerialDataState*>(context);
    const bvlStream* stream = data.stream;
    SerialReplyChunk chunk;
    std::memcpy(&chunk, reply, sizeof chunk);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(reply) + sizeof chunk;
    const bool clamp = stream->clampFlag != 0;
    const WORD mode = stream->progressMode;
    DWORD error = 0;

    if (chunk.status != 0) {
        closeOpenStream(data);
        *done = 1;
        return chunk.status;
    }
    if (data.failure || chunk.offset != data.received) return 0;
    // The chunk's bytes must lie inside the record the library handed over.
    if (chunk.header.totalLength < sizeof chunk ||
        chunk.length > chunk.header.totalLength - sizeof chunk)
        return failWriting(data, BVL_E_FILE_DATA_CORRUPT);
    if (data.streamState == SerialStreamState::Unopened) {
        if (mode == BVL_PROGRESS_PERCENT && !clamp) {
            streamProgress(stream, 0, &error);
            if (error) return failWriting(data, error);
        }
        streamOpen(stream, BVL_STREAM_OPEN_WRITE, &error);
        if (error) return failWriting(data, error);
        data.streamState = SerialStreamState::Open;
    }
    data.received += chunk.length;
    writeAll(stream, bytes, chunk.length, kSerialStreamBase, &error);
    if (error) return failWriting(data, error);
    if (mode == BVL_PROGRESS_PERCENT) {
        streamProgress(stream, serialChunkProgress(chunk.offset, chunk.length, chunk.total, clamp),
                       &error);
        if (error) return failWriting(data, error);
    }
    if (!chunk.last) {
        *done = 0;
        return 0;
    }
    if (mode == BVL_PROGRESS_END_ONLY && !clamp) {
        streamProgress(stream, 100, &error);
        if (error) return failWriting(data, error);
    }
    if ((error = closeOpenStream(data))) return failWriting(data, error);
    *done = 1;
    return 0;
}

DWORD finishSerialData(SerialDataState& data, DWORD rc) {
    const bool complete = data.streamState == SerialStreamState::Closed;
    closeOpenStream(data);
    if (data.failure) return data.failure;
    if (rc) return rc;
    return complete ? 0 : BVL_E_FILE_DATA_CORRUPT;
}

}  // namespace bv

using namespace bv;

extern "C" DWORD WINAPI RS232C_MessageTxRx(DWORD camera, WORD messageCode, const void* payload,
                                           DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                           DWORD messageParam, bvlMsgFoundCB replyCB,
                                           void* replyContext, DWORD /*unused*/,
                                           bvlIntervalCB idleCB, void* idleContext,
                                           DWORD timeoutMs) {
    traceLine("RS232C_MessageTxRx is called\n");
    if (!messagePayloadFits(payload, payloadLength)) return BVL_E_INVALID_PARAMETER;
    return runGuarded([&]() -> DWORD {
        const SerialFactryTable* table = messageTable();
        if (!table) return BVL_E_LL_DEVICE_INTERNAL_ERROR;
        SerialReplyState state = {};
        fillReplyState(state, messageCode, replyKind, messageParam, replyCB, replyContext);
        return exchange(*table,
                        {camera, messageCode, payload, payloadLength, messageKind, messageParam},
                        state, {idleCB, idleContext, timeoutMs}, false);
    });
}

extern "C" DWORD WINAPI RS232C_MessageTxAndRecievedData(DWORD camera, WORD messageCode,
                                                        const void* payload, DWORD payloadLength,
                                                        DWORD messageKind, DWORD replyKind,
                                                        DWORD messageParam, bvlStream* stream,
                                                        bvlIntervalCB idleCB, void* idleContext,
                                                        DWORD timeoutMs) {
    traceLine("RS232C_MessageTxAndRecievedData is called\n");
    if (!messagePayloadFits(payload, payloadLength)) return BVL_E_INVALID_PARAMETER;
    return runGuarded([&]() -> DWORD {
        if (!stream || !stream->WriteCB) return BVL_E_MESSAGE_STREAM_INCOMPLETE;
        const SerialFactryTable* table = messageTable();
        if (!table) return BVL_E_LL_DEVICE_INTERNAL_ERROR;
        OwnedBlock block(allocZeroedBlock(sizeof(SerialDataState)));
        if (!block) return BVL_E_LL_MEM_ALLOC_FAILED;
        auto* data = static_cast<SerialDataState*>(block.get());
        data->stream = stream;
        fillReplyState(data->reply, messageCode, replyKind, messageParam, serialChunkWriter, data);
        const DWORD rc = exchange(
            *table, {camera, messageCode, payload, payloadLength, messageKind, messageParam},
            data->reply, {idleCB, idleContext, timeoutMs}, true);
        // A stop (time-out, idle callback) leaves an open stream to the caller.
        return data->reply.finished ? finishSerialData(*data, rc) : rc;
    });
}

extern "C" DWORD WINAPI RS232C_SetWakeupCode(BYTE code) {
    traceLine("RS232C_SetWakeupCode is called\n");
    ProcessState& state = processState();
    if (!state.serialLibrary) {
        OutputDebugStringA("m_hBvll == NULL\n\r");
        loadSerialLibrary(state);
    }
    const SerialFactryTable* table = findSerialFactryTable(state);
    if (!table) {
        OutputDebugStringA("GetProcAddress g_bvlFactryAPI err\n\r");
        return BVL_E_LL_DEVICE_INTERNAL_ERROR;
    }
    table->setWakeupCode(code);
    return 0;
}
