#include "product_library.h"

#include <cstring>

namespace bvtest {

std::wstring executableFolder() {
    wchar_t path[MAX_PATH];
    DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1);
}

namespace {

std::wstring serialFolder(SerialLibrary serial) {
    switch (serial) {
    case SerialLibrary::Present: return executableFolder() + L"serial";
    case SerialLibrary::WithoutTable: return executableFolder() + L"serial-no-table";
    case SerialLibrary::Missing: break;
    }
    return executableFolder() + L"no-serial-library-here";
}

}  // namespace

ProductLibrary::ProductLibrary(SerialLibrary serial) {
    SetDllDirectoryW(serialFolder(serial).c_str());
    module_ = LoadLibraryW((executableFolder() + L"bvcl2sti.dll").c_str());
    if (module_)
        api_ = reinterpret_cast<const bvlBaseAPI*>(
            reinterpret_cast<void*>(GetProcAddress(module_, "g_bvlBaseAPI")));
}

ProductLibrary::~ProductLibrary() {
    if (module_) FreeLibrary(module_);
    SetDllDirectoryW(nullptr);
}

bvlCameraPort serialPort(BYTE number) {
    bvlCameraPort port = {};
    port.portType = BVL_PORT_SERIAL;
    wsprintfA(port.portName, "com%u", number);
    port.u.serial.portNumber = number;
    const BYTE params[4] = {8, 1, 0, 3};
    std::memcpy(port.u.serial.params, params, sizeof params);
    port.u.serial.baudRate = 115200;
    return port;
}

std::vector<SimSerialCall> serialCalls() {
    std::vector<SimSerialCall> calls(simSerialCallCount());
    for (DWORD i = 0; i < calls.size(); ++i) simSerialCallAt(i, &calls[i]);
    return calls;
}

bool serialLibraryLoaded() { return GetModuleHandleW(L"BVCLL.DLL") != nullptr; }

}  // namespace bvtest
