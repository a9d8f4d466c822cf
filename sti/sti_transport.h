// The USB still-image transport as the rest of the library uses it: the
// Still Image service instance and the open camera device, the command
// exchange with its device lock, and the stream transfers of bulk data.
// Every function here runs on the application's thread (or on a message
// worker while that thread waits); nothing is synchronised but the
// device lock of the service.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

namespace bv {

// A command as the caller builds it. The record and its payload stay in
// the caller's memory until the exchange returns: the driver reads both in
// place through the record's address.
struct requestBlock {
    DWORD command;
    DWORD payloadLength;
    const void* payload;
};

// lockMode of an exchange or a transfer: what happens to the device lock
// before and after it.
constexpr BYTE kLockNone = 0;        // nothing
constexpr BYTE kLockTake = 1;        // lock, and leave it held for the transfer after
constexpr BYTE kLockEnd = 2;         // the lock was taken earlier; unlock at the end
constexpr BYTE kLockAround = 3;      // lock and unlock

// ---- service instance and device connection ----
// stillImageLibrary is the Sti.dll module loaded at process attach (may be
// null: then every set-up fails with a negative result).
HRESULT SetUpStiInstance(HMODULE stillImageLibrary);
bool isStiInstanceSet();
// Opens the camera whose device description equals description: 0, or
// BVL_E_DEVICE_NOT_FOUND / BVL_E_DEVICE_BUSY. Opens by internal device
// name: BVL_E_STI_INSTANCE_FAILED when the service cannot be set up.
DWORD openDeviceByModel(HMODULE stillImageLibrary, const char* description);
DWORD openDeviceByName(HMODULE stillImageLibrary, const char* name);
// Release in the order device, instance, list, COM; the result is that of
// the instance's Release (negative is a failure).
HRESULT releaseStiObjects();
// releaseStiObjects as the library's code: 0, or BVL_E_STI_RELEASE_FAILED.
DWORD releaseStiConnection();
HRESULT releaseStiInstanceOnly();

// The model of the camera whose still-image event launched this process:
// writes the device's internal name into deviceName (128 wide characters)
// and returns 1 with the model ID, or 0. Registry failures to open a key
// raise the registry error; an instance created for the lookup is released.
int findLaunchedModelID(HMODULE stillImageLibrary, wchar_t* deviceName, DWORD* modelID);
void releaseStiDevice();
// The maker's cameras known to the service, as NUL-terminated descriptions
// ended by an empty one; size must be at least 2.
HRESULT enumerateUsbModels(HMODULE stillImageLibrary, char* buffer, DWORD size, DWORD* count);
// The port name of the open device: 1 when written, 0 otherwise.
int getDevicePortName(char* buffer, DWORD size);

// ---- command exchange ----
// Codes: 0, the camera's vendor error, BVL_E_LL_UNEXPECTED_EXCEPTION for a
// failure without one, BVL_E_NO_DEVICE_OPEN without an open device,
// BVL_E_INVALID_PARAMETER for a capacity too small. timeoutMs is accepted
// for the callers' sake and not used.
DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD timeoutMs,
                  BYTE lockMode);
DWORD DoBvNonStreamCommand(const requestBlock* request, void* reply, DWORD replyLength);
DWORD lockStiDevice();
DWORD unlockStiDevice();
// Reads *wanted bytes into buffer (capacity bytes) in as many raw reads as
// the device needs: 0, a read's own code, BVL_E_FILE_DATA_CORRUPT when a
// read delivers nothing or more than asked, BVL_E_INVALID_PARAMETER when
// capacity < *wanted.
DWORD ReadBvDataFromSTI(void* buffer, DWORD capacity, const DWORD* wanted);
DWORD WriteBvDataToSTI(const void* buffer, DWORD capacity, const DWORD* size);
DWORD GetBvErrorID();
HRESULT readLastErrorInfo();

// ---- stream transfers ----
// Move size bytes announced by a command between the device and the
// caller's stream; lockMode as above (the callers pass 2 after a command
// sent with 1). The first error along the way is the result.
DWORD InStreamFuncForGetFromSTIForGetDir(const bvlStream* stream, BYTE lockMode, DWORD size);
DWORD InStreamFuncForGetFromSTI(const bvlStream* stream, BYTE lockMode, DWORD size);
DWORD InStreamFuncForPutToSTI(const bvlStream* stream, BYTE lockMode, DWORD size);

}  // namespace bv
