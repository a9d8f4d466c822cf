// The exported message table g_bvlNewFactryAPI and its entry points. On a
// serial port both exchanges are handed unchanged to the RS232C_ functions;
// any other port type takes the USB road of this library.
#include "message_transport.h"

#include "trace.h"
#include "guarded_call.h"
#include "process_state.h"

using namespace bv;

namespace {

bool serialRoad() { return processState().portType == BVL_PORT_SERIAL; }

}  // namespace

extern "C" DWORD WINAPI bvlNewMessageTxRx(DWORD camera, WORD messageCode, const void* payload,
                                          DWORD payloadLength, DWORD messageKind, DWORD replyKind,
                                          DWORD messageParam, bvlMsgFoundCB msgFoundCB,
                                          void* msgFoundContext, DWORD replyCapacity,
                                          bvlIntervalCB intervalCB, void* intervalContext,
                                          DWORD timeoutMs) {
    traceLine("bvlNewMessageTxRx is called\n");
    if (serialRoad())
        return RS232C_MessageTxRx(camera, messageCode, payload, payloadLength, messageKind,
                                  replyKind, messageParam, msgFoundCB, msgFoundContext,
                                  replyCapacity, intervalCB, intervalContext, timeoutMs);
    if (!messagePayloadFits(payload, payloadLength)) return BVL_E_INVALID_PARAMETER;
    return runGuarded([&] {
        return newMessageOverUsb({messageCode, payload, payloadLength, messageKind, messageParam},
                                 replyKind, msgFoundCB, msgFoundContext, replyCapacity,
                                 {intervalCB, intervalContext, timeoutMs});
    });
}

extern "C" DWORD WINAPI bvlMessageTxAndRecieveData(DWORD camera, WORD messageCode,
                                                   const void* payload, DWORD payloadLength,
                                                   DWORD messageKind, DWORD replyKind,
                                                   DWORD messageParam, bvlStream* stream,
                                                   bvlIntervalCB intervalCB, void* intervalContext,
                                                   DWORD timeoutMs) {
    traceLine("bvlMessageTxAndRecieveData is called\n");
    if (serialRoad())
        return RS232C_MessageTxAndRecievedData(camera, messageCode, payload, payloadLength,
                                               messageKind, replyKind, messageParam, stream,
                                               intervalCB, intervalContext, timeoutMs);
    if (!messagePayloadFits(payload, payloadLength)) return BVL_E_INVALID_PARAMETER;
    return runGuarded([&] {
        return dataMessageOverUsb({messageCode, payload, payloadLength, messageKind, messageParam},
                                  stream, {intervalCB, intervalContext, timeoutMs});
    });
}

extern "C" DWORD WINAPI bvlSuspend(DWORD /*camera*/) {
    traceLine("bvlSuspend is called\n");
    return 0;
}

extern "C" DWORD WINAPI bvlFlashMessage(DWORD /*camera*/, DWORD /*word1*/, DWORD /*word2*/) {
    traceLine("bvlFlashMessage is called\n");
    return 0;
}

extern "C" DWORD WINAPI bvlTestWakeupCode(DWORD /*word1*/, DWORD /*word2*/) {
    traceLine("bvlTestWakeupCode is called\n");
    return 0;
}

// Forwards to the serial library whatever the port type; its result does
// not matter to the caller.
extern "C" DWORD WINAPI bvlSetWakeupCode(DWORD code) {
    traceLine("bvlSetWakeupCode is called\n");
    RS232C_SetWakeupCode(static_cast<BYTE>(code));
    return 0;
}

extern "C" const bvlNewFactryAPI g_bvlNewFactryAPI = {
    bvlNewMessageTxRx, bvlMessageTxAndRecieveData, bvlSuspend, bvlFlashMessage, bvlSetWakeupCode,
};
