// A bvlStream over a growable memory buffer, for the library's own reads
// of bulk data (the volume list behind the settings dialog). OpenCB starts
// an empty buffer of 1024 bytes, WriteCB appends and grows it, TellCB gives
// the length used; CloseCB puts a zero into the last used byte, so that
// collected text ends there. Allocation failures report
// BVL_E_LL_MEM_ALLOC_FAILED.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "guarded_block.h"

namespace bv {

class memoryStream {
public:
    memoryStream();
    memoryStream(const memoryStream&) = delete;
    memoryStream& operator=(const memoryStream&) = delete;

    bvlStream* stream() { return &stream_; }
    // The collected bytes; null until the stream was opened.
    const BYTE* data() const { return static_cast<const BYTE*>(buffer_.get()); }
    DWORD length() const { return length_; }

private:
    static memoryStream& self(UINT_PTR context);
    static void WINAPI onOpen(UINT_PTR context, DWORD mode, DWORD* error);
    static void WINAPI onClose(UINT_PTR context, DWORD* error);
    static void WINAPI onRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error);
    static void WINAPI onSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error);
    static DWORD WINAPI onTell(UINT_PTR context, DWORD* error);
    static void WINAPI onProgress(UINT_PTR context, DWORD percent, DWORD* error);

    bool grow(DWORD count);

    bvlStream stream_;
    OwnedBlock buffer_;
    DWORD length_ = 0;
    DWORD capacity_ = 0;
};

}  // namespace bv
