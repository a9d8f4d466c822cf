// The virtual camera's card folders on the host: wrappers that touch the
// file system and make no decisions of the camera's.
#include "sim_host_files.h"

#include <algorithm>

#include "../../Common/owned.h"
#include "sim_camera.h"

namespace bvsim {
namespace {

struct FindHandle {  // FindFirstFileW results
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { FindClose(h); }
};
using OwnedFind = bv::Owned<FindHandle>;

struct FileHandle {  // CreateFileW results
    using Value = HANDLE;
    static HANDLE empty() { return INVALID_HANDLE_VALUE; }
    static void close(HANDLE h) { CloseHandle(h); }
};
using OwnedFile = bv::Owned<FileHandle>;

// 100-ns intervals between 1601-01-01 and 1970-01-01.
constexpr ULONGLONG kUnixEpoch = 116444736000000000ull;
constexpr ULONGLONG kTicksPerSecond = 10000000ull;

bool isDots(const wchar_t* name) {
    return lstrcmpW(name, L".") == 0 || lstrcmpW(name, L"..") == 0;
}

std::wstring child(const std::wstring& folder, const std::wstring& name) { return folder + L"\\" + name; }

}  // namespace

std::wstring widen(const std::string& text) {
    std::wstring out(text.size(), L'\0');
    const int n = MultiByteToWideChar(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                      static_cast<int>(out.size()));
    out.resize(n > 0 ? n : 0);
    return out;
}

std::string narrow(const std::wstring& text) {
    std::string out(text.size() * 2, '\0');
    const int n = WideCharToMultiByte(CP_ACP, 0, text.data(), static_cast<int>(text.size()), &out[0],
                                      static_cast<int>(out.size()), nullptr, nullptr);
    out.resize(n > 0 ? n : 0);
    return out;
}

FILETIME fileTimeOf(DWORD cameraTime) {
    const ULONGLONG ticks = kUnixEpoch + cameraTime * kTicksPerSecond;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

DWORD cameraTimeOf(const FILETIME& time) {
    const ULONGLONG ticks = (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return ticks < kUnixEpoch ? 0 : static_cast<DWORD>((ticks - kUnixEpoch) / kTicksPerSecond);
}

DWORD cameraCodeOf(DWORD win32Error) {
    switch (win32Error) {
    case ERROR_FILE_NOT_FOUND: return kCamFileNotFound;
    case ERROR_PATH_NOT_FOUND: return kCamDirNotFound;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return kCamEntryExists;
    case ERROR_DIR_NOT_EMPTY: return kCamDirNotEmpty;
    case ERROR_ACCESS_DENIED: return kCamEntryReadOnly;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return kCamMemoryFull;
    default: return kCamInternalError;
    }
}

DWORD hostAttributes(const std::wstring& path) { return GetFileAttributesW(path.c_str()); }

bool isHostFolder(const std::wstring& path) {
    const DWORD attributes = hostAttributes(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool listHostFolder(const std::wstring& folder, std::vector<HostEntry>& entries) {
    entries.clear();
    WIN32_FIND_DATAW found;
    OwnedFind search(FindFirstFileW(child(folder, L"*").c_str(), &found));
    if (!search) return false;
    do {
        if (isDots(found.cFileName)) continue;
        const bool folderEntry = found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY;
        entries.push_back({found.cFileName, found.dwFileAttributes, folderEntry ? 0 : found.nFileSizeLow,
                           found.ftLastWriteTime});
    } while (FindNextFileW(search.get(), &found));
    std::sort(entries.begin(), entries.end(), [](const HostEntry& a, const HostEntry& b) {
        return lstrcmpiW(a.name.c_str(), b.name.c_str()) < 0;
    });
    return true;
}

bool readHostFile(const std::wstring& path, std::vector<BYTE>& data) {
    OwnedFile file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    LARGE_INTEGER size;
    if (!GetFileSizeEx(file.get(), &size)) return false;
    data.resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    if (!data.empty() && !ReadFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &read, nullptr))
        return false;
    data.resize(read);
    return true;
}

bool writeHostFile(const std::wstring& path, const std::vector<BYTE>& data) {
    OwnedFile file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    DWORD written = 0;
    if (data.empty()) return true;
    return WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &written, nullptr) &&
           written == data.size();
}

bool moveHostFile(const std::wstring& from, const std::wstring& to) {
    return MoveFileExW(from.c_str(), to.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_COPY_ALLOWED);
}

// Folders open only with backup semantics; writing attributes is all the
// time needs, so a read-only file takes a new time too.
bool setHostTime(const std::wstring& path, DWORD cameraTime) {
    OwnedFile file(CreateFileW(path.c_str(), FILE_WRITE_ATTRIBUTES, FILE_SHARE_READ | FILE_SHARE_WRITE,
                               nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
    if (!file) return false;
    const FILETIME time = fileTimeOf(cameraTime);
    return SetFileTime(file.get(), nullptr, nullptr, &time);
}

bool setHostAttributes(const std::wstring& path, DWORD attributes) {
    return SetFileAttributesW(path.c_str(), attributes ? attributes : FILE_ATTRIBUTE_NORMAL);
}

bool deleteHostFile(const std::wstring& path) {
    SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
    return DeleteFileW(path.c_str());
}

bool clearHostFolder(const std::wstring& folder) {
    std::vector<HostEntry> entries;
    if (!listHostFolder(folder, entries)) return false;
    for (const HostEntry& e : entries) {
        const std::wstring path = child(folder, e.name);
        const bool gone = (e.attributes & FILE_ATTRIBUTE_DIRECTORY) ? removeHostTree(path) : deleteHostFile(path);
        if (!gone) return false;
    }
    return true;
}

bool removeHostTree(const std::wstring& folder) {
    if (hostAttributes(folder) == INVALID_FILE_ATTRIBUTES) return true;
    if (!clearHostFolder(folder)) return false;
    SetFileAttributesW(folder.c_str(), FILE_ATTRIBUTE_NORMAL);
    return RemoveDirectoryW(folder.c_str());
}

ULONGLONG hostTreeBytes(const std::wstring& folder) {
    std::vector<HostEntry> entries;
    if (!listHostFolder(folder, entries)) return 0;
    ULONGLONG bytes = 0;
    for (const HostEntry& e : entries)
        bytes += (e.attributes & FILE_ATTRIBUTE_DIRECTORY) ? hostTreeBytes(child(folder, e.name)) : e.size;
    return bytes;
}

}  // namespace bvsim
