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

using VolumeOperation = DWORD(WINAPI*)(DWORD camera, const char* volume, DWORD word1, DWORD word2);

// Runs baseFormatVol or baseDeleteVolPictures on the volume named by the
// command's argument, once the user agreed.
int eraseVolume(CameraConnection& c, const CommandArgs& args, const char* command, const std::string& question,
                VolumeOperation operation) {
    const std::string& volume = args.words[0];
    if (int exit = confirm(args, question)) return exit;
    DWORD rc = operation(c.camera(), volume.c_str(), 0, 0);
    return rc == 0 ? kExitOk : failWithCode(command + (" " + volume), rc);
}

}  // namespace

int runFormat(CameraConnection& c, const CommandArgs& args) {
    return eraseVolume(c, args, "format", "Format " + args.words[0] + ", erasing every file and folder on it?",
                       c.api().baseFormatVol);
}

int runWipe(CameraConnection& c, const CommandArgs& args) {
    return eraseVolume(c, args, "wipe", "Delete every picture on " + args.words[0] + "?",
                       c.api().baseDeleteVolPictures);
}
