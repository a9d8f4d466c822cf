// Reading the camera's storage: its volumes, one directory's entries, one
// entry by path, and a walk over a whole tree. Each returns 0 or the
// library's code.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "bvcl2sti.h"
#include "camera_formats.h"

// The code for a list cut short: the library's DIR_IO_ERROR, since the
// tool cannot tell a damaged reply from a failed read.
constexpr DWORD kTruncatedList = BVL_E_DIR_IO_ERROR;

DWORD readVolumes(const bvlBaseAPI& api, DWORD camera, std::vector<VolumeInfo>& volumes);

DWORD readDirectory(const bvlBaseAPI& api, DWORD camera, const std::string& path,
                    std::vector<DirectoryEntry>& entries);

// Looks the path's last component up in its parent's listing (names
// compare without case). A volume has no parent: it is given as a
// directory. BVL_E_FILE_NOT_FOUND when the parent lists no such name.
DWORD findEntry(const bvlBaseAPI& api, DWORD camera, const std::string& path, DirectoryEntry* entry);

// Calls visit(full path, entry) for each entry of the directory at path
// and, when recursive, for everything beneath it, a directory before its
// contents. Stops at the first nonzero code, from a read or from visit.
using EntryVisitor = std::function<DWORD(const std::string& path, const DirectoryEntry& entry)>;
DWORD walkTree(const bvlBaseAPI& api, DWORD camera, const std::string& path, bool recursive,
               const EntryVisitor& visit);

struct CameraPicture {
    std::string path;  // volume-first, e.g. "CF\DCIM\100BRVNT\BRV_0001.JPG"
    DWORD size;
};

// Every picture of every volume, in the order of walkTree.
DWORD findPictures(const bvlBaseAPI& api, DWORD camera, std::vector<CameraPicture>& pictures);
