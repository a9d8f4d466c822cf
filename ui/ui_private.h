// Declarations shared by the dialogs of ui/: the message text buffer that
// both settings dialogs use, help file names, hit tests and centring, and
// the pieces of the communication settings dialog.
#pragma once

#include <windows.h>

#include <cstddef>

#include "bvcl2sti.h"
#include "comm_settings_dialog.h"
#include "guarded_call.h"  // every procedure that Windows calls runs through it
#include "resource_ids.h"

namespace bv {

constexpr int kMessageTextSize = 512;

// The 512-character text buffer shared by both settings dialogs and the
// message dialog. They are modal on one thread, so never use it at once.
char* messageText();

// Loads string-table entry id of the module into messageText (at most 511
// characters and the NUL; empty when the entry is missing) and returns it.
const char* loadMessageText(HINSTANCE instance, UINT id);

// True when the screen point lies strictly inside the window rectangle of
// the dialog's control id; false for a control that does not exist.
bool pointInControl(int id, POINT screenPoint, HWND dialog);

// Moves window so that its centre is over the owner's (the desktop's when
// owner is null), keeping its size and z-order, without activating it.
void centreWindowOver(HWND window, HWND owner);

// The help viewer, started by nothing but its full path. A request (a
// HELP_ command for WinHelp, with its data) names the help file of entry 48
// by its full path beside the module of instance; when that file is
// missing, a message box of the dialog that owner belongs to says so
// instead. A viewer that does not run yet is started from the Windows
// folder first; when it cannot be, the request is dropped.
void callHelpViewer(HWND owner, HINSTANCE instance, UINT command, ULONG_PTR data);
// Closes a running viewer for the help file that entry fileEntry names.
void quitHelpViewer(HWND owner, HINSTANCE instance, UINT fileEntry);

// Help through the help viewer, shared by both dialogs. A layout names the
// dialog's background control and the controls with a topic of their own
// (id + 0x10000), in the order a point on the background is tested.
struct HelpLayout {
    int background;
    const int* controls;
    std::size_t controlCount;
};
// The first control of the layout under the screen point, else 0.
int helpControlAtPoint(const HelpLayout& layout, POINT screenPoint, HWND dialog);
void showHelpContents(HWND dialog, HINSTANCE instance);
// WM_HELP: the popup of the control's topic; nothing for id 0.
void showHelpPopup(const HelpLayout& layout, HWND dialog, HINSTANCE instance, const HELPINFO& info);
// WM_CONTEXTMENU: the context-menu help of the clicked control, or of the
// control under the point when the background (or nothing) was clicked.
void showContextMenuHelp(const HelpLayout& layout, HWND dialog, HINSTANCE instance, HWND clicked,
                         LPARAM screenPoint);

// ---- Communication settings dialog (105) ----

constexpr char kDetectingClassName[] = "lluiDetectingMsg";

// State of the open communication settings dialog: what it shows first,
// whom it asks, where the choice goes and whether the serial lists were
// filled.
struct CommDialogState {
    HINSTANCE instance = nullptr;
    CommDialogView view;
    CommDialogProbe* probe = nullptr;
    CommDialogChoice* choice = nullptr;
    bool serialListsFilled = false;
};

// Runs the probe's search for a serial camera at the selected baud rate
// while the detecting window is shown, then reports the outcome in a
// message box and selects the port found. Raises only when memory runs
// out; the dialog procedure's guard takes that.
void DetectSerialCamera(HWND dialog, const CommDialogState& state);

// The detecting window: its class (registered while the dialog is open),
// its client size from "ID_AUTODETECT_SIZE_INFO" (260 x 100 without it),
// and the window itself, centred on the dialog and owned by it.
bool RegisterDetectingClass(HINSTANCE instance);
SIZE detectingWindowSize(HINSTANCE instance);
HWND CreateDetectingWindow(HINSTANCE instance, HWND dialog, const char* title, SIZE client, HFONT font);
LRESULT CALLBACK DetectingWndProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Help of the dialog: WM_HELP (info null for the contents), WM_CONTEXTMENU,
// and the control under a screen point for clicks on the background frame
// (0 when none).
void CommHelp(HWND dialog, HINSTANCE instance, const HELPINFO* info);
void CommContextHelp(HWND dialog, HINSTANCE instance, HWND clicked, LPARAM screenPoint);
int commControlAtPoint(POINT screenPoint, HWND dialog);

}  // namespace bv
