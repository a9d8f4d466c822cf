// A scratch folder that is the current folder and first on PATH while it
// lives: a search by bare name would find what is planted in it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace bvtest {

class PlantedFolder {
public:
    PlantedFolder();
    ~PlantedFolder();
    PlantedFolder(const PlantedFolder&) = delete;
    PlantedFolder& operator=(const PlantedFolder&) = delete;

    const std::wstring& path() const { return folder_; }
    // Copies source into the folder as name; without a source, the test
    // program that leaves name + ".ran" beside itself when it runs.
    bool plant(const std::wstring& name, const std::wstring& source = L"");
    bool ran(const std::wstring& name) const;

private:
    std::wstring folder_;
    std::vector<std::wstring> files_;
    wchar_t previousFolder_[MAX_PATH] = {};
    wchar_t previousPath_[4096] = {};
};

}  // namespace bvtest
