// The am/pm field 1054 of a 12-hour clock: an owner-drawn static that takes
// the focus on a click, follows the time spin and is switched by the A and
// P keys through a keyboard hook on the dialog's thread that lives while
// the field has the focus.
#include "settings_private.h"

namespace bv {
namespace {

void repaint(HWND field) { InvalidateRect(field, nullptr, TRUE); }

void onAmPmMessage(HWND field, UINT message) {
    DateTimeEditorState& e = dateTimeEditor();
    switch (message) {
    case WM_SETFOCUS:
        SendDlgItemMessageA(e.dialog, IDC_TIME_SPIN, UDM_SETBUDDY, reinterpret_cast<WPARAM>(field), 0);
        // The dialog's own thread only: a hook on every thread would load
        // this library into each process that takes keyboard input meanwhile.
        e.keyboardHook.reset(SetWindowsHookExA(WH_KEYBOARD, amPmKeyboardHook, nullptr, GetCurrentThreadId()));
        repaint(field);
        break;
    case WM_KILLFOCUS:
        e.keyboardHook.reset();
        repaint(field);
        break;
    case WM_LBUTTONDOWN:
        SetFocus(field);
        repaint(field);
        break;
    case WM_NCDESTROY:
        e.keyboardHook.reset();
        break;
    }
}

// Handles the message, then passes it on, unchanged, to the static's own
// procedure: the arrow keys move the focus through the dialog as from any
// static.
LRESULT CALLBACK amPmFieldProc(HWND field, UINT message, WPARAM wParam, LPARAM lParam) {
    DateTimeEditorState& e = dateTimeEditor();
    const WNDPROC previous = e.previousAmPmProc;
    runGuardedOr(0, [&] {
        onAmPmMessage(field, message);
        return 0;
    });
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(previous));
        e.previousAmPmProc = nullptr;
    }
    return CallWindowProcA(previous, field, message, wParam, lParam);
}

}  // namespace

void subclassAmPmField(HWND dialog) {
    DateTimeEditorState& e = dateTimeEditor();
    HWND field = GetDlgItem(dialog, IDC_AM_PM);
    if (!field || e.previousAmPmProc) return;
    e.previousAmPmProc = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(field, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(amPmFieldProc)));
    setAmPm(e.amPmState);
}

void setAmPm(AmPm state) {
    DateTimeEditorState& e = dateTimeEditor();
    e.amPmState = state;
    HWND field = GetDlgItem(e.dialog, IDC_AM_PM);
    if (!field) return;
    // The window text names the state for anyone who reads the field;
    // the drawing itself follows amPmState.
    SetWindowTextA(field, state == AmPm::Am ? e.amText : e.pmText);
    repaint(field);
}

// A and P set am and pm and are swallowed, presses, repeats and releases
// alike; every other key goes on to the window.
LRESULT CALLBACK amPmKeyboardHook(int code, WPARAM key, LPARAM flags) {
    if (code < 0) return CallNextHookEx(nullptr, code, key, flags);
    if (key != 'A' && key != 'P') return 0;
    return runGuardedOr<LRESULT>(1, [&] {
        setAmPm(key == 'A' ? AmPm::Am : AmPm::Pm);
        dateTimeEditor().timeEdited = true;
        enableFromPc();
        return LRESULT{1};
    });
}

}  // namespace bv
