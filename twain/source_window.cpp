#include "source_window.h"

#include "window_class.h"

namespace {

constexpr wchar_t kClassName[] = L"Bvcl2STISourceWindow";

}  // namespace

bool SourceWindow::create(HINSTANCE instance, Handler handler) {
    if (!registerWindowClass(instance, kClassName, windowProc)) return false;
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
    auto* self = static_cast<SourceWindow*>(windowObject(window, message, lParam));
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
