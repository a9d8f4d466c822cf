// Pure helpers over the device records of the Still Image service: text
// conversion, the search by description and the maker's model list.
#include <cstring>

#include "sti_private.h"

namespace bv {
namespace {

constexpr char kMakerVendor[] = "Orvel";
constexpr std::size_t kMakerVendorLength = sizeof kMakerVendor - 1;
constexpr WORD kDigitalCameraType = 2;
constexpr WORD kMakerCameraSubtype = 7;

}  // namespace

void narrowText(const wchar_t* wide, char* out, std::size_t size) {
    out[0] = 0;
    if (!wide) return;
    int written = WideCharToMultiByte(CP_ACP, 0, wide, -1, out, static_cast<int>(size), nullptr,
                                      nullptr);
    if (written == 0) {
        // Too long for the buffer: keep what fits in size - 1 bytes.
        int length = lstrlenW(wide);
        written = WideCharToMultiByte(CP_ACP, 0, wide, length, out, static_cast<int>(size) - 1,
                                      nullptr, nullptr);
        while (written == 0 && length > 0)
            written = WideCharToMultiByte(CP_ACP, 0, wide, --length, out,
                                          static_cast<int>(size) - 1, nullptr, nullptr);
        out[written] = 0;
    }
    out[size - 1] = 0;
}

long findDeviceByDescription(const STI_DEVICE_INFORMATIONW* list, DWORD count,
                             const char* description) {
    for (DWORD i = 0; i < count; ++i) {
        char text[kNarrowNameSize];
        narrowText(list[i].pszDeviceDescription, text, sizeof text);
        if (std::strcmp(text, description) != 0) continue;
        if (list[i].pszPortName && list[i].pszPortName[0] != 0) return static_cast<long>(i);
    }
    return -1;
}

bool isMakerCamera(const char* vendor, DWORD deviceType) {
    return CompareStringA(LOCALE_INVARIANT, NORM_IGNORECASE, vendor,
                          static_cast<int>(strnlen(vendor, kMakerVendorLength)), kMakerVendor,
                          kMakerVendorLength) == CSTR_EQUAL &&
           HIWORD(deviceType) == kDigitalCameraType && LOWORD(deviceType) == kMakerCameraSubtype;
}

bool appendDescription(char* buffer, DWORD size, DWORD* used, const char* description) {
    const DWORD length = static_cast<DWORD>(std::strlen(description));
    if (!(*used + length + 2 < size)) return false;
    std::memcpy(buffer + *used, description, length + 1);
    *used += length + 1;
    return true;
}

}  // namespace bv
