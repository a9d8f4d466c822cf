// Directory listings as the camera sends them: entries packed without
// padding, six bytes passed on untouched, a 32-bit time at offset 6 and a
// NUL-terminated name from offset 10.
#include <cstring>
#include <ctime>

#include "listing_times.h"

namespace bv {
namespace {

constexpr DWORD kTimeOffset = 6;
constexpr DWORD kNameOffset = 10;

}  // namespace

// The camera keeps its wall clock as if it were UTC; broken down as UTC
// and rebuilt as local time, the value gains the zone's standard offset.
// The daylight-saving field stays 0 as gmtime leaves it, so no summer
// correction is applied.
bool rebaseListingTime(DWORD cameraTime, DWORD* localTime) {
    const LONG seconds = static_cast<LONG>(cameraTime);
    std::time_t value = seconds;
    std::tm* fields = seconds < 0 ? nullptr : std::gmtime(&value);
    if (!fields) {
        *localTime = 0;
        return false;
    }
    fields->tm_isdst = 0;
    *localTime = static_cast<DWORD>(std::mktime(fields));
    return true;
}

DWORD rebaseListingTimes(BYTE* listing, DWORD size) {
    DWORD failed = 0;
    for (DWORD offset = 0; offset < size;) {
        if (size - offset < kNameOffset) break;  // truncated entry: no time to read
        BYTE* entry = listing + offset;
        DWORD time;
        std::memcpy(&time, entry + kTimeOffset, sizeof time);
        if (time != 0) {
            DWORD rebased;
            if (!rebaseListingTime(time, &rebased)) ++failed;
            std::memcpy(entry + kTimeOffset, &rebased, sizeof rebased);
        }
        const char* name = reinterpret_cast<const char*>(entry + kNameOffset);
        const std::size_t room = size - offset - kNameOffset;
        const std::size_t length = strnlen(name, room);
        if (length == room) break;  // name not terminated inside the data
        offset += kNameOffset + 1 + static_cast<WORD>(length);
    }
    return failed;
}

}  // namespace bv
