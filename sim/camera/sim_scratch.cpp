// The process's scratch folder for the virtual camera: the factory card
// and cards made without a host folder live in it, and finished uploads
// wait there for the move onto their card. It is named after the process,
// emptied by every reset and removed when bvsim.dll is unloaded.
#include <windows.h>

#include <string>

#include "sim_host_files.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

struct Scratch {
    SimLock lock;
    DWORD cardsMade = 0;
};

Scratch& scratch() {
    static Scratch s;
    return s;
}

}  // namespace

std::wstring scratchRoot() {
    wchar_t temp[MAX_PATH];
    const DWORD length = GetTempPathW(MAX_PATH, temp);
    std::wstring root = length > 0 && length < MAX_PATH ? std::wstring(temp, length) : L".\\";
    if (root.back() != L'\\') root += L'\\';
    return root + L"bvsim-" + std::to_wstring(GetCurrentProcessId());
}

std::wstring newScratchFolder() {
    SimGuard g(scratch().lock);
    const std::wstring root = scratchRoot();
    CreateDirectoryW(root.c_str(), nullptr);
    std::wstring folder;
    do {
        folder = root + L"\\card" + std::to_wstring(scratch().cardsMade++);
    } while (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() == ERROR_ALREADY_EXISTS);
    return folder;
}

std::wstring uploadStagingFile() {
    const std::wstring root = scratchRoot();
    CreateDirectoryW(root.c_str(), nullptr);
    return root + L"\\upload.part";
}

void removeScratch() {
    SimGuard g(scratch().lock);
    removeHostTree(scratchRoot());
    scratch().cardsMade = 0;
}

}  // namespace bvsim

// The scratch folder goes with the module; a process that ends without
// unloading it leaves the folder to the next process of the same number.
extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_DETACH) bvsim::removeScratch();
    return TRUE;
}
