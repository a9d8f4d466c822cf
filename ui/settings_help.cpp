// Help of the settings dialog through the help viewer: the contents from
// "&Hilfe", a popup for the caption's "?" and F1, and context-menu help for
// a right click. The topic of a control is its id + 0x10000.
#include "settings_private.h"

namespace bv {
namespace {

constexpr DWORD kTopicBase = 0x10000;

// In this order: a label comes before the frame around it.
constexpr int kHelpControls[] = {
    IDC_MODEL_LABEL, IDC_MODEL_NAME, IDC_FIRMWARE_LABEL, IDC_FIRMWARE_VERSION, IDC_OWNER_LABEL,
    IDC_OWNER_NAME, IDC_DATE_TIME_LABEL, IDC_DATE_SEPARATOR1, IDC_DATE_SEPARATOR2, IDC_TIME_SEPARATOR,
    IDC_TIME_FILLER, IDC_AM_PM, IDC_POWER_LABEL, IDC_POWER_ICON, IDC_POWER_TEXT, IDC_SLOT1_LABEL,
    IDC_SLOT1_STATE, IDC_SLOT1_FREE_LABEL, IDC_SLOT1_FREE, IDC_SLOT1_TOTAL_LABEL, IDC_SLOT1_TOTAL,
    IDC_SLOT2_LABEL, IDC_SLOT2_STATE, IDC_SLOT2_FREE_LABEL, IDC_SLOT2_FREE, IDC_SLOT2_TOTAL_LABEL,
    IDC_SLOT2_TOTAL, IDC_CARD_FRAME};

void callHelp(HWND owner, HINSTANCE instance, UINT command, ULONG_PTR data) {
    char file[kHelpFileNameSize];
    loadHelpFileName(instance, file);
    WinHelpA(owner, file, command, data);
}

void showContextMenuFor(HWND window, HINSTANCE instance, int id) {
    DWORD pairs[4] = {static_cast<DWORD>(id), id + kTopicBase, 0, 0};
    callHelp(window, instance, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(pairs));
}

}  // namespace

int controlAtPoint(POINT screenPoint, HWND dialog) {
    for (int id : kHelpControls)
        if (pointInControl(id, screenPoint, dialog)) return id;
    return 0;
}

void showHelpContents(HWND dialog, HINSTANCE instance) { callHelp(dialog, instance, HELP_FINDER, 0); }

// The panel behind everything stands for the control under the mouse.
void showHelpPopup(HWND dialog, HINSTANCE instance, const HELPINFO& info) {
    int id = info.iCtrlId;
    if (id == IDC_BACKGROUND_PANEL) id = controlAtPoint(info.MousePos, dialog);
    if (id != 0) callHelp(dialog, instance, HELP_CONTEXTPOPUP, id + kTopicBase);
}

void showContextMenuHelp(HWND dialog, HINSTANCE instance, HWND clicked, LPARAM point) {
    const int id = GetDlgCtrlID(clicked);
    if (id != 0 && id != IDC_BACKGROUND_PANEL) {
        showContextMenuFor(clicked, instance, id);
        return;
    }
    const POINT at = {LOWORD(point), HIWORD(point)};
    const int under = controlAtPoint(at, dialog);
    if (under != 0) showContextMenuFor(GetDlgItem(dialog, under), instance, under);
}

void quitHelp(HWND dialog, HINSTANCE instance) { callHelp(dialog, instance, HELP_QUIT, 0); }

}  // namespace bv
