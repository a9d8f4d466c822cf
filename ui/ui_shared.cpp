// The pieces both settings dialogs share.
#include "ui_private.h"

namespace bv {

char* messageText() {
    static char text[kMessageTextSize];
    return text;
}

const char* loadMessageText(HINSTANCE instance, UINT id) {
    char* text = messageText();
    if (LoadStringA(instance, id, text, kMessageTextSize) <= 0) text[0] = '\0';
    return text;
}

bool pointInControl(int id, POINT screenPoint, HWND dialog) {
    HWND control = GetDlgItem(dialog, id);
    RECT rect;
    if (!control || !GetWindowRect(control, &rect)) return false;
    return rect.left < screenPoint.x && screenPoint.x < rect.right && rect.top < screenPoint.y &&
           screenPoint.y < rect.bottom;
}

void centreWindowOver(HWND window, HWND owner) {
    RECT over, own;
    if (!owner || !GetWindowRect(owner, &over)) GetWindowRect(GetDesktopWindow(), &over);
    GetWindowRect(window, &own);
    const int x = over.left + (over.right - over.left) / 2 - (own.right - own.left) / 2;
    const int y = over.top + (over.bottom - over.top) / 2 - (own.bottom - own.top) / 2;
    SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace bv
