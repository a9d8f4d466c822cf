// What the settings dialog shows of the camera besides the clock: the
// power state (mains adapter or battery level) and the card slots with
// their free and total space.
#include <initializer_list>

#include "settings_private.h"

namespace bv {
namespace {

struct SlotControls {
    int state, freeLabel, freeSize, totalLabel, totalSize;
};
constexpr SlotControls kSlot1 = {IDC_SLOT1_STATE, IDC_SLOT1_FREE_LABEL, IDC_SLOT1_FREE, IDC_SLOT1_TOTAL_LABEL,
                                 IDC_SLOT1_TOTAL};
constexpr SlotControls kSlot2 = {IDC_SLOT2_STATE, IDC_SLOT2_FREE_LABEL, IDC_SLOT2_FREE, IDC_SLOT2_TOTAL_LABEL,
                                 IDC_SLOT2_TOTAL};

void hide(HWND dialog, std::initializer_list<int> ids) {
    for (int id : ids) ShowWindow(GetDlgItem(dialog, id), SW_HIDE);
}

void setEntry(HWND dialog, int id, HINSTANCE instance, UINT entry) {
    SetDlgItemTextA(dialog, id, loadMessageText(instance, entry));
}

void setSize(HWND dialog, int id, HINSTANCE instance, DWORD bytes) {
    char text[kVolumeSizeTextSize];
    formatVolumeSize(instance, bytes, text);
    SetDlgItemTextA(dialog, id, text);
}

// Both sizes 0 means no card: greyed labels and no numbers.
void showSlot(HWND dialog, HINSTANCE instance, const SlotControls& slot, DWORD total, DWORD free) {
    if (total == 0 && free == 0) {
        setEntry(dialog, slot.state, instance, IDS_CARD_NOT_INSTALLED);
        EnableWindow(GetDlgItem(dialog, slot.freeLabel), FALSE);
        EnableWindow(GetDlgItem(dialog, slot.totalLabel), FALSE);
        hide(dialog, {slot.freeSize, slot.totalSize});
        return;
    }
    setEntry(dialog, slot.state, instance, IDS_CARD_INSTALLED);
    setSize(dialog, slot.freeSize, instance, free);
    setSize(dialog, slot.totalSize, instance, total);
}

}  // namespace

void setPowerState(HWND dialog, HINSTANCE instance, const char* iconName, UINT text) {
    HICON icon = iconName ? LoadIconA(instance, iconName) : nullptr;  // shared: never destroyed
    SendDlgItemMessageA(dialog, IDC_POWER_ICON, STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
    if (text)
        setEntry(dialog, IDC_POWER_TEXT, instance, text);
    else
        SetDlgItemTextA(dialog, IDC_POWER_TEXT, "");
}

void showPowerState(HWND dialog, HINSTANCE instance, DWORD batteryState) {
    if (batteryState == 0) {
        hide(dialog, {IDC_POWER_LABEL, IDC_POWER_ICON, IDC_POWER_TEXT});
        return;
    }
    if (batteryState >> 28 == 1) {  // the mains adapter wins over any level
        setPowerState(dialog, instance, "AcChargIcon", IDS_MAINS_ADAPTER);
        return;
    }
    switch (batteryState & 0xF) {
    case 6: setPowerState(dialog, instance, "BattNormIcon", IDS_BATTERY_OK); break;
    case 4: setPowerState(dialog, instance, "BattWarnIcon", IDS_BATTERY_LOW); break;
    // A level the dialog has no word for (exhausted, or one the camera
    // reports beyond the known ones) shows neither icon nor text rather
    // than a guess.
    default: setPowerState(dialog, instance, nullptr, 0); break;
    }
}

void showCardSlots(HWND dialog, HINSTANCE instance, const bvlCameraSettings& settings) {
    if (settings.slotCount == 0) {
        hide(dialog, {IDC_SLOT1_LABEL, IDC_SLOT1_STATE, IDC_SLOT1_FREE_LABEL, IDC_SLOT1_FREE, IDC_SLOT1_TOTAL_LABEL,
                      IDC_SLOT1_TOTAL, IDC_SLOT2_LABEL, IDC_SLOT2_STATE, IDC_SLOT2_FREE_LABEL, IDC_SLOT2_FREE,
                      IDC_SLOT2_TOTAL_LABEL, IDC_SLOT2_TOTAL});
        return;
    }
    showSlot(dialog, instance, kSlot1, settings.slot1Total, settings.slot1Free);
    if (settings.slotCount == 1) {
        hide(dialog, {IDC_SLOT_RULE, IDC_SLOT2_LABEL, IDC_SLOT2_STATE, IDC_SLOT2_FREE_LABEL, IDC_SLOT2_FREE,
                      IDC_SLOT2_TOTAL_LABEL, IDC_SLOT2_TOTAL});
        repositionForOneSlot(dialog, instance);
        setEntry(dialog, IDC_SLOT1_LABEL, instance, IDS_SINGLE_SLOT_LABEL);
        return;
    }
    setEntry(dialog, IDC_SLOT2_FREE_LABEL, instance, IDS_SLOT2_FREE_LABEL);
    setEntry(dialog, IDC_SLOT2_TOTAL_LABEL, instance, IDS_SLOT2_TOTAL_LABEL);
    showSlot(dialog, instance, kSlot2, settings.slot2Total, settings.slot2Free);
}

}  // namespace bv
