#include "memory_stream.h"

#include <cstring>

MemoryStream::MemoryStream() : stream_() {
    stream_.context = reinterpret_cast<UINT_PTR>(this);
    stream_.progressMode = BVL_PROGRESS_NONE;
    stream_.WriteCB = onWrite;
}

void WINAPI MemoryStream::onWrite(UINT_PTR context, const BYTE* buffer, DWORD* count, DWORD* error) {
    auto* self = reinterpret_cast<MemoryStream*>(context);
    self->bytes_.insert(self->bytes_.end(), buffer, buffer + *count);
    *error = 0;
}

bool parseVolumeList(const std::vector<BYTE>& bytes, std::vector<VolumeInfo>& volumes) {
    volumes.clear();
    if (bytes.size() < 4) return false;
    DWORD count;
    std::memcpy(&count, bytes.data(), 4);
    size_t offset = 4;
    for (DWORD i = 0; i < count; ++i) {
        if (bytes.size() < offset + 13) return false;
        DWORD words[3];
        std::memcpy(words, bytes.data() + offset, sizeof words);
        const char* name = reinterpret_cast<const char*>(bytes.data() + offset + 12);
        size_t nameSize = strnlen(name, bytes.size() - offset - 12);
        if (offset + 12 + nameSize >= bytes.size()) return false;
        volumes.push_back({words[1], words[2], name});
        offset += 12 + nameSize + 1;
    }
    return true;
}
