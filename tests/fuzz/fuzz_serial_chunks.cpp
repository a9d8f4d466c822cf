// Reply records as long as their headers say (cut to the input), to a stream
// that takes half of each write and fails the call the input names, fed on
// after the writer reported the transfer done: opened and closed once,
// written while open, never a clamped 0 or 100; every chunk after the end
// refused with nothing written, and a result of 0 only for a reply whose
// every byte arrived and that no status or stray chunk followed.
#include "fuzz.h"
#include "front/serial/serial_message.h"

namespace {

struct Sink {
    unsigned failAt, clamp, calls = 0, opens = 0, closes = 0;
    std::vector<BYTE> written;
    bool fails(DWORD* error) { return (*error = ++calls == failAt ? 7 : 0) != 0; }
};
Sink& sink(UINT_PTR context) { return *reinterpret_cast<Sink*>(context); }

void onOpen(UINT_PTR c, DWORD, DWORD* error) { check(!sink(c).opens); sink(c).opens = !sink(c).fails(error); }
void onClose(UINT_PTR c, DWORD* error) { check(sink(c).opens && !sink(c).closes++); sink(c).fails(error); }
void onWrite(UINT_PTR c, const BYTE* bytes, DWORD* count, DWORD* error) {
    check(sink(c).opens && !sink(c).closes);
    *count = (*count + 1) / 2;
    sink(c).written.insert(sink(c).written.end(), bytes, bytes + *count);
    sink(c).fails(error);
}
void onProgress(UINT_PTR c, DWORD p, DWORD* error) {
    check(!sink(c).clamp || (WORD(p) && WORD(p) != 100));
    sink(c).fails(error);
}

}  // namespace

FUZZ_TARGET {
    if (size < 2) return 0;
    Sink s = {data[1], data[0] & 1u, 0, 0, 0, {}};
    bvlStream stream = {reinterpret_cast<UINT_PTR>(&s), BYTE(s.clamp), 0, WORD(data[0] >> 1 & 3),
                        onOpen, onClose, nullptr, onWrite, nullptr, nullptr, onProgress};
    bv::SerialDataState state = {&stream, 0, {}, {}, 0, false};
    DWORD done = 0;
    bool ended = false, clean = true;
    for (size_t at = 2; size - at >= sizeof(dePC_MESSAGE);) {
        dePC_MESSAGE header;
        std::memcpy(&header, data + at, sizeof header);
        header.totalLength = DWORD(std::clamp<size_t>(header.totalLength, sizeof header, size - at));
        std::vector<BYTE> record(data + at, data + at + header.totalLength);
        std::memcpy(record.data(), &header, sizeof header);
        at += header.totalLength;
        if (record.size() >= sizeof(bv::SerialReplyChunk))
            clean &= reinterpret_cast<const bv::SerialReplyChunk*>(record.data())->status == 0;
        const size_t before = s.written.size();
        const DWORD rc = bv::serialChunkWriter(reinterpret_cast<dePC_MESSAGE*>(record.data()), &state, &done);
        if (ended) check(rc == BVL_E_FILE_DATA_CORRUPT && done && s.written.size() == before);
        clean &= !ended;
        ended |= done != 0;
    }
    // The library's own result may be 0 whatever the chunks said.
    const DWORD result = bv::finishSerialData(state, 0);
    check(s.closes == s.opens && (state.failure || s.written.size() == state.received));
    check(result != 0 || (clean && ended && s.written.size() == state.received));
    return 0;
}
