#include "memory_stream.h"

#include <cstring>
#include <utility>

namespace bv {
namespace {

constexpr DWORD kInitialSize = 1024;
constexpr DWORD kGrowthSlack = 1024;
constexpr BYTE kMemoryStreamFlag = 2;

}  // namespace

memoryStream::memoryStream() : stream_() {
    stream_.context = reinterpret_cast<UINT_PTR>(this);
    stream_.clampFlag = 0;
    stream_.flags2 = kMemoryStreamFlag;
    stream_.progressMode = BVL_PROGRESS_NONE;
    stream_.OpenCB = onOpen;
    stream_.CloseCB = onClose;
    stream_.ReadCB = onRead;
    stream_.WriteCB = onWrite;
    stream_.SeekCB = onSeek;
    stream_.TellCB = onTell;
    stream_.ProgressCB = onProgress;
}

memoryStream& memoryStream::self(UINT_PTR context) {
    return *reinterpret_cast<memoryStream*>(context);
}

void WINAPI memoryStream::onOpen(UINT_PTR context, DWORD, DWORD* error) {
    memoryStream& s = self(context);
    s.length_ = 0;
    s.buffer_.reset(allocBlock(kInitialSize));
    s.capacity_ = s.buffer_ ? kInitialSize : 0;
    *error = s.buffer_ ? 0 : BVL_E_LL_MEM_ALLOC_FAILED;
}

void WINAPI memoryStream::onClose(UINT_PTR context, DWORD* error) {
    memoryStream& s = self(context);
    if (s.length_ != 0) static_cast<BYTE*>(s.buffer_.get())[s.length_ - 1] = 0;
    *error = 0;
}

void WINAPI memoryStream::onRead(UINT_PTR, BYTE*, DWORD*, DWORD* error) { *error = 0; }

void WINAPI memoryStream::onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    memoryStream& s = self(context);
    if (!s.buffer_ || (s.length_ + *count > s.capacity_ && !s.grow(*count))) {
        *error = BVL_E_LL_MEM_ALLOC_FAILED;
        return;
    }
    std::memcpy(static_cast<BYTE*>(s.buffer_.get()) + s.length_, buffer, *count);
    s.length_ += *count;
    *error = 0;
}

void WINAPI memoryStream::onSeek(UINT_PTR, DWORD, LONG, DWORD* error) { *error = 0; }

DWORD WINAPI memoryStream::onTell(UINT_PTR context, DWORD* error) {
    *error = 0;
    return self(context).length_;
}

void WINAPI memoryStream::onProgress(UINT_PTR, DWORD, DWORD* error) { *error = 0; }

// A new buffer of the old length, the count and some slack; the old one is
// released once the bytes are copied.
bool memoryStream::grow(DWORD count) {
    const DWORD capacity = length_ + count + kGrowthSlack;
    OwnedBlock larger(allocBlock(capacity));
    if (!larger) return false;
    std::memcpy(larger.get(), buffer_.get(), length_);
    buffer_ = std::move(larger);
    capacity_ = capacity;
    return true;
}

}  // namespace bv
