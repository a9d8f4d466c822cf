#include "host_files.h"

bool isHostDirectory(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::string hostFolderOf(const std::string& path) {
    const size_t cut = path.find_last_of("\\/");
    if (cut == std::string::npos) return ".";
    return cut == 0 ? path.substr(0, 1) : path.substr(0, cut);
}

DWORD makeHostDirectories(const std::string& path) {
    for (size_t cut = path.find_first_of("\\/", 1);; cut = path.find_first_of("\\/", cut + 1)) {
        const std::string prefix = path.substr(0, cut);
        if (!prefix.empty() && prefix.back() != ':' && !CreateDirectoryA(prefix.c_str(), nullptr) &&
            GetLastError() != ERROR_ALREADY_EXISTS)
            return GetLastError();
        if (cut == std::string::npos) return 0;
    }
}
