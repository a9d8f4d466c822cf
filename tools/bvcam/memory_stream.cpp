#include "memory_stream.h"

MemoryStream::MemoryStream() : stream_() {
    stream_.context = reinterpret_cast<UINT_PTR>(this);
    stream_.progressMode = BVL_PROGRESS_NONE;
    stream_.OpenCB = onOpen;
    stream_.WriteCB = onWrite;
}

// A transfer that starts over begins with nothing collected.
void WINAPI MemoryStream::onOpen(UINT_PTR context, DWORD, DWORD* error) {
    reinterpret_cast<MemoryStream*>(context)->bytes_.clear();
    *error = 0;
}

void WINAPI MemoryStream::onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    auto* self = reinterpret_cast<MemoryStream*>(context);
    if (self->stop_ && *self->stop_) {
        *count = 0;
        *error = BVL_E_STREAM_WRITE_ERROR;
        return;
    }
    self->bytes_.insert(self->bytes_.end(), buffer, buffer + *count);
    *error = 0;
}

void MemoryStream::reportProgress(std::function<void(DWORD percent)> report) {
    report_ = std::move(report);
    stream_.progressMode = BVL_PROGRESS_PERCENT;
    stream_.ProgressCB = onProgress;
}

void WINAPI MemoryStream::onProgress(UINT_PTR context, DWORD percent, DWORD* error) {
    reinterpret_cast<MemoryStream*>(context)->report_(percent);
    *error = 0;
}
