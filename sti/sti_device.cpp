// Finding and opening the camera's still-image device, the list of the
// maker's cameras that the service knows, and the open device's port name.
#include <cstring>
#include <string>
#include <utility>

#include "library_search.h"
#include "sti_private.h"

namespace bv {
namespace {

constexpr DWORD kStiCreateStatusAndData = 3;

// Starts the still-image monitor, which the service needs running before a
// device can be created, from the system or Windows folder only (never the
// current folder or PATH). Its outcome is not awaited and no handle is kept.
void launchStillImageMonitor() {
    const std::wstring program = systemProgramPath(L"stimon.exe");
    if (program.empty()) return;
    std::wstring commandLine = L"\"" + program + L"\"";  // CreateProcess may write to it
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWNORMAL;
    PROCESS_INFORMATION process = {};
    if (CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, CREATE_NEW_PROCESS_GROUP,
                       nullptr, nullptr, &startup, &process)) {
        OwnedHandle thread(process.hThread);
        OwnedHandle started(process.hProcess);
    }
}

// Whether the selected record's texts point into this list's block (the
// service packs the texts after the records, in the same allocation).
bool selectedFrom(void* list) {
    const auto* text = reinterpret_cast<const BYTE*>(stiState().selectedDevice.pszDeviceDescription);
    const auto* begin = static_cast<const BYTE*>(list);
    return list && text && text >= begin && text < begin + LocalSize(list);
}

HRESULT createDevice(IStillImageW* instance, wchar_t* name, IStiDevice** device) {
    try {
        return instance->CreateDevice(name, kStiCreateStatusAndData, device, nullptr);
    } catch (...) {
        return E_FAIL;
    }
}

// The library's code for a failed device creation: the device is held by
// another program, or the service cannot open it.
DWORD creationFailure(HRESULT hr) {
    return hr == E_ACCESSDENIED ? BVL_E_DEVICE_BUSY : BVL_E_DEVICE_NOT_FOUND;
}

}  // namespace

HRESULT GetStiDeviceList() {
    StiState& s = stiState();
    // The earlier list stays valid until the new one is in place: the
    // selected record points into it.
    if (!s.stiInstance) return E_POINTER;
    OwnedLocal list;
    DWORD count = 0;
    HRESULT hr = s.stiInstance.get()->GetDeviceList(0, 0, &count, list.put());
    if (FAILED(hr) || !list) {
        releaseStiObjects();
        return hr;
    }
    if (selectedFrom(s.deviceList.get())) s.selectedList = std::move(s.deviceList);
    s.deviceList = std::move(list);
    s.deviceCount = count;
    return hr;
}

bool GetStiDeviceInfo(const char* description) {
    StiState& s = stiState();
    const auto* list = static_cast<const STI_DEVICE_INFORMATIONW*>(s.deviceList.get());
    long index = list ? findDeviceByDescription(list, s.deviceCount, description) : -1;
    if (index < 0) return false;
    s.selectedDevice = list[index];
    return true;
}

bool StiOpenDeviceInfo(HMODULE stillImageLibrary, const char* description) {
    if (!description || description[0] == 0) return false;
    if (FAILED(SetUpStiInstance(stillImageLibrary))) return false;
    if (FAILED(GetStiDeviceList())) return false;
    return GetStiDeviceInfo(description);
}

DWORD CreateStiDevice() {
    StiState& s = stiState();
    launchStillImageMonitor();
    if (!s.stiInstance) return BVL_E_DEVICE_NOT_FOUND;
    HRESULT hr = createDevice(s.stiInstance.get(), s.selectedDevice.szDeviceInternalName,
                              s.stiDevice.put());
    if (SUCCEEDED(hr) && s.stiDevice) return 0;
    s.stiDevice.release();  // a failed creation hands back no reference
    return creationFailure(hr);
}

DWORD openDeviceByModel(HMODULE stillImageLibrary, const char* description) {
    if (!StiOpenDeviceInfo(stillImageLibrary, description)) return BVL_E_DEVICE_NOT_FOUND;
    return CreateStiDevice();
}

DWORD openDeviceByName(HMODULE stillImageLibrary, const char* name) {
    if (FAILED(SetUpStiInstance(stillImageLibrary))) return BVL_E_STI_INSTANCE_FAILED;
    wchar_t* internalName = stiState().selectedDevice.szDeviceInternalName;
    const int room = STI_MAX_INTERNAL_NAME_LENGTH;
    internalName[0] = 0;
    int written = MultiByteToWideChar(CP_ACP, 0, name, -1, internalName, room);
    if (written == 0) {
        // Longer than the field: keep the first room - 1 characters.
        MultiByteToWideChar(CP_ACP, 0, name, room - 1, internalName, room - 1);
    }
    internalName[room - 1] = 0;
    return CreateStiDevice();
}

HRESULT enumerateUsbModels(HMODULE stillImageLibrary, char* buffer, DWORD size, DWORD* count) {
    StiState& s = stiState();
    *count = 0;
    StiChange change;  // the list is replaced, and an instance may come and go
    if (change.begin()) return HRESULT_FROM_WIN32(ERROR_BUSY);
    bool createdHere = false;
    if (!s.stiInstance) {
        HRESULT hr = SetUpStiInstance(stillImageLibrary);
        if (FAILED(hr)) return hr;
        createdHere = true;
    }
    HRESULT result = GetStiDeviceList();
    if (SUCCEEDED(result)) {
        DWORD used = 0;
        const auto* list = static_cast<const STI_DEVICE_INFORMATIONW*>(s.deviceList.get());
        for (DWORD i = 0; i < s.deviceCount; ++i) {
            char vendor[kNarrowNameSize];
            char description[kNarrowNameSize];
            narrowText(list[i].pszVendorDescription, vendor, sizeof vendor);
            narrowText(list[i].pszDeviceDescription, description, sizeof description);
            if (!isMakerCamera(vendor, list[i].DeviceType)) continue;
            if (appendDescription(buffer, size, &used, description)) ++*count;
        }
        buffer[used] = 0;
        if (used == 0) buffer[1] = 0;
    }
    if (createdHere) {
        HRESULT released = releaseStiInstanceOnly();
        if (FAILED(released) && SUCCEEDED(result)) result = released;
    }
    return result;
}

int getDevicePortName(char* buffer, DWORD size) {
    StiState& s = stiState();
    if (!s.stiInstance) return 0;
    OwnedLocal info;
    if (s.stiInstance.get()->GetDeviceInfo(s.selectedDevice.szDeviceInternalName, info.put()) != 0)
        return 0;
    if (!info) return 0;
    narrowText(static_cast<const STI_DEVICE_INFORMATIONW*>(info.get())->pszPortName, buffer, size);
    return 1;
}

}  // namespace bv
