// The Still Image service instance: COM start, creation through the
// service's own entry point, and the release of every still-image object
// in the order device, instance, list, COM.
#include <algorithm>

#include "observable_texts.h"
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

// COM for this thread, once, until uninitialiseCom on the same thread:
// whether this call initialised it.
bool initialiseCom() {
    std::vector<DWORD>& threads = g_sti.comThreads;
    const DWORD self = GetCurrentThreadId();
    if (std::find(threads.begin(), threads.end(), self) != threads.end()) return false;
    if (FAILED(CoInitialize(nullptr))) return false;
    threads.push_back(self);
    return true;
}

// Undoes this library's initialisation of COM on this thread, if any.
void uninitialiseCom() {
    std::vector<DWORD>& threads = g_sti.comThreads;
    const auto found = std::find(threads.begin(), threads.end(), GetCurrentThreadId());
    if (found == threads.end()) return;
    threads.erase(found);
    CoUninitialize();
}

}  // namespace

StiState& stiState() { return g_sti; }

// A failed creation leaves COM as it found it on this thread.
HRESULT SetUpStiInstance(HMODULE stillImageLibrary) {
    g_sti.stiInstance.reset();
    StiCreateInstanceFn create = resolveStiCreateInstance(stillImageLibrary);
    if (!create) return E_NOINTERFACE;
    const bool initialisedHere = initialiseCom();
    const HRESULT hr = create(GetModuleHandleW(nullptr), kStiVersion, g_sti.stiInstance.put(), nullptr);
    if (FAILED(hr) || !g_sti.stiInstance) {
        g_sti.stiInstance.release();  // a failed creation hands back no reference
        if (initialisedHere) uninitialiseCom();
        return FAILED(hr) ? hr : E_FAIL;
    }
    return hr;
}

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
            OutputDebugStringA(kTextDeviceReleaseFailed);
            char text[32];
            STI_ERROR_INFOW info;
            wsprintfA(text, kTextDeviceReleaseResult, static_cast<unsigned>(readLastErrorInfo(device, &info)));
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
    uninitialiseCom();
    return result;
}

DWORD releaseStiConnection() {
    return FAILED(releaseStiObjects()) ? BVL_E_STI_RELEASE_FAILED : 0;
}

HRESULT releaseStiInstanceOnly() {
    HRESULT result = releaseStiInstance();
    freeDeviceList();
    uninitialiseCom();
    return result;
}

}  // namespace bv
