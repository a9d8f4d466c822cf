// Help of the camera settings dialog: which controls have a help topic of
// their own, in the order a point on the background panel is tested.
#include "settings_private.h"

namespace bv {
namespace {

// In this order: a label comes before the frame around it.
constexpr int kHelpControls[] = {
    IDC_MODEL_LABEL, IDC_MODEL_NAME, IDC_FIRMWARE_LABEL, IDC_FIRMWARE_VERSION, IDC_OWNER_LABEL,
    IDC_OWNER_NAME, IDC_DATE_TIME_LABEL, IDC_DATE_SEPARATOR1, IDC_DATE_SEPARATOR2, IDC_TIME_SEPARATOR,
    IDC_TIME_FILLER, IDC_AM_PM, IDC_POWER_LABEL, IDC_POWER_ICON, IDC_POWER_TEXT, IDC_SLOT1_LABEL,
    IDC_SLOT1_STATE, IDC_SLOT1_FREE_LABEL, IDC_SLOT1_FREE, IDC_SLOT1_TOTAL_LABEL, IDC_SLOT1_TOTAL,
    IDC_SLOT2_LABEL, IDC_SLOT2_STATE, IDC_SLOT2_FREE_LABEL, IDC_SLOT2_FREE, IDC_SLOT2_TOTAL_LABEL,
    IDC_SLOT2_TOTAL, IDC_CARD_FRAME};

}  // namespace

const HelpLayout kSettingsHelp = {IDC_BACKGROUND_PANEL, kHelpControls, sizeof kHelpControls / sizeof *kHelpControls};

int controlAtPoint(POINT screenPoint, HWND dialog) { return helpControlAtPoint(kSettingsHelp, screenPoint, dialog); }

void quitHelp(HWND dialog, HINSTANCE instance) { quitHelpViewer(dialog, instance, IDS_HELP_FILE); }

}  // namespace bv
