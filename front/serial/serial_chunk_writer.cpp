// The chunk writer of the data variant of the raw serial exchange: the
// reply callback that writes each reply chunk to the caller's stream, its
// progress and the result of a finished reply. Pure: only the caller's
// stream callbacks run; builds without the system headers.
#include "serial_message.h"

#include <cstring>

#include "stream_wrappers.h"

namespace bv {
namespace {

constexpr WORD kClampLow = 1;
constexpr WORD kClampHigh = 99;

// Closes the stream if this writer opened it and has not closed it yet;
// returns CloseCB's error.
DWORD closeOpenStream(SerialDataState& data) {
    if (data.streamState != SerialStreamState::Open) return 0;
    data.streamState = SerialStreamState::Closed;
    DWORD error = 0;
    streamClose(data.stream, &error);
    return error;
}

// A stream callback failed. The serial library is told nothing (0, done
// unchanged), as it expects of a reply callback; the writer closes what it
// opened, ignores the chunks still to come and keeps the error for the
// exchange's result.
DWORD failWriting(SerialDataState& data, DWORD error) {
    if (!data.failure) data.failure = error;
    closeOpenStream(data);
    return 0;
}

// The transfer is over, with error (0 after a good last chunk): a stream
// still open is closed, the first error is kept for the exchange's result,
// and the library is told that no chunk is wanted any more.
DWORD endTransfer(SerialDataState& data, DWORD error, DWORD* done) {
    data.ended = true;
    if (!data.failure) data.failure = error;
    closeOpenStream(data);
    *done = 1;
    return error;
}

}  // namespace

DWORD serialChunkProgress(DWORD offset, DWORD length, DWORD total, bool clamp) {
    DWORD percent = total == 0 ? 100
                               : static_cast<DWORD>((static_cast<ULONGLONG>(offset) + length) * 100 /
                                                    total);
    if (clamp) {
        if (static_cast<WORD>(percent) == 0) percent = kClampLow;
        if (static_cast<WORD>(percent) == 100) percent = kClampHigh;
    }
    return percent;
}

// Chunks arrive in order; one whose offset is not the count received so
// far is ignored. The stream opens at the first chunk taken (a chunk of no
// bytes included) and closes after the last; a nonzero status from the
// library ends the transfer with it, whether data came before or not.
// Once the transfer ended, every further chunk is refused with
// BVL_E_FILE_DATA_CORRUPT and nothing more reaches the stream: the reply
// ran past its own end.
DWORD WINAPI serialChunkWriter(dePC_MESSAGE* reply, void* context, DWORD* done) {
    SerialDataState& data = *static_cast<SerialDataState*>(context);
    if (data.ended) return endTransfer(data, BVL_E_FILE_DATA_CORRUPT, done);
    const bvlStream* stream = data.stream;
    SerialReplyChunk chunk;
    // A record too short for the chunk's own fields is corrupt: nothing
    // past its header is read.
    if (reply->totalLength < sizeof chunk) return failWriting(data, BVL_E_FILE_DATA_CORRUPT);
    std::memcpy(&chunk, reply, sizeof chunk);
    const BYTE* bytes = reinterpret_cast<const BYTE*>(reply) + sizeof chunk;
    const bool clamp = stream->clampFlag != 0;
    const WORD mode = stream->progressMode;
    DWORD error = 0;

    if (chunk.status != 0) return endTransfer(data, chunk.status, done);
    if (data.failure || chunk.offset != data.received) return 0;
    // The chunk's bytes must lie inside the record the library handed over.
    if (chunk.length > chunk.header.totalLength - sizeof chunk)
        return failWriting(data, BVL_E_FILE_DATA_CORRUPT);
    if (data.streamState == SerialStreamState::Unopened) {
        if (mode == BVL_PROGRESS_PERCENT && !clamp) {
            streamProgress(stream, 0, &error);
            if (error) return failWriting(data, error);
        }
        streamOpen(stream, BVL_STREAM_OPEN_WRITE, &error);
        if (error) return failWriting(data, error);
        data.streamState = SerialStreamState::Open;
    }
    data.received += chunk.length;
    writeAll(stream, bytes, chunk.length, BVL_E_LL_STREAM_WRITE_ERROR, &error);
    if (error) return failWriting(data, error);
    if (mode == BVL_PROGRESS_PERCENT) {
        streamProgress(stream, serialChunkProgress(chunk.offset, chunk.length, chunk.total, clamp),
                       &error);
        if (error) return failWriting(data, error);
    }
    if (!chunk.last) {
        *done = 0;
        return 0;
    }
    if (mode == BVL_PROGRESS_END_ONLY && !clamp) {
        streamProgress(stream, 100, &error);
        if (error) return failWriting(data, error);
    }
    if ((error = closeOpenStream(data))) return failWriting(data, error);
    return endTransfer(data, 0, done);
}

DWORD finishSerialData(SerialDataState& data, DWORD rc) {
    const bool complete = data.streamState == SerialStreamState::Closed;
    closeOpenStream(data);
    if (data.failure) return data.failure;
    if (rc) return rc;
    return complete ? 0 : BVL_E_FILE_DATA_CORRUPT;
}

}  // namespace bv
