// "Erkennen": the search for a serial camera on COM1 to COM6, run by the
// dialog's probe while the detecting window is shown, and its outcome.
#include <cstdio>
#include <new>
#include <string>

#include "ui_private.h"

namespace bv {
namespace {

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

void reportOutcome(HWND dialog, HINSTANCE instance, SerialSearchEnd end, int foundPort) {
    std::string text;
    UINT style = MB_OK;
    if (end == SerialSearchEnd::Found) {
        char port[8];
        std::snprintf(port, sizeof port, "COM%d", foundPort);
        text = std::string(loadMessageText(instance, IDS_CAMERA_DETECTED)) + port;
    } else {
        text = loadMessageText(instance, IDS_NO_CAMERA_DETECTED);
        style |= MB_ICONEXCLAMATION;
    }
    MessageBoxA(dialog, text.c_str(), loadMessageText(instance, IDS_COMM_TITLE), style);
    if (end == SerialSearchEnd::Found) SendDlgItemMessageA(dialog, IDC_COM_PORT, CB_SETCURSEL, foundPort - 1, 0);
}

}  // namespace

void DetectSerialCamera(HWND dialog, const CommDialogState& state) {
    try {
        const LRESULT selected = SendDlgItemMessageA(dialog, IDC_BAUD, CB_GETCURSEL, 0, 0);
        const LRESULT baudRate = SendDlgItemMessageA(dialog, IDC_BAUD, CB_GETITEMDATA, selected, 0);
        int foundPort = 0;
        SerialSearchEnd end;
        {
            DetectingWindowShown shown(dialog, state.instance);
            end = state.probe->searchSerialCamera(static_cast<DWORD>(baudRate), &foundPort);
        }
        if (end == SerialSearchEnd::NoLibrary) return;  // nothing to search with: no message
        reportOutcome(dialog, state.instance, end, foundPort);
        SetFocus(GetDlgItem(dialog, IDC_COM_PORT));
    } catch (const std::bad_alloc&) {
    }
}

}  // namespace bv
