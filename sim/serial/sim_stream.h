// The serial stand-in's side of a caller's bvlStream: its own small helpers
// over the callbacks, kept apart from the library's, so that a mistake on
// either side shows in a test instead of cancelling out.
#pragma once

#include <vector>

#include "../../include/bvcl2sti.h"

namespace bvsim {

// Each returns the first error a callback stored, or 0.
DWORD simStreamOpen(const bvlStream* s, DWORD mode);
DWORD simStreamClose(const bvlStream* s);
DWORD simStreamProgress(const bvlStream* s, DWORD percent);

// Writes data to a destination stream in chunks of up to 5120 bytes: open,
// percentage reports before each chunk (progress mode 3), 100 at the end
// (modes 2 and 3), close. An empty data set still opens and closes.
DWORD simSendToStream(const bvlStream* s, const std::vector<BYTE>& data);

// Reads a whole source stream: open for reading, measure with TellCB and
// SeekCB, read it back in chunks, return to the start, close.
DWORD simReceiveFromStream(const bvlStream* s, std::vector<BYTE>& data);

}  // namespace bvsim
