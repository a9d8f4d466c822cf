#include "library_search.h"

namespace bv {
namespace {

// A folder as one of the functions below reports it, "" when it fails.
template <class Query>
std::wstring folderFrom(Query query) {
    wchar_t path[MAX_PATH] = {};
    const DWORD length = query(path, MAX_PATH);
    return length > 0 && length < MAX_PATH ? std::wstring(path, length) : std::wstring();
}

std::wstring folderOfModule(HMODULE module) {
    std::wstring path = folderFrom([module](wchar_t* p, DWORD n) { return GetModuleFileNameW(module, p, n); });
    const size_t slash = path.find_last_of(L"\\/");
    return slash == std::wstring::npos ? std::wstring() : path.substr(0, slash);
}

HMODULE thisModule() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&thisModule), &module);
    return module;
}

std::wstring systemFolder() { return folderFrom([](wchar_t* p, DWORD n) { return GetSystemDirectoryW(p, n); }); }

std::wstring windowsFolder() {
    return folderFrom([](wchar_t* p, DWORD n) { return GetSystemWindowsDirectoryW(p, n); });
}

std::wstring firstFile(const std::vector<std::wstring>& folders, const wchar_t* fileName) {
    for (const std::wstring& path : candidatePaths(folders, fileName))
        if (isFile(path)) return path;
    return std::wstring();
}

}  // namespace

bool isFile(const std::wstring& path) {
    const DWORD attributes = GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

std::wstring pathBesideModule(HMODULE module, const wchar_t* fileName) {
    const std::vector<std::wstring> paths = candidatePaths({folderOfModule(module)}, fileName);
    return paths.empty() ? std::wstring() : paths.front();
}

std::vector<std::wstring> candidatePaths(const std::vector<std::wstring>& folders, const wchar_t* fileName) {
    std::vector<std::wstring> paths;
    std::vector<const std::wstring*> seen;
    for (const std::wstring& folder : folders) {
        if (folder.empty()) continue;
        bool repeated = false;
        for (const std::wstring* earlier : seen) repeated |= lstrcmpiW(earlier->c_str(), folder.c_str()) == 0;
        if (repeated) continue;
        seen.push_back(&folder);
        const wchar_t last = folder.back();
        paths.push_back(folder + (last == L'\\' || last == L'/' ? L"" : L"\\") + fileName);
    }
    return paths;
}

HMODULE loadLibraryFromKnownFolders(const wchar_t* fileName) {
    const std::vector<std::wstring> folders = {
        folderOfModule(nullptr),
        folderFrom([](wchar_t* p, DWORD n) { return GetDllDirectoryW(n, p); }),
        folderOfModule(thisModule()),
        systemFolder(),
    };
    for (const std::wstring& path : candidatePaths(folders, fileName)) {
        if (!isFile(path)) continue;
        // The library's own imports are looked for beside it first.
        if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH)) return module;
    }
    return nullptr;
}

HMODULE loadSystemLibrary(const wchar_t* fileName) {
    for (const std::wstring& path : candidatePaths({systemFolder()}, fileName))
        if (HMODULE module = LoadLibraryExW(path.c_str(), nullptr, 0)) return module;
    return nullptr;
}

std::wstring systemProgramPath(const wchar_t* fileName) { return firstFile({systemFolder(), windowsFolder()}, fileName); }

std::wstring windowsProgramPath(const wchar_t* fileName) { return firstFile({windowsFolder()}, fileName); }

}  // namespace bv
