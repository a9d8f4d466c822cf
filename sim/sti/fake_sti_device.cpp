// FakeStiDevice: the camera's still-image driver as the library sees it.
// Escape 0x1003 reads the command block and its payload in place and hands
// the command to the virtual camera; raw reads and writes carry the bulk
// data a command announced; the device lock is a named semaphore, so a
// holder in another thread or process makes LockDevice wait and fail.
#include "fake_sti_private.h"

#include <cstring>

namespace fakesti {
namespace {

constexpr DWORD kEscapeCommand = 0x1003;
constexpr DWORD kCamDeviceBusy = 0x02000081;
const wchar_t kLockName[] = L"BvSimStiDeviceLock";

struct FakeStiDevice {
    IStiDevice IStiDevice_iface;
    LONG ref;
    HANDLE lock;        // the device lock, shared by every holder by name
    bool holdsLock;
    DWORD lastVendorError;
};

// Every method comes here first: a call on a released device is counted.
FakeStiDevice* impl_from_IStiDevice(IStiDevice* iface) {
    FakeStiDevice* This = CONTAINING_RECORD(iface, FakeStiDevice, IStiDevice_iface);
    if (This->ref <= 0) simAddToCounter("sti.afterRelease", 1);
    return This;
}

// The command block as the camera's driver reads it: command code,
// payload length, payload address.
struct WireRequest {
    DWORD command;
    DWORD payloadLength;
    const BYTE* payload;
};

// Runs a step: the fault plan first, then the body. A failure of either
// leaves its vendor error for GetLastErrorInfo.
template <class Body>
HRESULT run(FakeStiDevice* This, const char* step, Body body) {
    HRESULT result;
    DWORD vendor;
    if (stepFails(step, &result, &vendor)) {
        This->lastVendorError = vendor;
        return result;
    }
    DWORD code = body();
    if (code == 0) return S_OK;
    This->lastVendorError = code;
    return STIERR_GENERIC;
}

void releaseLock(FakeStiDevice* This) {
    This->holdsLock = false;
    ReleaseSemaphore(This->lock, 1, nullptr);
    simAddToCounter("sti.locks", -1);
}

HRESULT WINAPI stidevice_QueryInterface(IStiDevice* iface, REFIID riid, void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IStiDevice)) {
        *ppvObj = iface;
        iface->lpVtbl->AddRef(iface);
        return S_OK;
    }
    *ppvObj = nullptr;
    return E_NOINTERFACE;
}

ULONG WINAPI stidevice_AddRef(IStiDevice* iface) {
    return InterlockedIncrement(&impl_from_IStiDevice(iface)->ref);
}

// The last Release frees the lock but not the object: a later call on it,
// a Release too many included, is counted in "sti.afterRelease" instead
// of reaching freed memory or freeing twice.
ULONG WINAPI stidevice_Release(IStiDevice* iface) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    LONG ref = InterlockedDecrement(&This->ref);
    if (ref == 0) {
        if (This->holdsLock) releaseLock(This);  // a driver frees a dead holder's lock
        CloseHandle(This->lock);
        simAddToCounter("sti.devices", -1);
    }
    return static_cast<ULONG>(ref);
}

HRESULT WINAPI stidevice_Initialize(IStiDevice*, HINSTANCE, LPCWSTR, DWORD, DWORD) {
    return notImplemented("Initialize");
}

HRESULT WINAPI stidevice_GetCapabilities(IStiDevice*, PSTI_DEV_CAPS) {
    return notImplemented("GetCapabilities");
}

HRESULT WINAPI stidevice_GetStatus(IStiDevice*, PSTI_DEVICE_STATUS) {
    return notImplemented("GetStatus");
}

HRESULT WINAPI stidevice_DeviceReset(IStiDevice*) { return notImplemented("DeviceReset"); }

HRESULT WINAPI stidevice_Diagnostic(IStiDevice*, LPSTI_DIAG) { return notImplemented("Diagnostic"); }

HRESULT WINAPI stidevice_Escape(IStiDevice* iface, STI_RAW_CONTROL_CODE function, LPVOID in,
                                DWORD inSize, LPVOID out, DWORD outSize, LPDWORD actual) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    return run(This, "sti.escape", [&]() -> DWORD {
        if (function != kEscapeCommand || !in || inSize != 4) return 0x02000060;
        WireRequest request;
        std::memcpy(&request, in, sizeof request);
        simLogCommandPayload(request.command, request.payload, request.payloadLength, outSize);
        DWORD rc = simRunCommand(request.command, request.payload, request.payloadLength,
                                 static_cast<BYTE*>(out), outSize);
        if (actual) *actual = rc == 0 ? outSize : 0;
        return rc;
    });
}

HRESULT WINAPI stidevice_GetLastError(IStiDevice*, LPDWORD) { return notImplemented("GetLastError"); }

HRESULT WINAPI stidevice_LockDevice(IStiDevice* iface, DWORD timeout) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    return run(This, "sti.lock", [&]() -> DWORD {
        if (This->holdsLock) return kCamDeviceBusy;
        if (WaitForSingleObject(This->lock, timeout) != WAIT_OBJECT_0) return kCamDeviceBusy;
        This->holdsLock = true;
        simAddToCounter("sti.locks", 1);
        return 0;
    });
}

HRESULT WINAPI stidevice_UnLockDevice(IStiDevice* iface) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    return run(This, "sti.unlock", [&]() -> DWORD {
        if (!This->holdsLock) return kCamDeviceBusy;
        releaseLock(This);
        return 0;
    });
}

HRESULT WINAPI stidevice_RawReadData(IStiDevice* iface, LPVOID buffer, LPDWORD count,
                                     LPOVERLAPPED overlapped) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    return run(This, "sti.rawRead", [&]() -> DWORD {
        if (!buffer || !count || overlapped) return 0x02000060;
        DWORD wanted = *count, cut;
        if (simRawReadCut(&cut) && cut < wanted) wanted = cut;
        return simReadBulk(static_cast<BYTE*>(buffer), wanted, count);
    });
}

HRESULT WINAPI stidevice_RawWriteData(IStiDevice* iface, LPVOID buffer, DWORD count,
                                      LPOVERLAPPED overlapped) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    return run(This, "sti.rawWrite", [&]() -> DWORD {
        if (!buffer || overlapped) return 0x02000060;
        return simWriteBulk(static_cast<const BYTE*>(buffer), count);
    });
}

HRESULT WINAPI stidevice_RawReadCommand(IStiDevice*, LPVOID, LPDWORD, LPOVERLAPPED) {
    return notImplemented("RawReadCommand");
}

HRESULT WINAPI stidevice_RawWriteCommand(IStiDevice*, LPVOID, DWORD, LPOVERLAPPED) {
    return notImplemented("RawWriteCommand");
}

HRESULT WINAPI stidevice_Subscribe(IStiDevice*, LPSTISUBSCRIBE) { return notImplemented("Subscribe"); }

HRESULT WINAPI stidevice_GetLastNotificationData(IStiDevice*, LPSTINOTIFY) {
    return notImplemented("GetLastNotificationData");
}

HRESULT WINAPI stidevice_UnSubscribe(IStiDevice*) { return notImplemented("UnSubscribe"); }

HRESULT WINAPI stidevice_GetLastErrorInfo(IStiDevice* iface, STI_ERROR_INFO* info) {
    FakeStiDevice* This = impl_from_IStiDevice(iface);
    HRESULT result;
    DWORD vendor;
    if (stepFails("sti.lastError", &result, &vendor)) return result;
    if (!info || info->dwSize != sizeof(STI_ERROR_INFOW)) return E_INVALIDARG;
    info->dwGenericError = This->lastVendorError ? STIERR_GENERIC : S_OK;
    info->dwVendorError = This->lastVendorError;
    return S_OK;
}

const IStiDeviceVtbl stidevice_vtbl = {
    stidevice_QueryInterface,
    stidevice_AddRef,
    stidevice_Release,
    stidevice_Initialize,
    stidevice_GetCapabilities,
    stidevice_GetStatus,
    stidevice_DeviceReset,
    stidevice_Diagnostic,
    stidevice_Escape,
    stidevice_GetLastError,
    stidevice_LockDevice,
    stidevice_UnLockDevice,
    stidevice_RawReadData,
    stidevice_RawWriteData,
    stidevice_RawReadCommand,
    stidevice_RawWriteCommand,
    stidevice_Subscribe,
    stidevice_GetLastNotificationData,
    stidevice_UnSubscribe,
    stidevice_GetLastErrorInfo,
};

}  // namespace

HRESULT FakeStiDevice_Constructor(const WCHAR*, IStiDevice** device) {
    *device = nullptr;
    auto* This = static_cast<FakeStiDevice*>(HeapAlloc(GetProcessHeap(), 0, sizeof(FakeStiDevice)));
    if (!This) return E_OUTOFMEMORY;
    This->lock = CreateSemaphoreW(nullptr, 1, 1, kLockName);
    if (!This->lock) {
        HeapFree(GetProcessHeap(), 0, This);
        return HRESULT_FROM_WIN32(GetLastError());
    }
    // The header declares lpVtbl without const; the table itself never changes.
    This->IStiDevice_iface.lpVtbl = const_cast<IStiDeviceVtbl*>(&stidevice_vtbl);
    This->ref = 1;
    This->holdsLock = false;
    This->lastVendorError = 0;
    simAddToCounter("sti.devices", 1);
    *device = &This->IStiDevice_iface;
    return S_OK;
}

}  // namespace fakesti
