// Loads bvcl2sti.dll afresh for each test, the way an application does,
// so every test starts from the state of a newly loaded library. The serial
// stand-in sits in a folder of its own; the test chooses which folder the
// library's search for BVCLL.DLL sees.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "bvcl2sti.h"
#include "sim/camera/bvsim.h"

namespace bvtest {

enum class SerialLibrary { Present, WithoutTable, Missing };

// Folder of the running test executable, with a trailing backslash.
std::wstring executableFolder();

class ProductLibrary {
public:
    explicit ProductLibrary(SerialLibrary serial = SerialLibrary::Present);
    ~ProductLibrary();
    ProductLibrary(const ProductLibrary&) = delete;
    ProductLibrary& operator=(const ProductLibrary&) = delete;

    const bvlBaseAPI& api() const { return *api_; }
    bool loaded() const { return api_ != nullptr; }
    HMODULE module() const { return module_; }

private:
    HMODULE module_ = nullptr;
    const bvlBaseAPI* api_ = nullptr;
};

// The serial descriptor of COMn with the usual settings.
bvlCameraPort serialPort(BYTE number);

// The calls that the serial stand-in received since the last simReset.
std::vector<SimSerialCall> serialCalls();

// Whether BVCLL.DLL is loaded in this process.
bool serialLibraryLoaded();

}  // namespace bvtest
