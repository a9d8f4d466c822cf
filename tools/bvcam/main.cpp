// bvcam: talks to a digital still camera through bvcl2sti.dll.
//
//   bvcam info [--port com1|usb]   model and volumes of the camera; without
//                                  --port, on the port stored as the last one
//   bvcam models                   the camera models installed on this machine
//   bvcam port --last|--default [--kind serial|usb] [--model ID]
//                                  the port that the library hands out
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../common/port_text.h"
#include "camera_library.h"
#include "memory_stream.h"
#include "model_list.h"

namespace {

int usage() {
    std::fprintf(stderr,
                 "usage: bvcam info [--port <com1..com32|usb>]\n"
                 "       bvcam models\n"
                 "       bvcam port --last|--default [--kind serial|usb] [--model ID]\n");
    return 2;
}

int fail(const char* operation, DWORD code) {
    std::fprintf(stderr, "bvcam: %s failed with 0x%08lx\n", operation, static_cast<unsigned long>(code));
    return 1;
}

int showInfo(const bvlBaseAPI& api, const bvlCameraPort& port) {
    CameraSession session(api, port);
    if (session.openResult() != 0) return fail("baseOpenCameraComm", session.openResult());

    bvlModelDescrip model = {};
    if (DWORD rc = api.baseGetModelDescrip(session.camera(), &model))
        return fail("baseGetModelDescrip", rc);
    std::printf("Camera: %.64s (model ID 0x%08lx) on %s\n", model.modelName,
                static_cast<unsigned long>(model.modelID), port.portName);

    MemoryStream list;
    if (DWORD rc = api.baseGetVols(session.camera(), list.stream())) return fail("baseGetVols", rc);
    std::vector<VolumeInfo> volumes;
    if (!parseVolumeList(list.bytes(), volumes)) {
        std::fprintf(stderr, "bvcam: the volume list is truncated\n");
        return 1;
    }
    std::printf("Volumes: %u\n", static_cast<unsigned>(volumes.size()));
    for (const VolumeInfo& v : volumes)
        std::printf("  %-8s %10lu bytes, %10lu free\n", v.name, static_cast<unsigned long>(v.totalBytes),
                    static_cast<unsigned long>(v.freeBytes));
    return 0;
}

// "info" with "--port X", or the last port the library stored.
int runInfo(const bvlBaseAPI& api, int argc, char** argv) {
    bvlCameraPort port;
    if (argc == 4 && std::strcmp(argv[2], "--port") == 0) {
        if (!parsePortText(argv[3], &port)) return usage();
        return showInfo(api, port);
    }
    if (argc != 2) return usage();
    DWORD rc = api.baseGetDevicePort(BVL_PORT_REQUEST_LAST, nullptr, 0, &port, 0);
    if (rc == BVL_E_NO_LAST_PORT)
        std::printf("No port stored yet; trying %s\n", describePort(port).c_str());
    else if (rc != 0)
        return fail("baseGetDevicePort", rc);
    return showInfo(api, port);
}

int runPort(const bvlBaseAPI& api, int argc, char** argv) {
    DWORD request = 0, kind = 0;
    unsigned long model = 0;
    for (int i = 2; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--last") {
            request = BVL_PORT_REQUEST_LAST;
        } else if (arg == "--default") {
            request = BVL_PORT_REQUEST_DEFAULT;
        } else if (arg == "--kind" && i + 1 < argc) {
            const std::string value = argv[++i];
            if (value != "serial" && value != "usb") return usage();
            kind = value == "serial" ? 1 : 2;
        } else if (arg == "--model" && i + 1 < argc) {
            char* end = nullptr;
            model = std::strtoul(argv[++i], &end, 0);
            if (*end != '\0') return usage();
        } else {
            return usage();
        }
    }
    if (request == 0) return usage();
    bvlCameraPort port;
    DWORD rc = api.baseGetDevicePort(request, nullptr, model, &port, kind);
    std::printf("Port: %s (result 0x%08lx)\n", describePort(port).c_str(), static_cast<unsigned long>(rc));
    return rc == 0 || rc == BVL_E_NO_LAST_PORT ? 0 : 1;
}

int runModels() {
    std::vector<InstalledModel> models;
    if (!readInstalledModels(models)) {
        std::fprintf(stderr, "bvcam: no camera models are installed (run bvsetup install models.ini)\n");
        return 1;
    }
    for (const InstalledModel& m : models)
        std::printf("0x%08lx  %-20s %s%s\n", static_cast<unsigned long>(m.modelID), m.name.c_str(),
                    (m.installMethod & 1) ? "RS-232C " : "", (m.installMethod & 2) ? "USB" : "");
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return usage();
    const std::string command = argv[1];
    if (command == "models") return argc == 2 ? runModels() : usage();
    if (command != "info" && command != "port") return usage();

    CameraLibrary library;
    if (!library.api()) {
        std::fprintf(stderr, "bvcam: bvcl2sti.dll or its g_bvlBaseAPI table is missing\n");
        return 1;
    }
    return command == "info" ? runInfo(*library.api(), argc, argv) : runPort(*library.api(), argc, argv);
}
