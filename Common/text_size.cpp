#include "text_size.h"

#include <cstring>

namespace bv {

BOOL stringSize(const char* text, DWORD* size) {
    *size = static_cast<DWORD>(std::strlen(text) + 1);
    return TRUE;
}

BOOL stringListSize(const char* list, DWORD* size) {
    DWORD offset = 0;
    while (list[offset] != '\0' || list[offset + 1] != '\0') ++offset;
    *size = offset + 2;
    return TRUE;
}

}  // namespace bv
