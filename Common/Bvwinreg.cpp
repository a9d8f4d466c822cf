#include "bvWinReg.h"

#include <cstring>
#include <string>

#include "default_port.h"
#include "guarded_call.h"

namespace bv {
namespace {

// lastModel for "lastPort", defaultModel for "defaultPort"; any other value
// name has no port type to go by, and null is returned.
const char* portTypeValueFor(const char* valueName) {
    if (std::strcmp(valueName, kLastPort) == 0) return kLastModel;
    if (std::strcmp(valueName, kDefaultPort) == 0) return kDefaultModel;
    return nullptr;
}

// A model key name as the lookups hand it out may fill its buffer without a
// terminator; this turns it into a terminated text.
std::string keyNameText(const char* keyName, DWORD size) {
    return std::string(keyName, strnlen(keyName, size));
}

// The one place where the store takes back its own failures: body's
// result, or fallback when body raised the registry error. Other
// exceptions (memory) go on to the caller's boundary.
template <class Result, class Body>
Result orDefault(Result fallback, Body body) {
    try {
        return body();
    } catch (const bvCException&) {
        return fallback;
    }
}

}  // namespace

void raiseRegistryError(const char* file, DWORD line) {
    throw bvCDeviceException(BVL_E_REGISTRY, file, line);
}

bvCWinRegKey::bvCWinRegKey(HKEY parent, const char* path) {
    if (RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &key_) != ERROR_SUCCESS) {
        key_ = nullptr;
        raiseRegistryError(kRegistryHeaderName, kLineOpenKey);
    }
}

bvCWinRegKey::~bvCWinRegKey() { RegCloseKey(key_); }

DWORD bvCWinRegKey::read(const char* name, void* buffer, DWORD size) const {
    DWORD length = size;
    LONG rc = RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &length);
    if (rc != ERROR_SUCCESS || length == 0) raiseRegistryError(kRegistryHeaderName, kLineReadValue);
    return length;
}

void bvCWinRegKey::write(const char* name, DWORD type, const void* data, DWORD size) const {
    if (RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        raiseRegistryError(kRegistryHeaderName, kLineWriteValue);
}

template <class Matches>
void RegistryStore::findModelKey(Matches matches, DWORD notFoundLine, char* keyName, DWORD size) const {
    bvCWinRegKey models(root_, kModelListKey);
    const bool found = models.forEachSubkey([&](const char* name) {
        bvCWinRegKey model(models.get(), name);
        if (!matches(model)) return false;
        std::strncpy(keyName, name, size);
        return true;
    });
    if (!found) raiseRegistryError(kRegistrySourceName, notFoundLine);
}

void RegistryStore::FindModelKeyByID(DWORD modelID, char* keyName, DWORD size) const {
    findModelKey(
        [modelID](const bvCWinRegKey& model) {
            DWORD stored = 0;
            model.read(kModelID, &stored, sizeof stored);
            return stored == modelID;
        },
        kLineNoModelID, keyName, size);
}

void RegistryStore::FindModelKeyByName(const char* modelName, char* keyName, DWORD size) const {
    findModelKey(
        [modelName](const bvCWinRegKey& model) {
            char stored[kModelTextSize + 1] = {};
            model.read(kModelName, stored, kModelTextSize);
            return std::strcmp(stored, modelName) == 0;
        },
        kLineNoModelName, keyName, size);
}

void RegistryStore::readModelValue(DWORD modelID, const char* valueName, void* buffer, DWORD size) const {
    char keyName[kModelKeyNameSize];
    FindModelKeyByID(modelID, keyName, sizeof keyName);
    bvCWinRegKey models(root_, kModelListKey);
    bvCWinRegKey model(models.get(), keyNameText(keyName, sizeof keyName).c_str());
    model.read(valueName, buffer, size);
}

void RegistryStore::ReadModelID(const char* modelName, DWORD* modelID) const {
    char keyName[kModelKeyNameSize];
    FindModelKeyByName(modelName, keyName, sizeof keyName);
    bvCWinRegKey models(root_, kModelListKey);
    bvCWinRegKey model(models.get(), keyNameText(keyName, sizeof keyName).c_str());
    model.read(kModelID, modelID, sizeof *modelID);
}

// A name that fills the whole field without its terminator (another
// installer's doing) is cut to the field, so it never runs past it.
void RegistryStore::ReadModelName(DWORD modelID, char* modelName) const {
    readModelValue(modelID, kModelName, modelName, kModelTextSize);
    modelName[kModelTextSize - 1] = '\0';
}

void RegistryStore::ReadInstallMethod(DWORD* installMethod, DWORD modelID) const {
    readModelValue(modelID, kInstallMethod, installMethod, sizeof *installMethod);
}

BOOL RegistryStore::IsUSBInstalled() const {
    bvCWinRegKey models(root_, kModelListKey);
    return models.forEachSubkey([&](const char* name) {
        bvCWinRegKey model(models.get(), name);
        // A model without the value is not installed for USB.
        const DWORD method = orDefault<DWORD>(0, [&] {
            DWORD stored = 0;
            model.read(kInstallMethod, &stored, sizeof stored);
            return stored;
        });
        return (method & kInstalledForUsb) != 0;
    }) ? TRUE : FALSE;
}

bool RegistryStore::FindModelByDetectID(const char* eventName, DWORD* modelID) const {
    bvCWinRegKey models(root_, kModelListKey);
    return models.forEachSubkey([&](const char* name) {
        bvCWinRegKey model(models.get(), name);
        // A model without the values cannot be the launching camera.
        return orDefault(false, [&] {
            char detectID[kModelTextSize + 1] = {};
            DWORD id = 0;
            model.read(kCameraDetectID, detectID, kModelTextSize);
            if (lstrcmpiA(detectID, eventName) != 0) return false;
            model.read(kModelID, &id, sizeof id);
            *modelID = id;
            return true;
        });
    });
}

void RegistryStore::ReadPortSetting(bvlCameraPort* port, const char* valueName, DWORD portSelector) const {
    if (portSelector != 0 && portSelector != BVL_PORT_SERIAL && portSelector != BVL_PORT_USB) {
        readModelValue(portSelector, valueName, port, sizeof *port);
        return;
    }
    const char* typeValue = portTypeValueFor(valueName);
    if (portSelector == 0 && !typeValue) throw bvCDeviceException(BVL_E_INVALID_PARAMETER);

    bvCWinRegKey library(root_, kLibraryKey);
    DWORD type = portSelector;
    if (type == 0) {
        type = orDefault<DWORD>(BVL_PORT_SERIAL, [&] {
            DWORD stored = 0;
            library.read(typeValue, &stored, sizeof stored);
            return stored;
        });
    }
    if (type != BVL_PORT_SERIAL && type != BVL_PORT_USB) return;  // nothing to read
    const bool read = orDefault(false, [&] {
        bvCWinRegKey kind(library.get(), type == BVL_PORT_SERIAL ? kSerialSubkey : kUsbSubkey);
        kind.read(valueName, port, sizeof *port);
        return true;
    });
    if (!read) writeSerialDefaultPort(port);
}

bool RegistryStore::TryReadPortSetting(bvlCameraPort* port, const char* valueName, DWORD portSelector) const {
    return orDefault(false, [&] {
        ReadPortSetting(port, valueName, portSelector);
        return true;
    });
}

void RegistryStore::WritePortSetting(const bvlCameraPort* port, const char* valueName,
                                     DWORD modelID) const noexcept {
    // Storing a port is a convenience for the next session; a registry that
    // refuses it must not fail the operation that asked.
    runGuardedOr(0, [&] {
        if (modelID != 0) {
            char keyName[kModelKeyNameSize];
            FindModelKeyByID(modelID, keyName, sizeof keyName);
            bvCWinRegKey models(root_, kModelListKey);
            bvCWinRegKey model(models.get(), keyNameText(keyName, sizeof keyName).c_str());
            model.write(valueName, REG_BINARY, port, sizeof *port);
            return 0;
        }
        bvCWinRegKey library(root_, kLibraryKey);
        if (port->portType == BVL_PORT_SERIAL || port->portType == BVL_PORT_USB) {
            bvCWinRegKey kind(library.get(), port->portType == BVL_PORT_SERIAL ? kSerialSubkey : kUsbSubkey);
            kind.write(valueName, REG_BINARY, port, sizeof *port);
        }
        if (const char* typeValue = portTypeValueFor(valueName)) {
            const DWORD type = port->portType;
            library.write(typeValue, REG_DWORD, &type, sizeof type);
        }
        return 0;
    });
}

WORD RegistryStore::ReadLastPortType(const char* valueName) const {
    const char* typeValue = portTypeValueFor(valueName);
    if (!typeValue) throw bvCDeviceException(BVL_E_INVALID_PARAMETER);
    bvCWinRegKey library(root_, kLibraryKey);
    return orDefault<WORD>(0, [&] {
        DWORD type = 0;
        library.read(typeValue, &type, sizeof type);
        return LOWORD(type);
    });
}

WORD RegistryStore::ReadLastPortTypeOr(const char* valueName, WORD fallback) const {
    return orDefault(fallback, [&] { return ReadLastPortType(valueName); });
}

DWORD RegistryStore::ReadInstallMethodOr(DWORD modelID, DWORD fallback) const {
    return orDefault(fallback, [&] {
        DWORD method = 0;
        ReadInstallMethod(&method, modelID);
        return method;
    });
}

DWORD RegistryStore::ReadModelIDOr(const char* modelName, DWORD fallback) const {
    return orDefault(fallback, [&] {
        DWORD modelID = 0;
        ReadModelID(modelName, &modelID);
        return modelID;
    });
}

BOOL RegistryStore::IsUSBInstalledOr(BOOL fallback) const {
    return orDefault(fallback, [&] { return IsUSBInstalled(); });
}

std::vector<ModelLastPort> RegistryStore::ReadModelLastPorts() const {
    bvCWinRegKey models(root_, kModelListKey);
    std::vector<ModelLastPort> table;
    models.forEachSubkey([&](const char* name) {
        orDefault(false, [&] {
            bvCWinRegKey model(models.get(), name);
            ModelLastPort entry = {};
            model.read(kModelID, &entry.modelID, sizeof entry.modelID);
            model.read(kLastPort, &entry.lastPort, sizeof entry.lastPort);
            table.push_back(entry);
            return true;
        });
        return false;
    });
    return table;
}

void writeSerialDefaultPort(bvlCameraPort* port) {
    writeSerialPort(port, BVL_SERIAL_DEFAULT_PORT_NUMBER, BVL_SERIAL_DEFAULT_BAUD_RATE);
}

}  // namespace bv
