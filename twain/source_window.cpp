#include "source_window.h"

namespace {

constexpr wchar_t kClassName[] = L"Bvcl2STISourceWindow";

}  // namespace

bool SourceWindow::create(HINSTANCE instance, Handler handler) {
    WNDCLASSW windowClass = {};
    windowClass.lpfnWndProc = windowProc;
    windowClass.hInstance = instance;
    windowClass.lpszClassName = kClassName;
    // An earlier session of this process may have left the class registered.
    if (!RegisterClassW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS) return false;
    handler_ = std::move(handler);
    window_ = CreateWindowExW(0, kClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, instance, this);
    if (!window_) {
        UnregisterClassW(kClassName, instance);
        return false;
    }
    instance_ = instance;
    return true;
}

void SourceWindow::destroy() {
    if (!window_) return;
    DestroyWindow(window_);
    window_ = nullptr;
    UnregisterClassW(kClassName, instance_);
}

void SourceWindow::post(UINT message, WPARAM wParam, LPARAM lParam) const {
    PostMessageW(window_, message, wParam, lParam);
}

LRESULT CALLBACK SourceWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<SourceWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self && message >= kNotifyMessage && message <= kSettingsMessage) {
        // No exception may leave a window procedure.
        try {
            self->handler_(message, wParam, lParam);
        } catch (...) {
        }
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}
