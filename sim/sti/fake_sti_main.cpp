// Sti.dll stand-in: module entry, the creation entry point and the helpers
// every fake method starts with. A configuration file "bvsim-sti.ini"
// beside the DLL (if present) shapes the devices for the demo.
#include "fake_sti_private.h"

namespace fakesti {

bool stepFails(const char* step, HRESULT* result, DWORD* vendor) {
    simPassHold(step);
    if (DWORD ms = simStepDelay(step)) Sleep(ms);
    DWORD code = 0;
    if (!simShouldFail(step, &code)) return false;
    *vendor = code;
    *result = simStepResult(step);
    return true;
}

HRESULT notImplemented(const char* method) {
    char step[96];
    wsprintfA(step, "sti.unimplemented.%s", method);
    DWORD ignored;
    simShouldFail(step, &ignored);
    return E_NOTIMPL;
}

}  // namespace fakesti

using namespace fakesti;

extern "C" __declspec(dllexport) HRESULT WINAPI StiCreateInstance(HINSTANCE instance, DWORD version,
                                                                 IStillImageW** sti,
                                                                 IUnknown* outer) {
    if (!sti) return E_POINTER;
    *sti = nullptr;
    HRESULT result;
    DWORD vendor;
    if (stepFails("sti.create", &result, &vendor)) return result;
    if (!instance || (version & 0xff) < STI_VERSION_MIN_ALLOWED) return E_INVALIDARG;
    if (outer) return CLASS_E_NOAGGREGATION;
    return FakeStillImage_Constructor(sti);
}

extern "C" BOOL WINAPI DllMain(HINSTANCE module, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(module);
        simAddToCounter("sti.library", 1);
        WCHAR path[MAX_PATH];
        DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
        while (length > 0 && path[length - 1] != L'\\') --length;
        if (length + 16 < MAX_PATH) {
            lstrcpyW(path + length, L"bvsim-sti.ini");
            simLoadConfiguration(path);
        }
    } else if (reason == DLL_PROCESS_DETACH) {
        simAddToCounter("sti.library", -1);
    }
    return TRUE;
}
