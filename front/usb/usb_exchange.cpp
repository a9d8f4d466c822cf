#include "usb_exchange.h"

#include <utility>

namespace bv {

DWORD exchangeLocked(DWORD command, DWORD payloadLength, const void* payload, void* reply,
                     DWORD replyLength, DWORD timeoutMs) {
    const requestBlock request = {command, payloadLength, payload};
    return DoBvCommand(&request, reply, replyLength, timeoutMs, kLockAround);
}

DWORD refuseNullBuffer() {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    return BVL_E_INVALID_PARAMETER;
}

DWORD fetchAnnounced(const requestBlock& request, const bvlStream* stream, StreamTransfer transfer,
                     bool sizeZeroIsMissing) {
    DeviceLock lock;
    DWORD size = 0;
    if (DWORD rc = DoBvCommand(&request, &size, sizeof size, kBulkCommandTimeoutMs, lock)) return rc;
    if (size == 0 && sizeZeroIsMissing) return BVL_E_FILE_NOT_FOUND;
    return transfer(stream, std::move(lock), size);
}

}  // namespace bv
