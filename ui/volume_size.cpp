// Card sizes as the settings dialog shows them: two decimals, right-aligned
// in six characters, in the largest unit the size reaches.
#include <cstdio>
#include <cstring>

#include "settings_private.h"

namespace bv {

void formatVolumeSize(HINSTANCE instance, DWORD bytes, char* text) {
    double value;
    UINT unit;
    if (bytes & 0xC0000000u) {  // 2^30 or more
        value = bytes / 1073741824.0;
        unit = IDS_UNIT_GB;
    } else if (bytes & 0xFFF00000u) {  // 2^20 or more
        value = bytes / 1048576.0;
        unit = IDS_UNIT_MB;
    } else {
        value = bytes / 1024.0;
        unit = IDS_UNIT_KB;
    }
    // The blanks are chosen before rounding, so 1023.999 KB is "1024.00 KB".
    std::memset(text, ' ', 6);
    const int offset = value < 10 ? 2 : value < 100 ? 1 : 0;
    std::snprintf(text + offset, kVolumeSizeTextSize - offset, "%-3.2f", value);
    char unitText[32];
    if (LoadStringA(instance, unit, unitText, sizeof unitText) <= 0) unitText[0] = '\0';
    const size_t length = std::strlen(text);
    lstrcpynA(text + length, unitText, static_cast<int>(kVolumeSizeTextSize - length));
}

}  // namespace bv
