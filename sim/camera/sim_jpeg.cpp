// JPEG framing for the virtual camera: the pictures it makes up for its
// factory content and releases, and the search for the end of a picture's
// header (everything before the compressed image data).
#include "sim_camera.h"

#include <algorithm>
#include <cstring>

namespace bvsim {
namespace {

constexpr BYTE kMarker = 0xff;
constexpr BYTE kStartOfImage = 0xd8;
constexpr BYTE kEndOfImage = 0xd9;
constexpr BYTE kStartOfScan = 0xda;

// Markers that stand alone, without a length: TEM and the restart markers.
bool standsAlone(BYTE marker) { return marker == 0x01 || (marker >= 0xd0 && marker <= 0xd7); }

// A marker segment: marker, big-endian length (counting itself), body.
void putSegment(std::vector<BYTE>& out, BYTE marker, const std::vector<BYTE>& body) {
    const size_t length = body.size() + 2;
    out.insert(out.end(), {kMarker, marker, static_cast<BYTE>(length >> 8), static_cast<BYTE>(length)});
    out.insert(out.end(), body.begin(), body.end());
}

}  // namespace

// Start of image, an APP1 segment, a three-component scan header, filler
// standing in for the compressed data (never 0xff, so no marker appears
// inside it) and the end-of-image marker, size bytes in all. Sizes below
// that frame keep only what fits.
std::vector<BYTE> makePicture(DWORD size, DWORD seed) {
    std::vector<BYTE> frame = {kMarker, kStartOfImage};
    putSegment(frame, 0xe1, {'E', 'x', 'i', 'f', 0, 0, 'B', 'v', 's', 'i', 'm', 0, 0, 0});
    putSegment(frame, kStartOfScan, {3, 1, 0x00, 2, 0x11, 3, 0x11, 0, 63, 0});
    std::vector<BYTE> data(size);
    for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>((i * 31 + seed * 7) & 0x7f);
    std::memcpy(data.data(), frame.data(), std::min<size_t>(frame.size(), size));
    if (size >= frame.size() + 2) {
        data[size - 2] = kMarker;
        data[size - 1] = kEndOfImage;
    }
    return data;
}

// Walks the marker segments from the start of image up to and including
// the start-of-scan segment. False for data that does not start as a JPEG,
// a segment running past the end, or an end of image before any scan.
bool jpegHeaderLength(const BYTE* data, size_t size, size_t* length) {
    if (size < 2 || data[0] != kMarker || data[1] != kStartOfImage) return false;
    for (size_t at = 2; at + 2 <= size;) {
        if (data[at] != kMarker) return false;
        const BYTE marker = data[at + 1];
        if (marker == kMarker) {  // fill byte before a marker
            ++at;
            continue;
        }
        if (marker == kEndOfImage || marker == kStartOfImage) return false;
        if (standsAlone(marker)) {
            at += 2;
            continue;
        }
        if (at + 4 > size) return false;
        const size_t segment = (static_cast<size_t>(data[at + 2]) << 8) | data[at + 3];
        if (segment < 2 || at + 2 + segment > size) return false;
        at += 2 + segment;
        if (marker == kStartOfScan) {
            *length = at;
            return true;
        }
    }
    return false;
}

}  // namespace bvsim
