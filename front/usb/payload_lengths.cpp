#include "payload_lengths.h"

#include <cstring>

#include "text_size.h"

namespace bv {
namespace {

constexpr BYTE kSubtreeSecondText = 0x40;

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
