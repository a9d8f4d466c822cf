// The settings dialog with one card slot: the slot-2 rows go and the card
// frame, the panel and the buttons move up, as the layout resource
// "ID_CONFIGUI_REPOSITION_INFO" gives them in dialog units.
#include "settings_private.h"

namespace bv {
namespace {

// Record 0 is the client size; records 1 to 11 are these controls.
constexpr int kRepositionedControls[] = {
    IDC_BACKGROUND_PANEL, IDC_CARD_FRAME, IDC_SLOT1_LABEL, IDC_SLOT1_STATE,
    IDC_SLOT1_FREE_LABEL, IDC_SLOT1_FREE, IDC_SLOT1_TOTAL_LABEL, IDC_SLOT1_TOTAL,
    IDC_SETTINGS_OK, IDC_SETTINGS_CANCEL, IDC_SETTINGS_HELP};
constexpr DWORD kRecordCount = 1 + sizeof kRepositionedControls / sizeof kRepositionedControls[0];

struct UnitRect {  // x, y, width, height in dialog units, little-endian
    DWORD x, y, width, height;
};

}  // namespace

DialogUnitScale dialogUnitScale(HWND dialog) {
    RECT units = {4, 8, 0, 0};
    MapDialogRect(dialog, &units);
    return {static_cast<WORD>(units.left), static_cast<WORD>(units.top)};
}

bool repositionForOneSlot(HWND dialog, HINSTANCE instance) {
    HRSRC info = FindResourceA(instance, "ID_CONFIGUI_REPOSITION_INFO", MAKEINTRESOURCEA(RT_REPOSITION_INFO));
    if (!info || SizeofResource(instance, info) < kRecordCount * sizeof(UnitRect)) return false;
    HGLOBAL loaded = LoadResource(instance, info);  // module memory: nothing to free
    const auto* records = static_cast<const UnitRect*>(loaded ? LockResource(loaded) : nullptr);
    if (!records) return false;

    RECT window, client;
    GetWindowRect(dialog, &window);
    GetClientRect(dialog, &client);
    const DWORD frameWidth = (window.right - window.left) - (client.right - client.left);
    const DWORD frameHeight = (window.bottom - window.top) - (client.bottom - client.top);
    DialogUnitScale scale = dialogUnitScale(dialog);
    SetWindowPos(dialog, nullptr, 0, 0, records[0].width * scale.x / 4 + frameWidth,
                 records[0].height * scale.y / 8 + frameHeight, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    for (DWORD i = 1; i < kRecordCount; ++i) {
        const UnitRect& r = records[i];
        scale = dialogUnitScale(dialog);
        MoveWindow(GetDlgItem(dialog, kRepositionedControls[i - 1]), r.x * scale.x / 4, r.y * scale.y / 8,
                   r.width * scale.x / 4, r.height * scale.y / 8, TRUE);
    }
    return true;
}

}  // namespace bv
