// The byte layouts that the library's storage operations read and write:
// the volume list, directory listings, the subtree record that names a
// directory, and lists of names. Pure functions over plain data; every
// walk is bounded by the bytes actually received.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

struct VolumeInfo {
    DWORD totalBytes;
    DWORD freeBytes;
    std::string name;
};

// Walks the volume list as baseGetVols writes it: a 32-bit count, then per
// volume a pass-through word, the capacity, the free space and the
// NUL-terminated name. False when the bytes run out early.
bool parseVolumeList(const std::vector<BYTE>& bytes, std::vector<VolumeInfo>& volumes);

constexpr BYTE kAttribReadOnly = 0x01;
constexpr BYTE kAttribDirectory = 0x10;

struct DirectoryEntry {
    std::string name;
    BYTE attributes;
    DWORD size;
    DWORD time;  // seconds since 1970 on the camera's own clock
    bool isDirectory() const { return (attributes & kAttribDirectory) != 0; }
};

// Walks a listing as baseGetDirs writes it: entries packed one after the
// other, each with the attribute byte, the size (offset 1), a spare byte,
// the time (offset 6) and the NUL-terminated name (offset 10). False when
// an entry is cut short.
bool parseListing(const std::vector<BYTE>& bytes, std::vector<DirectoryEntry>& entries);

// The subtree record naming a directory: one entry per path component
// (flags 0, the name, its terminator) and a closing entry with an empty
// name. "CF\DCIM" gives 0 C F 0 0 D C I M 0 0 0; empty components, as in
// "CF\\DCIM\", are skipped.
std::vector<BYTE> encodeSubtree(const std::string& path);

// Names as the multi-file operations take them: each NUL-terminated, the
// whole list closed by one more NUL.
std::vector<char> buildNameList(const std::vector<std::string>& names);

// A list of NUL-terminated texts ended by an empty one, as baseGetUSBModels
// writes it. A last text without its terminator is left out.
std::vector<std::string> parseTextList(const std::vector<BYTE>& bytes);

// Camera paths are volume-first and backslash-separated; a path without a
// backslash is a volume, whose parent is empty.
std::string parentPath(const std::string& path);
std::string leafName(const std::string& path);
std::string joinPath(const std::string& directory, const std::string& name);

// True for a picture file name: it ends in ".JPG", letters in any case.
bool isPictureName(const std::string& name);
