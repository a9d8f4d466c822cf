// The system's clock records as the date and time editor reads them.
#include "system_time_fields.h"

#include "date_time_fields.h"

namespace bv {

std::tm systemTimeToFields(const SYSTEMTIME& time) {
    std::tm record = {};
    record.tm_sec = time.wSecond;
    record.tm_min = time.wMinute;
    record.tm_hour = time.wHour;
    record.tm_mday = time.wDay;
    record.tm_mon = time.wMonth - 1;
    record.tm_year = time.wYear - 1900;
    record.tm_wday = time.wDayOfWeek;
    record.tm_yday = static_cast<int>(daysFromCivil(time.wYear, time.wMonth, time.wDay) -
                                      daysFromCivil(time.wYear, 1, 1));
    return record;
}

LONG fileTimeToSeconds(const FILETIME& time) {
    constexpr unsigned long long kUnixEpoch = 116444736000000000ULL;  // 1970 in 100 ns since 1601
    const unsigned long long ticks = (static_cast<unsigned long long>(time.dwHighDateTime) << 32) |
                                     time.dwLowDateTime;
    return static_cast<LONG>(static_cast<long long>(ticks - kUnixEpoch) / 10000000LL);
}

}  // namespace bv
