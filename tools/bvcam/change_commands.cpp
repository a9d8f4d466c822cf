// rm, mkdir, rmdir, chmod and touch: changes to entries on the camera.
// They print nothing when they succeed.
#include "attribute_change.h"
#include "camera_time.h"
#include "camera_tree.h"
#include "commands.h"

namespace {

std::string joinWords(const std::vector<std::string>& words) {
    std::string text;
    for (const std::string& w : words) text += (text.empty() ? "" : " ") + w;
    return text;
}

DWORD changeAttributes(CameraConnection& c, const std::string& path, const AttributeChange& change) {
    DirectoryEntry entry = {path, 0, 0, 0};
    if (change.needsCurrent())
        if (DWORD rc = findEntry(c.api(), c.camera(), path, &entry)) return rc;
    const std::vector<char> list = buildNameList({path});
    return c.api().baseSetFileAttribs(c.camera(), list.data(), applyAttributeChange(change, entry.attributes));
}

}  // namespace

int runRm(CameraConnection& c, const CommandArgs& args) {
    const std::vector<char> list = buildNameList(args.words);
    DWORD rc = c.api().baseDeleteFiles(c.camera(), list.data());
    return rc == 0 ? kExitOk : failWithCode("rm " + joinWords(args.words), rc);
}

int runMkdir(CameraConnection& c, const CommandArgs& args) {
    DWORD rc = c.api().baseCreateDir(c.camera(), args.words[0].c_str());
    return rc == 0 ? kExitOk : failWithCode("mkdir " + args.words[0], rc);
}

int runRmdir(CameraConnection& c, const CommandArgs& args) {
    DWORD rc = c.api().baseRemoveDir(c.camera(), args.words[0].c_str());
    return rc == 0 ? kExitOk : failWithCode("rmdir " + args.words[0], rc);
}

// chmod +r|-r|HEX PATH...: each path on its own, since +r and -r start
// from that entry's own attributes.
int runChmod(CameraConnection& c, const CommandArgs& args) {
    AttributeChange change;
    if (!parseAttributeChange(args.words[0], &change)) return failUsage("chmod takes +r, -r or a hex byte");
    for (size_t i = 1; i < args.words.size(); ++i)
        if (DWORD rc = changeAttributes(c, args.words[i], change))
            return failWithCode("chmod " + args.words[i], rc);
    return kExitOk;
}

// touch PATH... [--time "YYYY-MM-DD HH:MM:SS"]: now, unless a time is given.
int runTouch(CameraConnection& c, const CommandArgs& args) {
    std::vector<std::string> paths;
    DWORD time = cameraTimeNow();
    for (size_t i = 0; i < args.words.size(); ++i) {
        if (args.words[i] != "--time") {
            paths.push_back(args.words[i]);
            continue;
        }
        if (++i == args.words.size() || !parseCameraTime(args.words[i], &time))
            return failUsage("touch --time takes \"YYYY-MM-DD HH:MM:SS\"");
    }
    if (paths.empty()) return failUsage("touch takes at least one path");
    const std::vector<char> list = buildNameList(paths);
    DWORD rc = c.api().baseSetFileTimes(c.camera(), list.data(), time);
    return rc == 0 ? kExitOk : failWithCode("touch " + joinWords(paths), rc);
}
