// What the source's windows share: their class registration and the
// object each window was created for.
#pragma once

#include <windows.h>

// Registers a class of the source's module with the arrow cursor and
// the dialog colour; true also when an earlier session left it registered.
bool registerWindowClass(HINSTANCE instance, const wchar_t* name, WNDPROC procedure);

// The object passed as the creation parameter of window, kept with the
// window from WM_NCCREATE on; null before.
void* windowObject(HWND window, UINT message, LPARAM lParam);
