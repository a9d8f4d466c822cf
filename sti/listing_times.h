// Directory listing walk: the entry times of a listing as the camera sends
// it, re-based in place. Pure; builds without the system headers.
#pragma once

#include "win_types.h"

namespace bv {

// The camera's clock value counted as if it were UTC, re-read as local
// time. false when the value cannot be broken down (negative): then 0.
bool rebaseListingTime(DWORD cameraTime, DWORD* localTime);
// Re-bases the time of every entry in place, never reading past size.
// Returns how many entries had a time that could not be re-based.
DWORD rebaseListingTimes(BYTE* listing, DWORD size);

}  // namespace bv
