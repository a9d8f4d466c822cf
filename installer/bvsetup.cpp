// bvsetup: installs and removes the registry keys of bvcl2sti.dll from a
// models file (see models.ini).
//
//   bvsetup install models.ini     creates the model and library keys
//   bvsetup uninstall models.ini   removes what install created
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "registry_names.h"
#include "port_text.h"

namespace {

using namespace bv;

const char kLibrarySection[] = "BVL2STI";

class Key {
public:
    explicit Key(const std::string& path) {
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key_,
                            nullptr) != ERROR_SUCCESS)
            key_ = nullptr;
    }
    ~Key() {
        if (key_) RegCloseKey(key_);
    }
    Key(const Key&) = delete;
    Key& operator=(const Key&) = delete;
    explicit operator bool() const { return key_ != nullptr; }

    bool set(const char* name, DWORD type, const void* data, DWORD size) const {
        return RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) == ERROR_SUCCESS;
    }
    bool setText(const char* name, const std::string& text) const {
        return set(name, REG_SZ, text.c_str(), static_cast<DWORD>(text.size() + 1));
    }
    bool setWord(const char* name, DWORD value) const { return set(name, REG_DWORD, &value, sizeof value); }

private:
    HKEY key_ = nullptr;
};

class ModelsFile {
public:
    explicit ModelsFile(const char* path) {
        char full[MAX_PATH];
        if (GetFullPathNameA(path, MAX_PATH, full, nullptr)) path_ = full;
    }

    bool exists() const { return GetFileAttributesA(path_.c_str()) != INVALID_FILE_ATTRIBUTES; }

    std::vector<std::string> sections() const {
        std::vector<char> names(32768);
        DWORD length = GetPrivateProfileSectionNamesA(names.data(), static_cast<DWORD>(names.size()), path_.c_str());
        std::vector<std::string> out;
        for (const char* p = names.data(); p < names.data() + length && *p; p += std::strlen(p) + 1)
            out.emplace_back(p);
        return out;
    }

    std::string text(const std::string& section, const char* name) const {
        char value[256];
        GetPrivateProfileStringA(section.c_str(), name, "", value, sizeof value, path_.c_str());
        return value;
    }

private:
    std::string path_;
};

bool setPort(const Key& key, const char* name, const std::string& text) {
    if (text.empty()) return true;
    bvlCameraPort port;
    if (!parsePortText(text, &port)) {
        std::fprintf(stderr, "bvsetup: cannot read the port \"%s\"\n", text.c_str());
        return false;
    }
    return key.set(name, REG_BINARY, &port, sizeof port);
}

bool installModel(const ModelsFile& file, const std::string& section) {
    if (section.size() > 31) {
        std::fprintf(stderr, "bvsetup: model key \"%s\" is longer than 31 characters\n", section.c_str());
        return false;
    }
    Key key(std::string(kModelListKey) + "\\" + section);
    const DWORD modelID = std::strtoul(file.text(section, kModelID).c_str(), nullptr, 0);
    const DWORD method = std::strtoul(file.text(section, kInstallMethod).c_str(), nullptr, 0);
    const std::string name = file.text(section, kModelName);
    if (!key || modelID == 0 || name.empty() || name.size() > 63) {
        std::fprintf(stderr, "bvsetup: model \"%s\" needs a modelID and a modelName of at most 63 characters\n",
                     section.c_str());
        return false;
    }
    bool ok = key.setWord(kModelID, modelID) && key.setText(kModelName, name) &&
              key.setWord(kInstallMethod, method);
    const std::string detect = file.text(section, kCameraDetectID);
    if (!detect.empty()) ok = ok && key.setText(kCameraDetectID, detect);
    ok = ok && setPort(key, kLastPort, file.text(section, kLastPort));
    ok = ok && setPort(key, kDefaultPort, file.text(section, kDefaultPort));
    if (ok) std::printf("installed %s (%s)\n", section.c_str(), name.c_str());
    return ok;
}

// The library's own key with its SERIAL and USB subkeys, and its default
// and last ports when the file names them.
bool installLibrary(const ModelsFile& file) {
    const std::string path = kLibraryKey;
    Key library(path), serial(path + "\\" + kSerialSubkey), usb(path + "\\" + kUsbSubkey);
    if (!library || !serial || !usb) return false;
    for (const char* name : {kDefaultPort, kLastPort}) {
        const std::string text = file.text(kLibrarySection, name);
        bvlCameraPort port;
        if (text.empty()) continue;
        if (!parsePortText(text, &port)) {
            std::fprintf(stderr, "bvsetup: cannot read the port \"%s\"\n", text.c_str());
            return false;
        }
        const Key& kind = port.portType == BVL_PORT_USB ? usb : serial;
        const char* typeName = std::strcmp(name, kDefaultPort) == 0 ? kDefaultModel : kLastModel;
        if (!kind.set(name, REG_BINARY, &port, sizeof port) || !library.setWord(typeName, port.portType))
            return false;
    }
    return true;
}

int install(const ModelsFile& file) {
    bool ok = installLibrary(file);
    for (const std::string& section : file.sections())
        if (section != kLibrarySection) ok = installModel(file, section) && ok;
    return ok ? 0 : 1;
}

// Removes the keys named in the file, the library's key, and the parents
// that are left empty.
int uninstall(const ModelsFile& file) {
    for (const std::string& section : file.sections())
        if (section != kLibrarySection)
            RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string(kModelListKey) + "\\" + section).c_str());
    RegDeleteTreeA(HKEY_LOCAL_MACHINE, kLibraryKey);
    for (const char* parent : {kModelListKey, kBrivantKey, kOrvelKey})
        RegDeleteKeyA(HKEY_LOCAL_MACHINE, parent);  // fails, as wanted, while not empty
    std::printf("uninstalled\n");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3 || (std::strcmp(argv[1], "install") != 0 && std::strcmp(argv[1], "uninstall") != 0)) {
        std::fprintf(stderr, "usage: bvsetup install|uninstall <models file>\n");
        return 2;
    }
    ModelsFile file(argv[2]);
    if (!file.exists()) {
        std::fprintf(stderr, "bvsetup: no models file %s\n", argv[2]);
        return 2;
    }
    return std::strcmp(argv[1], "install") == 0 ? install(file) : uninstall(file);
}
