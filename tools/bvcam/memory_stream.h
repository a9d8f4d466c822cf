// A bvlStream that collects everything written to it in memory.
#pragma once

#include <vector>

#include "bvcl2sti.h"

class MemoryStream {
public:
    MemoryStream();
    bvlStream* stream() { return &stream_; }
    const std::vector<BYTE>& bytes() const { return bytes_; }

private:
    static void WINAPI onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error);
    bvlStream stream_;
    std::vector<BYTE> bytes_;
};

struct VolumeInfo {
    DWORD totalBytes;
    DWORD freeBytes;
    const char* name;
};

// Walks the volume list as baseGetVols writes it (a count, then entries of
// three words and a name); false when the bytes run out early.
bool parseVolumeList(const std::vector<BYTE>& bytes, std::vector<VolumeInfo>& volumes);
