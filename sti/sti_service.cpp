// The Still Image service instance: COM start, creation through the
// service's own entry point, and the release of every still-image object
// in the order device, instance, list, COM.
#include "sti_private.h"

namespace bv {
namespace {

StiState g_sti;

constexpr DWORD kStiVersion = 2;

using StiCreateInstanceFn = HRESULT(STDAPICALLTYPE*)(HINSTANCE, DWORD, IStillImageW**, IUnknown*);

// The one place that looks up an entry of Sti.dll: null when the library
// or the entry is missing.
StiCreateInstanceFn resolveStiCreateInstance(HMODULE stillImageLibrary) {
    if (!stillImageLibrary) return nullptr;
    return reinterpret_cast<StiCreateInstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(stillImageLibrary, "StiCreateInstance")));
}

void freeDeviceList() {
    g_sti.deviceList.reset();
}

}  // namespace

StiState& stiState() { return g_sti; }

HRESULT SetUpStiInstance(HMODULE stillImageLibrary) {
    CoInitialize(nullptr);
    g_sti.stiInstance.reset();
    StiCreateInstanceFn create = resolveStiCreateInstance(stillImageLibrary);
    if (!create) return E_NOINTERFACE;
    return create(GetModuleHandleW(nullptr), kStiVersion, g_sti.stiInstance.put(), nullptr);
}

bool isStiInstanceSet() { return static_cast<bool>(g_sti.stiInstance); }

HRESULT releaseStiInstance() {
    if (!g_sti.stiInstance) return 0;
    return static_cast<HRESULT>(g_sti.stiInstance.release()->Release());
}

void releaseStiDevice() {
    if (g_sti.stiDevice) {
        IStiDevice* device = g_sti.stiDevice.get();
        try {
            device->Release();
        } catch (...) {
            // Only a C++ exception can be caught here; a structured one
            // raised inside the service ends the process as before.
            OutputDebugStringA("ERROR : pStiDevice->Release() \n");
            char text[32];
            wsprintfA(text, "hres = 0x%x\n", static_cast<unsigned>(readLastErrorInfo()));
            OutputDebugStringA(text);
        }
        g_sti.stiDevice.release();  // its reference is gone either way
    }
    freeDeviceList();
    g_sti.selectedDevice = STI_DEVICE_INFORMATIONW();
    g_sti.selectedList.reset();
    g_sti.deviceCount = 0;
}

HRESULT releaseStiObjects() {
    releaseStiDevice();
    HRESULT result = releaseStiInstance();
    freeDeviceList();
    CoUninitialize();
    return result;
}

HRESULT releaseStiInstanceOnly() {
    HRESULT result = releaseStiInstance();
    freeDeviceList();
    CoUninitialize();
    return result;
}

}  // namespace bv
