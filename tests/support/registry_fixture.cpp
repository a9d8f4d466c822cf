#include "registry_fixture.h"

namespace bvtest {
namespace {

const std::string kModels = "Software\\Orvel\\Brivant\\BVLL\\";
const std::string kLibrary = "Software\\Orvel\\Brivant\\BVL2STI";

}  // namespace

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
    setValue(kModels + key, nullptr, nullptr, 0, 0);
    if (modelID) setModelValue(key, "modelID", modelID, 4, REG_DWORD);
    if (modelName) setModelValue(key, "modelName", modelName, lstrlenA(modelName) + 1, REG_SZ);
    if (installMethod) setModelValue(key, "installMethod", installMethod, 4, REG_DWORD);
}

void RegistryWriter::setModelValue(const char* key, const char* name, const void* data, DWORD size,
                                   DWORD type) const {
    setValue(kModels + key, name, data, size, type);
}

void RegistryWriter::addLibraryKeys() const {
    setValue(kLibrary + "\\SERIAL", nullptr, nullptr, 0, 0);
    setValue(kLibrary + "\\USB", nullptr, nullptr, 0, 0);
}

void RegistryWriter::setLibraryValue(const char* subkey, const char* name, const void* data, DWORD size,
                                     DWORD type) const {
    setValue(*subkey ? kLibrary + "\\" + subkey : kLibrary, name, data, size, type);
}

bool RegistryWriter::readLibraryValue(const char* subkey, const char* name, void* data, DWORD* size) const {
    return readValue(*subkey ? kLibrary + "\\" + subkey : kLibrary, name, data, size);
}

bool RegistryWriter::readModelValue(const char* key, const char* name, void* data, DWORD* size) const {
    return readValue(kModels + key, name, data, size);
}

void RegistryWriter::clear() const { RegDeleteTreeA(root_, "Software\\Orvel"); }

}  // namespace bvtest
