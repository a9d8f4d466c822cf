// The small message dialog (108) of the settings dialog: one text from the
// string table with the exclamation icon and OK. Esc and the close box do
// nothing; closeSettingsDialog ends it together with the settings dialog,
// and camera events go on to the settings dialog's handler meanwhile.
#include "settings_private.h"

namespace bv {
namespace {

HWND g_messageDialog = nullptr;

INT_PTR onMessageDialog(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    const UINT cameraMessage = cameraNotificationMessage();
    if (cameraMessage != 0 && message == cameraMessage) {
        const LRESULT answer = LOWORD(handleCameraEvent(wParam, lParam));
        SetWindowLongPtrA(dialog, DWLP_MSGRESULT, answer);
        return answer;
    }
    switch (message) {
    case WM_INITDIALOG: {
        g_messageDialog = dialog;
        SetDlgItemTextA(dialog, IDC_MESSAGE_TEXT, messageText());
        char caption[30];
        if (LoadStringA(settingsInstance(), IDS_SETTINGS_TITLE, caption, sizeof caption) > 0)
            SetWindowTextA(dialog, caption);
        SendDlgItemMessageA(dialog, IDC_MESSAGE_ICON, STM_SETICON,
                            reinterpret_cast<WPARAM>(LoadIconA(nullptr, IDI_EXCLAMATION)), 0);
        return TRUE;
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) EndDialog(dialog, 1);
        return TRUE;
    case WM_DESTROY:
        g_messageDialog = nullptr;
        return TRUE;
    }
    return FALSE;
}

INT_PTR CALLBACK messageDialogProc(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    return runGuardedOr<INT_PTR>(FALSE, [&] { return onMessageDialog(dialog, message, wParam, lParam); });
}

}  // namespace

HWND messageDialogWindow() { return g_messageDialog; }

INT_PTR showMessageDialog(UINT id) {
    loadMessageText(settingsInstance(), id);
    return DialogBoxParamA(settingsInstance(), MAKEINTRESOURCEA(IDD_MESSAGE), settingsDialogWindow(),
                           messageDialogProc, 0);
}

}  // namespace bv
