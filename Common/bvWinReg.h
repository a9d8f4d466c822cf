// The registry store: camera models and the last and default ports, kept
// under the local-machine hive.
//
// The layout under the store's root (HKEY_LOCAL_MACHINE in the product)
// and its names are in registry_names.h.
//
// The store only opens keys, reads values and overwrites values; the
// installer creates the keys. Every key is opened with full access and
// closed on every path out. A key or value that is absent is an expected
// miss, not a fault: the lookups give a RegistryStatus with the file name
// and line of the registry error (BVL_E_REGISTRY) from observable_texts.h,
// which the caller tests, and missed() prints its error report when the
// report switch is on. Only the raising key constructor throws, as
// bvCDeviceException.
#pragma once

#include <windows.h>

#include <vector>

#include "bvcl2sti.h"
#include "bv_exception.h"
#include "registry_names.h"
#include "observable_texts.h"  // the file names and lines each failure raises

namespace bv {

constexpr DWORD kModelKeyNameSize = 32;  // what callers pass to the model lookups
constexpr DWORD kModelTextSize = 64;     // modelName and cameraDetectID
constexpr DWORD kInstalledForSerial = 1;  // installMethod bits
constexpr DWORD kInstalledForUsb = 2;

// The outcome of a registry access that may miss: success, or the file and
// line of the registry error that the miss stands for.
struct RegistryStatus {
    const char* file = nullptr;
    DWORD line = 0;
    bool ok() const { return line == 0; }
};

// Prints the error report of a miss (when the switch is on) and returns
// true for a miss: for the places that substitute a default.
bool missed(const RegistryStatus& status);

// One open registry key, opened with full access and closed when the
// object goes. The raising constructor throws (line 28) when the key
// cannot be opened; the other one records the miss in *status and leaves
// the object empty.
class bvCWinRegKey {
public:
    bvCWinRegKey(HKEY parent, const char* path);
    bvCWinRegKey(HKEY parent, const char* path, RegistryStatus* status);
    ~bvCWinRegKey();
    bvCWinRegKey(const bvCWinRegKey&) = delete;
    bvCWinRegKey& operator=(const bvCWinRegKey&) = delete;

    HKEY get() const { return key_; }

    // Reads a value of any type into buffer (at most size bytes); a failed
    // read or an empty value is a miss (line 36).
    RegistryStatus tryRead(const char* name, void* buffer, DWORD size) const;
    // Writes a value; a refused write is a miss (line 41).
    RegistryStatus tryWrite(const char* name, DWORD type, const void* data, DWORD size) const;
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

// One model subkey's ID and its stored last port.
struct ModelLastPort {
    DWORD modelID;
    bvlCameraPort lastPort;
};

// The lookups over the model list and the stored ports, below one root.
// A model subkey that cannot be opened, or lacks its modelID or modelName
// (or holds one empty), is skipped by every lookup and the search goes on.
// The forms ending in Or, the Try forms and WritePortSetting never throw:
// a store that cannot be read gives the default the caller names.
class RegistryStore {
public:
    explicit RegistryStore(HKEY root) : root_(root) {}

    // Name of the first model subkey (in enumeration order) whose modelID,
    // or modelName, equals the request, copied as strncpy does. Misses 28
    // (no model list) and 65 or 84 (no such model).
    RegistryStatus TryFindModelKeyByID(DWORD modelID, char* keyName, DWORD size) const;
    RegistryStatus TryFindModelKeyByName(const char* modelName, char* keyName, DWORD size) const;

    // A value of the model found by name or ID; also misses 36 when the
    // model lacks the value.
    RegistryStatus TryReadModelID(const char* modelName, DWORD* modelID) const;
    RegistryStatus TryReadModelName(DWORD modelID, char* modelName /* 64 bytes */) const;
    RegistryStatus TryReadInstallMethod(DWORD* installMethod, DWORD modelID) const;
    DWORD ReadModelIDOr(const char* modelName, DWORD fallback) const;
    DWORD ReadInstallMethodOr(DWORD modelID, DWORD fallback) const;

    // 1 when any model is installed for USB. Misses only when the model
    // list cannot be opened.
    RegistryStatus TryIsUSBInstalled(BOOL* installed) const;
    BOOL IsUSBInstalledOr(BOOL fallback) const;

    // Fills port from the stored valueName ("lastPort" or "defaultPort").
    // portSelector 1 or 3 picks the serial or USB key, 0 the kind stored in
    // lastModel or defaultModel, anything else is a model ID, whose value
    // is read without any fallback. For the general keys an unreadable port
    // gives the serial default port.
    // A miss (only for a model ID, or when the library key cannot be
    // opened) leaves port as the failed read left it.
    RegistryStatus TryReadPortSetting(bvlCameraPort* port, const char* valueName, DWORD portSelector) const;

    // Stores port as valueName, under the model (modelID != 0) or the
    // general keys with lastModel or defaultModel. Never fails: a step that
    // cannot be done ends it silently.
    void WritePortSetting(const bvlCameraPort* port, const char* valueName, DWORD modelID) const noexcept;

    // The model whose cameraDetectID equals eventName (case ignored), in
    // enumeration order; models without a cameraDetectID or a modelID are
    // skipped. False when none matches. Raises when the model list cannot
    // be opened.
    bool FindModelByDetectID(const char* eventName, DWORD* modelID) const;

    // The port type stored in lastModel or defaultModel, 0 when unreadable.
    // Misses only when the library key cannot be opened.
    RegistryStatus TryReadLastPortType(const char* valueName, WORD* type) const;
    WORD ReadLastPortTypeOr(const char* valueName, WORD fallback) const;

    // Every model subkey that has both a modelID and a lastPort, in
    // enumeration order; the others are left out. Misses (28) only when the
    // model list cannot be opened.
    RegistryStatus TryReadModelLastPorts(std::vector<ModelLastPort>* table) const;

private:
    template <class Matches>
    RegistryStatus findModelKey(Matches matches, DWORD notFoundLine, char* keyName, DWORD size) const;
    RegistryStatus readModelValue(DWORD modelID, const char* valueName, void* buffer, DWORD size) const;
    RegistryStatus writePortSetting(const bvlCameraPort* port, const char* valueName, DWORD modelID) const;

    HKEY root_;
};

// The store of this machine: below HKEY_LOCAL_MACHINE.
inline RegistryStore machineRegistry() { return RegistryStore(HKEY_LOCAL_MACHINE); }

// Writes the serial default port (COM1, 8/1/0/3, 115200 baud) into port's
// serial fields; the other bytes stay as they were.
void writeSerialDefaultPort(bvlCameraPort* port);

}  // namespace bv
