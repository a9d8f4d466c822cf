// Help of the communication settings dialog: the contents, the popup of a
// control (topic id + 0x10000) and the context menu help. Clicks on the
// sunken background frame go to the control under the mouse.
#include "ui_private.h"

namespace bv {
namespace {

constexpr DWORD kTopicOffset = 0x10000;

// Controls tested for a point on the background, in this order; hidden
// controls count like visible ones.
constexpr int kControlsUnderFrame[] = {IDC_PORT_KIND_LABEL, IDC_PORT_KIND, IDC_COM_PORT_LABEL, IDC_BAUD_LABEL,
                                       IDC_COM_PORT,        IDC_BAUD,      IDC_USB_MODEL_LABEL, IDC_USB_MODEL};

void showContextMenuHelp(HWND control, HINSTANCE instance, int id) {
    char helpFile[kHelpFileNameSize];
    loadHelpFileName(instance, helpFile);
    DWORD ids[4] = {static_cast<DWORD>(id), static_cast<DWORD>(id) + kTopicOffset, 0, 0};
    WinHelpA(control, helpFile, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(ids));
}

}  // namespace

int commControlAtPoint(POINT screenPoint, HWND dialog) {
    for (int id : kControlsUnderFrame)
        if (pointInControl(id, screenPoint, dialog)) return id;
    return 0;
}

void CommHelp(HWND dialog, HINSTANCE instance, const HELPINFO* info) {
    char helpFile[kHelpFileNameSize];
    loadHelpFileName(instance, helpFile);
    if (!info) {
        WinHelpA(dialog, helpFile, HELP_FINDER, 0);
        return;
    }
    int id = info->iCtrlId;
    if (id == IDC_COMM_BACKGROUND) id = commControlAtPoint(info->MousePos, dialog);
    if (id != 0) WinHelpA(dialog, helpFile, HELP_CONTEXTPOPUP, static_cast<DWORD>(id) + kTopicOffset);
}

void CommContextHelp(HWND dialog, HINSTANCE instance, HWND clicked, LPARAM screenPoint) {
    const int id = GetDlgCtrlID(clicked);
    if (id != IDC_COMM_BACKGROUND && id != 0) {
        showContextMenuHelp(clicked, instance, id);
        return;
    }
    const POINT point = {static_cast<LONG>(LOWORD(screenPoint)), static_cast<LONG>(HIWORD(screenPoint))};
    if (const int under = commControlAtPoint(point, dialog)) showContextMenuHelp(GetDlgItem(dialog, under), instance, under);
}

}  // namespace bv
