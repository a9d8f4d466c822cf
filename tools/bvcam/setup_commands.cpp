// models and port: what this machine has installed and which port the
// library hands out; neither talks to a camera.
#include <cstdio>
#include <cstdlib>

#include "port_text.h"
#include "commands.h"
#include "model_list.h"

namespace {

constexpr DWORD kDialogCancelled = 5;  // baseGetDevicePort's result for a cancelled dialog

}  // namespace

int runModels(const CommandArgs&) {
    std::vector<InstalledModel> models;
    if (!readInstalledModels(models)) {
        std::fprintf(stderr, "bvcam: no camera models are installed (run bvsetup install models.ini)\n");
        return kExitFailed;
    }
    for (const InstalledModel& m : models)
        std::printf("0x%08lx  %-20s %s%s\n", static_cast<unsigned long>(m.modelID), m.name.c_str(),
                    (m.installMethod & 1) ? "RS-232C " : "", (m.installMethod & 2) ? "USB" : "");
    return kExitOk;
}

// port --last|--default|--choose [--kind serial|usb] [--model ID]. With
// --choose the library shows its communication settings dialog and, on OK,
// stores the chosen port as the last one itself.
int runPort(const bvlBaseAPI& api, const CommandArgs& args) {
    DWORD request = 0, kind = 0;
    unsigned long model = 0;
    const std::vector<std::string>& w = args.words;
    for (size_t i = 0; i < w.size(); ++i) {
        if (w[i] == "--last") {
            request = BVL_PORT_REQUEST_LAST;
        } else if (w[i] == "--default") {
            request = BVL_PORT_REQUEST_DEFAULT;
        } else if (w[i] == "--choose") {
            request = BVL_PORT_REQUEST_DIALOG;
        } else if (w[i] == "--kind" && i + 1 < w.size() && (w[i + 1] == "serial" || w[i + 1] == "usb")) {
            kind = w[++i] == "serial" ? 1 : 2;
        } else if (w[i] == "--model" && i + 1 < w.size()) {
            char* end = nullptr;
            model = std::strtoul(w[++i].c_str(), &end, 0);
            if (*end != '\0') return failUsage("port --model takes a number");
        } else {
            return failUsage("port does not take " + w[i]);
        }
    }
    if (request == 0) return failUsage("port takes --last, --default or --choose");
    bvlCameraPort port;
    DWORD rc = api.baseGetDevicePort(request, nullptr, model, &port, kind);
    if (request == BVL_PORT_REQUEST_DIALOG && rc == kDialogCancelled) {
        std::printf("No port chosen (cancelled)\n");
        return kExitFailed;
    }
    std::printf("Port: %s (result 0x%08lx)\n", describePort(port).c_str(), static_cast<unsigned long>(rc));
    return rc == 0 || rc == BVL_E_NO_LAST_PORT ? kExitOk : kExitFailed;
}
