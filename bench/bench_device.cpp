#include "bench_device.h"

#include <cstdio>

#include "sim/camera/bvsim.h"

namespace bvbench {
namespace {

using StiCreate = HRESULT(WINAPI*)(HINSTANCE, DWORD, IStillImageW**, IUnknown*);

constexpr DWORD kCreateStatusAndData = 3;

// The command block as the driver reads it through the address it is given.
struct CommandBlock {
    DWORD command;
    DWORD payloadLength;
    const void* payload;
};

}  // namespace

bool Library::load() {
    unload();
    module_ = LoadLibraryW(L"bvcl2sti.dll");
    if (!module_) {
        std::printf("cannot load bvcl2sti.dll (error %lu)\n", GetLastError());
        return false;
    }
    base = reinterpret_cast<const bvlBaseAPI*>(GetProcAddress(module_, "g_bvlBaseAPI"));
    factry = reinterpret_cast<const bvlNewFactryAPI*>(GetProcAddress(module_, "g_bvlNewFactryAPI"));
    if (base && factry) return true;
    std::printf("bvcl2sti.dll lacks its tables\n");
    unload();
    return false;
}

void Library::unload() {
    if (module_) FreeLibrary(module_);
    module_ = nullptr;
    base = nullptr;
    factry = nullptr;
}

DWORD openUsbCamera(const bvlBaseAPI* base, bvlNotifyCB callback, UINT_PTR context) {
    SimStiDevice device;
    if (!simStiDeviceAt(0, &device) || !device.internalName) return BVL_E_DEVICE_INVALID;
    bvlCameraPort port = {};
    port.portType = BVL_PORT_USB;
    lstrcpyA(port.portName, BVL_USB_PORT_NAME);
    WideCharToMultiByte(CP_ACP, 0, device.internalName, -1, port.u.usb.deviceName,
                        sizeof port.u.usb.deviceName - 1, nullptr, nullptr);
    DWORD camera = 0;
    return base->baseOpenCameraComm(&port, callback, context, &camera);
}

bool FloorDevice::open() {
    close();
    SimStiDevice info;
    sti_ = LoadLibraryW(L"Sti.dll");
    auto create = sti_ ? reinterpret_cast<StiCreate>(reinterpret_cast<void*>(GetProcAddress(sti_, "StiCreateInstance")))
                       : nullptr;
    if (!create || simCounter("sti.library") == 0 || !simStiDeviceAt(0, &info)) {
        std::printf("the Still Image stand-in is not the Sti.dll loaded\n");
        close();
        return false;
    }
    if (FAILED(create(GetModuleHandleW(nullptr), STI_VERSION, &instance_, nullptr)) ||
        FAILED(instance_->CreateDevice(const_cast<LPWSTR>(info.internalName), kCreateStatusAndData,
                                       &device_, nullptr))) {
        std::printf("cannot open the stand-in's device\n");
        close();
        return false;
    }
    return true;
}

void FloorDevice::close() {
    if (device_) device_->Release();
    if (instance_) instance_->Release();
    if (sti_) FreeLibrary(sti_);
    device_ = nullptr;
    instance_ = nullptr;
    sti_ = nullptr;
}

HRESULT FloorDevice::command(DWORD command, DWORD length, const void* payload, void* reply,
                             DWORD replyLength) {
    CommandBlock block = {command, length, payload};
    DWORD actual = 0;
    return device_->Escape(0x1003, &block, 4, reply, replyLength, &actual);
}

HRESULT FloorDevice::lockedCommand(DWORD command, DWORD length, const void* payload, void* reply,
                                   DWORD replyLength) {
    HRESULT hr = lock();
    if (FAILED(hr)) return hr;
    hr = this->command(command, length, payload, reply, replyLength);
    const HRESULT unlocked = unlock();
    return FAILED(hr) ? hr : unlocked;
}

}  // namespace bvbench
