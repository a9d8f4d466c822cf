#include "still_image_probe.h"

#include <sti.h>

#include <cstdio>
#include <cstring>

#include "Common/owned.h"

namespace {

constexpr DWORD kStiVersion = 2;
using StiCreateInstanceFn = HRESULT(STDAPICALLTYPE*)(HINSTANCE, DWORD, IStillImageW**, IUnknown*);

struct ServiceReference {
    using Value = IStillImageW*;
    static IStillImageW* empty() { return nullptr; }
    static void close(IStillImageW* service) { service->Release(); }
};
using OwnedService = bv::Owned<ServiceReference>;

// COM for this thread for the probe's length, undone only if started here.
struct ComForProbe {
    ComForProbe() : started(SUCCEEDED(CoInitialize(nullptr))) {}
    ~ComForProbe() { if (started) CoUninitialize(); }
    bool started;
};

std::string systemText(HRESULT result) {
    char text[256] = "";
    FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, static_cast<DWORD>(result), 0,
                   text, sizeof text, nullptr);
    std::string trimmed = text;
    while (!trimmed.empty() && std::strchr("\r\n .", trimmed.back()))
        trimmed.pop_back();
    return trimmed;
}

}  // namespace

StillImageProbe probeStillImage() {
    StillImageProbe probe;
    const HMODULE sti = GetModuleHandleW(L"sti.dll");
    if (!sti) {
        probe.failedCall = "loading Sti.dll";
        probe.result = HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND);
        return probe;
    }
    char path[MAX_PATH] = "";
    GetModuleFileNameA(sti, path, sizeof path);
    probe.library = path;
    auto create = reinterpret_cast<StiCreateInstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(sti, "StiCreateInstance")));
    if (!create) {
        probe.failedCall = "finding StiCreateInstance";
        probe.result = HRESULT_FROM_WIN32(ERROR_PROC_NOT_FOUND);
        return probe;
    }
    const ComForProbe com;
    OwnedService service;
    probe.result = create(GetModuleHandleW(nullptr), kStiVersion, service.put(), nullptr);
    if (FAILED(probe.result) || !service) {
        service.release();  // a failed creation hands back no reference
        probe.failedCall = "StiCreateInstance";
        if (SUCCEEDED(probe.result)) probe.result = E_POINTER;
        return probe;
    }
    bv::OwnedLocal list;
    probe.result = service.get()->GetDeviceList(0, 0, &probe.devices, list.put());
    if (FAILED(probe.result)) probe.failedCall = "IStillImage::GetDeviceList";
    return probe;
}

std::string describeStillImageProbe(const StillImageProbe& probe) {
    std::string text = "list the USB cameras: the Still Image service ";
    if (!probe.library.empty()) text += "(" + probe.library + ") ";
    char code[16];
    std::snprintf(code, sizeof code, "0x%08lx", static_cast<unsigned long>(probe.result));
    if (probe.failedCall.empty()) {
        text += "lists " + std::to_string(probe.devices) + " devices, yet the library could not list them";
    } else {
        const std::string meaning = systemText(probe.result);
        text += "failed: " + probe.failedCall + " returned " + code + (meaning.empty() ? "" : " (" + meaning + ")");
    }
    return text +
           ".\n  Install the camera's still-image driver (and its Still Image service), or, to use the "
           "simulated camera, put the simulator's Sti.dll beside bvcam.exe (under Wine also set "
           "WINEDLLOVERRIDES=sti=n).";
}
