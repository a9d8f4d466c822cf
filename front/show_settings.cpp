// The settings dialog on every road but serial: the camera's settings,
// volumes and clock are gathered into the dialog's record through the
// dispatched operations (which return 0 without data when no port is
// open), the dialog runs, and the owner name and the clock the user set
// are written back.
#include <cstring>
#include <ctime>

#include "memory_stream.h"
#include "owned.h"
#include "camera_settings_dialog.h"
#include "process_state.h"
#include "settings_snapshot.h"
#include "bvcl2sti.h"
#include "roads.h"

namespace bv {
namespace {

constexpr char kModelWithOneSlot[] = "Brivant 350";
constexpr std::size_t kFirmwareReplySize = 32;

// UTC minus local time, in seconds, at the instant utc: the run-time
// library's zone, re-read from the system, with summer time where it is in
// force then.
long biasAtUtc(LONG utc) {
    _tzset();
    const std::time_t at = utc;
    std::tm* local = std::localtime(&at);
    if (!local) return _timezone;
    return static_cast<long>(at - _mkgmtime(local));
}

// The same at the local wall-clock time wall (seconds counted as if UTC).
long biasAtWallClock(LONG wall) {
    _tzset();
    const std::time_t at = wall;
    std::tm* broken = std::gmtime(&at);
    if (!broken) return _timezone;
    broken->tm_isdst = -1;  // summer time as the zone has it then
    const std::time_t utc = std::mktime(broken);
    return utc == static_cast<std::time_t>(-1) ? _timezone : static_cast<long>(utc - at);
}

void gatherFirmware(DWORD camera, bvlCameraSettings& settings) {
    char reply[kFirmwareReplySize] = {};
    baseReadSetting(camera, BVL_SETTING_FIRMWARE, reply);  // an unreadable version shows empty
    firmwareVersionText(reply, sizeof reply, settings.firmwareVersion, sizeof settings.firmwareVersion);
}

// Owner name, then clock; the first failure is the operation's result.
DWORD gatherOwnerAndClock(DWORD camera, bvlCameraSettings& settings) {
    DWORD rc = baseReadSetting(camera, BVL_SETTING_OWNER_NAME, settings.ownerName);
    if (rc != 0) return rc;
    LONG cameraTime = 0;
    rc = baseReadSetting(camera, BVL_SETTING_DATE_TIME, &cameraTime);
    if (rc != 0) return rc;
    settings.dateTime = cameraToDialogTime(cameraTime, biasAtUtc(cameraTime));
    return 0;
}

// The card slots from the camera's volume list. Without a list (no port
// open) there are none, except on the model whose one slot is always shown.
void gatherCardSlots(bvlCameraSettings& settings) {
    memoryStream volumes;
    baseGetVols(0, volumes.stream());  // a failure leaves the list short or empty
    const CardSlots slots = summariseVolumes(volumes.data(), volumes.length());
    settings.slotCount = slots.count;
    settings.slot1Total = slots.slot1Total;
    settings.slot1Free = slots.slot1Free;
    settings.slot2Total = slots.slot2Total;
    settings.slot2Free = slots.slot2Free;
    if (settings.slotCount == 0 && std::strcmp(settings.modelName, kModelWithOneSlot) == 0)
        settings.slotCount = 1;
}

// After OK: the owner name always, the clock when the user set one. A
// failed owner write does not keep the clock from the camera; the first
// failure is the result.
DWORD writeBack(DWORD camera, bvlCameraSettings& settings) {
    const DWORD rc = baseWriteSetting(camera, BVL_SETTING_OWNER_NAME, settings.ownerName);
    if (settings.endStatus != kSettingsChangedTime) return rc;
    LONG cameraTime = dialogToCameraTime(settings.dateTime, biasAtWallClock(settings.dateTime));
    return keepFirst(rc, baseWriteSetting(camera, BVL_SETTING_DATE_TIME, &cameraTime));
}

DWORD gatherShowAndWrite(DWORD camera, HWND parent, bvlCameraSettings& settings) {
    ProcessState& state = processState();
    std::memcpy(settings.modelName, state.currentModelName, sizeof settings.modelName);
    settings.modelName[sizeof settings.modelName - 1] = '\0';
    gatherFirmware(camera, settings);
    DWORD rc = gatherOwnerAndClock(camera, settings);
    if (rc != 0) return rc;
    if (baseReadSetting(camera, BVL_SETTING_POWER, &settings.batteryState) != 0) settings.batteryState = 0;
    gatherCardSlots(settings);

    prepareDateTimeEditor(settings.dateTime, state.moduleInstance);
    settings.endStatus = 0;
    if (runCameraSettingsDialog(state.moduleInstance, parent, &state.notify) != 1) return 0;
    return writeBack(camera, settings);
}

}  // namespace

DWORD WINAPI showCameraSettings(DWORD camera, HWND parent) {
    bvlCameraSettings& settings = cameraSettings();
    std::memset(&settings, 0, sizeof settings);
    const DWORD rc = gatherShowAndWrite(camera, parent, settings);
    std::memset(&settings, 0, sizeof settings);  // the texts live for the one call
    return rc;
}

}  // namespace bv
