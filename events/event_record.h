// The record that the camera's still-image driver and this library share
// for camera events, and the names of the three shared objects.
//
// Record (68 bytes, little-endian): listening flag, event code (replaced by
// the notification callback's answer after delivery), data size as the
// driver wrote it, then 56 bytes of event data.
#pragma once

#include "win_types.h"

#include <cstddef>
#include <string>

namespace bv {

constexpr DWORD kEventRecordSize = 68;
constexpr size_t kListeningOffset = 0;
constexpr size_t kCodeOffset = 4;
constexpr size_t kSizeOffset = 8;
constexpr size_t kDataOffset = 12;
constexpr DWORD kEventDataSize = 56;
constexpr DWORD kEventClassMask = 0xF0000;
constexpr DWORD kFinalEventClass = 0x40000;
constexpr size_t kObjectNameSize = 128;  // buffer of a name, terminator included

constexpr char kRecordPrefix[] = "EventDatafromUSDtoBVL2STI ";
constexpr char kDriverEventPrefix[] = "NotifyEventFromUSDToBVL2STI ";
constexpr char kLibraryEventPrefix[] = "NotifyEventFromBVL2STIToUSD ";

// prefix + model name + device port name, every backslash turned into a
// blank, cut to 127 characters so that it fits the 128-byte name buffer.
std::string buildObjectName(const char* prefix, const char* modelName, const char* portName);

// A class 0x40000 event is the last one; the whole class field counts.
inline bool isFinalEvent(DWORD code) { return (code & kEventClassMask) == kFinalEventClass; }

struct EventCopy {
    DWORD code;
    DWORD size;  // as the driver wrote it
    BYTE data[kEventDataSize];
};

// Copies code, size and data out of a record: the whole 56 bytes when the
// size exceeds them, otherwise size bytes with the rest zero.
EventCopy readEvent(const BYTE* record);

DWORD readWord(const BYTE* record, size_t offset);
void writeWord(BYTE* record, size_t offset, DWORD value);

}  // namespace bv
