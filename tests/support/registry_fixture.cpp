#include "registry_fixture.h"

namespace bvtest {

void RegistryWriter::setValue(const std::string& path, const char* name, const void* data, DWORD size,
                              DWORD type) const {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root_, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return;
    if (name) RegSetValueExA(key, name, 0, type, static_cast<const BYTE*>(data), size);
    RegCloseKey(key);
}

bool RegistryWriter::readValue(const std::string& path, const char* name, void* data, DWORD* size) const {
    return RegGetValueA(root_, path.c_str(), name, RRF_RT_ANY, nullptr, data, size) == ERROR_SUCCESS;
}

void RegistryWriter::addModel(const char* key, const DWORD* modelID, const char* modelName,
                              const DWORD* installMethod) const {
    setValue(modelPath(key), nullptr, nullptr, 0, 0);
    if (modelID) setModelValue(key, bv::kModelID, modelID, 4, REG_DWORD);
    if (modelName) setModelValue(key, bv::kModelName, modelName, lstrlenA(modelName) + 1, REG_SZ);
    if (installMethod) setModelValue(key, bv::kInstallMethod, installMethod, 4, REG_DWORD);
}

void RegistryWriter::addLibraryKeys() const {
    setValue(libraryPath(bv::kSerialSubkey), nullptr, nullptr, 0, 0);
    setValue(libraryPath(bv::kUsbSubkey), nullptr, nullptr, 0, 0);
}

}  // namespace bvtest
