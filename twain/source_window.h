// A hidden window of the source on the application's thread. Whatever
// must reach the application (a notification, a camera event from the
// library's thread, the settings dialog) is posted to it, so it leaves
// from the thread whose message loop the application runs.
#pragma once

#include <windows.h>

#include <functional>

// Messages of the window: wParam and lParam as each says.
constexpr UINT kNotifyMessage = WM_APP + 1;       // wParam: the TWAIN message to send
constexpr UINT kCameraEventMessage = WM_APP + 2;  // wParam: the library's event code, lParam: its first word
constexpr UINT kSettingsMessage = WM_APP + 3;     // show the library's settings dialog

class SourceWindow {
public:
    using Handler = std::function<void(UINT message, WPARAM wParam, LPARAM lParam)>;

    // Creates the window on the calling thread; false when it could not.
    bool create(HINSTANCE instance, Handler handler);
    void destroy();
    ~SourceWindow() { destroy(); }
    HWND handle() const { return window_; }
    // Queues a message for the window; any thread may post.
    void post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    HWND window_ = nullptr;
    HINSTANCE instance_ = nullptr;
    Handler handler_;
};
