// Lengths of what the storage commands carry: texts, text lists and the
// directory subtree record. Pure; builds without the system headers.
#pragma once

#include "win_types.h"

namespace bv {

// Payload lengths of a text (with its terminator) and of a list of texts
// ended by an extra NUL (both final NULs included).
DWORD textLength(const char* text);
DWORD listLength(const char* list);

// Length of a subtree record (entries of a flags byte and a name, flag
// 0x40 adding a second text, ended by an empty name): the offset of the
// final flags byte plus 2, as an 8-bit count, since the camera reads the
// length of this record as one byte.
DWORD subtreeLength(const BYTE* subtree);

}  // namespace bv
