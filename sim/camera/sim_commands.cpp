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
#include "sim_wire.h"

namespace bvsim {
namespace {

constexpr DWORD kCamStreamError = 0x020000a0;

struct CommandState {
    bvsim::SimLock lock;
    bool connected = false;
    std::vector<BYTE> outgoing;   // announced bulk data still to be read
    size_t readPosition = 0;
    bool uploading = false;       // a put command waits for its data
    std::string uploadName;
    DWORD uploadSize = 0;
    std::vector<BYTE> upload;     // held here until the last byte: never a half file on the card
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

// Copies a fixed-size reply into the caller's buffer, which must hold it.
DWORD reply(const std::vector<BYTE>& record, BYTE* out, DWORD outLength) {
    if (!out || outLength < record.size()) return kCamInvalidParameter;
    std::memcpy(out, record.data(), record.size());
    return 0;
}

DWORD replySize(size_t size, BYTE* out, DWORD outLength) {
    const DWORD word = static_cast<DWORD>(size);
    return reply(std::vector<BYTE>(reinterpret_cast<const BYTE*>(&word), reinterpret_cast<const BYTE*>(&word) + 4),
                 out, outLength);
}

// Replies with the size of data and leaves data for the bulk reads. Empty
// data announces nothing: a caller that is told 0 bytes reads none.
DWORD announce(CommandState& s, std::vector<BYTE> data, BYTE* out, DWORD outLength) {
    if (DWORD rc = replySize(data.size(), out, outLength)) return rc;
    s.outgoing = std::move(data);
    s.readPosition = 0;
    return 0;
}

// The first device of the service's list is the camera answering here.
std::string deviceName() {
    SimStiDevice device;
    if (!simStiDeviceAt(0, &device) || !device.internalName) return std::string();
    char name[128] = {};
    WideCharToMultiByte(CP_ACP, 0, device.internalName, -1, name, sizeof name - 1, nullptr, nullptr);
    return name;
}

// Payload: the number of 76-byte slots the reply has room for (a word).
DWORD volumeList(const BYTE* payload, DWORD length, BYTE* out, DWORD outLength) {
    if (!payload || length < 2) return kCamInvalidParameter;
    WORD slots;
    std::memcpy(&slots, payload, 2);
    if (!out || outLength < 4 + kVolumeSlotSize * slots) return kCamInvalidParameter;
    const std::vector<SimVolume> volumes = simCamera().volumes();
    std::vector<DWORD> free;
    for (const SimVolume& v : volumes) free.push_back(simCamera().freeBytes(v.name));
    return reply(packVolumeList(volumes, free, slots), out, outLength);
}

// Payload: a subtree record, read by its terminator.
DWORD sendDirectory(CommandState& s, const BYTE* payload, BYTE* out, DWORD outLength) {
    if (!payload) return kCamInvalidParameter;
    std::vector<SimEntry> entries;
    if (DWORD rc = simCamera().listDirectory(subtreePath(payload), entries)) return rc;
    return announce(s, encodeListing(entries), out, outLength);
}

DWORD sendFile(CommandState& s, const BYTE* payload, DWORD length, BYTE* out, DWORD outLength,
               bool headerOnly) {
    std::string path;
    if (!readText(payload, length, path)) return kCamInvalidParameter;
    std::vector<BYTE> data;
    DWORD rc = headerOnly ? simCamera().jpegHeader(path, data) : simCamera().readFile(path, data);
    if (rc != 0) return rc;
    return announce(s, std::move(data), out, outLength);
}

// Payload: file size, name length L with its terminator, the name. The
// camera refuses at once what it could not store.
DWORD receiveFile(CommandState& s, const BYTE* payload, DWORD length) {
    if (!payload || length < 8) return kCamInvalidParameter;
    const DWORD size = readWord(payload);
    const DWORD nameLength = readWord(payload + 4);
    std::string name;
    // An upload of 0 bytes is taken and never completes: no data follows,
    // so no file appears, and the next command drops it.
    if (nameLength != length - 8 || !readText(payload + 8, nameLength, name))
        return kCamInvalidParameter;
    if (DWORD rc = simCamera().checkWrite(name, size)) return rc;
    s.uploading = true;
    s.uploadName = name;
    s.uploadSize = size;
    s.upload.clear();
    return 0;
}

// Runs action on every name of a list; the first failure stops the walk.
template <class Action>
DWORD forEachName(const BYTE* list, DWORD length, Action action) {
    std::vector<std::string> names;
    if (!readTextList(list, length, names)) return kCamInvalidParameter;
    for (const std::string& name : names)
        if (DWORD rc = action(name)) return rc;
    return 0;
}

// Payload: {attribute byte, list length (unaligned), list}.
DWORD setAttributes(const BYTE* payload, DWORD length) {
    if (!payload || length < 5 || readWord(payload + 1) > length - 5) return kCamInvalidParameter;
    const BYTE attributes = payload[0];
    return forEachName(payload + 5, readWord(payload + 1),
                       [attributes](const std::string& n) { return simCamera().setAttributes(n, attributes); });
}

// Payload: {time, list length, list}.
DWORD setTimes(const BYTE* payload, DWORD length) {
    if (!payload || length < 8 || readWord(payload + 4) > length - 8) return kCamInvalidParameter;
    const DWORD time = readWord(payload);
    return forEachName(payload + 8, readWord(payload + 4),
                       [time](const std::string& n) { return simCamera().setTime(n, time); });
}

// Commands whose payload is one path or volume name.
DWORD onPath(const BYTE* payload, DWORD length, DWORD (SimCamera::*action)(const std::string&)) {
    std::string path;
    if (!readText(payload, length, path)) return kCamInvalidParameter;
    return (simCamera().*action)(path);
}

DWORD runCommand(CommandState& s, DWORD command, const BYTE* payload, DWORD length, BYTE* out,
                 DWORD outLength) {
    switch (command) {
    case 1:  // connect; the payload field carries a value, not an address
        s.connected = true;
        return 0;
    case 2:  // disconnect
        if (!s.connected) return kCamInvalidHandle;
        s.connected = false;
        return 0;
    case 3: return reply(packUsbPort(simCamera().modelID(), deviceName()), out, outLength);
    case 4: return volumeList(payload, length, out, outLength);
    case 5: return sendDirectory(s, payload, out, outLength);
    case 6: return sendFile(s, payload, length, out, outLength, false);
    case 7: return receiveFile(s, payload, length);
    case 8: return forEachName(payload, length, [](const std::string& n) { return simCamera().deleteFile(n); });
    case 9: return onPath(payload, length, &SimCamera::deletePictures);
    case 10: return setAttributes(payload, length);
    case 11: return setTimes(payload, length);
    case 12: return onPath(payload, length, &SimCamera::formatVolume);
    case 13: return onPath(payload, length, &SimCamera::createDirectory);
    case 14: return onPath(payload, length, &SimCamera::removeDirectory);
    case 15: return reply(packModelRecord(simCamera().modelID(), simCamera().modelName()), out, outLength);
    case 20: return sendFile(s, payload, length, out, outLength, true);
    case 60: case 61: return simRunMessageCommand(command, payload, length, out, outLength);
    default: return runSettingsCommand(command, payload, length, out, outLength);
    }
}

}  // namespace

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

void clearCommandHistory() {
    Guard g;
    state().commands.clear();
    state().written.clear();
}

}  // namespace bvsim

using namespace bvsim;

// A command that arrives while an upload still waits for data ends that
// upload: its bytes are dropped and nothing reaches the card.
extern "C" DWORD simRunCommand(DWORD command, const BYTE* payload, DWORD payloadLength, BYTE* reply,
                               DWORD replyLength) {
    paceCommand();
    Guard g;
    CommandState& s = state();
    s.commands.push_back(command);
    s.uploading = false;
    s.upload.clear();
    const DWORD rc = runCommand(s, command, payload, payloadLength, reply, replyLength);
    if (rc == 0 && command != 1) spoilReply(reply, replyLength);
    return rc;
}

extern "C" DWORD simReadBulk(BYTE* buffer, DWORD wanted, DWORD* delivered) {
    paceBulk(wanted);
    Guard g;
    CommandState& s = state();
    *delivered = 0;
    const size_t left = s.outgoing.size() - s.readPosition;
    if (left == 0) return kCamStreamError;
    const DWORD n = static_cast<DWORD>(std::min<size_t>(spoilReadCount(wanted), left));
    std::memcpy(buffer, s.outgoing.data() + s.readPosition, n);
    s.readPosition += n;
    *delivered = n;
    return 0;
}

// The file is stored when its last byte arrives; more bytes than the put
// command announced end the upload with nothing stored.
extern "C" DWORD simWriteBulk(const BYTE* data, DWORD size) {
    paceBulk(size);
    Guard g;
    CommandState& s = state();
    s.written.insert(s.written.end(), data, data + size);
    if (!s.uploading) return 0;
    s.upload.insert(s.upload.end(), data, data + size);
    if (s.upload.size() < s.uploadSize) return 0;
    s.uploading = false;
    std::vector<BYTE> file = std::move(s.upload);
    s.upload.clear();
    if (file.size() > s.uploadSize) return kCamInvalidParameter;
    return simCamera().writeFile(s.uploadName, file);
}

extern "C" void simQueueBulkData(const BYTE* data, DWORD size) {
    Guard g;
    state().outgoing.assign(data, data + size);
    spoilBulk(state().outgoing);
    state().readPosition = 0;
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
