// The Still Image service instance: COM start, creation through the
// service's own entry point, and the release of every still-image object
// in the order device, instance, list, COM. The library initialises COM
// on the thread that sets up the service and undoes that only on the same
// thread, when it releases there: a thread that opened and never releases
// keeps the library's initialisation until it releases something or ends.
#include "observable_texts.h"
#include "sti_private.h"
#include "thread_value.h"

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

// Whether this library's CoInitialize succeeded on this thread and is not
// undone yet. Per thread, not per thread id: a thread that ends takes its
// value along, so a later thread with the same id (and perhaps an
// apartment of the application's) starts without one.
ThreadValue g_comInitialisedHere;

// COM for this thread, once, until uninitialiseCom on the same thread:
// whether this call initialised it. A thread in another apartment already
// (CoInitialize fails there) is left alone; without a slot to remember the
// success in, COM is not touched at all.
bool initialiseCom() {
    if (!g_comInitialisedHere.available() || g_comInitialisedHere.get() != 0) return false;
    if (FAILED(CoInitialize(nullptr))) return false;
    g_comInitialisedHere.set(1);
    return true;
}

// Undoes this library's initialisation of COM on this thread, if any:
// one CoUninitialize for each CoInitialize that succeeded.
void uninitialiseCom() {
    if (g_comInitialisedHere.get() == 0) return;
    g_comInitialisedHere.set(0);
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
