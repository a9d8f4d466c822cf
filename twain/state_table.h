// The TWAIN states in which the source takes each operation: 3 loaded,
// 4 open, 5 enabled, 6 transfer ready, 7 transferring.
#pragma once

#include "twain_types.h"

enum class TripletCheck {
    Allowed,
    WrongState,  // a known operation in a state that does not take it
    Unknown,     // an operation this source does not know
};

TripletCheck checkTriplet(TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, int state);
