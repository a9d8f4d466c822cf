#include "message_record.h"

#include <cstring>

#include "guarded_block.h"

namespace bv {

dePC_MESSAGE* buildMessageRecord(WORD messageCode, const void* payload, DWORD length,
                                 DWORD messageKind, DWORD messageParam) {
    if (length > MAXDWORD - kMessageHeaderSize) return nullptr;
    auto* message = static_cast<dePC_MESSAGE*>(allocZeroedBlock(kMessageHeaderSize + length));
    if (!message) return nullptr;
    message->messageCode = messageCode;
    message->messageKind = messageKind;
    message->totalLength = kMessageHeaderSize + length;
    message->messageParam = messageParam;
    if (length != 0) std::memcpy(message + 1, payload, length);
    return message;
}

}  // namespace bv
