// Declarations shared by the files of the still-image transport: the
// process-wide service objects, their owners, and the pure helpers.
#pragma once

#include <windows.h>

#ifndef STI_UNICODE
#define STI_UNICODE 1  // wide texts, and STI_ERROR_INFO of 524 bytes
#endif
#include <sti.h>

#include <cstddef>
#include <vector>

#include "owned.h"
#include "sti_transport.h"

namespace bv {

// Owner of one COM reference: close calls Release().
template <class I>
struct ComTraits {
    using Value = I*;
    static I* empty() { return nullptr; }
    static void close(I* p) { p->Release(); }
};
template <class I>
using ComRef = Owned<ComTraits<I>>;

constexpr DWORD kEscapeCommand = 0x1003;   // escape function of one command
constexpr DWORD kLockWaitMs = 500;
constexpr DWORD kChunkSize = 5120;         // bulk read and write chunk
// Transfer buffers start on this boundary inside their guarded block (the
// block's header leaves the caller's area unaligned), which keeps the
// copies into and out of them at full speed.
constexpr DWORD kBufferAlignment = 16;
constexpr std::size_t kBufferPadding = kBufferAlignment - 1;
// The largest buffer one reply may make a transfer allocate: far above any
// card's directory listing, far below what a lying size could ask for.
constexpr DWORD kMaxTransferBuffer = 16u << 20;
constexpr std::size_t kNarrowNameSize = 128;  // narrow service texts, terminator included
constexpr std::size_t kEventNameSize = 64;
constexpr DWORD kErrorInfoSize = 524;

// Process-wide still-image state: one service instance and one open
// camera per process. Changed only inside a StiChange; the device is read
// by DeviceUse::take under the gate's lock (device_gate.cpp).
struct StiState {
    ComRef<IStillImageW> stiInstance;
    ComRef<IStiDevice> stiDevice;
    OwnedLocal deviceList;               // STI_DEVICE_INFORMATIONW[deviceCount]
    DWORD deviceCount = 0;
    STI_DEVICE_INFORMATIONW selectedDevice = {};  // text pointers point into deviceList
    OwnedLocal selectedList;             // a replaced list that selectedDevice still points into
};
static_assert(sizeof(STI_ERROR_INFOW) == kErrorInfoSize, "the service's error record");

StiState& stiState();

// The device calls of the command exchange, each on the device given
// (null: BVL_E_NO_DEVICE_OPEN). A failed call's code is the camera's error
// as that device reports it (statusOf), never another device's.
DWORD statusOf(IStiDevice* device, HRESULT hr);
HRESULT readLastErrorInfo(IStiDevice* device, STI_ERROR_INFOW* info);
DWORD sendCommand(IStiDevice* device, const requestBlock* request, void* reply, DWORD replyLength);
DWORD lockDevice(IStiDevice* device);
DWORD readData(IStiDevice* device, void* buffer, DWORD capacity, const DWORD* wanted);
DWORD writeData(IStiDevice* device, const void* buffer, DWORD capacity, const DWORD* size);

// Device connection steps (sti_device.cpp).
HRESULT GetStiDeviceList();
bool GetStiDeviceInfo(const char* description);
bool StiOpenDeviceInfo(HMODULE stillImageLibrary, const char* description);
DWORD CreateStiDevice();
HRESULT releaseStiInstance();

// Pure helpers over the service's records (sti_device_list.cpp).

// Wide text to narrow text in the system code page, at most size - 1 bytes
// and a terminator; a null text gives an empty one. size must be >= 1.
void narrowText(const wchar_t* wide, char* out, std::size_t size);
// Index of the first record whose narrow device description equals
// description (case matters) and whose port name is not empty; -1 if none.
long findDeviceByDescription(const STI_DEVICE_INFORMATIONW* list, DWORD count,
                             const char* description);
// Whether a record is one of the maker's digital cameras: the vendor text
// begins with "Orvel" in any case, device type 2, subtype 7.
bool isMakerCamera(const char* vendor, DWORD deviceType);
// Appends description and its terminator at buffer + *used when
// *used + length + 2 < size; returns whether it did.
bool appendDescription(char* buffer, DWORD size, DWORD* used, const char* description);

}  // namespace bv
