// bvcam: talks to a digital still camera through bvcl2sti.dll.
//
// Every camera command takes --port com1..com32|usb; without it the tool
// uses the port the library stored as the last one. The commands that ask
// no camera (models, port) accept the global options too, which change
// nothing for them. Several commands can share one connection, joined by
// --then:
//   bvcam --port com1 put a.jpg CF\DCIM --then ls CF\DCIM
// Exit codes: 0 done, 1 the camera or this computer failed, 2 wrong usage.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "port_text.h"
#include "bv_version.h"
#include "commands.h"
#include "console_interrupt.h"
#include "error_text.h"
#include "port_choice.h"
#include "still_image_probe.h"

namespace {

const char kUsage[] =
    "usage: bvcam [--port com1..com32|usb] [--yes] COMMAND [ARGS] [--then COMMAND [ARGS]]...\n"
    "       bvcam --version\n"
    "  info                          model and volumes\n"
    "  vols                          volumes with capacity and free space\n"
    "  ls [PATH] [-r]                entries of a folder (all volumes without PATH)\n"
    "  get PATH [DEST]               fetch one file\n"
    "  get-all DESTDIR               fetch every picture into DESTDIR\\<volume>\\<folders>\n"
    "  put FILE PATH                 store a file (PATH may be a folder)\n"
    "  rm PATH...                    delete files\n"
    "  mkdir PATH | rmdir PATH       create or remove a folder\n"
    "  chmod +r|-r|HEX PATH...       set or clear read-only, or set the attribute byte\n"
    "  touch PATH... [--time \"YYYY-MM-DD HH:MM:SS\"]  set the time (default now)\n"
    "  format VOL | wipe VOL         erase a volume, or only its pictures (asks first)\n"
    "  jpeg-header PATH [DEST]       list a picture's header markers, or save the header\n"
    "  settings                      the camera's settings, decoded\n"
    "  settings-ui                   edit the owner and clock in the settings dialog\n"
    "  set owner NAME | set clock [now|\"YYYY-MM-DD HH:MM:SS\"]  change the owner or the clock\n"
    "  release [DEST]                fire the shutter and save the picture (RELEASED.JPG)\n"
    "  viewfinder DEST               save the current view-finder frame\n"
    "  msg CODE [HEX] [DEST]         send a raw message; print the reply, or save its data\n"
    "  watch                         print camera events until disconnect or Ctrl-C\n"
    "  models                        the camera models installed on this machine\n"
    "  port --last|--default|--choose [--kind serial|usb] [--model ID]\n"
    "                                the port that the library hands out; --choose\n"
    "                                lets you pick it in the library's dialog\n"
    "  (models and port use no camera: --port and --yes change nothing for them)\n";

enum class Opens { Camera, Itself };  // watch opens the camera with a callback

struct Command {
    const char* name;
    size_t minWords;
    size_t maxWords;
    Opens opens;
    int (*run)(CameraConnection&, const CommandArgs&);
};

constexpr size_t kMany = ~size_t(0);

const Command kCommands[] = {
    {"info", 0, 0, Opens::Camera, runInfo},
    {"vols", 0, 0, Opens::Camera, runVols},
    {"ls", 0, 2, Opens::Camera, runLs},
    {"get", 1, 2, Opens::Camera, runGet},
    {"get-all", 1, 1, Opens::Camera, runGetAll},
    {"put", 2, 2, Opens::Camera, runPut},
    {"rm", 1, kMany, Opens::Camera, runRm},
    {"mkdir", 1, 1, Opens::Camera, runMkdir},
    {"rmdir", 1, 1, Opens::Camera, runRmdir},
    {"chmod", 2, kMany, Opens::Camera, runChmod},
    {"touch", 1, kMany, Opens::Camera, runTouch},
    {"format", 1, 1, Opens::Camera, runFormat},
    {"wipe", 1, 1, Opens::Camera, runWipe},
    {"jpeg-header", 1, 2, Opens::Camera, runJpegHeader},
    {"settings", 0, 0, Opens::Camera, runSettings},
    {"settings-ui", 0, 0, Opens::Camera, runSettingsUi},
    {"set", 1, 2, Opens::Camera, runSet},
    {"release", 0, 1, Opens::Camera, runRelease},
    {"viewfinder", 1, 1, Opens::Camera, runViewfinder},
    {"msg", 1, 3, Opens::Camera, runMsg},
    {"watch", 0, 0, Opens::Itself, runWatch},
};

struct Step {
    const Command* command;
    CommandArgs args;
};

struct Invocation {
    std::string portText;        // empty: the stored last port
    bool yes = false;
    std::vector<std::vector<std::string>> groups;  // command words, split at --then
};

const Command* findCommand(const std::string& name) {
    for (const Command& c : kCommands)
        if (name == c.name) return &c;
    return nullptr;
}

// Takes --port and --yes out wherever they stand and splits the rest at
// --then; false when --port lacks its value.
bool splitArguments(int argc, char** argv, Invocation* inv) {
    inv->groups.emplace_back();
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port") {
            if (++i == argc) return false;
            inv->portText = argv[i];
        } else if (arg == "--yes") {
            inv->yes = true;
        } else if (arg == "--then") {
            inv->groups.emplace_back();
        } else {
            inv->groups.back().push_back(arg);
        }
    }
    return true;
}

// The steps to run, every one checked before any runs; kExitUsage after
// printing why, or kExitOk.
int planSteps(const Invocation& inv, std::vector<Step>& steps) {
    for (const std::vector<std::string>& group : inv.groups) {
        if (group.empty()) return failUsage("a command is missing");
        const Command* command = findCommand(group[0]);
        if (!command) return failUsage("unknown command " + group[0]);
        const size_t words = group.size() - 1;
        if (words < command->minWords || words > command->maxWords)
            return failUsage(std::string("wrong number of arguments for ") + command->name);
        if (command->opens == Opens::Itself && inv.groups.size() > 1)
            return failUsage(std::string(command->name) + " runs on its own");
        steps.push_back({command, {std::vector<std::string>(group.begin() + 1, group.end()), inv.yes}});
    }
    return kExitOk;
}

// The port that --port names, or the stored last one; a bare "usb" gets
// the model of the connected camera. When the Still Image service cannot
// list its devices, the tool asks it itself to say which call failed.
int choosePort(const bvlBaseAPI& api, const std::string& text, bvlCameraPort* port) {
    if (text.empty()) {
        if (DWORD rc = lastPort(api, port)) return failWithCode("choose the last port", rc);
    } else if (!parsePortText(text, port)) {
        return failUsage("unknown port " + text);
    }
    std::string problem;
    if (DWORD rc = completeUsbPort(api, port, &problem)) {
        if (rc == BVL_E_USB_MODEL_ENUM_FAILED) return failMessage(describeStillImageProbe(probeStillImage()));
        return failWithCode("list the USB cameras", rc);
    }
    if (!problem.empty()) return failMessage(problem);
    return kExitOk;
}

// Opens the camera unless the first step does so itself, runs the steps
// until one fails or the user interrupts, and closes the camera.
int runSteps(const CameraLibrary& library, const bvlCameraPort& port, const std::vector<Step>& steps) {
    ConsoleInterrupt interrupt;
    CameraConnection connection(*library.api(), port, library.messageApi());
    if (steps[0].command->opens == Opens::Camera)
        if (DWORD rc = connection.open()) return failWithCode(std::string("open ") + port.portName, rc);
    int exit = kExitOk;
    for (const Step& step : steps) {
        if (ConsoleInterrupt::raised()) exit = failWithCode(step.command->name, kInterruptedCode);
        if (exit != kExitOk || (exit = step.command->run(connection, step.args)) != kExitOk) break;
    }
    const DWORD rc = connection.close();
    return exit == kExitOk && rc != 0 ? failWithCode("close", rc) : exit;
}

int runWithLibrary(const Invocation& inv) {
    CameraLibrary library;
    if (!library.api()) {
        std::fprintf(stderr, "bvcam: bvcl2sti.dll or its g_bvlBaseAPI table is missing\n");
        return kExitFailed;
    }
    const std::vector<std::string>& first = inv.groups[0];
    if (!first.empty() && first[0] == "port")
        return runPort(*library.api(), {std::vector<std::string>(first.begin() + 1, first.end())});
    std::vector<Step> steps;
    if (int exit = planSteps(inv, steps)) return exit;
    bvlCameraPort port;
    if (int exit = choosePort(*library.api(), inv.portText, &port)) return exit;
    return runSteps(library, port, steps);
}

}  // namespace

int failWithCode(const std::string& what, DWORD code) {
    std::fflush(stdout);
    std::fprintf(stderr, "bvcam: %s: %s\n", what.c_str(), describeError(code).c_str());
    return kExitFailed;
}

int failOnHost(const std::string& what, DWORD win32Error) {
    std::fflush(stdout);
    std::fprintf(stderr, "bvcam: %s\n", describeHostError(what, win32Error).c_str());
    return kExitFailed;
}

int failMessage(const std::string& message) {
    std::fflush(stdout);
    std::fprintf(stderr, "bvcam: %s\n", message.c_str());
    return kExitFailed;
}

int failUsage(const std::string& message) {
    std::fprintf(stderr, "bvcam: %s (bvcam alone lists the commands)\n", message.c_str());
    return kExitUsage;
}

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "%s", kUsage);
        return kExitUsage;
    }
    const std::vector<std::string> first(argv + 1, argv + argc);
    if (first[0] == "--version") {
        if (argc != 2) return failUsage("--version takes no arguments");
        std::printf("bvcam %s\n", BV_VERSION_TEXT);
        return kExitOk;
    }
    Invocation inv;
    if (!splitArguments(argc, argv, &inv)) return failUsage("--port needs a value");
    // The commands that ask no camera run on their own, whatever global
    // options stand beside them.
    const std::vector<std::string>& words = inv.groups[0];
    if (!words.empty() && (words[0] == "models" || words[0] == "port") && inv.groups.size() > 1)
        return failUsage(words[0] + " runs on its own");
    if (!words.empty() && words[0] == "models")
        return words.size() == 1 ? runModels({}) : failUsage("models takes no arguments");
    return runWithLibrary(inv);
}
