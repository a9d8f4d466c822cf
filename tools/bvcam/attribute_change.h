// The attribute argument of "bvcam chmod": "+r" sets the read-only bit,
// "-r" clears it, and a hexadecimal byte ("01", "0x20") replaces the
// attributes outright.
#pragma once

#include <windows.h>

#include <string>

struct AttributeChange {
    enum Kind { Set, Clear, Replace } kind;
    BYTE bits;
    // Set and Clear start from the entry's current attributes.
    bool needsCurrent() const { return kind != Replace; }
};

// False for anything but "+r", "-r" or one hexadecimal byte.
bool parseAttributeChange(const std::string& text, AttributeChange* change);

// The attribute byte to store. The directory bit is left out: it tells
// what an entry is and only the camera decides it.
BYTE applyAttributeChange(const AttributeChange& change, BYTE current);
