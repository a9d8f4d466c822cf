#include "bench_streams.h"

#include <algorithm>
#include <cstring>

namespace bvbench {
namespace {

void WINAPI noOpen(UINT_PTR, DWORD, DWORD* error) { *error = 0; }
void WINAPI noClose(UINT_PTR, DWORD* error) { *error = 0; }

// Opening the source starts it at its first byte, as opening a file does.
void WINAPI sourceOpen(UINT_PTR context, DWORD, DWORD* error) {
    reinterpret_cast<Source*>(context)->position = 0;
    *error = 0;
}

void WINAPI sinkWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    auto* sink = reinterpret_cast<Sink*>(context);
    sink->bytes += *count;
    if (*count != 0) sink->check += buffer[0] + buffer[*count - 1];
    *error = 0;
}

void WINAPI sourceRead(UINT_PTR context, BYTE* buffer, DWORD* count, DWORD* error) {
    auto* source = reinterpret_cast<Source*>(context);
    const DWORD left = static_cast<DWORD>(source->data->size()) - source->position;
    *count = std::min(*count, left);
    std::memcpy(buffer, source->data->data() + source->position, *count);
    source->position += *count;
    *error = 0;
}

void WINAPI sourceSeek(UINT_PTR context, DWORD origin, LONG offset, DWORD* error) {
    auto* source = reinterpret_cast<Source*>(context);
    const LONG base = origin == BVL_SEEK_END ? static_cast<LONG>(source->data->size()) : 0;
    source->position = static_cast<DWORD>(base + offset);
    *error = 0;
}

DWORD WINAPI sourceTell(UINT_PTR context, DWORD* error) {
    *error = 0;
    return reinterpret_cast<Source*>(context)->position;
}

}  // namespace

void (WINAPI* volatile g_sinkWrite)(UINT_PTR, const BYTE*, DWORD*, DWORD*) = sinkWrite;
void (WINAPI* volatile g_sourceRead)(UINT_PTR, BYTE*, DWORD*, DWORD*) = sourceRead;

bvlStream sinkStream(Sink& sink) {
    bvlStream stream = {};
    stream.context = reinterpret_cast<UINT_PTR>(&sink);
    stream.progressMode = BVL_PROGRESS_NONE;
    stream.OpenCB = noOpen;
    stream.CloseCB = noClose;
    stream.WriteCB = sinkWrite;
    return stream;
}

bvlStream sourceStream(Source& source) {
    bvlStream stream = {};
    stream.context = reinterpret_cast<UINT_PTR>(&source);
    stream.progressMode = BVL_PROGRESS_NONE;
    stream.OpenCB = sourceOpen;
    stream.CloseCB = noClose;
    stream.ReadCB = sourceRead;
    stream.SeekCB = sourceSeek;
    stream.TellCB = sourceTell;
    return stream;
}

}  // namespace bvbench
