#include "stream_wrappers.h"

namespace bv {

void writeAll(const bvlStream* stream, const BYTE* buffer, DWORD length, DWORD shortWriteError,
              DWORD* error) {
    *error = 0;
    while (length > 0) {
        DWORD count = length;
        stream->WriteCB(stream->context, buffer, &count, error);
        if (*error != 0) return;
        if (count == 0 || count > length) {
            *error = shortWriteError;
            return;
        }
        buffer += count;
        length -= count;
    }
}

void streamOpen(const bvlStream* stream, DWORD mode, DWORD* error) {
    *error = 0;
    if (stream->OpenCB) stream->OpenCB(stream->context, mode, error);
}

void streamClose(const bvlStream* stream, DWORD* error) {
    *error = 0;
    if (stream->CloseCB) stream->CloseCB(stream->context, error);
}

void streamProgress(const bvlStream* stream, DWORD percent, DWORD* error) {
    *error = 0;
    if (stream->ProgressCB) stream->ProgressCB(stream->context, percent, error);
}

DWORD StreamSession::open(DWORD mode) {
    DWORD error = 0;
    streamOpen(stream_, mode, &error);
    open_ = error == 0;
    return error;
}

DWORD StreamSession::close() {
    if (!open_) return 0;
    open_ = false;
    DWORD error = 0;
    streamClose(stream_, &error);
    return error;
}

}  // namespace bv
