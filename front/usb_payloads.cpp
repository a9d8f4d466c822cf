#include "usb_payloads.h"

#include <cstring>

#include "../Common/text_size.h"

namespace bv {
namespace {

constexpr BYTE kSubtreeSecondText = 0x40;

// The shape of every built payload: a leading value of valueSize bytes,
// the text's length as a 32-bit word, then the text.
PayloadBlock valueLengthText(const void* value, DWORD valueSize, const char* text, DWORD textLength) {
    PayloadBlock payload;
    payload.length = valueSize + 4 + textLength;
    payload.block.reset(allocBlock(payload.length));
    if (!payload.block) return payload;
    BYTE* bytes = static_cast<BYTE*>(payload.block.get());
    std::memcpy(bytes, value, valueSize);
    std::memcpy(bytes + valueSize, &textLength, 4);
    std::memcpy(bytes + valueSize + 4, text, textLength);
    return payload;
}

}  // namespace

DWORD textLength(const char* text) {
    DWORD size = 0;
    stringSize(text, &size);
    return size;
}

DWORD listLength(const char* list) {
    DWORD size = 0;
    stringListSize(list, &size);
    return size;
}

PayloadBlock buildPutPayload(DWORD fileSize, const char* name) {
    return valueLengthText(&fileSize, sizeof fileSize, name, textLength(name));
}

PayloadBlock buildAttribsPayload(BYTE attributes, const char* fileList) {
    return valueLengthText(&attributes, sizeof attributes, fileList, listLength(fileList));
}

PayloadBlock buildTimesPayload(DWORD time, const char* fileList) {
    return valueLengthText(&time, sizeof time, fileList, listLength(fileList));
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
