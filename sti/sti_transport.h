// The USB still-image transport as the rest of the library uses it: the
// Still Image service instance and the open camera device, the command
// exchange with its device lock, and the stream transfers of bulk data.
//
// Any thread may call in. An operation works on the device it took at its
// start (a DeviceUse, or the DeviceLock that holds one) for its whole
// length; the process-wide state (service instance, device list, open
// device) changes only inside a StiChange, which waits until every other
// thread has given its uses back. A close therefore waits for the
// operations it meets, and nothing is released while one still works on
// it.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "owned.h"

struct IStiDevice;

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

// A counted use of the open device: a reference of its own on it, for as
// long as an operation needs it. Move-only; the use ends with the owner.
class DeviceUse {
public:
    DeviceUse() = default;
    // Takes the open device: 0, or BVL_E_NO_DEVICE_OPEN when none is open
    // or another thread is changing the connection (a thread that holds a
    // use already is let in, so an operation that began finishes).
    DWORD take();
    IStiDevice* device() const { return device_.get(); }
    explicit operator bool() const { return static_cast<bool>(device_); }
    IStiDevice* release() { return device_.release(); }
    // Ends a use that release() gave away: releases the reference and
    // counts the use back. On the thread that took it.
    static void giveBack(IStiDevice* device);

private:
    struct Held {
        using Value = IStiDevice*;
        static IStiDevice* empty() { return nullptr; }
        static void close(IStiDevice* device) { giveBack(device); }
    };
    Owned<Held> device_;
};

// One change of the process-wide still-image state: an open, a close, a
// service instance made for one question. Changes run one at a time, each
// once every other thread has given its uses back; meanwhile other threads
// cannot take the device. A thread that begins a change again while inside
// one just goes on. The change ends with the owner.
class StiChange {
public:
    StiChange() = default;
    StiChange(const StiChange&) = delete;
    StiChange& operator=(const StiChange&) = delete;
    ~StiChange();
    // 0 once this thread may change the state. BVL_E_CONNECTION_IN_USE,
    // without waiting, on a thread that holds a use itself (a callback of
    // a running operation): it would wait for itself.
    DWORD begin();
    // Whether begin() would refuse on this thread, for a caller that must
    // fail before it changes anything else.
    static bool refusedOnThisThread();

private:
    bool began_ = false;
};

// The owner of a held device lock, with the use of the locked device, so
// the unlock reaches the device that was locked and a close waits for it.
// Move-only: a command that takes the lock for the transfer after it hands
// the owner on with std::move, and the lock ends exactly once, whichever
// step fails. end() unlocks and returns the unlock's code; the destructor
// unlocks what is still held and drops that code, which happens only on
// early returns whose own error wins anyway.
class DeviceLock {
public:
    DeviceLock() = default;
    // Locks the open device, waiting at most 500 ms: 0, BVL_E_NO_DEVICE_OPEN
    // or the device's code (nothing is held then). The owner must be empty.
    DWORD take();
    // The owner of a lock taken earlier without one (lockStiDevice, or a
    // command sent with kLockTake in its lockMode form); empty without an
    // open device.
    static DeviceLock adoptHeld();
    // Unlocks now: the unlock's code, 0 when nothing is held. The owner is
    // empty afterwards, also when the unlock was refused.
    DWORD end();
    IStiDevice* device() const { return device_.get(); }
    explicit operator bool() const { return static_cast<bool>(device_); }

private:
    struct Held {
        using Value = IStiDevice*;
        static IStiDevice* empty() { return nullptr; }
        static void close(IStiDevice* device);  // unlocks, then gives the use back
    };
    Owned<Held> device_;
};

// ---- service instance and device connection ----
// stillImageLibrary is the Sti.dll module loaded at process attach (may be
// null: then every set-up fails with a negative result). Everything here
// that sets up or releases runs inside a StiChange; enumerateUsbModels and
// findLaunchedModelID begin their own.
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
//
// One command with the lock as lockMode asks. kLockAround and kLockEnd
// unlock even after a failed command; the unlock's code counts only when
// the command succeeded. kLockTake leaves the lock held without an owner,
// for a later kLockEnd; code that moves data after a command uses the
// form below instead.
DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD timeoutMs,
                  BYTE lockMode);
// kLockTake with an owner: the lock taken for the command goes to held
// when the command succeeded, for the stream transfer after it. On a
// failure nothing is held on return.
DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD timeoutMs,
                  DeviceLock& held);
DWORD DoBvNonStreamCommand(const requestBlock* request, void* reply, DWORD replyLength);
// The same on the device that held locks, for code that took the lock itself.
DWORD DoBvNonStreamCommand(const DeviceLock& held, const requestBlock* request, void* reply,
                           DWORD replyLength);
// The service's lock and unlock, one call each, with no owner.
DWORD lockStiDevice();
DWORD unlockStiDevice();
// Reads *wanted bytes into buffer (capacity bytes) in as many raw reads as
// the device needs: 0, a read's own code, BVL_E_FILE_DATA_CORRUPT when a
// read delivers nothing or more than asked, BVL_E_INVALID_PARAMETER when
// capacity < *wanted.
DWORD ReadBvDataFromSTI(void* buffer, DWORD capacity, const DWORD* wanted);
DWORD ReadBvDataFromSTI(const DeviceLock& held, void* buffer, DWORD capacity, const DWORD* wanted);
DWORD WriteBvDataToSTI(const void* buffer, DWORD capacity, const DWORD* size);
DWORD GetBvErrorID();
HRESULT readLastErrorInfo();

// ---- stream transfers ----
// Move size bytes announced by a command between the device and the
// caller's stream. The first error along the way is the result. The forms
// with an owner continue the lock that the command took (kLockEnd) and end
// it on every way out. In the lockMode forms, kLockEnd takes over a lock
// taken earlier without an owner, kLockAround locks after the arguments
// were found good, and kLockTake leaves the lock held. A directory listing
// reaches WriteCB in one piece and as the camera sent it: its entry times
// are the camera's clock, which keeps UTC.
DWORD InStreamFuncForGetFromSTIForGetDir(const bvlStream* stream, DeviceLock held, DWORD size);
DWORD InStreamFuncForGetFromSTI(const bvlStream* stream, DeviceLock held, DWORD size);
DWORD InStreamFuncForPutToSTI(const bvlStream* stream, DeviceLock held, DWORD size);
DWORD InStreamFuncForGetFromSTIForGetDir(const bvlStream* stream, BYTE lockMode, DWORD size);
DWORD InStreamFuncForGetFromSTI(const bvlStream* stream, BYTE lockMode, DWORD size);
DWORD InStreamFuncForPutToSTI(const bvlStream* stream, BYTE lockMode, DWORD size);

}  // namespace bv
