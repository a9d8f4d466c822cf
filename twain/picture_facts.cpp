#include "picture_facts.h"

#include <string>

#include "jpeg_markers.h"

namespace {

constexpr BYTE kApp0 = 0xe0;
constexpr double kCentimetresPerInch = 2.54;

UINT bigEndian16(const std::vector<BYTE>& b, size_t at) { return (b[at] << 8) | b[at + 1]; }

bool isFrameMarker(BYTE code) {
    // SOF0 to SOF15 without DHT (C4), JPG (C8) and DAC (CC).
    return code >= 0xc0 && code <= 0xcf && code != 0xc4 && code != 0xc8 && code != 0xcc;
}

}  // namespace

bool readPictureFacts(const std::vector<BYTE>& jpeg, PictureFacts* facts) {
    std::vector<JpegMarker> markers;
    listJpegMarkers(jpeg, markers);
    bool sized = false;
    for (const JpegMarker& m : markers) {
        const size_t body = m.offset + 4;  // past the marker and its length field
        if (isFrameMarker(m.code) && m.length >= 7 && body + 5 <= jpeg.size()) {
            facts->height = bigEndian16(jpeg, body + 1);
            facts->width = bigEndian16(jpeg, body + 3);
            sized = facts->width != 0 && facts->height != 0;
        }
        // "JFIF\0", version, units, X density, Y density.
        if (m.code == kApp0 && m.length >= 14 && body + 12 <= jpeg.size() &&
            std::string(jpeg.begin() + body, jpeg.begin() + body + 5) == std::string("JFIF", 5)) {
            const BYTE units = jpeg[body + 7];
            const UINT density = bigEndian16(jpeg, body + 8);
            if (density != 0 && units == 1) facts->dpi = density;
            if (density != 0 && units == 2) facts->dpi = density * kCentimetresPerInch;
        }
    }
    return sized;
}
