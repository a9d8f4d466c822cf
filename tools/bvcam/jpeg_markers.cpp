#include "jpeg_markers.h"

#include <cstdio>

namespace {

constexpr BYTE kSoi = 0xd8, kEoi = 0xd9, kSos = 0xda;

// Markers that stand alone: no length field follows them.
bool standsAlone(BYTE code) { return code == 0x01 || (code >= 0xd0 && code <= kEoi); }

}  // namespace

JpegWalk listJpegMarkers(const std::vector<BYTE>& bytes, std::vector<JpegMarker>& markers) {
    markers.clear();
    if (bytes.size() < 2 || bytes[0] != 0xff || bytes[1] != kSoi) return JpegWalk::NotJpeg;
    markers.push_back({kSoi, 0, 0});
    for (size_t offset = 2;;) {
        if (offset + 2 > bytes.size()) return JpegWalk::Truncated;
        if (bytes[offset] != 0xff) return JpegWalk::NotJpeg;
        const BYTE code = bytes[offset + 1];
        if (code == 0xff) {  // fill byte before a marker
            ++offset;
            continue;
        }
        if (standsAlone(code)) {
            markers.push_back({code, static_cast<DWORD>(offset), 0});
            if (code == kEoi) return JpegWalk::Complete;
            offset += 2;
            continue;
        }
        if (offset + 4 > bytes.size()) return JpegWalk::Truncated;
        const DWORD length = (bytes[offset + 2] << 8) | bytes[offset + 3];
        markers.push_back({code, static_cast<DWORD>(offset), length});
        if (length < 2) return JpegWalk::NotJpeg;
        if (code == kSos) return JpegWalk::Complete;
        offset += 2 + length;
    }
}

std::string jpegMarkerName(BYTE code) {
    switch (code) {
    case kSoi: return "SOI";
    case kEoi: return "EOI";
    case kSos: return "SOS";
    case 0xdb: return "DQT";
    case 0xc4: return "DHT";
    case 0xdd: return "DRI";
    case 0xfe: return "COM";
    }
    char name[8];
    if (code >= 0xe0 && code <= 0xef)
        std::snprintf(name, sizeof name, "APP%u", code - 0xe0u);
    else if (code >= 0xc0 && code <= 0xcf && code != 0xc8 && code != 0xcc)
        std::snprintf(name, sizeof name, "SOF%u", code - 0xc0u);
    else
        std::snprintf(name, sizeof name, "FF%02X", code);
    return name;
}
