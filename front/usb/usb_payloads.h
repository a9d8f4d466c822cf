// Payloads of the storage commands, laid out as the camera reads them
// (little-endian, packed).
#pragma once

#include <windows.h>

#include "guarded_block.h"
#include "payload_lengths.h"

namespace bv {

// A payload built in a guarded block; an empty block means the memory
// could not be had.
struct PayloadBlock {
    OwnedBlock block;
    DWORD length = 0;
};

// Upload: file size, name length with terminator, name.
PayloadBlock buildPutPayload(DWORD fileSize, const char* name);
// Attributes: the attribute byte, the list length (unaligned), the list.
PayloadBlock buildAttribsPayload(BYTE attributes, const char* fileList);
// Times: the time value, the list length, the list.
PayloadBlock buildTimesPayload(DWORD time, const char* fileList);

}  // namespace bv
