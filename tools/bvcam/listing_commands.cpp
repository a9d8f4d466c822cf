// info, vols and ls: what the camera holds, read-only.
#include <cstdio>

#include "camera_time.h"
#include "camera_tree.h"
#include "commands.h"
#include "port_text.h"

namespace {

void printVolume(const VolumeInfo& v) {
    std::printf("  %-8s %10lu bytes, %10lu free\n", v.name.c_str(), static_cast<unsigned long>(v.totalBytes),
                static_cast<unsigned long>(v.freeBytes));
}

// "dr 11  2005-01-01 00:01:00      12000  CF\DCIM\BRV_0001.JPG": directory
// and read-only flags, the attribute byte in hex, the time, the size.
DWORD printEntry(const std::string& path, const DirectoryEntry& e) {
    std::printf("%c%c %02x  %s  %10lu  %s\n", e.isDirectory() ? 'd' : '-', (e.attributes & kAttribReadOnly) ? 'r' : '-',
                e.attributes, formatCameraTime(e.time).c_str(), static_cast<unsigned long>(e.size), path.c_str());
    return 0;
}

int listPath(CameraConnection& c, const std::string& path, bool recursive) {
    DirectoryEntry entry;
    if (DWORD rc = findEntry(c.api(), c.camera(), path, &entry)) return failWithCode("ls " + path, rc);
    if (!entry.isDirectory()) {
        printEntry(path, entry);
        return kExitOk;
    }
    DWORD rc = walkTree(c.api(), c.camera(), path, recursive, printEntry);
    return rc == 0 ? kExitOk : failWithCode("ls " + path, rc);
}

}  // namespace

int runInfo(CameraConnection& c, const CommandArgs&) {
    bvlModelDescrip model = {};
    if (DWORD rc = c.api().baseGetModelDescrip(c.camera(), &model)) return failWithCode("info", rc);
    std::printf("Camera: %.64s (model ID 0x%08lx) on %s\n", model.modelName, static_cast<unsigned long>(model.modelID),
                c.port().portName);
    std::vector<VolumeInfo> volumes;
    if (DWORD rc = readVolumes(c.api(), c.camera(), volumes)) return failWithCode("info", rc);
    std::printf("Volumes: %u\n", static_cast<unsigned>(volumes.size()));
    for (const VolumeInfo& v : volumes) printVolume(v);
    return kExitOk;
}

int runVols(CameraConnection& c, const CommandArgs&) {
    std::vector<VolumeInfo> volumes;
    if (DWORD rc = readVolumes(c.api(), c.camera(), volumes)) return failWithCode("vols", rc);
    for (const VolumeInfo& v : volumes) printVolume(v);
    return kExitOk;
}

// ls [PATH] [-r]: without PATH, every volume.
int runLs(CameraConnection& c, const CommandArgs& args) {
    bool recursive = false;
    std::vector<std::string> paths;
    for (const std::string& word : args.words) {
        if (word == "-r")
            recursive = true;
        else
            paths.push_back(word);
    }
    if (paths.size() > 1) return failUsage("ls takes one path");
    if (!paths.empty()) return listPath(c, paths[0], recursive);
    std::vector<VolumeInfo> volumes;
    if (DWORD rc = readVolumes(c.api(), c.camera(), volumes)) return failWithCode("ls", rc);
    for (const VolumeInfo& v : volumes)
        if (int exit = listPath(c, v.name, recursive)) return exit;
    return kExitOk;
}
