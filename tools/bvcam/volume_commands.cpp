// format and wipe: commands that erase a whole volume. Each asks first,
// unless --yes was given; without a console to ask on, --yes is required.
#include <cstdio>

#include "commands.h"
#include "console.h"

namespace {

// kExitOk when the user agreed (or --yes said so), else the exit code.
int confirm(const CommandArgs& args, const std::string& question) {
    if (args.yes) return kExitOk;
    if (!inputIsTerminal()) return failUsage("refusing to erase without --yes when input is not a console");
    if (askYesNo(question)) return kExitOk;
    std::printf("Nothing was changed.\n");
    return kExitFailed;
}

}  // namespace

int runFormat(CameraConnection& c, const CommandArgs& args) {
    const std::string& volume = args.words[0];
    if (int exit = confirm(args, "Format " + volume + ", erasing every file and folder on it?")) return exit;
    DWORD rc = c.api().baseFormatVol(c.camera(), volume.c_str(), 0, 0);
    return rc == 0 ? kExitOk : failWithCode("format " + volume, rc);
}

int runWipe(CameraConnection& c, const CommandArgs& args) {
    const std::string& volume = args.words[0];
    if (int exit = confirm(args, "Delete every picture on " + volume + "?")) return exit;
    DWORD rc = c.api().baseDeleteVolPictures(c.camera(), volume.c_str(), 0, 0);
    return rc == 0 ? kExitOk : failWithCode("wipe " + volume, rc);
}
