#include "camera_tree.h"

#include "memory_stream.h"

DWORD readVolumes(const bvlBaseAPI& api, DWORD camera, std::vector<VolumeInfo>& volumes) {
    MemoryStream list;
    if (DWORD rc = api.baseGetVols(camera, list.stream())) return rc;
    return parseVolumeList(list.bytes(), volumes) ? 0 : kTruncatedList;
}

DWORD readDirectory(const bvlBaseAPI& api, DWORD camera, const std::string& path,
                    std::vector<DirectoryEntry>& entries) {
    const std::vector<BYTE> subtree = encodeSubtree(path);
    MemoryStream listing;
    if (DWORD rc = api.baseGetDirs(camera, subtree.data(), listing.stream())) return rc;
    return parseListing(listing.bytes(), entries) ? 0 : kTruncatedList;
}

DWORD findEntry(const bvlBaseAPI& api, DWORD camera, const std::string& path, DirectoryEntry* entry) {
    const std::string parent = parentPath(path);
    if (parent.empty()) {
        *entry = {path, kAttribDirectory, 0, 0};
        return 0;
    }
    std::vector<DirectoryEntry> entries;
    if (DWORD rc = readDirectory(api, camera, parent, entries)) return rc;
    for (const DirectoryEntry& e : entries) {
        if (_stricmp(e.name.c_str(), leafName(path).c_str()) != 0) continue;
        *entry = e;
        return 0;
    }
    return BVL_E_FILE_NOT_FOUND;
}

DWORD walkTree(const bvlBaseAPI& api, DWORD camera, const std::string& path, bool recursive,
               const EntryVisitor& visit) {
    std::vector<DirectoryEntry> entries;
    if (DWORD rc = readDirectory(api, camera, path, entries)) return rc;
    for (const DirectoryEntry& e : entries) {
        const std::string full = joinPath(path, e.name);
        if (DWORD rc = visit(full, e)) return rc;
        if (recursive && e.isDirectory())
            if (DWORD rc = walkTree(api, camera, full, recursive, visit)) return rc;
    }
    return 0;
}

DWORD findPictures(const bvlBaseAPI& api, DWORD camera, std::vector<CameraPicture>& pictures) {
    std::vector<VolumeInfo> volumes;
    if (DWORD rc = readVolumes(api, camera, volumes)) return rc;
    auto collect = [&pictures](const std::string& path, const DirectoryEntry& e) -> DWORD {
        if (!e.isDirectory() && isPictureName(e.name)) pictures.push_back({path, e.size});
        return 0;
    };
    for (const VolumeInfo& v : volumes)
        if (DWORD rc = walkTree(api, camera, v.name, true, collect)) return rc;
    return 0;
}
