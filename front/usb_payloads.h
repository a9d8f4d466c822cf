// Payloads of the storage commands, laid out as the camera reads them
// (little-endian, packed), and the length of a directory subtree record.
#pragma once

#include <windows.h>

#include "../Common/guarded_block.h"

namespace bv {

// A payload built in a guarded block; an empty block means the memory
// could not be had.
struct PayloadBlock {
    OwnedBlock block;
    DWORD length = 0;
};

// Payload lengths of a text (with its terminator) and of a list of texts
// ended by an extra NUL (both final NULs included).
DWORD textLength(const char* text);
DWORD listLength(const char* list);

// Upload: file size, name length with terminator, name.
PayloadBlock buildPutPayload(DWORD fileSize, const char* name);
// Attributes: the attribute byte, the list length (unaligned), the list.
PayloadBlock buildAttribsPayload(BYTE attributes, const char* fileList);
// Times: the time value, the list length, the list.
PayloadBlock buildTimesPayload(DWORD time, const char* fileList);

// Length of a subtree record (entries of a flags byte and a name, flag
// 0x40 adding a second text, ended by an empty name): the offset of the
// final flags byte plus 2, as an 8-bit count, since the camera reads the
// length of this record as one byte.
DWORD subtreeLength(const BYTE* subtree);

}  // namespace bv
