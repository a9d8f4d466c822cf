#include "sim_stream.h"

#include <algorithm>

namespace bvsim {
namespace {

constexpr DWORD kChunk = 5120;
constexpr DWORD kStreamError = 0x020000a0;  // STREAM_IO_ERROR of the camera

bool reportsPercent(const bvlStream* s) { return s->progressMode == BVL_PROGRESS_PERCENT; }
bool reportsEnd(const bvlStream* s) {
    return s->progressMode == BVL_PROGRESS_PERCENT || s->progressMode == BVL_PROGRESS_END_ONLY;
}

DWORD writeChunk(const bvlStream* s, const BYTE* data, DWORD length) {
    while (length > 0) {
        DWORD count = length, error = 0;
        s->WriteCB(s->context, data, &count, &error);
        if (error != 0) return error;
        if (count == 0 || count > length) return kStreamError;
        data += count;
        length -= count;
    }
    return 0;
}

}  // namespace

DWORD simStreamOpen(const bvlStream* s, DWORD mode) {
    DWORD error = 0;
    if (s->OpenCB) s->OpenCB(s->context, mode, &error);
    return error;
}

DWORD simStreamClose(const bvlStream* s) {
    DWORD error = 0;
    if (s->CloseCB) s->CloseCB(s->context, &error);
    return error;
}

DWORD simStreamProgress(const bvlStream* s, DWORD percent) {
    DWORD error = 0;
    if (s->ProgressCB) s->ProgressCB(s->context, percent, &error);
    return error;
}

DWORD simSendToStream(const bvlStream* s, const std::vector<BYTE>& data) {
    if (!s || !s->WriteCB) return 0x02000065;
    DWORD rc = simStreamOpen(s, BVL_STREAM_OPEN_WRITE);
    if (rc != 0) return rc;
    const DWORD total = static_cast<DWORD>(data.size());
    for (DWORD done = 0; rc == 0 && done < total;) {
        DWORD chunk = std::min(kChunk, total - done);
        if (reportsPercent(s)) simStreamProgress(s, static_cast<DWORD>(100ull * done / total));
        rc = writeChunk(s, data.data() + done, chunk);
        done += chunk;
    }
    if (rc == 0 && reportsEnd(s)) rc = simStreamProgress(s, 100);
    DWORD closed = simStreamClose(s);
    return rc != 0 ? rc : closed;
}

DWORD simReceiveFromStream(const bvlStream* s, std::vector<BYTE>& data) {
    if (!s || !s->ReadCB || !s->SeekCB || !s->TellCB) return 0x02000065;
    DWORD rc = simStreamOpen(s, BVL_STREAM_OPEN_READ);
    if (rc != 0) return rc;
    DWORD start = s->TellCB(s->context, &rc);
    if (rc == 0) s->SeekCB(s->context, BVL_SEEK_END, 0, &rc);
    DWORD end = rc == 0 ? s->TellCB(s->context, &rc) : 0;
    if (rc == 0) s->SeekCB(s->context, BVL_SEEK_SET, static_cast<LONG>(start), &rc);
    data.clear();
    for (DWORD remaining = end - start; rc == 0 && remaining > 0;) {
        BYTE buffer[kChunk];
        DWORD count = std::min(kChunk, remaining);
        s->ReadCB(s->context, buffer, &count, &rc);
        if (rc == 0 && (count == 0 || count > remaining)) rc = kStreamError;
        if (rc != 0) break;
        data.insert(data.end(), buffer, buffer + count);
        remaining -= count;
    }
    if (rc == 0) s->SeekCB(s->context, BVL_SEEK_SET, static_cast<LONG>(start), &rc);
    DWORD closed = simStreamClose(s);
    return rc != 0 ? rc : closed;
}

}  // namespace bvsim
