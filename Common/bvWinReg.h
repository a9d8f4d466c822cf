// The registry store: camera models and the last and default ports, kept
// under the local-machine hive.
//
// The layout under the store's root (HKEY_LOCAL_MACHINE in the product)
// and its names are in registry_names.h.
//
// The store only opens keys, reads values and overwrites values; the
// installer creates the keys. Every key is opened with full access and
// closed on every path out. Failures raise bvCDeviceException with code
// BVL_E_REGISTRY, this file's name and one of the lines below.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"
#include "bv_exception.h"
#include "registry_names.h"

namespace bv {

constexpr DWORD kModelKeyNameSize = 32;  // what callers pass to the model lookups
constexpr DWORD kModelTextSize = 64;     // modelName and cameraDetectID
constexpr DWORD kInstalledForSerial = 1;  // installMethod bits
constexpr DWORD kInstalledForUsb = 2;

// Where each failure is raised.
constexpr char kRegistryHeaderName[] = "bvWinReg";
constexpr char kRegistrySourceName[] = "Bvwinreg";
constexpr DWORD kLineOpenKey = 28;
constexpr DWORD kLineReadValue = 36;
constexpr DWORD kLineWriteValue = 41;
constexpr DWORD kLineNoModelID = 65;
constexpr DWORD kLineNoModelName = 84;

[[noreturn]] void raiseRegistryError(const char* file, DWORD line);

// One open registry key, opened with full access and closed when the
// object goes. Construction raises (line 28) when the key cannot be opened.
class bvCWinRegKey {
public:
    bvCWinRegKey(HKEY parent, const char* path);
    ~bvCWinRegKey();
    bvCWinRegKey(const bvCWinRegKey&) = delete;
    bvCWinRegKey& operator=(const bvCWinRegKey&) = delete;

    HKEY get() const { return key_; }

    // Reads a value of any type into buffer (at most size bytes) and returns
    // the bytes read; a failed read or an empty value raises (line 36).
    DWORD read(const char* name, void* buffer, DWORD size) const;
    // Writes a value; raises (line 41) when the write fails.
    void write(const char* name, DWORD type, const void* data, DWORD size) const;
    // Calls visit(name) for each subkey, in the registry's order, until
    // visit returns true; whether it did. A name longer than a model key
    // name may be (kModelKeyNameSize with its terminator) is skipped, as
    // another installer may have written one: it is never cut into the
    // name of another model, and it never hides the models after it.
    template <class Visit>
    bool forEachSubkey(Visit visit) const {
        char name[kModelKeyNameSize];
        for (DWORD index = 0;; ++index) {
            DWORD length = sizeof name;
            const LONG rc = RegEnumKeyExA(key_, index, name, &length, nullptr, nullptr, nullptr, nullptr);
            if (rc == ERROR_MORE_DATA) continue;
            if (rc != ERROR_SUCCESS) return false;
            if (visit(static_cast<const char*>(name))) return true;
        }
    }

private:
    HKEY key_ = nullptr;
};

// The lookups over the model list and the stored ports, below one root.
class RegistryStore {
public:
    explicit RegistryStore(HKEY root) : root_(root) {}

    // Name of the first model subkey (in enumeration order) whose modelID,
    // or modelName, equals the request, copied as strncpy does. Raises 28,
    // 36 (a subkey without the value stops the search) and 65 or 84.
    void FindModelKeyByID(DWORD modelID, char* keyName, DWORD size) const;
    void FindModelKeyByName(const char* modelName, char* keyName, DWORD size) const;

    void ReadModelID(const char* modelName, DWORD* modelID) const;
    void ReadModelName(DWORD modelID, char* modelName /* 64 bytes */) const;
    void ReadInstallMethod(DWORD* installMethod, DWORD modelID) const;

    // 1 when any model is installed for USB. Raises only when a key cannot
    // be opened.
    BOOL IsUSBInstalled() const;

    // Fills port from the stored valueName ("lastPort" or "defaultPort").
    // portSelector 1 or 3 picks the serial or USB key, 0 the kind stored in
    // lastModel or defaultModel, anything else is a model ID, whose value
    // is read without any fallback. For the general keys an unreadable port
    // gives the serial default port.
    void ReadPortSetting(bvlCameraPort* port, const char* valueName, DWORD portSelector) const;

    // Stores port as valueName, under the model (modelID != 0) or the
    // general keys with lastModel or defaultModel. Never fails: a step that
    // cannot be done ends it silently.
    void WritePortSetting(const bvlCameraPort* port, const char* valueName, DWORD modelID) const noexcept;

    // The model whose cameraDetectID equals eventName (case ignored), in
    // enumeration order; models without a cameraDetectID or a modelID are
    // skipped. False when none matches. Raises when a key cannot be opened.
    bool FindModelByDetectID(const char* eventName, DWORD* modelID) const;

    // The port type stored in lastModel or defaultModel, 0 when unreadable.
    // Raises only when the library key cannot be opened.
    WORD ReadLastPortType(const char* valueName) const;

private:
    template <class Matches>
    void findModelKey(Matches matches, DWORD notFoundLine, char* keyName, DWORD size) const;
    void readModelValue(DWORD modelID, const char* valueName, void* buffer, DWORD size) const;

    HKEY root_;
};

// The store of this machine: below HKEY_LOCAL_MACHINE.
inline RegistryStore machineRegistry() { return RegistryStore(HKEY_LOCAL_MACHINE); }

// Writes the serial default port (COM1, 8/1/0/3, 115200 baud) into port's
// serial fields; the other bytes stay as they were.
void writeSerialDefaultPort(bvlCameraPort* port);

}  // namespace bv
