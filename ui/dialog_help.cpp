// Help of both settings dialogs through the help viewer: the contents, the
// popup of a control's topic (its id + 0x10000) for the caption's "?" and
// F1, and context-menu help for a right click. A click on the dialog's
// background panel stands for the control under the mouse.
#include "ui_private.h"

namespace bv {
namespace {

constexpr DWORD kTopicBase = 0x10000;

void showContextMenuFor(HWND window, HINSTANCE instance, int id) {
    DWORD pairs[4] = {static_cast<DWORD>(id), static_cast<DWORD>(id) + kTopicBase, 0, 0};
    callHelpViewer(window, instance, HELP_CONTEXTMENU, reinterpret_cast<ULONG_PTR>(pairs));
}

}  // namespace

int helpControlAtPoint(const HelpLayout& layout, POINT screenPoint, HWND dialog) {
    for (std::size_t i = 0; i < layout.controlCount; ++i)
        if (pointInControl(layout.controls[i], screenPoint, dialog)) return layout.controls[i];
    return 0;
}

void showHelpContents(HWND dialog, HINSTANCE instance) { callHelpViewer(dialog, instance, HELP_FINDER, 0); }

void showHelpPopup(const HelpLayout& layout, HWND dialog, HINSTANCE instance, const HELPINFO& info) {
    int id = info.iCtrlId;
    if (id == layout.background) id = helpControlAtPoint(layout, info.MousePos, dialog);
    if (id != 0) callHelpViewer(dialog, instance, HELP_CONTEXTPOPUP, static_cast<DWORD>(id) + kTopicBase);
}

void showContextMenuHelp(const HelpLayout& layout, HWND dialog, HINSTANCE instance, HWND clicked,
                         LPARAM screenPoint) {
    const int id = GetDlgCtrlID(clicked);
    if (id != 0 && id != layout.background) {
        showContextMenuFor(clicked, instance, id);
        return;
    }
    const POINT at = {static_cast<LONG>(LOWORD(screenPoint)), static_cast<LONG>(HIWORD(screenPoint))};
    if (const int under = helpControlAtPoint(layout, at, dialog))
        showContextMenuFor(GetDlgItem(dialog, under), instance, under);
}

}  // namespace bv
