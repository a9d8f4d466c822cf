// JPEG pictures decoded (and thumbnails encoded) through the Windows Imaging Component into 24-bit
// pixels. The calling thread must have COM initialised (see ComApartment).
#pragma once

#include <windows.h>

#include <vector>

// Pixels in rows from the top, each row width * 3 bytes in the order
// blue, green, red, without padding.
struct Bitmap {
    UINT width = 0, height = 0;
    std::vector<BYTE> bgr;
};

// Decodes the picture; with maxSide > 0 and a larger picture, scales it
// down to fit maxSide keeping its proportions. An HRESULT.
HRESULT decodePicture(const std::vector<BYTE>& jpeg, UINT maxSide, Bitmap* bitmap);

// The bitmap as a JFIF file, for pictures the source makes itself.
HRESULT encodePicture(const Bitmap& bitmap, std::vector<BYTE>* jpeg);

// COM on the current thread for the source's lifetime on it: initialised
// only when it was not, and undone only then.
class ComApartment {
public:
    ComApartment();
    ~ComApartment();
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

private:
    bool ours_ = false;
};
