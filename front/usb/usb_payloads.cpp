#include "usb_payloads.h"

#include <cstring>

namespace bv {
namespace {

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

PayloadBlock buildPutPayload(DWORD fileSize, const char* name) {
    return valueLengthText(&fileSize, sizeof fileSize, name, textLength(name));
}

PayloadBlock buildAttribsPayload(BYTE attributes, const char* fileList) {
    return valueLengthText(&attributes, sizeof attributes, fileList, listLength(fileList));
}

PayloadBlock buildTimesPayload(DWORD time, const char* fileList) {
    return valueLengthText(&time, sizeof time, fileList, listLength(fileList));
}

}  // namespace bv
