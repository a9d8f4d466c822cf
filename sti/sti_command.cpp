// The command exchange with the camera's still-image driver: one command
// and its reply through escape function 0x1003, bulk blocks through raw
// reads and writes, and the device lock that keeps a command and its data
// together. Every failure of a device call becomes the camera's vendor
// error in statusOf, the one place that reads the service's HRESULT, asked
// of the device that failed.
//
// The forms without an owner take the open device for the one call; the
// forms with a DeviceLock work on the device that the lock holds.
#include <utility>

#include "sti_private.h"

namespace bv {
namespace {

// The driver reads the requestBlock through the address it is given; the
// size passed along is that of the address.
constexpr DWORD kEscapeInSize = 4;

}  // namespace

HRESULT readLastErrorInfo(IStiDevice* device, STI_ERROR_INFOW* info) {
    if (!device) return E_FAIL;
    *info = STI_ERROR_INFOW();
    info->dwSize = kErrorInfoSize;
    return device->GetLastErrorInfo(info);
}

DWORD statusOf(IStiDevice* device, HRESULT hr) {
    if (SUCCEEDED(hr)) return 0;
    STI_ERROR_INFOW info;
    if (FAILED(readLastErrorInfo(device, &info))) return BVL_E_LL_UNEXPECTED_EXCEPTION;
    return info.dwVendorError != 0 ? info.dwVendorError : BVL_E_LL_UNEXPECTED_EXCEPTION;
}

HRESULT readLastErrorInfo() {
    DeviceUse use;
    use.take();
    STI_ERROR_INFOW info;
    return readLastErrorInfo(use.device(), &info);
}

DWORD GetBvErrorID() {
    DeviceUse use;
    use.take();
    return statusOf(use.device(), E_FAIL);
}

DWORD sendCommand(IStiDevice* device, const requestBlock* request, void* reply, DWORD replyLength) {
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    DWORD actual = 0;
    return statusOf(device, device->Escape(kEscapeCommand, const_cast<requestBlock*>(request),
                                           kEscapeInSize, reply, replyLength, &actual));
}

DWORD lockDevice(IStiDevice* device) {
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    return statusOf(device, device->LockDevice(kLockWaitMs));
}

DWORD readData(IStiDevice* device, void* buffer, DWORD capacity, const DWORD* wanted) {
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    if (capacity < *wanted) return BVL_E_INVALID_PARAMETER;
    // A read may deliver fewer bytes than asked; the rest of the chunk is
    // read after them. A read that delivers nothing, or claims more than
    // was asked, ends the transfer: no byte the camera did not send may
    // reach the caller.
    BYTE* at = static_cast<BYTE*>(buffer);
    for (DWORD remaining = *wanted; remaining != 0;) {
        DWORD count = remaining;
        if (DWORD rc = statusOf(device, device->RawReadData(at, &count, nullptr))) return rc;
        if (count == 0 || count > remaining) return BVL_E_FILE_DATA_CORRUPT;
        at += count;
        remaining -= count;
    }
    return 0;
}

DWORD writeData(IStiDevice* device, const void* buffer, DWORD capacity, const DWORD* size) {
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    if (capacity < *size) return BVL_E_INVALID_PARAMETER;
    return statusOf(device, device->RawWriteData(const_cast<void*>(buffer), *size, nullptr));
}

DWORD lockStiDevice() {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    return lockDevice(use.device());
}

DWORD unlockStiDevice() {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    return statusOf(use.device(), use.device()->UnLockDevice());
}

void DeviceLock::Held::close(IStiDevice* device) {
    device->UnLockDevice();
    DeviceUse::giveBack(device);
}

DWORD DeviceLock::take() {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    if (DWORD rc = lockDevice(use.device())) return rc;
    device_.reset(use.release());
    return 0;
}

DeviceLock DeviceLock::adoptHeld() {
    DeviceLock lock;
    DeviceUse use;
    if (use.take() == 0) lock.device_.reset(use.release());
    return lock;
}

DWORD DeviceLock::end() {
    if (!device_) return 0;
    IStiDevice* device = device_.release();
    const DWORD rc = statusOf(device, device->UnLockDevice());
    DeviceUse::giveBack(device);
    return rc;
}

DWORD DoBvNonStreamCommand(const requestBlock* request, void* reply, DWORD replyLength) {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    return sendCommand(use.device(), request, reply, replyLength);
}

DWORD DoBvNonStreamCommand(const DeviceLock& held, const requestBlock* request, void* reply,
                           DWORD replyLength) {
    return sendCommand(held.device(), request, reply, replyLength);
}

// kLockTake leaves the lock held without an owner, whatever the command's
// result: the caller ends it.
DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD /*timeoutMs*/,
                  BYTE lockMode) {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    IStiDevice* device = use.device();
    if (lockMode == kLockTake || lockMode == kLockAround) {
        if (DWORD rc = lockDevice(device)) return rc;
    }
    const DWORD rc = sendCommand(device, request, reply, replyLength);
    if (lockMode != kLockEnd && lockMode != kLockAround) return rc;
    return keepFirst(rc, statusOf(device, device->UnLockDevice()));
}

DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD /*timeoutMs*/,
                  DeviceLock& held) {
    DeviceLock lock;
    if (DWORD rc = lock.take()) return rc;
    if (DWORD rc = sendCommand(lock.device(), request, reply, replyLength)) return rc;  // the owner unlocks
    held = std::move(lock);
    return 0;
}

DWORD ReadBvDataFromSTI(void* buffer, DWORD capacity, const DWORD* wanted) {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    return readData(use.device(), buffer, capacity, wanted);
}

DWORD ReadBvDataFromSTI(const DeviceLock& held, void* buffer, DWORD capacity, const DWORD* wanted) {
    return readData(held.device(), buffer, capacity, wanted);
}

DWORD WriteBvDataToSTI(const void* buffer, DWORD capacity, const DWORD* size) {
    DeviceUse use;
    if (DWORD rc = use.take()) return rc;
    return writeData(use.device(), buffer, capacity, size);
}

}  // namespace bv
