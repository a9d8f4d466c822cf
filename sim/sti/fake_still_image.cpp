// FakeStillImage: the service object of the stand-in. It reports the
// device list configured through bvsim.dll, creates device objects and
// tells which device launched the process.
#include <initguid.h>  // defines the interface IDs of sti.h in this file

#include "fake_sti_private.h"

#include <cstring>
#include <vector>

namespace fakesti {
namespace {

struct FakeStillImage {
    IStillImageW IStillImageW_iface;
    LONG ref;
};

FakeStillImage* impl_from_IStillImageW(IStillImageW* iface) {
    return CONTAINING_RECORD(iface, FakeStillImage, IStillImageW_iface);
}

// Device records and their texts in one LocalAlloc block, the way the
// service hands them out: the caller frees the whole with LocalFree.
STI_DEVICE_INFORMATIONW* packDevices(const std::vector<SimStiDevice>& devices) {
    size_t textBytes = 0;
    auto textSize = [](const WCHAR* t) { return t ? (lstrlenW(t) + 1) * sizeof(WCHAR) : 0; };
    for (const SimStiDevice& d : devices)
        textBytes += textSize(d.vendor) + textSize(d.description) + textSize(d.portName);
    const size_t recordBytes = devices.size() * sizeof(STI_DEVICE_INFORMATIONW);
    auto* block = static_cast<BYTE*>(LocalAlloc(LMEM_ZEROINIT, recordBytes + textBytes + 1));
    if (!block) return nullptr;
    auto* records = reinterpret_cast<STI_DEVICE_INFORMATIONW*>(block);
    BYTE* text = block + recordBytes;
    auto place = [&text, &textSize](const WCHAR* t) -> LPWSTR {
        if (!t) return nullptr;
        auto* out = reinterpret_cast<LPWSTR>(text);
        std::memcpy(text, t, textSize(t));
        text += textSize(t);
        return out;
    };
    for (size_t i = 0; i < devices.size(); ++i) {
        STI_DEVICE_INFORMATIONW& r = records[i];
        r.dwSize = sizeof r;
        r.DeviceType = devices[i].deviceType;
        lstrcpynW(r.szDeviceInternalName, devices[i].internalName, STI_MAX_INTERNAL_NAME_LENGTH);
        r.dwHardwareConfiguration = STI_HW_CONFIG_USB;
        r.pszVendorDescription = place(devices[i].vendor);
        r.pszDeviceDescription = place(devices[i].description);
        r.pszPortName = place(devices[i].portName);
    }
    return records;
}

std::vector<SimStiDevice> configuredDevices(const WCHAR* onlyName) {
    std::vector<SimStiDevice> devices;
    for (DWORD i = 0, n = simStiDeviceCount(); i < n; ++i) {
        SimStiDevice d;
        if (!simStiDeviceAt(i, &d)) break;
        if (!onlyName || lstrcmpiW(onlyName, d.internalName) == 0) devices.push_back(d);
    }
    return devices;
}

HRESULT WINAPI stillimagew_QueryInterface(IStillImageW* iface, REFIID riid, void** ppvObj) {
    if (!ppvObj) return E_POINTER;
    if (IsEqualGUID(riid, IID_IUnknown) || IsEqualGUID(riid, IID_IStillImageW)) {
        *ppvObj = iface;
        iface->lpVtbl->AddRef(iface);
        return S_OK;
    }
    *ppvObj = nullptr;
    return E_NOINTERFACE;
}

ULONG WINAPI stillimagew_AddRef(IStillImageW* iface) {
    return InterlockedIncrement(&impl_from_IStillImageW(iface)->ref);
}

ULONG WINAPI stillimagew_Release(IStillImageW* iface) {
    FakeStillImage* This = impl_from_IStillImageW(iface);
    ULONG ref = InterlockedDecrement(&This->ref);
    if (ref == 0) {
        simAddToCounter("sti.instances", -1);
        HeapFree(GetProcessHeap(), 0, This);
    }
    return ref;
}

HRESULT WINAPI stillimagew_Initialize(IStillImageW*, HINSTANCE, DWORD) {
    return notImplemented("Initialize");
}

HRESULT WINAPI stillimagew_GetDeviceList(IStillImageW*, DWORD type, DWORD flags, DWORD* count,
                                         void** buffer) {
    if (!count || !buffer) return E_POINTER;
    *count = 0;
    *buffer = nullptr;
    HRESULT result;
    DWORD vendor;
    if (stepFails("sti.deviceList", &result, &vendor)) return result;
    if (type != 0 || flags != 0) return E_INVALIDARG;
    std::vector<SimStiDevice> devices = configuredDevices(nullptr);
    STI_DEVICE_INFORMATIONW* records = packDevices(devices);
    if (!records) return E_OUTOFMEMORY;
    *count = static_cast<DWORD>(devices.size());
    *buffer = records;
    return S_OK;
}

HRESULT WINAPI stillimagew_GetDeviceInfo(IStillImageW*, LPWSTR name, void** buffer) {
    if (!buffer) return E_POINTER;
    *buffer = nullptr;
    HRESULT result;
    DWORD vendor;
    if (stepFails("sti.deviceInfo", &result, &vendor)) return result;
    std::vector<SimStiDevice> devices = configuredDevices(name ? name : L"");
    if (devices.empty()) return STIERR_INVALID_DEVICE_NAME;
    devices.resize(1);
    *buffer = packDevices(devices);
    return *buffer ? S_OK : E_OUTOFMEMORY;
}

HRESULT WINAPI stillimagew_CreateDevice(IStillImageW*, LPWSTR name, DWORD mode, PSTIDEVICE* device,
                                        LPUNKNOWN outer) {
    if (!device) return E_POINTER;
    *device = nullptr;
    HRESULT result;
    DWORD vendor;
    if (stepFails("sti.createDevice", &result, &vendor)) return result;
    if (outer) return CLASS_E_NOAGGREGATION;
    if (mode != STI_DEVICE_CREATE_BOTH) return E_INVALIDARG;
    if (!name || configuredDevices(name).empty()) return STIERR_INVALID_DEVICE_NAME;
    return FakeStiDevice_Constructor(name, device);
}

HRESULT WINAPI stillimagew_GetDeviceValue(IStillImageW*, LPWSTR, LPWSTR, LPDWORD, LPBYTE, LPDWORD) {
    return notImplemented("GetDeviceValue");
}

HRESULT WINAPI stillimagew_SetDeviceValue(IStillImageW*, LPWSTR, LPWSTR, DWORD, LPBYTE, DWORD) {
    return notImplemented("SetDeviceValue");
}

HRESULT WINAPI stillimagew_GetSTILaunchInformation(IStillImageW*, LPWSTR deviceName,
                                                   DWORD* eventCode, LPWSTR eventName) {
    HRESULT result;
    DWORD vendor;
    if (stepFails("sti.launchInfo", &result, &vendor)) return result;
    if (!deviceName || !eventCode || !eventName) return E_POINTER;
    if (!simStiLaunch(deviceName, eventName)) return STIERR_GENERIC;
    *eventCode = 0;
    return S_OK;
}

HRESULT WINAPI stillimagew_RegisterLaunchApplication(IStillImageW*, LPWSTR, LPWSTR) {
    return notImplemented("RegisterLaunchApplication");
}

HRESULT WINAPI stillimagew_UnregisterLaunchApplication(IStillImageW*, LPWSTR) {
    return notImplemented("UnregisterLaunchApplication");
}

HRESULT WINAPI stillimagew_EnableHwNotifications(IStillImageW*, LPCWSTR, WINBOOL) {
    return notImplemented("EnableHwNotifications");
}

HRESULT WINAPI stillimagew_GetHwNotificationState(IStillImageW*, LPCWSTR, WINBOOL*) {
    return notImplemented("GetHwNotificationState");
}

HRESULT WINAPI stillimagew_RefreshDeviceBus(IStillImageW*, LPCWSTR) {
    return notImplemented("RefreshDeviceBus");
}

HRESULT WINAPI stillimagew_LaunchApplicationForDevice(IStillImageW*, LPWSTR, LPWSTR, LPSTINOTIFY) {
    return notImplemented("LaunchApplicationForDevice");
}

HRESULT WINAPI stillimagew_SetupDeviceParameters(IStillImageW*, PSTI_DEVICE_INFORMATIONW) {
    return notImplemented("SetupDeviceParameters");
}

HRESULT WINAPI stillimagew_WriteToErrorLog(IStillImageW*, DWORD, LPCWSTR) {
    return notImplemented("WriteToErrorLog");
}

const IStillImageWVtbl stillimagew_vtbl = {
    stillimagew_QueryInterface,
    stillimagew_AddRef,
    stillimagew_Release,
    stillimagew_Initialize,
    stillimagew_GetDeviceList,
    stillimagew_GetDeviceInfo,
    stillimagew_CreateDevice,
    stillimagew_GetDeviceValue,
    stillimagew_SetDeviceValue,
    stillimagew_GetSTILaunchInformation,
    stillimagew_RegisterLaunchApplication,
    stillimagew_UnregisterLaunchApplication,
    stillimagew_EnableHwNotifications,
    stillimagew_GetHwNotificationState,
    stillimagew_RefreshDeviceBus,
    stillimagew_LaunchApplicationForDevice,
    stillimagew_SetupDeviceParameters,
    stillimagew_WriteToErrorLog,
};

}  // namespace

HRESULT FakeStillImage_Constructor(IStillImageW** instance) {
    *instance = nullptr;
    auto* This = static_cast<FakeStillImage*>(HeapAlloc(GetProcessHeap(), 0, sizeof(FakeStillImage)));
    if (!This) return E_OUTOFMEMORY;
    // The header declares lpVtbl without const; the table itself never changes.
    This->IStillImageW_iface.lpVtbl = const_cast<IStillImageWVtbl*>(&stillimagew_vtbl);
    This->ref = 1;
    simAddToCounter("sti.instances", 1);
    *instance = &This->IStillImageW_iface;
    return S_OK;
}

}  // namespace fakesti
