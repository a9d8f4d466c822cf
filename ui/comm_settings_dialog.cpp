// The communication settings dialog (template 105): the port kind, the COM
// port and baud rate of an RS-232C port, or the model of a USB camera. The
// procedure only dispatches; the lists are filled from the view record and
// the probe, and read back into the choice record on OK.
#include <windows.h>
#include <commctrl.h>

#include <cstdio>
#include <cstring>

#include "common_controls.h"
#include "ui_private.h"

namespace bv {
namespace {

constexpr INT_PTR kDialogOk = 0;
constexpr INT_PTR kDialogCancelled = 5;  // OPERATION_CANCELLED, without component bits
constexpr DWORD kUsbModelListSize = 1024;

struct BaudItem {
    UINT textId;
    DWORD rate;
};

// The baud list, in the order shown; the item data is the rate.
constexpr BaudItem kBaudItems[] = {
    {IDS_BAUD_9600, 9600}, {IDS_BAUD_19200, 19200}, {IDS_BAUD_38400, 38400},
    {IDS_BAUD_57600, 57600}, {IDS_BAUD_115200, 115200},
};

constexpr int kSerialControls[] = {IDC_COM_PORT_LABEL, IDC_COM_PORT, IDC_BAUD_LABEL, IDC_BAUD, IDC_DETECT};
constexpr int kUsbControls[] = {IDC_USB_MODEL_LABEL, IDC_USB_MODEL};

LRESULT sendTo(HWND dialog, int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
    return SendDlgItemMessageA(dialog, id, message, wParam, lParam);
}

void addItem(HWND dialog, int id, const char* text, LPARAM data) {
    const LRESULT index = sendTo(dialog, id, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (index >= 0) sendTo(dialog, id, CB_SETITEMDATA, index, data);
}

// Adds a string-table entry as an item.
void addTextItem(HWND dialog, HINSTANCE instance, int id, UINT textId, LPARAM data) {
    addItem(dialog, id, loadMessageText(instance, textId), data);
}

// Selects the first item whose data equals data; the selection stays as it
// was when no item has it.
void selectItemWithData(HWND dialog, int id, LPARAM data) {
    const LRESULT count = sendTo(dialog, id, CB_GETCOUNT);
    for (LRESULT i = 0; i < count; ++i) {
        if (sendTo(dialog, id, CB_GETITEMDATA, i) == data) {
            sendTo(dialog, id, CB_SETCURSEL, i);
            return;
        }
    }
}

// The data of the selected item, or CB_ERR without a selection.
LRESULT selectedData(HWND dialog, int id) {
    const LRESULT index = sendTo(dialog, id, CB_GETCURSEL);
    return index < 0 ? CB_ERR : sendTo(dialog, id, CB_GETITEMDATA, index);
}

template <size_t N>
void showControls(HWND dialog, const int (&ids)[N], bool show) {
    for (int id : ids) ShowWindow(GetDlgItem(dialog, id), show ? SW_SHOW : SW_HIDE);
}

CommDialogState& stateOf(HWND dialog) {
    return *reinterpret_cast<CommDialogState*>(GetWindowLongPtrA(dialog, DWLP_USER));
}

void fillUsbModelList(HWND dialog, const CommDialogState& state) {
    char models[kUsbModelListSize] = {};
    const DWORD count = state.probe->listUsbCameras(models, sizeof models);
    sendTo(dialog, IDC_USB_MODEL, CB_RESETCONTENT);
    const char* name = models;
    for (DWORD i = 0; i < count; ++i, name += std::strlen(name) + 1) addItem(dialog, IDC_USB_MODEL, name, 0);
    if (count == 0) addTextItem(dialog, state.instance, IDC_USB_MODEL, IDS_NO_USB_MODEL, 0);
    sendTo(dialog, IDC_USB_MODEL, CB_SETCURSEL, 0);
}

void fillSerialLists(HWND dialog, const CommDialogState& state) {
    sendTo(dialog, IDC_COM_PORT, CB_RESETCONTENT);
    for (int n = 1; n <= kComPortCount; ++n) {
        char name[8];
        std::snprintf(name, sizeof name, "COM%d", n);
        addItem(dialog, IDC_COM_PORT, name, n);
    }
    sendTo(dialog, IDC_COM_PORT, CB_SETCURSEL, 0);
    selectItemWithData(dialog, IDC_COM_PORT, state.view.serialPortNumber);

    sendTo(dialog, IDC_BAUD, CB_RESETCONTENT);
    for (const BaudItem& item : kBaudItems) addTextItem(dialog, state.instance, IDC_BAUD, item.textId, item.rate);
    sendTo(dialog, IDC_BAUD, CB_SETCURSEL, sendTo(dialog, IDC_BAUD, CB_GETCOUNT) - 1);
    selectItemWithData(dialog, IDC_BAUD, state.view.serialBaudRate);
}

// Shows the controls of a port kind (BVL_PORT_SERIAL or BVL_PORT_USB) and
// fills their lists. The serial lists are filled once per dialog, so that
// switching kinds back and forth keeps the user's port and baud rate; the
// USB model list is built anew each time. Returns false for other kinds.
bool ShowPortControls(HWND dialog, CommDialogState& state, LRESULT kind, bool initial) {
    if (kind == BVL_PORT_USB) {
        showControls(dialog, kSerialControls, false);
        showControls(dialog, kUsbControls, state.view.modelChoiceFlag != 0);
        fillUsbModelList(dialog, state);
        return true;
    }
    if (kind != BVL_PORT_SERIAL) return false;
    showControls(dialog, kSerialControls, true);
    if (initial || !state.serialListsFilled) {
        state.serialListsFilled = true;
        fillSerialLists(dialog, state);
    }
    showControls(dialog, kUsbControls, false);
    return true;
}

void selectPortKind(HWND dialog, CommDialogState& state, LRESULT kind) {
    selectItemWithData(dialog, IDC_PORT_KIND, kind);
    ShowPortControls(dialog, state, kind, true);
}

void initialiseDialog(HWND dialog, CommDialogState& state) {
    centreWindowOver(dialog, GetParent(dialog));
    sendTo(dialog, IDC_PORT_KIND, CB_RESETCONTENT);
    state.serialListsFilled = false;

    switch (state.view.offeredPortKinds) {
    case 1:
        addTextItem(dialog, state.instance, IDC_PORT_KIND, IDS_PORT_KIND_SERIAL, BVL_PORT_SERIAL);
        selectPortKind(dialog, state, BVL_PORT_SERIAL);
        break;
    case 2:
        addTextItem(dialog, state.instance, IDC_PORT_KIND, IDS_PORT_KIND_USB, BVL_PORT_USB);
        selectPortKind(dialog, state, BVL_PORT_USB);
        break;
    case 3: {
        addTextItem(dialog, state.instance, IDC_PORT_KIND, IDS_PORT_KIND_USB, BVL_PORT_USB);
        addTextItem(dialog, state.instance, IDC_PORT_KIND, IDS_PORT_KIND_SERIAL, BVL_PORT_SERIAL);
        const WORD kind = state.view.kindShownOfBoth;
        if (kind == BVL_PORT_USB || kind == BVL_PORT_SERIAL) selectPortKind(dialog, state, kind);
        break;
    }
    default:
        break;
    }

    RegisterDetectingClass(state.instance);
    SetFocus(GetDlgItem(dialog, IDC_COMM_OK));
    ShowWindow(dialog, SW_RESTORE);
}

// Closes the help viewer, withdraws the detecting window class and ends
// the dialog with result.
void EndCommDialog(HWND dialog, const CommDialogState& state, INT_PTR result) {
    quitHelpViewer(dialog, state.instance, IDS_COMM_HELP_FILE);
    UnregisterClassA(kDetectingClassName, state.instance);
    EndDialog(dialog, result);
}

// OK: the selected kind, and the port and baud rate or the model text of
// that kind, go into the choice record.
void acceptChoice(HWND dialog, const CommDialogState& state) {
    CommDialogChoice& choice = *state.choice;
    choice.made = true;
    const LRESULT kind = selectedData(dialog, IDC_PORT_KIND);
    choice.portType = static_cast<WORD>(kind == CB_ERR ? BVL_PORT_NONE : kind);
    if (choice.portType == BVL_PORT_SERIAL) {
        choice.comPort = static_cast<BYTE>(selectedData(dialog, IDC_COM_PORT));
        choice.baudRate = static_cast<DWORD>(selectedData(dialog, IDC_BAUD));
    } else if (choice.portType == BVL_PORT_USB) {
        GetDlgItemTextA(dialog, IDC_USB_MODEL, choice.usbModel, sizeof choice.usbModel);
    }
    EndCommDialog(dialog, state, kDialogOk);
}

// WM_COMMAND: 1 when the command was handled by ending the dialog.
WORD CommDialogCommand(WPARAM wParam, HWND dialog, CommDialogState& state) {
    switch (LOWORD(wParam)) {
    case IDC_COMM_HELP:
        CommHelp(dialog, state.instance, nullptr);
        return 0;
    case IDCANCEL:
    case IDC_COMM_CANCEL:
        EndCommDialog(dialog, state, kDialogCancelled);
        return 1;
    case IDC_PORT_KIND:
        if (HIWORD(wParam) == CBN_SELCHANGE) {
            const LRESULT kind = selectedData(dialog, IDC_PORT_KIND);
            if (kind != CB_ERR) ShowPortControls(dialog, state, kind, false);
        }
        return 0;
    case IDC_DETECT:
        DetectSerialCamera(dialog, state);
        return 0;
    case IDC_COMM_OK:
        acceptChoice(dialog, state);
        return 1;
    default:
        return 0;
    }
}

INT_PTR dispatch(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) {
        SetWindowLongPtrA(dialog, DWLP_USER, lParam);
        initialiseDialog(dialog, stateOf(dialog));
        return FALSE;  // the focus is set already
    }
    if (!GetWindowLongPtrA(dialog, DWLP_USER)) return FALSE;
    CommDialogState& state = stateOf(dialog);
    switch (message) {
    // Help returns FALSE, so the dialog manager's default handling runs too.
    case WM_HELP:
        CommHelp(dialog, state.instance, reinterpret_cast<const HELPINFO*>(lParam));
        return FALSE;
    case WM_CONTEXTMENU:
        CommContextHelp(dialog, state.instance, reinterpret_cast<HWND>(wParam), lParam);
        return FALSE;
    case WM_COMMAND:
        return CommDialogCommand(wParam, dialog, state);
    default:
        return FALSE;
    }
}

// Whatever escapes (memory) ends in "not handled".
INT_PTR CALLBACK CommDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message < WM_HELP || message > WM_COMMAND) return FALSE;
    return runGuardedOr<INT_PTR>(FALSE, [&] { return dispatch(dialog, message, wParam, lParam); });
}

}  // namespace

INT_PTR runCommSettingsDialog(HINSTANCE instance, HWND owner, const CommDialogView& view, CommDialogProbe& probe,
                              CommDialogChoice* choice) {
    initCommonControls(ICC_WIN95_CLASSES);
    CommDialogState state;
    state.instance = instance;
    state.view = view;
    state.probe = &probe;
    state.choice = choice;
    return DialogBoxParamA(instance, MAKEINTRESOURCEA(IDD_COMM_SETTINGS), owner, CommDialogProc,
                           reinterpret_cast<LPARAM>(&state));
}

}  // namespace bv
