#include "bvWinReg.h"

#include <cstring>
#include <string>

#include "default_port.h"
#include "error_report.h"

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

RegistryStatus missAt(const char* file, DWORD line) {
    RegistryStatus status;
    status.file = file;
    status.line = line;
    return status;
}

// A model subkey names a model only with a modelID and a modelName that
// is not empty.
bool isModel(const bvCWinRegKey& model) {
    DWORD modelID = 0;
    char name[kModelTextSize] = {};
    return model.tryRead(kModelID, &modelID, sizeof modelID).ok() &&
           model.tryRead(kModelName, name, sizeof name).ok() && name[0] != '\0';
}

// Calls visit(model key, name) for each model subkey until visit returns
// true; whether it did. A subkey that cannot be opened or is no model (an
// installer's leftover) is passed over, so it never hides the models
// after it.
template <class Visit>
bool forEachModelKey(const bvCWinRegKey& models, Visit visit) {
    return models.forEachSubkey([&](const char* name) {
        RegistryStatus opened;
        bvCWinRegKey model(models.get(), name, &opened);
        return opened.ok() && isModel(model) && visit(model, name);
    });
}

// A 32-bit value (any type), or fallback when it is missing or empty; the
// miss is reported.
DWORD readWordOr(const bvCWinRegKey& key, const char* name, DWORD fallback) {
    DWORD value = 0;
    return missed(key.tryRead(name, &value, sizeof value)) ? fallback : value;
}

// Opens the model list and the named model's key; the value read is the
// caller's.
template <class Read>
RegistryStatus readInModel(HKEY root, const char* keyName, Read read) {
    RegistryStatus status;
    bvCWinRegKey models(root, kModelListKey, &status);
    if (!status.ok()) return status;
    bvCWinRegKey model(models.get(), keyNameText(keyName, kModelKeyNameSize).c_str(), &status);
    return status.ok() ? read(model) : status;
}

}  // namespace

// The same report that constructing the registry error prints.
bool missed(const RegistryStatus& status) {
    if (status.ok()) return false;
    printErrorReport(BVL_E_REGISTRY, status.file, status.line);
    return true;
}

bvCWinRegKey::bvCWinRegKey(HKEY parent, const char* path) {
    RegistryStatus status;
    bvCWinRegKey opened(parent, path, &status);
    if (!status.ok()) throw bvCDeviceException(BVL_E_REGISTRY, status.file, status.line);
    key_ = opened.key_;
    opened.key_ = nullptr;
}

bvCWinRegKey::bvCWinRegKey(HKEY parent, const char* path, RegistryStatus* status) {
    if (RegOpenKeyExA(parent, path, 0, KEY_ALL_ACCESS, &key_) == ERROR_SUCCESS) return;
    key_ = nullptr;
    *status = missAt(kRegistryHeaderName, kLineOpenKey);
}

bvCWinRegKey::~bvCWinRegKey() {
    if (key_) RegCloseKey(key_);
}

RegistryStatus bvCWinRegKey::tryRead(const char* name, void* buffer, DWORD size) const {
    DWORD length = size;
    LONG rc = RegQueryValueExA(key_, name, nullptr, nullptr, static_cast<BYTE*>(buffer), &length);
    if (rc != ERROR_SUCCESS || length == 0) return missAt(kRegistryHeaderName, kLineReadValue);
    return {};
}

RegistryStatus bvCWinRegKey::tryWrite(const char* name, DWORD type, const void* data, DWORD size) const {
    if (RegSetValueExA(key_, name, 0, type, static_cast<const BYTE*>(data), size) != ERROR_SUCCESS)
        return missAt(kRegistryHeaderName, kLineWriteValue);
    return {};
}

template <class Matches>
RegistryStatus RegistryStore::findModelKey(Matches matches, DWORD notFoundLine, char* keyName,
                                           DWORD size) const {
    RegistryStatus status;
    bvCWinRegKey models(root_, kModelListKey, &status);
    if (!status.ok()) return status;
    const bool found = forEachModelKey(models, [&](const bvCWinRegKey& model, const char* name) {
        if (!matches(model)) return false;
        std::strncpy(keyName, name, size);
        return true;
    });
    return found ? RegistryStatus{} : missAt(kRegistrySourceName, notFoundLine);
}

RegistryStatus RegistryStore::TryFindModelKeyByID(DWORD modelID, char* keyName, DWORD size) const {
    return findModelKey(
        [modelID](const bvCWinRegKey& model) {
            DWORD stored = 0;
            return model.tryRead(kModelID, &stored, sizeof stored).ok() && stored == modelID;
        },
        kLineNoModelID, keyName, size);
}

namespace {

bool hasModelName(const bvCWinRegKey& model, const char* modelName) {
    char stored[kModelTextSize + 1] = {};
    return model.tryRead(kModelName, stored, kModelTextSize).ok() && std::strcmp(stored, modelName) == 0;
}

}  // namespace

RegistryStatus RegistryStore::TryFindModelKeyByName(const char* modelName, char* keyName, DWORD size) const {
    return findModelKey([modelName](const bvCWinRegKey& model) { return hasModelName(model, modelName); },
                        kLineNoModelName, keyName, size);
}

RegistryStatus RegistryStore::readModelValue(DWORD modelID, const char* valueName, void* buffer,
                                             DWORD size) const {
    char keyName[kModelKeyNameSize];
    const RegistryStatus found = TryFindModelKeyByID(modelID, keyName, sizeof keyName);
    if (!found.ok()) return found;
    return readInModel(root_, keyName, [&](const bvCWinRegKey& model) { return model.tryRead(valueName, buffer, size); });
}

RegistryStatus RegistryStore::TryReadModelID(const char* modelName, DWORD* modelID) const {
    char keyName[kModelKeyNameSize];
    return findModelKey(
        [&](const bvCWinRegKey& model) {
            return hasModelName(model, modelName) && model.tryRead(kModelID, modelID, sizeof *modelID).ok();
        },
        kLineNoModelName, keyName, sizeof keyName);
}

// A name that fills the whole field without its terminator (another
// installer's doing) is cut to the field, so it never runs past it.
RegistryStatus RegistryStore::TryReadModelName(DWORD modelID, char* modelName) const {
    const RegistryStatus status = readModelValue(modelID, kModelName, modelName, kModelTextSize);
    modelName[kModelTextSize - 1] = '\0';
    return status;
}

RegistryStatus RegistryStore::TryReadInstallMethod(DWORD* installMethod, DWORD modelID) const {
    return readModelValue(modelID, kInstallMethod, installMethod, sizeof *installMethod);
}

DWORD RegistryStore::ReadInstallMethodOr(DWORD modelID, DWORD fallback) const {
    DWORD method = 0;
    return missed(TryReadInstallMethod(&method, modelID)) ? fallback : method;
}

DWORD RegistryStore::ReadModelIDOr(const char* modelName, DWORD fallback) const {
    DWORD modelID = 0;
    return missed(TryReadModelID(modelName, &modelID)) ? fallback : modelID;
}

// A model without installMethod is not installed for USB.
RegistryStatus RegistryStore::TryIsUSBInstalled(BOOL* installed) const {
    RegistryStatus status;
    bvCWinRegKey models(root_, kModelListKey, &status);
    if (!status.ok()) return status;
    *installed = forEachModelKey(models, [](const bvCWinRegKey& model, const char*) {
        return (readWordOr(model, kInstallMethod, 0) & kInstalledForUsb) != 0;
    }) ? TRUE : FALSE;
    return {};
}

BOOL RegistryStore::IsUSBInstalledOr(BOOL fallback) const {
    BOOL installed = FALSE;
    return missed(TryIsUSBInstalled(&installed)) ? fallback : installed;
}

bool RegistryStore::FindModelByDetectID(const char* eventName, DWORD* modelID) const {
    bvCWinRegKey models(root_, kModelListKey);
    // A model without the values cannot be the launching camera.
    return forEachModelKey(models, [&](const bvCWinRegKey& model, const char*) {
        char detectID[kModelTextSize + 1] = {};
        DWORD id = 0;
        if (missed(model.tryRead(kCameraDetectID, detectID, kModelTextSize))) return false;
        if (lstrcmpiA(detectID, eventName) != 0) return false;
        if (missed(model.tryRead(kModelID, &id, sizeof id))) return false;
        *modelID = id;
        return true;
    });
}

RegistryStatus RegistryStore::TryReadPortSetting(bvlCameraPort* port, const char* valueName,
                                              DWORD portSelector) const {
    if (portSelector != 0 && portSelector != BVL_PORT_SERIAL && portSelector != BVL_PORT_USB)
        return readModelValue(portSelector, valueName, port, sizeof *port);
    const char* typeValue = portTypeValueFor(valueName);
    if (portSelector == 0 && !typeValue) throw bvCDeviceException(BVL_E_INVALID_PARAMETER);

    RegistryStatus status;
    bvCWinRegKey library(root_, kLibraryKey, &status);
    if (!status.ok()) return status;
    const DWORD type = portSelector != 0 ? portSelector : readWordOr(library, typeValue, BVL_PORT_SERIAL);
    if (type != BVL_PORT_SERIAL && type != BVL_PORT_USB) return {};  // nothing to read
    bvCWinRegKey kind(library.get(), type == BVL_PORT_SERIAL ? kSerialSubkey : kUsbSubkey, &status);
    if (status.ok()) status = kind.tryRead(valueName, port, sizeof *port);
    if (missed(status)) writeSerialDefaultPort(port);
    return {};
}

// Storing a port is a convenience for the next session; a registry that
// refuses it must not fail the operation that asked.
void RegistryStore::WritePortSetting(const bvlCameraPort* port, const char* valueName,
                                     DWORD modelID) const noexcept {
    missed(writePortSetting(port, valueName, modelID));
}

RegistryStatus RegistryStore::writePortSetting(const bvlCameraPort* port, const char* valueName,
                                               DWORD modelID) const {
    if (modelID != 0) {
        char keyName[kModelKeyNameSize];
        const RegistryStatus found = TryFindModelKeyByID(modelID, keyName, sizeof keyName);
        if (!found.ok()) return found;
        return readInModel(root_, keyName, [&](const bvCWinRegKey& model) {
            return model.tryWrite(valueName, REG_BINARY, port, sizeof *port);
        });
    }
    RegistryStatus status;
    bvCWinRegKey library(root_, kLibraryKey, &status);
    if (!status.ok()) return status;
    if (port->portType == BVL_PORT_SERIAL || port->portType == BVL_PORT_USB) {
        bvCWinRegKey kind(library.get(), port->portType == BVL_PORT_SERIAL ? kSerialSubkey : kUsbSubkey, &status);
        if (status.ok()) status = kind.tryWrite(valueName, REG_BINARY, port, sizeof *port);
        if (!status.ok()) return status;
    }
    if (const char* typeValue = portTypeValueFor(valueName)) {
        const DWORD type = port->portType;
        return library.tryWrite(typeValue, REG_DWORD, &type, sizeof type);
    }
    return {};
}

RegistryStatus RegistryStore::TryReadLastPortType(const char* valueName, WORD* type) const {
    const char* typeValue = portTypeValueFor(valueName);
    if (!typeValue) throw bvCDeviceException(BVL_E_INVALID_PARAMETER);
    RegistryStatus status;
    bvCWinRegKey library(root_, kLibraryKey, &status);
    if (status.ok()) *type = LOWORD(readWordOr(library, typeValue, 0));
    return status;
}

WORD RegistryStore::ReadLastPortTypeOr(const char* valueName, WORD fallback) const {
    WORD type = 0;
    return missed(TryReadLastPortType(valueName, &type)) ? fallback : type;
}

RegistryStatus RegistryStore::TryReadModelLastPorts(std::vector<ModelLastPort>* table) const {
    RegistryStatus status;
    bvCWinRegKey models(root_, kModelListKey, &status);
    if (!status.ok()) return status;
    forEachModelKey(models, [&](const bvCWinRegKey& model, const char*) {
        ModelLastPort entry = {};
        if (!missed(model.tryRead(kModelID, &entry.modelID, sizeof entry.modelID)) &&
            !missed(model.tryRead(kLastPort, &entry.lastPort, sizeof entry.lastPort)))
            table->push_back(entry);
        return false;
    });
    return {};
}

void writeSerialDefaultPort(bvlCameraPort* port) {
    writeSerialPort(port, BVL_SERIAL_DEFAULT_PORT_NUMBER, BVL_SERIAL_DEFAULT_BAUD_RATE);
}

}  // namespace bv
