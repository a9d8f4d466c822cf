#include "usb_exchange.h"

namespace bv {

DWORD exchangeLocked(DWORD command, DWORD payloadLength, const void* payload, void* reply,
                     DWORD replyLength, DWORD timeoutMs) {
    const requestBlock request = {command, payloadLength, payload};
    return DoBvCommand(&request, reply, replyLength, timeoutMs, kLockAround);
}

DWORD endLockWith(DWORD rc) {
    unlockStiDevice();
    return rc;
}

DWORD fetchAnnounced(const requestBlock& request, const bvlStream* stream, StreamTransfer transfer,
                     bool sizeZeroIsMissing) {
    DWORD size = 0;
    if (DWORD rc = DoBvCommand(&request, &size, sizeof size, kBulkCommandTimeoutMs, kLockTake))
        return endLockWith(rc);
    if (size == 0 && sizeZeroIsMissing) return endLockWith(BVL_E_FILE_NOT_FOUND);
    return transfer(stream, kLockEnd, size);
}

}  // namespace bv
