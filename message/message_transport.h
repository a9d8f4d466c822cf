// The USB roads of the two message exchange entry points.
#pragma once

#include "message_record.h"
#include "message_private.h"

namespace bv {

struct MessageArgs {
    WORD messageCode;
    const void* payload;
    DWORD payloadLength;
    DWORD messageKind;
    DWORD messageParam;
};

inline dePC_MESSAGE* buildMessage(const MessageArgs& m) {
    return buildMessageRecord(m.messageCode, m.payload, m.payloadLength, m.messageKind,
                              m.messageParam);
}

// Sends the message with command 60 and hands a reply of replyKind to
// msgFoundCB on the worker thread. BVL_E_MESSAGE_NESTED when the calling
// thread is waiting for an exchange already.
DWORD newMessageOverUsb(const MessageArgs& m, DWORD replyKind, bvlMsgFoundCB msgFoundCB,
                        void* msgFoundContext, DWORD replyCapacity, const IntervalWait& wait);

// Sends the message with command 61 and streams the data that the camera
// announces into the caller's stream. BVL_E_MESSAGE_NESTED as above.
DWORD dataMessageOverUsb(const MessageArgs& m, const bvlStream* stream, const IntervalWait& wait);

}  // namespace bv
