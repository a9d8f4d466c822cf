// Saves what a window shows on screen as a PNG file, for screenshots of
// the dialogs taken on the virtual display.
#pragma once

#include <windows.h>

#include <string>

namespace bvtest {

// Copies the window's screen rectangle (frame included) and writes it as
// an 8-bit RGB PNG. Returns false when the window cannot be copied or the
// file cannot be written.
bool saveWindowPng(HWND window, const std::string& path);

}  // namespace bvtest
