// A small window that shows how far the fetch of a picture has come,
// while CAP_INDICATORS is on. It lives on the application's thread and is
// painted at each report, since the fetch holds that thread meanwhile;
// each report also hands the application's waiting messages out, so the
// application may call the source again from one of them.
#pragma once

#include <windows.h>

#include <string>

class ProgressWindow {
public:
    // Shows the window over parent (may be null) with the caption text.
    ProgressWindow(HINSTANCE instance, const std::wstring& text);
    ~ProgressWindow();
    ProgressWindow(const ProgressWindow&) = delete;
    ProgressWindow& operator=(const ProgressWindow&) = delete;
    void show(DWORD percent);

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;
    HINSTANCE instance_;
    HWND window_ = nullptr;
    std::wstring text_;
    DWORD percent_ = 0;
};
