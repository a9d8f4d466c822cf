#include "usb_payloads.h"

#include <cstring>

#include "../Common/text_size.h"

namespace bv {
namespace {

constexpr BYTE kSubtreeSecondText = 0x40;

// A block of header bytes followed by a text of textLength bytes.
PayloadBlock withText(DWORD headerLength, const char* text, DWORD textLength) {
    PayloadBlock payload;
    payload.length = headerLength + textLength;
    payload.block.reset(allocBlock(payload.length));
    if (payload.block)
        std::memcpy(static_cast<BYTE*>(payload.block.get()) + headerLength, text, textLength);
    return payload;
}

void putWord(const PayloadBlock& payload, DWORD offset, DWORD value) {
    std::memcpy(static_cast<BYTE*>(payload.block.get()) + offset, &value, sizeof value);
}

DWORD listLength(const char* list) {
    DWORD size = 0;
    stringListSize(list, &size);
    return size;
}

}  // namespace

PayloadBlock buildPutPayload(DWORD fileSize, const char* name) {
    DWORD nameLength = 0;
    stringSize(name, &nameLength);
    PayloadBlock payload = withText(8, name, nameLength);
    if (payload.block) {
        putWord(payload, 0, fileSize);
        putWord(payload, 4, nameLength);
    }
    return payload;
}

PayloadBlock buildAttribsPayload(BYTE attributes, const char* fileList) {
    const DWORD length = listLength(fileList);
    PayloadBlock payload = withText(5, fileList, length);
    if (payload.block) {
        *static_cast<BYTE*>(payload.block.get()) = attributes;
        putWord(payload, 1, length);
    }
    return payload;
}

PayloadBlock buildTimesPayload(DWORD time, const char* fileList) {
    const DWORD length = listLength(fileList);
    PayloadBlock payload = withText(8, fileList, length);
    if (payload.block) {
        putWord(payload, 0, time);
        putWord(payload, 4, length);
    }
    return payload;
}

DWORD subtreeLength(const BYTE* subtree) {
    DWORD offset = 0;
    for (;;) {
        const BYTE flags = subtree[offset];
        const char* name = reinterpret_cast<const char*>(subtree + offset + 1);
        if (*name == '\0') return (offset + 2) & 0xff;
        DWORD next = offset + 1 + static_cast<DWORD>(std::strlen(name)) + 1;
        if (flags & kSubtreeSecondText)
            next += static_cast<DWORD>(std::strlen(reinterpret_cast<const char*>(subtree + next))) + 1;
        offset = next;
    }
}

}  // namespace bv
