// Files and folders on this computer: owners for file handles and for
// temporary files, and the folder helpers the download commands use.
#pragma once

#include <windows.h>

#include <string>

#include "Common/owned.h"

struct FileHandle {  // CreateFile results: INVALID_HANDLE_VALUE means none
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
using OwnedFile = bv::Owned<FileHandle>;

struct TemporaryPath {  // a file that goes away unless release() keeps it
    using Value = std::string;
    static std::string empty() { return std::string(); }
    static void close(const std::string& path) { DeleteFileA(path.c_str()); }
};
using OwnedTemporaryFile = bv::Owned<TemporaryPath>;

bool isHostDirectory(const std::string& path);

// The folder part of a host path ("." for a bare name).
std::string hostFolderOf(const std::string& path);

// Creates path and every missing folder above it; returns 0 or the Win32
// error of the first folder that could not be made.
DWORD makeHostDirectories(const std::string& path);
