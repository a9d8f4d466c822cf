#include "serial_camera_search.h"

#include <cstring>
#include <vector>

#include "bvWinReg.h"
#include "default_port.h"
#include "guarded_call.h"
#include "owned.h"
#include "serial_library.h"

namespace bv {
namespace {

// The table holds every model with a modelID and a lastPort; one without
// them has nothing to keep up to date.
// Keeps the stored last port of the model that answered; the search itself
// changes nothing that is stored, the user's choice is stored on OK.
void keepModelLastPort(const std::vector<ModelLastPort>& table, DWORD modelID) {
    for (const ModelLastPort& entry : table) {
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
// (wanted empty) any camera is; otherwise its model name must equal the
// given model's name byte for byte.
bool cameraAnswers(const bvlBaseAPI& api, bvlCameraPort* port, const char* wanted,
                   const std::vector<ModelLastPort>& table) {
    DWORD word = 0;
    if (api.baseOpenCameraComm(port, nullptr, 0, &word) != 0) return false;
    OpenCamera camera(api, word);
    bvlModelDescrip description = {};
    api.baseGetModelDescrip(word, &description);
    description.modelName[sizeof description.modelName - 1] = '\0';
    keepModelLastPort(table, description.modelID);
    if (wanted[0] == '\0') return true;
    camera.close();
    return std::strcmp(wanted, description.modelName) == 0;
}

}  // namespace

SerialSearchEnd searchSerialCamera(DWORD baudRate, DWORD givenModelID, int* foundPort) {
    OwnedModule library;
    const bvlBaseAPI* api = loadSerialBaseTable(&library);
    if (!api) return SerialSearchEnd::NoLibrary;
    // A model list that cannot be read, a given model that is not
    // installed or memory that cannot be had ends the search with nothing
    // found.
    return runGuardedOr(SerialSearchEnd::NotFound, [&] {
        const RegistryStore registry = machineRegistry();
        std::vector<ModelLastPort> table;
        char wanted[kModelTextSize + 1] = {};
        if (missed(registry.TryReadModelLastPorts(&table))) return SerialSearchEnd::NotFound;
        if (givenModelID != 0 && missed(registry.TryReadModelName(givenModelID, wanted)))
            return SerialSearchEnd::NotFound;
        for (int n = 1; n <= kComPortCount; ++n) {
            bvlCameraPort port = {};
            writeSerialPort(&port, static_cast<BYTE>(n), baudRate);
            if (!portExists(port.portName)) continue;
            if (cameraAnswers(*api, &port, wanted, table)) {
                *foundPort = n;
                return SerialSearchEnd::Found;
            }
        }
        return SerialSearchEnd::NotFound;
    });
}

}  // namespace bv
