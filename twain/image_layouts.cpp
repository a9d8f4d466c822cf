#include "image_layouts.h"

#include <cmath>
#include <cstring>

namespace {

constexpr double kInchesPerMetre = 39.3700787;

DWORD paddedRowBytes(UINT width) { return (width * 3 + 3) & ~3u; }

}  // namespace

std::vector<BYTE> buildDib(const Bitmap& bitmap, double dpi) {
    const DWORD row = paddedRowBytes(bitmap.width);
    std::vector<BYTE> dib(sizeof(BITMAPINFOHEADER) + size_t{row} * bitmap.height);
    BITMAPINFOHEADER header = {};
    header.biSize = sizeof header;
    header.biWidth = static_cast<LONG>(bitmap.width);
    header.biHeight = static_cast<LONG>(bitmap.height);
    header.biPlanes = 1;
    header.biBitCount = 24;
    header.biCompression = BI_RGB;
    header.biSizeImage = row * bitmap.height;
    header.biXPelsPerMeter = header.biYPelsPerMeter = static_cast<LONG>(std::lround(dpi * kInchesPerMetre));
    std::memcpy(dib.data(), &header, sizeof header);
    const size_t source = size_t{bitmap.width} * 3;
    for (UINT y = 0; y < bitmap.height; ++y)
        std::memcpy(&dib[sizeof header + size_t{row} * (bitmap.height - 1 - y)], &bitmap.bgr[source * y], source);
    return dib;
}

std::vector<BYTE> buildBmpFile(const std::vector<BYTE>& dib) {
    BITMAPFILEHEADER header = {};
    header.bfType = 0x4d42;  // "BM"
    header.bfSize = static_cast<DWORD>(sizeof header + dib.size());
    header.bfOffBits = sizeof header + sizeof(BITMAPINFOHEADER);
    std::vector<BYTE> file(sizeof header + dib.size());
    std::memcpy(file.data(), &header, sizeof header);
    if (!dib.empty()) std::memcpy(file.data() + sizeof header, dib.data(), dib.size());
    return file;
}

DWORD memoryRowBytes(UINT width) { return width * 3; }

void copyRgbRows(const Bitmap& bitmap, UINT first, UINT count, BYTE* out) {
    const BYTE* in = &bitmap.bgr[size_t{first} * bitmap.width * 3];
    for (size_t i = 0; i < size_t{count} * bitmap.width; ++i, in += 3, out += 3) {
        out[0] = in[2];
        out[1] = in[1];
        out[2] = in[0];
    }
}
