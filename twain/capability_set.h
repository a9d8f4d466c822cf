// The source's capabilities: which it supports, in which containers each
// message answers, what an application may set, and the settings that
// result. MSG_SET and MSG_RESET reach here only in state 4.
#pragma once

#include <functional>
#include <vector>

#include "twain_memory.h"

// What an application negotiated; a fresh one holds every default.
struct SourceSettings {
    TW_INT16 xferCount = -1;  // -1: every picture
    bool indicators = true;
    bool thumbnails = false;
    TW_UINT16 xferMech = TWSX_NATIVE;
    TW_UINT16 units = TWUN_INCHES;
    TW_UINT16 fileFormat = TWFF_JFIF;
    std::vector<TW_UINT32> deviceEvents;  // TWDE_ values to report
};

// What the capabilities read from the camera and the picture at hand.
struct CameraFacts {
    bool online = false;
    TW_UINT32 pictureWidth = 0, pictureHeight = 0;  // pixels
    double resolution = 72.0;                       // dots per inch
    // The camera's clock, seconds since 1970 on its own wall clock: 0 or a
    // code from the library.
    std::function<DWORD(DWORD*)> readClock;
    std::function<DWORD(DWORD)> writeClock;
};

struct TwainOutcome {
    TW_UINT16 rc;
    TW_UINT16 cc;
};

// The capabilities CAP_SUPPORTEDCAPS lists, in that order.
const std::vector<TW_UINT32>& supportedCapabilities();

// Runs msg on cap: fills cap.ConType and cap.hContainer for the messages
// that answer (a new block from memory, the application's to free), reads
// the application's container for MSG_SET. TWRC_CHECKSTATUS when a set
// took a nearby value instead.
TwainOutcome runCapability(TW_UINT16 msg, TW_CAPABILITY& cap, SourceSettings& settings, const CameraFacts& facts,
                           const TwainMemory& memory);

// The size of a length in pixels at a resolution in dots per inch, in units.
double inUnits(TW_UINT32 pixels, double dpi, TW_UINT16 units);
// Dots per unit for a resolution in dots per inch.
double resolutionInUnits(double dpi, TW_UINT16 units);
