// Sizes of the texts that travel in command payloads.
#pragma once

#include "win_types.h"

namespace bv {

// Size of a NUL-terminated text with its terminator (1 for an empty text).
// Always returns TRUE, by design: every text has a size, and callers use
// only the size.
BOOL stringSize(const char* text, DWORD* size);

// Size of a list of NUL-terminated texts ended by an extra NUL: the offset
// of the first two consecutive zero bytes plus 2 (3 for a list holding "a").
// Always returns TRUE, by design, like stringSize.
BOOL stringListSize(const char* list, DWORD* size);

}  // namespace bv
