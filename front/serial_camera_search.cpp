#include "serial_camera_search.h"

#include <cstring>
#include <new>
#include <vector>

#include "bvWinReg.h"
#include "default_port.h"
#include "owned.h"
#include "serial_library.h"

namespace bv {
namespace {

// One model subkey: its ID and its stored last serial port.
struct ModelEntry {
    DWORD modelID;
    bvlCameraPort lastPort;
};

// Every model subkey that has both a modelID and a lastPort. A model
// without them is left out: it has nothing to keep up to date, and the
// installer stores lastPort only for some models. Raises the registry
// error when the model list key cannot be opened.
std::vector<ModelEntry> readModelTable() {
    bvCWinRegKey models(HKEY_LOCAL_MACHINE, kModelListKey);
    std::vector<ModelEntry> table;
    models.forEachSubkey([&](const char* name) {
        try {
            bvCWinRegKey model(models.get(), name);
            ModelEntry entry = {};
            model.read(kModelID, &entry.modelID, sizeof entry.modelID);
            model.read(kLastPort, &entry.lastPort, sizeof entry.lastPort);
            table.push_back(entry);
        } catch (const bvCDeviceException&) {
        }
        return false;
    });
    return table;
}

// Keeps the stored last port of the model that answered; the search itself
// changes nothing that is stored, the user's choice is stored on OK.
void keepModelLastPort(const std::vector<ModelEntry>& table, DWORD modelID) {
    for (const ModelEntry& entry : table) {
        if (entry.modelID == modelID) {
            machineRegistry().WritePortSetting(&entry.lastPort, kLastPort, modelID);
            return;
        }
    }
}

// True when "comN" exists and can be opened for reading, unshared; the
// device is closed again at once, so that the serial library can open it.
bool portExists(const char* name) {
    OwnedFile device(CreateFileA(name, GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    return static_cast<bool>(device);
}

// A camera opened through the serial library, closed exactly once.
class OpenCamera {
public:
    OpenCamera(const bvlBaseAPI& api, DWORD camera) : api_(api), camera_(camera) {}
    ~OpenCamera() { close(); }
    OpenCamera(const OpenCamera&) = delete;
    OpenCamera& operator=(const OpenCamera&) = delete;

    void close() {
        if (open_) api_.baseCloseCameraComm(camera_);
        open_ = false;
    }

private:
    const bvlBaseAPI& api_;
    DWORD camera_;
    bool open_ = true;
};

// Whether the camera on port is the one searched for. With no model given
// any camera is; otherwise its model name must equal the given model's
// name byte for byte. Raises when the given model cannot be read.
bool cameraAnswers(const bvlBaseAPI& api, bvlCameraPort* port, DWORD givenModelID,
                   const std::vector<ModelEntry>& table) {
    DWORD word = 0;
    if (api.baseOpenCameraComm(port, nullptr, 0, &word) != 0) return false;
    OpenCamera camera(api, word);
    bvlModelDescrip description = {};
    api.baseGetModelDescrip(word, &description);
    description.modelName[sizeof description.modelName - 1] = '\0';
    keepModelLastPort(table, description.modelID);
    if (givenModelID == 0) return true;
    char wanted[kModelTextSize + 1] = {};
    machineRegistry().ReadModelName(givenModelID, wanted);
    camera.close();
    return std::strcmp(wanted, description.modelName) == 0;
}

}  // namespace

SerialSearchEnd searchSerialCamera(DWORD baudRate, DWORD givenModelID, int* foundPort) {
    OwnedModule library;
    const bvlBaseAPI* api = loadSerialBaseTable(&library);
    if (!api) return SerialSearchEnd::NoLibrary;
    try {
        const std::vector<ModelEntry> table = readModelTable();
        for (int n = 1; n <= kComPortCount; ++n) {
            bvlCameraPort port = {};
            writeSerialPort(&port, static_cast<BYTE>(n), baudRate);
            if (!portExists(port.portName)) continue;
            if (cameraAnswers(*api, &port, givenModelID, table)) {
                *foundPort = n;
                return SerialSearchEnd::Found;
            }
        }
    } catch (const bvCException&) {
    } catch (const std::bad_alloc&) {
    }
    return SerialSearchEnd::NotFound;
}

}  // namespace bv
