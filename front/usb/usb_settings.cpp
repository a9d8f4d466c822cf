// The USB road of camera settings and remote release. Settings travel as
// records {ID, length, value}; the release data and the view-finder image
// come as bulk data after the command that announces their size.
#include <cstring>

#include "guarded_block.h"
#include "usb_exchange.h"
#include "usb_payloads.h"
#include "usb_road.h"

namespace bv {
namespace {

enum SettingsCommand : DWORD {
    kCommandReadSetting = 17,
    kCommandWriteSetting = 18,
    kCommandRelease = 40,
    kCommandReleasedData = 41,
    kCommandViewFinderData = 42,
};

constexpr DWORD kRecordHeaderSize = 8;  // setting ID, value length

// Reply bytes of a setting read by its ID.
DWORD settingReplyLength(DWORD id) {
    switch (id) {
    case BVL_SETTING_OWNER_NAME:
    case BVL_SETTING_FIRMWARE:
        return 32;
    case BVL_SETTING_WORDS:
        return 12;
    default:
        return 4;
    }
}

// The value length of a setting that the library lays out itself; 0 for
// the IDs whose record the caller supplies.
DWORD ownValueLength(DWORD id, const void* value) {
    switch (id) {
    case BVL_SETTING_BYTE:
        return 1;
    case BVL_SETTING_OWNER_NAME:
        return textLength(static_cast<const char*>(value));
    case BVL_SETTING_DATE_TIME:
        return 4;
    case BVL_SETTING_WORDS:
        return 12;
    default:
        return 0;
    }
}

constexpr DWORD kInlineValueSize = 32;  // IDs 1, 3 and 4, and owner names the camera takes

// Writes ID, value length and value into record, which holds them all.
BYTE* layOutRecord(BYTE* record, DWORD id, const void* value, DWORD valueLength) {
    std::memcpy(record, &id, sizeof id);
    std::memcpy(record + 4, &valueLength, sizeof valueLength);
    std::memcpy(record + kRecordHeaderSize, value, valueLength);
    return record;
}

DWORD sendRecord(void* record) {
    DWORD valueLength;
    std::memcpy(&valueLength, static_cast<const BYTE*>(record) + 4, sizeof valueLength);
    if (valueLength > MAXDWORD - kRecordHeaderSize) return BVL_E_INVALID_PARAMETER;
    return exchangeLocked(kCommandWriteSetting, valueLength + kRecordHeaderSize, record, nullptr, 0);
}

DWORD fetchReleaseData(DWORD command, DWORD payloadLength, const void* payload,
                       const bvlStream* stream) {
    if (!stream || !stream->WriteCB) return BVL_E_LL_INVALID_FN_POINTER;
    const requestBlock request = {command, payloadLength, payload};
    return fetchAnnounced(request, stream, InStreamFuncForGetFromSTI, false);
}

}  // namespace

DWORD WINAPI usbReadSetting(DWORD, DWORD id, void* value) {
    if (!value) return refuseNullBuffer();
    return exchangeLocked(kCommandReadSetting, sizeof id, &id, value, settingReplyLength(id));
}

// IDs 1 to 4 are laid out here from the plain value; for any other ID the
// value is the caller's own record, which gets the ID in its first word.
DWORD WINAPI usbWriteSetting(DWORD, DWORD id, void* value) {
    if (!value) return BVL_E_INVALID_PARAMETER;
    const DWORD valueLength = ownValueLength(id, value);
    if (valueLength == 0) {
        std::memcpy(value, &id, sizeof id);
        return sendRecord(value);
    }
    // Records of the usual values are laid out on the stack; only a longer
    // text takes a block from the heap.
    if (valueLength <= kInlineValueSize) {
        BYTE bytes[kRecordHeaderSize + kInlineValueSize];
        return sendRecord(layOutRecord(bytes, id, value, valueLength));
    }
    OwnedBlock record(allocBlock(kRecordHeaderSize + valueLength));
    if (!record) return BVL_E_MEM_ALLOC_FAILED;
    return sendRecord(layOutRecord(static_cast<BYTE*>(record.get()), id, value, valueLength));
}

// The driver reads the request and writes the reply that the lengths
// announce (their low 16 bits): a null address with a length is refused.
DWORD WINAPI usbReleaseControlEx(DWORD, DWORD requestLength, const void* request, DWORD replyLength,
                          void* reply) {
    if ((LOWORD(requestLength) != 0 && !request) || (LOWORD(replyLength) != 0 && !reply))
        return refuseNullBuffer();
    return exchangeLocked(kCommandRelease, LOWORD(requestLength), request, reply, LOWORD(replyLength));
}

DWORD WINAPI usbReleaseControlGetReleasedData(DWORD, DWORD word1, DWORD word2, bvlStream* stream) {
    const DWORD words[2] = {word1, word2};
    return fetchReleaseData(kCommandReleasedData, sizeof words, words, stream);
}

DWORD WINAPI usbReleaseControlGetViewFinderData(DWORD, bvlStream* stream) {
    return fetchReleaseData(kCommandViewFinderData, 0, nullptr, stream);
}

}  // namespace bv
