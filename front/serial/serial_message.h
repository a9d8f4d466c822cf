// The raw message exchange over an RS-232C port: the message goes to the
// serial library's g_bvlFactryAPI, and the reply comes back through a
// reply callback that the library calls while this side polls it.
// The records here and the chunk writer (serial_chunk_writer.cpp) are pure
// and build without the system headers; the exchange itself is in
// serial_message.cpp.
#pragma once

#include "win_types.h"

#include "bvcl2sti.h"

namespace bv {

#pragma pack(push, 1)
// The reply state record that the serial library fills while it polls:
// 28 bytes on the 32-bit library (the two addresses widen on 64 bits).
struct SerialReplyState {
    BYTE reserved0[4];
    WORD messageCode;
    DWORD replyKind;     // passed through for the library
    DWORD messageParam;
    BYTE received;       // set while reply data arrives
    BYTE finished;       // set when the exchange is over
    BYTE reserved16[4];
    bvlMsgFoundCB replyCB;
    void* replyContext;
};

// Where the destination stream of a data reply stands.
enum class SerialStreamState : BYTE { Unopened, Open, Closed };

// The data variant's context of the chunk writer: the destination stream,
// the bytes written so far, then the reply state handed to the library;
// after these, the writer's own account of the stream, of the first
// failure, which ends the writing (later chunks are ignored), and of the
// end of the transfer (the last chunk, or an error status), after which
// every chunk is refused.
struct SerialDataState {
    bvlStream* stream;
    DWORD received;
    SerialReplyState reply;
    SerialStreamState streamState;
    DWORD failure;
    bool ended;
};

// The record that the serial library hands to the reply callback.
struct SerialReplyChunk {
    dePC_MESSAGE header;
    DWORD status;
    DWORD total;      // size of the whole reply data
    DWORD offset;     // of this chunk within it
    DWORD length;     // of this chunk
    DWORD last;       // nonzero on the last chunk
};
#pragma pack(pop)

// Progress after a chunk: (offset + length) * 100 / total, 100 for a total
// of 0; with clamp set, 0 becomes 1 and 100 becomes 99 (compared as 16
// bits), so a clamped stream never sees the ends of the range.
DWORD serialChunkProgress(DWORD offset, DWORD length, DWORD total, bool clamp);

// The reply callback of the data variant: writes each chunk in order to
// the stream of the SerialDataState given as context. See the source.
DWORD WINAPI serialChunkWriter(dePC_MESSAGE* reply, void* context, DWORD* done);

// The result of a data reply that the library reported finished with rc:
// a stream still open is closed (once), and a reply whose data did not all
// arrive, or whose writing failed, does not end with 0.
DWORD finishSerialData(SerialDataState& data, DWORD rc);

}  // namespace bv
