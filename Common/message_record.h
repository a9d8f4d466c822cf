// The raw message record sent to the camera on either port: a dePC_MESSAGE
// header followed by the caller's payload, in one guarded block.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

namespace bv {

constexpr DWORD kMessageHeaderSize = sizeof(dePC_MESSAGE);

// Builds the record in a zero-filled guarded block: the message code
// widened, kind and parameter as given, totalLength = length + 16, then a
// copy of the payload. Null when the block cannot be had (or the length
// leaves no room for the header). The caller releases it with freeBlock.
// Whether a caller's payload can become a message: an address for any
// bytes, and a length that leaves room for the header.
inline bool messagePayloadFits(const void* payload, DWORD length) {
    return (payload || length == 0) && length <= MAXDWORD - kMessageHeaderSize;
}

dePC_MESSAGE* buildMessageRecord(WORD messageCode, const void* payload, DWORD length,
                                 DWORD messageKind, DWORD messageParam);

}  // namespace bv
