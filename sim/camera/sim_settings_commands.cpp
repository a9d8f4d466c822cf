// The virtual camera's settings and remote release over USB: settings read
// and written as records {ID, length, value}, a release that takes a
// picture, and the released picture and view-finder frames as bulk data.
#include <algorithm>
#include <cstring>
#include <vector>

#include "bvsim.h"
#include "sim_camera.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

constexpr DWORD kRecordHeaderSize = 8;

DWORD readSettingCommand(const BYTE* payload, DWORD length, BYTE* reply, DWORD replyLength) {
    if (!payload || length != 4) return kCamInvalidParameter;
    DWORD id;
    std::memcpy(&id, payload, sizeof id);
    std::vector<BYTE> value;
    if (DWORD rc = simCamera().readSetting(id, value)) return rc;
    if (!reply) return kCamInvalidParameter;
    std::memset(reply, 0, replyLength);
    std::memcpy(reply, value.data(), std::min<size_t>(value.size(), replyLength));
    return 0;
}

DWORD writeSettingCommand(const BYTE* payload, DWORD length) {
    if (!payload || length < kRecordHeaderSize) return kCamInvalidParameter;
    DWORD id, valueLength;
    std::memcpy(&id, payload, 4);
    std::memcpy(&valueLength, payload + 4, 4);
    if (valueLength + kRecordHeaderSize != length) return kCamInvalidParameter;
    return simCamera().writeSetting(id, payload + kRecordHeaderSize, valueLength);
}

// Any release request fires the shutter; the reply starts with the size of
// the picture taken.
DWORD releaseCommand(BYTE* reply, DWORD replyLength) {
    std::vector<BYTE> answer;
    if (DWORD rc = simCamera().release(answer)) return rc;
    if (reply) std::memcpy(reply, answer.data(), std::min<size_t>(answer.size(), replyLength));
    return 0;
}

DWORD announceData(const std::vector<BYTE>& data, BYTE* reply, DWORD replyLength) {
    if (!reply || replyLength < 4) return kCamInvalidParameter;
    const DWORD size = static_cast<DWORD>(data.size());
    std::memcpy(reply, &size, 4);
    simQueueBulkData(data.data(), size);
    return 0;
}

}  // namespace

DWORD runSettingsCommand(DWORD command, const BYTE* payload, DWORD length, BYTE* reply,
                         DWORD replyLength) {
    switch (command) {
    case 17: return readSettingCommand(payload, length, reply, replyLength);
    case 18: return writeSettingCommand(payload, length);
    case 40: return releaseCommand(reply, replyLength);
    case 41: return announceData(simCamera().releasedData(), reply, replyLength);
    case 42: return announceData(simCamera().viewFinderFrame(), reply, replyLength);
    default: return kCamNotSupported;
    }
}

}  // namespace bvsim
