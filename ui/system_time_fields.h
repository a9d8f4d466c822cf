// The system's clock records (SYSTEMTIME, FILETIME) turned into the
// values of the date and time editor.
#pragma once

#include <windows.h>

#include <ctime>

namespace bv {

// A SYSTEMTIME as a calendar record.
std::tm systemTimeToFields(const SYSTEMTIME& time);

// Seconds since 1970 (UTC) of a FILETIME, truncated to 32 bits.
LONG fileTimeToSeconds(const FILETIME& time);

}  // namespace bv
