// Owner drawing of the date and time editor: the "/" and ":" separators,
// the am/pm field and the blank filler that stands in for it on a 24-hour
// clock. Every item is first filled with the window colour.
#include "settings_private.h"

namespace bv {
namespace {

void drawSlash(HDC dc, const RECT& r) {
    MoveToEx(dc, r.right, r.top + 2, nullptr);
    LineTo(dc, r.left, r.bottom - 5);
}

void drawColon(HDC dc, const RECT& r) {
    const int w = (r.right - r.left) / 2, h = r.bottom - r.top;
    const HGDIOBJ previous = SelectObject(dc, GetStockObject(BLACK_BRUSH));
    Ellipse(dc, w - 1, h / 4 - 1, w + 1, h / 4 + 1);
    Ellipse(dc, w - 1, 3 * h / 4 - 4, w + 1, 3 * h / 4 - 2);
    SelectObject(dc, previous);
}

// Navy with white text while the field has the focus.
void drawAmPm(const DRAWITEMSTRUCT& item) {
    const DateTimeEditorState& e = dateTimeEditor();
    const bool focused = GetFocus() == item.hwndItem;
    const int saved = SaveDC(item.hDC);
    SetBkColor(item.hDC, focused ? RGB(0, 0, 128) : GetSysColor(COLOR_WINDOW));
    SetTextColor(item.hDC, focused ? RGB(255, 255, 255) : RGB(0, 0, 0));
    RECT r = item.rcItem;
    DrawTextA(item.hDC, e.amPmState == AmPm::Am ? e.amText : e.pmText, -1, &r, DT_CENTER | DT_SINGLELINE);
    RestoreDC(item.hDC, saved);
}

}  // namespace

void drawDateTimeItem(const DRAWITEMSTRUCT& item) {
    switch (item.CtlID) {
    case IDC_DATE_SEPARATOR1: case IDC_DATE_SEPARATOR2: case IDC_TIME_SEPARATOR:
    case IDC_AM_PM: case IDC_TIME_FILLER: break;
    default: return;
    }
    OwnedGdiObject brush(CreateSolidBrush(GetSysColor(COLOR_WINDOW)));
    FillRect(item.hDC, &item.rcItem, static_cast<HBRUSH>(brush.get()));
    if (item.CtlID == IDC_TIME_SEPARATOR)
        drawColon(item.hDC, item.rcItem);
    else if (item.CtlID == IDC_AM_PM)
        drawAmPm(item);
    else if (item.CtlID != IDC_TIME_FILLER)
        drawSlash(item.hDC, item.rcItem);
}

}  // namespace bv
