// The source's user interface: a modeless window on the application's
// thread that shows the camera's pictures as thumbnails with their names
// and sizes. The user picks some and transfers them, or cancels.
#pragma once

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "picture_decoder.h"

struct PickingEntry {
    std::string name;
    DWORD size;
    Bitmap thumbnail;  // empty when the picture could not be read
};

class PickingDialog {
public:
    // chosen: the indexes of the pictures to transfer, in listing order;
    // empty when the user cancelled.
    using Finish = std::function<void(const std::vector<size_t>& chosen)>;

    ~PickingDialog() { close(); }
    // Shows the window over parent (may be null); false when it could not.
    bool show(HINSTANCE instance, HWND parent, const std::vector<PickingEntry>& entries, Finish finish);
    void close();
    bool isOpen() const { return window_ != nullptr; }

private:
    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    void layout();
    void finish(bool transfer);
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr, list_ = nullptr;
    HIMAGELIST images_ = nullptr;
    Finish finish_;
};
