#include "attribute_change.h"

#include <cstdlib>

#include "camera_formats.h"

bool parseAttributeChange(const std::string& text, AttributeChange* change) {
    if (text == "+r" || text == "+R") {
        *change = {AttributeChange::Set, kAttribReadOnly};
        return true;
    }
    if (text == "-r" || text == "-R") {
        *change = {AttributeChange::Clear, kAttribReadOnly};
        return true;
    }
    if (text.empty() || text[0] == '+' || text[0] == '-') return false;
    char* end = nullptr;
    const unsigned long value = std::strtoul(text.c_str(), &end, 16);
    if (*end != '\0' || value > 0xff) return false;
    *change = {AttributeChange::Replace, static_cast<BYTE>(value)};
    return true;
}

BYTE applyAttributeChange(const AttributeChange& change, BYTE current) {
    BYTE result = change.bits;
    if (change.kind == AttributeChange::Set) result = current | change.bits;
    if (change.kind == AttributeChange::Clear) result = current & ~change.bits;
    return result & ~kAttribDirectory;
}
