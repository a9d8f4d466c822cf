#include "model_list.h"

#include "Common/registry_names.h"

namespace {

DWORD readWord(HKEY key, const char* name) {
    DWORD value = 0, size = sizeof value;
    RegGetValueA(key, nullptr, name, RRF_RT_ANY, nullptr, &value, &size);
    return value;
}

std::string readText(HKEY key, const char* name) {
    char text[65] = {};
    DWORD size = sizeof text - 1;
    RegGetValueA(key, nullptr, name, RRF_RT_ANY, nullptr, text, &size);
    return text;
}

}  // namespace

bool readInstalledModels(std::vector<InstalledModel>& models) {
    HKEY list = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, bv::kModelListKey, 0, KEY_READ, &list) != ERROR_SUCCESS)
        return false;
    char name[256];  // a key name has at most 255 characters: none ends the list
    for (DWORD i = 0; RegEnumKeyA(list, i, name, sizeof name) == ERROR_SUCCESS; ++i) {
        HKEY model = nullptr;
        if (RegOpenKeyExA(list, name, 0, KEY_READ, &model) != ERROR_SUCCESS) continue;
        models.push_back({readWord(model, bv::kModelID), readText(model, bv::kModelName),
                          readWord(model, bv::kInstallMethod)});
        RegCloseKey(model);
    }
    RegCloseKey(list);
    return true;
}
