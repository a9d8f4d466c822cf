// The camera's own reading and writing of command payloads and replies,
// kept apart from the library's builders so that a mistake on either side
// shows in a test. Pure functions over bytes.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "sim_camera.h"

namespace bvsim {

constexpr DWORD kVolumeSlotSize = 76;
constexpr DWORD kVolumeNameSize = 64;
constexpr DWORD kModelRecordSize = 68;
constexpr DWORD kPortRecordSize = 114;

DWORD readWord(const BYTE* p);  // little-endian, unaligned

// A NUL-terminated text that must end inside length bytes; what follows
// the terminator is not looked at.
bool readText(const BYTE* p, DWORD length, std::string& text);

// A list of NUL-terminated texts ended by an empty one, inside length
// bytes. An empty list is refused.
bool readTextList(const BYTE* p, DWORD length, std::vector<std::string>& texts);

// The volume list reply: the number of volumes, then as many of them as
// slots allow, each {passThrough, capacity, free bytes, 64-byte name}.
// freeBytes holds each volume's free space, in order.
std::vector<BYTE> packVolumeList(const std::vector<SimVolume>& volumes,
                                 const std::vector<DWORD>& freeBytes, DWORD slots);

// The open port's descriptor: port type (3, USB), port name "USB", model
// ID and the device's name, 114 bytes packed.
std::vector<BYTE> packUsbPort(DWORD modelID, const std::string& deviceName);

// {model ID, 64-byte model name}.
std::vector<BYTE> packModelRecord(DWORD modelID, const char* modelName);

}  // namespace bvsim
