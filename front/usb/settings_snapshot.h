// Pure helpers behind the settings dialog operation: the firmware version
// out of the camera's text, the card slots out of the collected volume
// list, and the camera clock to and from the dialog's wall-clock time.
#pragma once

#include "win_types.h"

#include <cstddef>

namespace bv {

// Copies the text from its first decimal digit on ("Firmware 1.02" gives
// "1.02"); a text without digits gives an empty text. The reply is read up
// to its terminator or replyLength bytes, the result always terminated.
void firmwareVersionText(const char* reply, std::size_t replyLength, char* version,
                         std::size_t versionSize);

// The card slots the dialog shows, from a volume list as the caller's
// stream receives it: a 32-bit count, then per volume three 32-bit words
// (passed-through word, capacity, free space) and a terminated name.
struct CardSlots {
    DWORD count = 0;
    DWORD slot1Total = 0, slot1Free = 0;
    DWORD slot2Total = 0, slot2Free = 0;
};
// Entries cut short by the end of the data count as absent slots; the
// count stays as reported.
CardSlots summariseVolumes(const BYTE* list, DWORD length);

// The camera keeps UTC; the dialog shows local wall-clock time counted as
// if it were UTC. zoneBiasSeconds is UTC minus local time at that moment,
// summer time included (Berlin gives -3600 in winter, -7200 in summer), so
// that the dialog, the PC's clock and the file times of a listing agree.
// The unknown time stays unknown.
LONG cameraToDialogTime(LONG cameraTime, long zoneBiasSeconds);
LONG dialogToCameraTime(LONG dialogTime, long zoneBiasSeconds);

}  // namespace bv
