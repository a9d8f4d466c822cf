// "Erkennen": the search for a serial camera on COM1 to COM6. The serial
// camera library is loaded here under its own handle, independent of any
// connection that the base operations hold, and unloaded when the search
// ends. Each port that exists is opened through the library's base table;
// the first camera that answers (of the given model, when one was given)
// is the one found.
#include <cstdio>
#include <cstring>
#include <new>
#include <string>
#include <vector>

#include "bvWinReg.h"
#include "owned.h"
#include "serial_base_table.h"
#include "ui_private.h"

namespace bv {
namespace {

constexpr wchar_t kDetectionLibraryName[] = L"bvcll.dll";

enum class SearchEnd { Found, NotFound, NoLibrary };

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

// The search proper: the first port from COM1 on where the camera answers.
// A registry that cannot be read or memory that cannot be had ends the
// search with nothing found.
SearchEnd searchPorts(DWORD baudRate, DWORD givenModelID, int* foundPort) {
    OwnedModule library;
    const bvlBaseAPI* api = loadSerialBaseTable(kDetectionLibraryName, &library);
    if (!api) return SearchEnd::NoLibrary;
    try {
        const std::vector<ModelEntry> table = readModelTable();
        for (int n = 1; n <= kComPortCount; ++n) {
            bvlCameraPort port = serialPortChoice(static_cast<BYTE>(n), baudRate);
            if (!portExists(port.portName)) continue;
            if (cameraAnswers(*api, &port, givenModelID, table)) {
                *foundPort = n;
                return SearchEnd::Found;
            }
        }
    } catch (const bvCException&) {
    } catch (const std::bad_alloc&) {
    }
    return SearchEnd::NotFound;
}

// The detecting window with the wait cursor, both withdrawn on every path
// out: the cursor first, then the window.
class DetectingWindowShown {
public:
    DetectingWindowShown(HWND dialog, HINSTANCE instance) {
        HCURSOR wait = LoadCursorA(nullptr, IDC_WAIT);
        const auto font = reinterpret_cast<HFONT>(SendMessageA(dialog, WM_GETFONT, 0, 0));
        const std::string title = loadMessageText(instance, IDS_COMM_TITLE);
        window_ = CreateDetectingWindow(instance, dialog, title.c_str(), detectingWindowSize(instance), font);
        previous_ = SetCursor(wait);
    }
    ~DetectingWindowShown() {
        SetCursor(previous_);
        if (window_) DestroyWindow(window_);
    }
    DetectingWindowShown(const DetectingWindowShown&) = delete;
    DetectingWindowShown& operator=(const DetectingWindowShown&) = delete;

private:
    HWND window_ = nullptr;
    HCURSOR previous_ = nullptr;
};

void reportOutcome(HWND dialog, HINSTANCE instance, SearchEnd end, int foundPort) {
    std::string text;
    UINT style = MB_OK;
    if (end == SearchEnd::Found) {
        char port[8];
        std::snprintf(port, sizeof port, "COM%d", foundPort);
        text = std::string(loadMessageText(instance, IDS_CAMERA_DETECTED)) + port;
    } else {
        text = loadMessageText(instance, IDS_NO_CAMERA_DETECTED);
        style |= MB_ICONEXCLAMATION;
    }
    MessageBoxA(dialog, text.c_str(), loadMessageText(instance, IDS_COMM_TITLE), style);
    if (end == SearchEnd::Found) SendDlgItemMessageA(dialog, IDC_COM_PORT, CB_SETCURSEL, foundPort - 1, 0);
}

}  // namespace

void DetectSerialCamera(HWND dialog, const CommDialogState& state) {
    try {
        const LRESULT selected = SendDlgItemMessageA(dialog, IDC_BAUD, CB_GETCURSEL, 0, 0);
        const LRESULT baudRate = SendDlgItemMessageA(dialog, IDC_BAUD, CB_GETITEMDATA, selected, 0);
        int foundPort = 0;
        SearchEnd end;
        {
            DetectingWindowShown shown(dialog, state.instance);
            end = searchPorts(static_cast<DWORD>(baudRate), state.request.givenModelID, &foundPort);
        }
        if (end == SearchEnd::NoLibrary) return;  // nothing to search with: no message
        reportOutcome(dialog, state.instance, end, foundPort);
        SetFocus(GetDlgItem(dialog, IDC_COM_PORT));
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace bv
