// Text, list and subtree record lengths over the input ended by four NULs
// (a list ends within two of them, a subtree record within four).
#include "fuzz.h"
#include "Common/text_size.h"
#include "front/payload_lengths.h"

FUZZ_TARGET {
    std::vector<char> text(data, data + size);
    text.insert(text.end(), 4, '\0');
    DWORD length = 0;
    bv::stringSize(text.data(), &length);
    check(length == std::strlen(text.data()) + 1 && bv::textLength(text.data()) == length);
    bv::stringListSize(text.data(), &length);
    check(length >= 2 && length <= size + 2 && !text[length - 2] && !text[length - 1] &&
          bv::listLength(text.data()) == length);
    bv::subtreeLength(reinterpret_cast<const BYTE*>(text.data()));
    return 0;
}
