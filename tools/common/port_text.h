// Port descriptors written as text by the tools: "com1".."com32" (the
// public header's serial parameter bytes, and its default speed unless one
// is given) or "usb".
#pragma once

#include <string>

#include "bvcl2sti.h"

// Parses "comN", "comN BAUD", "serial comN BAUD", "usb" or "usb MODELID"
// (case ignored); false for anything else.
bool parsePortText(const std::string& text, bvlCameraPort* port);

// "com1, 115200 baud" or "USB, model 0x70333036, device ..." for printing.
std::string describePort(const bvlCameraPort& port);
