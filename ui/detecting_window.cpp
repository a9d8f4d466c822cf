// The small window shown while serial cameras are searched for. The search
// blocks the dialog's thread without dispatching messages, so the window
// draws its text when it is erased as well as when it is painted.
#include "owned.h"
#include "ui_private.h"

namespace bv {
namespace {

constexpr char kSizeResourceName[] = "ID_AUTODETECT_SIZE_INFO";
constexpr SIZE kDefaultSize = {260, 100};

// Fills the client area with the menu colour and draws the waiting text
// (entry 62) centred in a rectangle scaled to the client width.
void drawDetectingText(HWND window, HDC dc) {
    RECT client;
    GetClientRect(window, &client);
    const COLORREF colour = GetSysColor(COLOR_MENU);
    OwnedGdiObject brush(CreateSolidBrush(colour));
    FillRect(dc, &client, static_cast<HBRUSH>(brush.get()));
    SetBkColor(dc, colour);
    const int u = (client.right - client.left + 1) / 18;
    RECT text = {2 * u, 2 * u, 16 * u, 7 * u};
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrA(window, GWLP_HINSTANCE));
    DrawTextA(dc, loadMessageText(instance, IDS_DETECTING), -1, &text, DT_CENTER | DT_WORDBREAK);
}

}  // namespace

LRESULT CALLBACK DetectingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT: {
        PAINTSTRUCT paint;
        HDC dc = BeginPaint(window, &paint);
        if (dc) drawDetectingText(window, dc);
        EndPaint(window, &paint);
        return 0;
    }
    case WM_ERASEBKGND:
        SetCursor(LoadCursorA(nullptr, IDC_APPSTARTING));
        drawDetectingText(window, reinterpret_cast<HDC>(wParam));
        return 0;
    default:
        return DefWindowProcA(window, message, wParam, lParam);
    }
}

bool RegisterDetectingClass(HINSTANCE instance) {
    WNDCLASSA windowClass = {};
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = DetectingWndProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, IDC_APPSTARTING);
    windowClass.lpszClassName = kDetectingClassName;
    return RegisterClassA(&windowClass) != 0;
}

// Two 32-bit little-endian values in the module's resources: width, then
// height, in pixels.
SIZE detectingWindowSize(HINSTANCE instance) {
    HRSRC found = FindResourceA(instance, kSizeResourceName, MAKEINTRESOURCEA(RT_AUTODETECT_SIZE_INFO));
    HGLOBAL loaded = found ? LoadResource(instance, found) : nullptr;
    const auto* bytes = loaded ? static_cast<const BYTE*>(LockResource(loaded)) : nullptr;
    if (!bytes || SizeofResource(instance, found) < 8) return kDefaultSize;
    auto word = [bytes](int at) {
        return static_cast<LONG>(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24);
    };
    return SIZE{word(0), word(4)};
}

// Creates the window centred on the dialog's window rectangle, then grows
// it in place until its client area is exactly client, and shows it drawn.
HWND CreateDetectingWindow(HINSTANCE instance, HWND dialog, const char* title, SIZE client, HFONT font) {
    RECT over;
    GetWindowRect(dialog, &over);
    const int x = (over.left + over.right) / 2 - client.cx / 2;
    const int y = (over.top + over.bottom) / 2 - client.cy / 2;
    HWND window = CreateWindowExA(0, kDetectingClassName, title, WS_OVERLAPPED | WS_CAPTION, x, y, client.cx,
                                  client.cy, dialog, nullptr, instance, nullptr);
    if (!window) return nullptr;
    RECT outer, inner;
    GetWindowRect(window, &outer);
    GetClientRect(window, &inner);
    SetWindowPos(window, nullptr, 0, 0, client.cx + (outer.right - outer.left) - inner.right,
                 client.cy + (outer.bottom - outer.top) - inner.bottom, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SendMessageA(window, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
    ShowWindow(window, SW_SHOW);
    UpdateWindow(window);  // nothing is dispatched while the search runs
    return window;
}

}  // namespace bv
