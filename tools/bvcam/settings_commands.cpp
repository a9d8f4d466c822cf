// settings, settings-ui, set, release and viewfinder: the camera's own
// settings, its clock, and remote release with the picture it takes.
#include <cstdio>
#include <cstring>

#include "camera_time.h"
#include "commands.h"
#include "event_text.h"

namespace {

constexpr DWORD kOwnerMaxLength = 31;  // the camera keeps 32 bytes with the terminator
const BYTE kReleaseRequest[4] = {1, 0, 0, 0};

// The owner and the clock, one line each; what names the command.
int printOwnerAndClock(CameraConnection& c, const std::string& what) {
    char owner[32] = {};
    DWORD clock = 0;
    if (DWORD rc = c.api().baseReadSetting(c.camera(), BVL_SETTING_OWNER_NAME, owner)) return failWithCode(what + ": owner", rc);
    if (DWORD rc = c.api().baseReadSetting(c.camera(), BVL_SETTING_DATE_TIME, &clock)) return failWithCode(what + ": clock", rc);
    std::printf("Owner:     %.31s\n", owner);
    std::printf("Clock:     %s\n", formatCameraTime(clock).c_str());
    return kExitOk;
}

}  // namespace

// Every setting the camera reads out, decoded; one line each.
int runSettings(CameraConnection& c, const CommandArgs&) {
    const bvlBaseAPI& api = c.api();
    BYTE byteValue[4] = {};
    char firmware[32] = {};
    DWORD power = 0, words[3] = {};
    if (int status = printOwnerAndClock(c, "settings")) return status;
    if (api.baseReadSetting(c.camera(), BVL_SETTING_FIRMWARE, firmware) == 0)
        std::printf("Firmware:  %.31s\n", firmware);
    if (api.baseReadSetting(c.camera(), BVL_SETTING_POWER, &power) == 0)
        std::printf("Power:     %s\n", describePowerState(power).c_str());
    if (api.baseReadSetting(c.camera(), BVL_SETTING_BYTE, byteValue) == 0)
        std::printf("Setting 1: %u\n", byteValue[0]);
    if (api.baseReadSetting(c.camera(), BVL_SETTING_WORDS, words) == 0)
        std::printf("Setting 4: 0x%08lx 0x%08lx 0x%08lx\n", static_cast<unsigned long>(words[0]),
                    static_cast<unsigned long>(words[1]), static_cast<unsigned long>(words[2]));
    return kExitOk;
}

// set owner NAME | set clock [now|"YYYY-MM-DD HH:MM:SS"]
int runSet(CameraConnection& c, const CommandArgs& args) {
    const std::string& what = args.words[0];
    if (what == "owner") {
        if (args.words.size() != 2) return failUsage("set owner takes one name");
        const std::string& name = args.words[1];
        if (name.size() > kOwnerMaxLength) return failUsage("the owner name is longer than 31 characters");
        std::vector<char> text(name.begin(), name.end());
        text.push_back('\0');
        if (DWORD rc = c.api().baseWriteSetting(c.camera(), BVL_SETTING_OWNER_NAME, text.data()))
            return failWithCode("set owner", rc);
        std::printf("Owner set to \"%s\"\n", name.c_str());
        return kExitOk;
    }
    if (what == "clock") {
        DWORD time = cameraTimeNow();
        if (args.words.size() > 2) return failUsage("set clock takes now or one time");
        if (args.words.size() == 2 && args.words[1] != "now" && !parseCameraTime(args.words[1], &time))
            return failUsage("set clock: not a time of the form \"YYYY-MM-DD HH:MM:SS\": " + args.words[1]);
        if (DWORD rc = c.api().baseWriteSetting(c.camera(), BVL_SETTING_DATE_TIME, &time)) return failWithCode("set clock", rc);
        std::printf("Clock set to %s\n", formatCameraTime(time).c_str());
        return kExitOk;
    }
    return failUsage("set knows owner and clock, not " + what);
}

// The library's settings dialog for the connected camera; afterwards the
// owner and clock as the camera now has them.
int runSettingsUi(CameraConnection& c, const CommandArgs&) {
    if (DWORD rc = c.api().baseShowSettingsUI(c.camera(), GetConsoleWindow()))
        return failWithCode("settings-ui", rc);
    return printOwnerAndClock(c, "settings-ui");
}

// release [DEST]: fires the shutter and saves the picture taken.
int runRelease(CameraConnection& c, const CommandArgs& args) {
    BYTE reply[4] = {};
    if (DWORD rc = c.api().baseReleaseControlEx(c.camera(), sizeof kReleaseRequest, kReleaseRequest,
                                                sizeof reply, reply))
        return failWithCode("release", rc);
    DWORD size;
    std::memcpy(&size, reply, sizeof size);
    std::printf("Released: a picture of %lu bytes\n", static_cast<unsigned long>(size));
    const std::string dest = args.words.empty() ? "RELEASED.JPG" : args.words[0];
    const auto fetch = [&](bvlStream* stream) {
        return c.api().baseReleaseControlGetReleasedData(c.camera(), 0, 0, stream);
    };
    return downloadToFile({fetch, "release", "release", dest, size}, nullptr);
}

// viewfinder DEST: saves the current view-finder frame.
int runViewfinder(CameraConnection& c, const CommandArgs& args) {
    const auto fetch = [&](bvlStream* stream) { return c.api().baseReleaseControlGetViewFinderData(c.camera(), stream); };
    return downloadToFile({fetch, "viewfinder", "viewfinder", args.words[0], 0}, nullptr);
}
