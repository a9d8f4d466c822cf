#include "progress_window.h"

#include <algorithm>

#include "window_class.h"

namespace {

constexpr wchar_t kClassName[] = L"Bvcl2STIProgress";
constexpr int kWidth = 320, kHeight = 96, kMargin = 12, kBarHeight = 18;

}  // namespace

ProgressWindow::ProgressWindow(HINSTANCE instance, const std::wstring& text) : instance_(instance), text_(text) {
    if (!registerWindowClass(instance, kClassName, windowProc)) return;
    const int x = (GetSystemMetrics(SM_CXSCREEN) - kWidth) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - kHeight) / 2;
    window_ = CreateWindowExW(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, kClassName, L"Brivant Digital Camera",
                              WS_POPUP | WS_CAPTION | WS_VISIBLE, x, y, kWidth, kHeight, nullptr, nullptr,
                              instance, this);
    if (window_) UpdateWindow(window_);
}

ProgressWindow::~ProgressWindow() {
    if (window_) DestroyWindow(window_);
    UnregisterClassW(kClassName, instance_);
}

void ProgressWindow::show(DWORD percent) {
    percent_ = std::min<DWORD>(percent, 100);
    if (window_) {
        InvalidateRect(window_, nullptr, TRUE);
        UpdateWindow(window_);
    }
    // The application's windows stay alive meanwhile; a WM_QUIT is left
    // for its own loop.
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            PostQuitMessage(static_cast<int>(message.wParam));
            break;
        }
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

void ProgressWindow::paint(HDC dc) const {
    RECT client;
    GetClientRect(window_, &client);
    SetBkMode(dc, TRANSPARENT);
    SelectObject(dc, GetStockObject(DEFAULT_GUI_FONT));
    RECT line = {kMargin, kMargin, client.right - kMargin, kMargin + kBarHeight};
    DrawTextW(dc, text_.c_str(), -1, &line, DT_LEFT | DT_SINGLELINE | DT_END_ELLIPSIS);
    RECT bar = {kMargin, line.bottom + kMargin / 2, client.right - kMargin, line.bottom + kMargin / 2 + kBarHeight};
    FrameRect(dc, &bar, GetSysColorBrush(COLOR_BTNSHADOW));
    RECT done = bar;
    InflateRect(&done, -2, -2);
    done.right = done.left + static_cast<LONG>((done.right - done.left) * static_cast<LONG>(percent_) / 100);
    FillRect(dc, &done, GetSysColorBrush(COLOR_HIGHLIGHT));
}

LRESULT CALLBACK ProgressWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto* self = static_cast<const ProgressWindow*>(windowObject(window, message, lParam));
    if (message == WM_PAINT && self) {
        PAINTSTRUCT ps;
        HDC dc = BeginPaint(window, &ps);
        self->paint(dc);
        EndPaint(window, &ps);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
