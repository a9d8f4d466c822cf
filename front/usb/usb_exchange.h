// The two shapes of a USB operation's exchange with the camera: a command
// locked around by itself, and a command that announces bulk data which a
// stream transfer then moves.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "sti_transport.h"

namespace bv {

constexpr DWORD kShortCommandTimeoutMs = 5000;  // commands without bulk data
constexpr DWORD kBulkCommandTimeoutMs = 10000;  // commands that announce bulk data

// A stream transfer that continues the lock its command took.
using StreamTransfer = DWORD (*)(const bvlStream*, DeviceLock, DWORD);

// One command with the device locked around it.
DWORD exchangeLocked(DWORD command, DWORD payloadLength, const void* payload, void* reply,
                     DWORD replyLength, DWORD timeoutMs = kShortCommandTimeoutMs);

// The code for a buffer that an exchange would use but the caller left
// null: the exchange's own first answer when no device is open, else
// BVL_E_INVALID_PARAMETER.
DWORD refuseNullBuffer();

// Sends a command that announces a size, with the device locked, and moves
// that many bytes with the transfer, which the lock's owner goes to and
// which unlocks at its end. Whatever fails before, the owner unlocks on
// the way out (the unlock's own code does not count then). With
// sizeZeroIsMissing a size of 0 means the file is not there. The caller
// has checked that the stream can take the data.
DWORD fetchAnnounced(const requestBlock& request, const bvlStream* stream, StreamTransfer transfer,
                     bool sizeZeroIsMissing);

}  // namespace bv
