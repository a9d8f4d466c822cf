// The command exchange with the camera's still-image driver: one command
// and its reply through escape function 0x1003, bulk blocks through raw
// reads and writes, and the device lock that keeps a command and its data
// together. Every failure of a device call becomes the camera's vendor
// error in statusOf, the one place that reads the service's HRESULT.
#include <utility>

#include "sti_private.h"

namespace bv {
namespace {

// The driver reads the requestBlock through the address it is given; the
// size passed along is that of the address.
constexpr DWORD kEscapeInSize = 4;

IStiDevice* openDevice() { return stiState().stiDevice.get(); }

}  // namespace

DWORD statusOf(HRESULT hr) { return FAILED(hr) ? GetBvErrorID() : 0; }

HRESULT readLastErrorInfo() {
    IStiDevice* device = openDevice();
    if (!device) return E_FAIL;
    STI_ERROR_INFOW& info = stiState().lastErrorInfo;
    info = STI_ERROR_INFOW();
    info.dwSize = kErrorInfoSize;
    return device->GetLastErrorInfo(&info);
}

DWORD GetBvErrorID() {
    if (FAILED(readLastErrorInfo())) return BVL_E_LL_UNEXPECTED_EXCEPTION;
    const DWORD vendor = stiState().lastErrorInfo.dwVendorError;
    return vendor != 0 ? vendor : BVL_E_LL_UNEXPECTED_EXCEPTION;
}

DWORD lockStiDevice() {
    IStiDevice* device = openDevice();
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    return statusOf(device->LockDevice(kLockWaitMs));
}

DWORD unlockStiDevice() {
    IStiDevice* device = openDevice();
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    return statusOf(device->UnLockDevice());
}

void DeviceLock::Held::close(IStiDevice* device) {
    device->UnLockDevice();
    device->Release();
}

DWORD DeviceLock::take() {
    if (DWORD rc = lockStiDevice()) return rc;
    *this = adoptHeld();
    return 0;
}

DeviceLock DeviceLock::adoptHeld() {
    DeviceLock lock;
    if (IStiDevice* device = openDevice()) {
        device->AddRef();
        lock.device_.reset(device);
    }
    return lock;
}

DWORD DeviceLock::end() {
    if (!device_) return 0;
    ComRef<IStiDevice> device(device_.release());
    return statusOf(device.get()->UnLockDevice());
}

DWORD DoBvNonStreamCommand(const requestBlock* request, void* reply, DWORD replyLength) {
    IStiDevice* device = openDevice();
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    DWORD actual = 0;
    return statusOf(device->Escape(kEscapeCommand, const_cast<requestBlock*>(request),
                                   kEscapeInSize, reply, replyLength, &actual));
}

DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD /*timeoutMs*/,
                  BYTE lockMode) {
    if (!openDevice()) return BVL_E_NO_DEVICE_OPEN;
    if (lockMode == kLockTake) {
        // Held on return, whatever the command's result: the caller ends it.
        if (DWORD rc = lockStiDevice()) return rc;
        return DoBvNonStreamCommand(request, reply, replyLength);
    }
    DeviceLock lock = lockMode == kLockEnd ? DeviceLock::adoptHeld() : DeviceLock();
    if (lockMode == kLockAround) {
        if (DWORD rc = lock.take()) return rc;
    }
    const DWORD rc = DoBvNonStreamCommand(request, reply, replyLength);
    return keepFirst(rc, lock.end());
}

DWORD DoBvCommand(const requestBlock* request, void* reply, DWORD replyLength, DWORD /*timeoutMs*/,
                  DeviceLock& held) {
    DeviceLock lock;
    if (DWORD rc = lock.take()) return rc;
    if (DWORD rc = DoBvNonStreamCommand(request, reply, replyLength)) return rc;  // the owner unlocks
    held = std::move(lock);
    return 0;
}

DWORD ReadBvDataFromSTI(void* buffer, DWORD capacity, const DWORD* wanted) {
    IStiDevice* device = openDevice();
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    if (capacity < *wanted) return BVL_E_INVALID_PARAMETER;
    // A read may deliver fewer bytes than asked; the rest of the chunk is
    // read after them. A read that delivers nothing, or claims more than
    // was asked, ends the transfer: no byte the camera did not send may
    // reach the caller.
    BYTE* at = static_cast<BYTE*>(buffer);
    for (DWORD remaining = *wanted; remaining != 0;) {
        DWORD count = remaining;
        if (DWORD rc = statusOf(device->RawReadData(at, &count, nullptr))) return rc;
        if (count == 0 || count > remaining) return BVL_E_FILE_DATA_CORRUPT;
        at += count;
        remaining -= count;
    }
    return 0;
}

DWORD WriteBvDataToSTI(const void* buffer, DWORD capacity, const DWORD* size) {
    IStiDevice* device = openDevice();
    if (!device) return BVL_E_NO_DEVICE_OPEN;
    if (capacity < *size) return BVL_E_INVALID_PARAMETER;
    return statusOf(device->RawWriteData(const_cast<void*>(buffer), *size, nullptr));
}

}  // namespace bv
