// The communication settings dialog (template 105), through which the
// user chooses the port kind, COM port and baud rate, or the USB model.
// The dialog only shows and edits: what it shows first comes in a plain
// record, the USB cameras and the serial camera search come through a
// probe, and the user's choice goes back in a plain record.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

namespace bv {

constexpr int kComPortCount = 6;       // COM1 to COM6 are offered and searched
constexpr int kUsbModelTextSize = 64;  // the model list's text, terminator included

// What the dialog shows when it opens.
struct CommDialogView {
    DWORD offeredPortKinds = 3;        // 1 serial only, 2 USB only, 3 both
    WORD modelChoiceFlag = 1;          // 1: the USB model list is shown
    WORD kindShownOfBoth = BVL_PORT_SERIAL;  // with both offered; neither kind selects none
    BYTE serialPortNumber = BVL_SERIAL_DEFAULT_PORT_NUMBER;  // preselected when listed
    DWORD serialBaudRate = BVL_SERIAL_DEFAULT_BAUD_RATE;     // preselected when listed
};

// The user's choice on OK: the data of the selected items as they are
// (an empty list gives BVL_PORT_NONE, 0xFF and 0xFFFFFFFF) and the text
// of the USB model list. Only the fields of the chosen kind are filled.
struct CommDialogChoice {
    bool made = false;  // set on OK
    WORD portType = BVL_PORT_NONE;
    BYTE comPort = 0;
    DWORD baudRate = 0;
    char usbModel[kUsbModelTextSize] = {};
};

enum class SerialSearchEnd { Found, NotFound, NoLibrary };

// What the dialog asks while it is open; called on the dialog's thread.
class CommDialogProbe {
public:
    // The names of the USB cameras to offer, each NUL-terminated, one after
    // the other within size bytes; returns their count, 0 for none or when
    // they cannot be listed. Asked each time the USB kind is shown.
    virtual DWORD listUsbCameras(char* names, DWORD size) = 0;
    // Searches COM1 to COM(kComPortCount) at baudRate; Found sets
    // *foundPort to the number of the port where the camera answered.
    // Blocks the thread for the whole search; never raises.
    virtual SerialSearchEnd searchSerialCamera(DWORD baudRate, int* foundPort) = 0;

protected:
    ~CommDialogProbe() = default;
};

// Initialises the common controls and runs dialog 105 of the module
// modally, owned by owner. Returns 0 after OK (choice filled) or 5 when
// cancelled (choice untouched); -1 when the dialog could not be created.
// Runs on the calling thread.
INT_PTR runCommSettingsDialog(HINSTANCE instance, HWND owner, const CommDialogView& view, CommDialogProbe& probe,
                              CommDialogChoice* choice);

}  // namespace bv
