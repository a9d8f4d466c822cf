// Text, list and subtree record lengths over the input ended by four NULs
// (a list ends at its first pair of NULs, a subtree record within four).
#include "fuzz.h"
#include "Common/text_size.h"
#include "front/usb/payload_lengths.h"

FUZZ_TARGET {
    std::vector<char> text(data, data + size);
    text.insert(text.end(), 4, '\0');
    DWORD length = 0;
    bv::stringSize(text.data(), &length);
    check(length == std::strlen(text.data()) + 1 && bv::textLength(text.data()) == length);
    bv::stringListSize(text.data(), &length);  // up to the first pair of NULs, both counted
    const size_t pair = std::string(text.data(), text.size()).find(std::string(2, '\0'));
    check(length == pair + 2 && bv::listLength(text.data()) == length);
    bv::subtreeLength(reinterpret_cast<const BYTE*>(text.data()));
    return 0;
}
