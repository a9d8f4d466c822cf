// Registry states written by tests: model subkeys and stored ports under a
// root key, the way the installer lays them out.
#pragma once

#include <windows.h>

#include <string>

#include "Common/registry_names.h"
#include "bvcl2sti.h"

namespace bvtest {

class RegistryWriter {
public:
    explicit RegistryWriter(HKEY root) : root_(root) {}

    // Creates Software\Orvel\Brivant\BVLL\<key>; values left 0 / null are
    // not written.
    void addModel(const char* key, const DWORD* modelID, const char* modelName = nullptr,
                  const DWORD* installMethod = nullptr) const;
    void setModelValue(const char* key, const char* name, const void* data, DWORD size,
                       DWORD type = REG_BINARY) const { setValue(modelPath(key), name, data, size, type); }
    // Creates BVL2STI with its SERIAL and USB subkeys.
    void addLibraryKeys() const;
    void setLibraryValue(const char* subkey, const char* name, const void* data, DWORD size,
                         DWORD type = REG_BINARY) const { setValue(libraryPath(subkey), name, data, size, type); }
    // Reads a value back; false when it is missing.
    bool readLibraryValue(const char* subkey, const char* name, void* data, DWORD* size) const {
        return readValue(libraryPath(subkey), name, data, size);
    }
    bool readModelValue(const char* key, const char* name, void* data, DWORD* size) const {
        return readValue(modelPath(key), name, data, size);
    }
    // Deletes Software\Orvel below the root.
    void clear() const { RegDeleteTreeA(root_, bv::kOrvelKey); }

private:
    // BVLL\<key>, and BVL2STI or its subkey when one is named.
    static std::string modelPath(const char* key) { return std::string(bv::kModelListKey) + "\\" + key; }
    static std::string libraryPath(const char* subkey) {
        return std::string(bv::kLibraryKey) + (*subkey ? "\\" : "") + subkey;
    }
    void setValue(const std::string& path, const char* name, const void* data, DWORD size, DWORD type) const;
    bool readValue(const std::string& path, const char* name, void* data, DWORD* size) const;
    HKEY root_;
};

}  // namespace bvtest
