// bvcam: talks to a digital still camera through bvcl2sti.dll.
//
//   bvcam info --port com1     model and volumes of the camera on COM1
#include <cstdio>
#include <cstring>
#include <vector>

#include "camera_library.h"
#include "memory_stream.h"

namespace {

int usage() {
    std::fprintf(stderr, "usage: bvcam info --port <com1..com32|usb>\n");
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

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4 || std::strcmp(argv[1], "info") != 0 || std::strcmp(argv[2], "--port") != 0)
        return usage();
    bvlCameraPort port;
    if (!parsePortName(argv[3], &port)) return usage();

    CameraLibrary library;
    if (!library.api()) {
        std::fprintf(stderr, "bvcam: bvcl2sti.dll or its g_bvlBaseAPI table is missing\n");
        return 1;
    }
    return showInfo(*library.api(), port);
}
