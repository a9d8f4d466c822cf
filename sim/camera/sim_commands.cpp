// The virtual camera behind the still-image driver: command blocks decoded
// here with the camera's own reading of the wire, bulk data that a command
// announced, and uploads that complete when their last byte arrives.
#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "bvsim.h"
#include "sim_camera.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

constexpr DWORD kCamStreamError = 0x020000a0;
constexpr DWORD kVolumeSlotSize = 76;
constexpr DWORD kVolumeNameSize = 64;
constexpr DWORD kModelRecordSize = 68;

struct CommandState {
    bvsim::SimLock lock;
    bool connected = false;
    std::vector<BYTE> outgoing;   // announced bulk data still to be read
    size_t readPosition = 0;
    bool uploading = false;       // a put command waits for its data
    std::string uploadName;
    DWORD uploadSize = 0;
    std::vector<BYTE> upload;
    std::vector<BYTE> written;    // every byte written, for the tests
    std::vector<DWORD> commands;
};

CommandState& state() {
    static CommandState s;
    return s;
}

class Guard : public bvsim::SimGuard {
public:
    Guard() : SimGuard(state().lock) {}
};

DWORD readWord(const BYTE* p) {
    DWORD w;
    std::memcpy(&w, p, 4);
    return w;
}

void putWord(BYTE* reply, DWORD replyLength, DWORD value) {
    if (reply && replyLength >= 4) std::memcpy(reply, &value, 4);
}

// A text payload must be terminated inside its length.
bool payloadText(const BYTE* payload, DWORD length, std::string& text) {
    if (!payload || length == 0 || payload[length - 1] != 0) return false;
    text.assign(reinterpret_cast<const char*>(payload));
    return true;
}

void announce(CommandState& s, std::vector<BYTE> data) {
    s.outgoing = std::move(data);
    s.readPosition = 0;
}

DWORD volumeList(const BYTE* payload, DWORD length, BYTE* reply, DWORD replyLength) {
    if (!payload || length < 2) return kCamInvalidParameter;
    WORD slots;
    std::memcpy(&slots, payload, 2);
    const std::vector<SimVolume> volumes = simCamera().volumes();
    if (!reply || replyLength < 4 + kVolumeSlotSize * slots) return kCamInvalidParameter;
    const DWORD count = std::min<DWORD>(slots, static_cast<DWORD>(volumes.size()));
    std::memset(reply, 0, 4 + kVolumeSlotSize * slots);
    putWord(reply, 4, count);
    for (DWORD i = 0; i < count; ++i) {
        BYTE* slot = reply + 4 + i * kVolumeSlotSize;
        const DWORD words[3] = {volumes[i].passThrough, volumes[i].totalBytes,
                                simCamera().freeBytes(volumes[i].name)};
        std::memcpy(slot, words, sizeof words);
        lstrcpynA(reinterpret_cast<char*>(slot + 12), volumes[i].name.c_str(), kVolumeNameSize);
    }
    return 0;
}

DWORD modelDescription(BYTE* reply, DWORD replyLength) {
    if (!reply || replyLength < kModelRecordSize) return kCamInvalidParameter;
    std::memset(reply, 0, kModelRecordSize);
    putWord(reply, 4, simCamera().modelID());
    lstrcpynA(reinterpret_cast<char*>(reply + 4), simCamera().modelName(), 64);
    return 0;
}

DWORD sendDirectory(CommandState& s, const BYTE* payload, DWORD length, BYTE* reply,
                    DWORD replyLength) {
    if (!payload || length < 2) return kCamInvalidParameter;
    std::vector<SimEntry> entries;
    if (DWORD rc = simCamera().listDirectory(subtreePath(payload), entries)) return rc;
    std::vector<BYTE> listing = encodeListing(entries);
    putWord(reply, replyLength, static_cast<DWORD>(listing.size()));
    announce(s, std::move(listing));
    return 0;
}

DWORD sendFile(CommandState& s, const BYTE* payload, DWORD length, BYTE* reply, DWORD replyLength,
               bool headerOnly) {
    std::string path;
    if (!payloadText(payload, length, path)) return kCamInvalidParameter;
    std::vector<BYTE> data;
    DWORD rc = headerOnly ? simCamera().jpegHeader(path, data) : simCamera().readFile(path, data);
    if (rc != 0) return rc;
    putWord(reply, replyLength, static_cast<DWORD>(data.size()));
    announce(s, std::move(data));
    return 0;
}

// Payload: file size, name length L with its terminator, the name.
DWORD receiveFile(CommandState& s, const BYTE* payload, DWORD length) {
    if (!payload || length < 8) return kCamInvalidParameter;
    const DWORD size = readWord(payload);
    const DWORD nameLength = readWord(payload + 4);
    std::string name;
    if (nameLength != length - 8 || !payloadText(payload + 8, nameLength, name))
        return kCamInvalidParameter;
    s.uploading = true;
    s.uploadName = name;
    s.uploadSize = size;
    s.upload.clear();
    return 0;
}

}  // namespace

std::string subtreePath(const BYTE* subtree) {
    std::string path;
    for (const BYTE* p = subtree; p[1] != 0;) {
        const BYTE flags = *p++;
        const char* name = reinterpret_cast<const char*>(p);
        if (!path.empty()) path += '\\';
        path += name;
        p += std::strlen(name) + 1;
        if (flags & 0x40) p += std::strlen(reinterpret_cast<const char*>(p)) + 1;
    }
    return path;
}

std::vector<BYTE> encodeListing(const std::vector<SimEntry>& entries) {
    std::vector<BYTE> out;
    for (const SimEntry& e : entries) {
        BYTE head[10] = {e.attributes};
        std::memcpy(head + 1, &e.size, 4);
        std::memcpy(head + 6, &e.time, 4);
        out.insert(out.end(), head, head + sizeof head);
        out.insert(out.end(), e.name.begin(), e.name.end());
        out.push_back(0);
    }
    return out;
}

void resetCommandState() {
    Guard g;
    CommandState& s = state();
    s.connected = false;
    s.outgoing.clear();
    s.readPosition = 0;
    s.uploading = false;
    s.upload.clear();
    s.written.clear();
    s.commands.clear();
}

}  // namespace bvsim

using namespace bvsim;

extern "C" DWORD simRunCommand(DWORD command, const BYTE* payload, DWORD payloadLength, BYTE* reply,
                               DWORD replyLength) {
    Guard g;
    CommandState& s = state();
    s.commands.push_back(command);
    switch (command) {
    case 1:  // connect; the payload field carries a value, not an address
        s.connected = true;
        return 0;
    case 2:  // disconnect
        if (!s.connected) return kCamInvalidHandle;
        s.connected = false;
        return 0;
    case 4: return volumeList(payload, payloadLength, reply, replyLength);
    case 5: return sendDirectory(s, payload, payloadLength, reply, replyLength);
    case 6: return sendFile(s, payload, payloadLength, reply, replyLength, false);
    case 7: return receiveFile(s, payload, payloadLength);
    case 15: return modelDescription(reply, replyLength);
    case 20: return sendFile(s, payload, payloadLength, reply, replyLength, true);
    case 60: case 61: return simRunMessageCommand(command, payload, payloadLength, reply, replyLength);
    default: return kCamNotSupported;
    }
}

extern "C" DWORD simReadBulk(BYTE* buffer, DWORD wanted, DWORD* delivered) {
    Guard g;
    CommandState& s = state();
    *delivered = 0;
    const size_t left = s.outgoing.size() - s.readPosition;
    if (left == 0) return kCamStreamError;
    const DWORD n = static_cast<DWORD>(std::min<size_t>(wanted, left));
    std::memcpy(buffer, s.outgoing.data() + s.readPosition, n);
    s.readPosition += n;
    *delivered = n;
    return 0;
}

extern "C" DWORD simWriteBulk(const BYTE* data, DWORD size) {
    Guard g;
    CommandState& s = state();
    s.written.insert(s.written.end(), data, data + size);
    if (!s.uploading) return 0;
    s.upload.insert(s.upload.end(), data, data + size);
    if (s.upload.size() < s.uploadSize) return 0;
    s.uploading = false;
    if (s.upload.size() > s.uploadSize) return kCamInvalidParameter;
    return simCamera().writeFile(s.uploadName, s.upload);
}

extern "C" void simQueueBulkData(const BYTE* data, DWORD size) {
    Guard g;
    announce(state(), std::vector<BYTE>(data, data + size));
}

extern "C" DWORD simWrittenBulk(BYTE* buffer, DWORD size) {
    Guard g;
    const std::vector<BYTE>& w = state().written;
    if (buffer) std::memcpy(buffer, w.data(), std::min<size_t>(size, w.size()));
    return static_cast<DWORD>(w.size());
}

extern "C" DWORD simCommandCount(void) {
    Guard g;
    return static_cast<DWORD>(state().commands.size());
}

extern "C" DWORD simCommandAt(DWORD index) {
    Guard g;
    const std::vector<DWORD>& c = state().commands;
    return index < c.size() ? c[index] : 0;
}
