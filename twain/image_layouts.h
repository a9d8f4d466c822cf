// The byte layouts the transfers hand out: a 24-bit DIB for native
// transfers, a BMP file, and rows in red-green-blue order for memory
// transfers. Pure.
#pragma once

#include <vector>

#include "picture_decoder.h"

// BITMAPINFOHEADER and the rows from the bottom, each padded to 4 bytes;
// the resolution in pixels per metre from dpi.
std::vector<BYTE> buildDib(const Bitmap& bitmap, double dpi);
// BITMAPFILEHEADER before the DIB.
std::vector<BYTE> buildBmpFile(const std::vector<BYTE>& dib);
// Bytes in one row of a memory transfer: width * 3, no padding.
DWORD memoryRowBytes(UINT width);
// Copies rows first..first+count-1 into out as red, green, blue.
void copyRgbRows(const Bitmap& bitmap, UINT first, UINT count, BYTE* out);
