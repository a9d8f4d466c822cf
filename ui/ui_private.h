// Declarations shared by the dialogs of ui/: the message text buffer that
// both settings dialogs use, help file names, hit tests and centring.
#pragma once

#include <windows.h>

#include "resource_ids.h"

namespace bv {

constexpr int kMessageTextSize = 512;
constexpr int kHelpFileNameSize = 260;

// The 512-character text buffer shared by both settings dialogs and the
// message dialog. They are modal on one thread, so never use it at once.
char* messageText();

// Loads string-table entry id of the module into messageText (at most 511
// characters and the NUL; empty when the entry is missing) and returns it.
const char* loadMessageText(HINSTANCE instance, UINT id);

// Loads the help file name (entry 48) into name.
void loadHelpFileName(HINSTANCE instance, char (&name)[kHelpFileNameSize]);

// True when the screen point lies strictly inside the window rectangle of
// the dialog's control id; false for a control that does not exist.
bool pointInControl(int id, POINT screenPoint, HWND dialog);

// Moves window so that its centre is over the owner's (the desktop's when
// owner is null), keeping its size and z-order, without activating it.
void centreWindowOver(HWND window, HWND owner);

// Runs the body of a procedure that Windows calls; whatever escapes it
// becomes `fallback`, since no exception may unwind through Windows.
template <class Result, class Body>
Result withoutExceptions(Result fallback, Body body) noexcept {
    try {
        return body();
    } catch (...) {
        return fallback;
    }
}

}  // namespace bv
