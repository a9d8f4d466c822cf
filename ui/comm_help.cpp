// Help of the communication settings dialog: which controls have a help
// topic of their own, in the order a point on the sunken background frame
// is tested; hidden controls count like visible ones.
#include "ui_private.h"

namespace bv {
namespace {

constexpr int kControlsUnderFrame[] = {IDC_PORT_KIND_LABEL, IDC_PORT_KIND, IDC_COM_PORT_LABEL, IDC_BAUD_LABEL,
                                       IDC_COM_PORT,        IDC_BAUD,      IDC_USB_MODEL_LABEL, IDC_USB_MODEL};

const HelpLayout kCommHelp = {IDC_COMM_BACKGROUND, kControlsUnderFrame,
                              sizeof kControlsUnderFrame / sizeof *kControlsUnderFrame};

}  // namespace

int commControlAtPoint(POINT screenPoint, HWND dialog) { return helpControlAtPoint(kCommHelp, screenPoint, dialog); }

void CommHelp(HWND dialog, HINSTANCE instance, const HELPINFO* info) {
    if (info)
        showHelpPopup(kCommHelp, dialog, instance, *info);
    else
        showHelpContents(dialog, instance);
}

void CommContextHelp(HWND dialog, HINSTANCE instance, HWND clicked, LPARAM screenPoint) {
    showContextMenuHelp(kCommHelp, dialog, instance, clicked, screenPoint);
}

}  // namespace bv
