#include "planted_folder.h"

#include "product_library.h"

namespace bvtest {

PlantedFolder::PlantedFolder() {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    folder_ = std::wstring(temp) + L"bvtest-planted\\";
    CreateDirectoryW(folder_.c_str(), nullptr);
    GetCurrentDirectoryW(MAX_PATH, previousFolder_);
    SetCurrentDirectoryW(folder_.c_str());
    GetEnvironmentVariableW(L"PATH", previousPath_, 4096);
    SetEnvironmentVariableW(L"PATH", (folder_ + L";" + previousPath_).c_str());
}

PlantedFolder::~PlantedFolder() {
    SetEnvironmentVariableW(L"PATH", previousPath_);
    SetCurrentDirectoryW(previousFolder_);
    for (const std::wstring& file : files_) DeleteFileW(file.c_str());
    RemoveDirectoryW(folder_.c_str());
}

bool PlantedFolder::plant(const std::wstring& name, const std::wstring& source) {
    files_.insert(files_.end(), {folder_ + name, folder_ + name + L".ran"});
    DeleteFileW((folder_ + name + L".ran").c_str());
    const std::wstring from = source.empty() ? executableFolder() + L"planted_program.exe" : source;
    return CopyFileW(from.c_str(), (folder_ + name).c_str(), FALSE);
}

bool PlantedFolder::ran(const std::wstring& name) const {
    return GetFileAttributesW((folder_ + name + L".ran").c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace bvtest
