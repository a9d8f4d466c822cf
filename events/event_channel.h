// The event channel with the camera's still-image driver: a shared record
// and two auto-reset events, named after the camera, and a notification
// thread that hands each driver event to the settings dialog and to the
// caller's notification callback and writes the callback's answer back.
//
// Handshake: the driver writes code, size and data and signals its event;
// the thread reads them, delivers, stores the answer over the code and
// signals the library's event. A class 0x40000 event is the last: the
// thread clears the listening flag, closes the three objects and ends.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "notification_targets.h"

namespace bv {

// Creates the record and both events for the camera (model name and device
// port name) and starts the notification thread. A channel that is still
// running is stopped first. Returns 1 when the thread runs, else 0 with
// nothing left open. targets must outlive the channel. Starts run one at
// a time (the caller's open serialises them); stops may come from any
// thread at any time.
BOOL StartEventChannel(const char* modelName, const char* portName, NotificationTargets* targets);

// Clears the listening flag, ends the notification thread and closes the
// three objects. Safe from any thread, the notification thread included
// (from a callback), and after the thread ended by itself. Returns 1.
BOOL StopEventChannel();

// Stops the channel and releases the security built for its objects; for
// the library's unload.
void ShutdownEventChannel();

}  // namespace bv
