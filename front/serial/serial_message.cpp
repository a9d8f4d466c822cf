// RS232C_MessageTxRx, RS232C_MessageTxAndRecievedData and
// RS232C_SetWakeupCode: the raw message exchange handed to the serial
// library. The message is sent through entry 4 of its g_bvlFactryAPI; then
// entry 0 is polled until the library sets the finished flag of the reply
// state record, calling the reply callback for each reply chunk on the way.
// The caller's idle callback runs between polls, and a time-out bounds the
// whole wait.
#include "serial_message.h"

#include "guarded_block.h"
#include "message_record.h"
#include "trace.h"
#include "guarded_call.h"
#include "serial_library.h"

namespace bv {
namespace {

constexpr DWORD kPollWaitMs = 50;
constexpr DWORD kIdleIntervalMs = 50;

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

}  // namespace
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
