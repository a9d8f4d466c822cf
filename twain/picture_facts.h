// What a JPEG file's header says about its picture: the size from the
// start-of-frame segment, the resolution from the JFIF segment. Pure,
// bounded by the bytes given.
#pragma once

#include <windows.h>

#include <vector>

struct PictureFacts {
    UINT width = 0, height = 0;
    double dpi = 72.0;  // 72 where the file gives no physical density
};

// False when the bytes hold no complete header with a frame size.
bool readPictureFacts(const std::vector<BYTE>& jpeg, PictureFacts* facts);
