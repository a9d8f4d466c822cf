// The marker segments at the start of a JPEG file, as far as the bytes of
// a parsing header reach.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct JpegMarker {
    BYTE code;      // the byte after 0xFF
    DWORD offset;   // where the 0xFF sits
    DWORD length;   // the segment's length field (0 for markers without one)
};

enum class JpegWalk {
    Complete,   // reached the start of the scan or the end of the image
    Truncated,  // the bytes ended first, or a segment runs past them
    NotJpeg,    // no start-of-image marker, or garbage where a marker belongs
};

// Lists markers from the start-of-image marker up to the start of scan;
// every read is bounded by bytes.size().
JpegWalk listJpegMarkers(const std::vector<BYTE>& bytes, std::vector<JpegMarker>& markers);

// "SOI", "APP1", "DQT", "SOF0", ..., or "FFxx" for a code without a name.
std::string jpegMarkerName(BYTE code);
