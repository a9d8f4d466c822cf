// Helpers over a caller's bvlStream, shared by every subsystem that moves
// bulk data: each calls one callback with the record's context first and
// reports the error word that the callback stored.
#pragma once

#include "win_types.h"

#include "bvcl2sti.h"

namespace bv {

// Writes length bytes through WriteCB until all are taken. Stops at the
// first error the callback reports, or with shortWriteError (the caller's
// layer's STREAM_WRITE_ERROR: BVL_E_STREAM_WRITE_ERROR or
// BVL_E_LL_STREAM_WRITE_ERROR) when the callback takes 0 bytes or claims
// more than remained. *error is 0 when every byte was written.
void writeAll(const bvlStream* stream, const BYTE* buffer, DWORD length, DWORD shortWriteError,
              DWORD* error);

// Each sets *error to 0 and then calls the callback, if the record has one.
void streamOpen(const bvlStream* stream, DWORD mode, DWORD* error);
void streamClose(const bvlStream* stream, DWORD* error);
void streamProgress(const bvlStream* stream, DWORD percent, DWORD* error);

// A stream opened with OpenCB that must see CloseCB exactly once: open()
// returns the open error (nothing to close then); close() calls CloseCB and
// returns its error; the destructor closes a session still open, for the
// early returns whose own error wins anyway.
class StreamSession {
public:
    explicit StreamSession(const bvlStream* stream) : stream_(stream) {}
    StreamSession(const StreamSession&) = delete;
    StreamSession& operator=(const StreamSession&) = delete;
    ~StreamSession() { close(); }

    DWORD open(DWORD mode);
    DWORD close();

private:
    const bvlStream* stream_;
    bool open_ = false;
};

}  // namespace bv
