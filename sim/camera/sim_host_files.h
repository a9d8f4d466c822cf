// Thin wrappers over the host's file system for the virtual camera's card
// folders: one call, one check, one owner each. A false result leaves the
// Win32 error in GetLastError for cameraCodeOf.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bvsim {

struct HostEntry {
    std::wstring name;
    DWORD attributes;  // FILE_ATTRIBUTE_...
    DWORD size;        // 0 for a folder
    FILETIME written;
};

std::wstring widen(const std::string& text);
std::string narrow(const std::wstring& text);

// The camera keeps its clock in UTC, in seconds since
// 1970; on the host it is the file's last-write time.
FILETIME fileTimeOf(DWORD cameraTime);
DWORD cameraTimeOf(const FILETIME& time);

// The camera's code for a host failure.
DWORD cameraCodeOf(DWORD win32Error);

// INVALID_FILE_ATTRIBUTES when nothing is there.
DWORD hostAttributes(const std::wstring& path);
bool isHostFolder(const std::wstring& path);
// The entries of a folder without "." and "..", sorted by name without case.
bool listHostFolder(const std::wstring& folder, std::vector<HostEntry>& entries);
bool readHostFile(const std::wstring& path, std::vector<BYTE>& data);
// Creates or replaces the file with exactly these bytes.
bool writeHostFile(const std::wstring& path, const std::vector<BYTE>& data);
// Moves a finished file into place, replacing what was there.
bool moveHostFile(const std::wstring& from, const std::wstring& to);
bool setHostTime(const std::wstring& path, DWORD cameraTime);
bool setHostAttributes(const std::wstring& path, DWORD attributes);
// Deletes a file, read-only or not.
bool deleteHostFile(const std::wstring& path);
// Empties a folder, read-only entries included; the folder stays.
bool clearHostFolder(const std::wstring& folder);
// Empties a folder and removes it; true when it is gone.
bool removeHostTree(const std::wstring& folder);
// The bytes of every file under the folder.
ULONGLONG hostTreeBytes(const std::wstring& folder);

}  // namespace bvsim
