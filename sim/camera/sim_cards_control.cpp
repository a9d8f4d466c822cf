// The card slots of the virtual camera as tests and the demo set them:
// through simSetCards, or from [cardN] sections of the configuration file
// beside the Still Image stand-in.
#include <string>
#include <vector>

#include "bvsim.h"
#include "sim_camera.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

constexpr int kMostCards = 8;

std::wstring fullPath(const std::wstring& path) {
    wchar_t full[MAX_PATH];
    const DWORD length = GetFullPathNameW(path.c_str(), MAX_PATH, full, nullptr);
    if (length == 0 || length >= MAX_PATH) return path;
    std::wstring out(full, length);
    while (out.size() > 3 && out.back() == L'\\') out.pop_back();
    return out;
}

// A slot without a host folder gets a new empty one in the scratch folder.
bool toCard(const SimCardSlot& slot, SimCard& card) {
    if (!slot.volumeName || !*slot.volumeName) return false;
    card.volume = slot.volumeName;
    card.capacity = slot.capacityBytes;
    card.passThrough = slot.passThrough;
    if (!slot.hostFolder) {
        card.folder = newScratchFolder();
        return true;
    }
    card.folder = fullPath(slot.hostFolder);
    const DWORD attributes = GetFileAttributesW(card.folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool isRelative(const std::wstring& path) {
    return !path.empty() && path[0] != L'\\' && path[0] != L'/' && (path.size() < 2 || path[1] != L':');
}

std::wstring folderOf(const wchar_t* file) {
    std::wstring path = file;
    const size_t cut = path.find_last_of(L"\\/");
    return cut == std::wstring::npos ? std::wstring(L".") : path.substr(0, cut);
}

}  // namespace

// [cardN] Volume, Folder (relative to the file's folder, or absolute),
// Capacity (bytes; 0x for hex), PassThrough (default 1).
bool loadCardSections(const wchar_t* path) {
    std::vector<std::string> volumes;
    std::vector<std::wstring> folders;
    std::vector<SimCardSlot> slots;
    volumes.reserve(kMostCards);
    folders.reserve(kMostCards);
    for (int i = 0; i < kMostCards; ++i) {
        wchar_t section[16], volume[64] = {}, folder[MAX_PATH] = {};
        wsprintfW(section, L"card%d", i);
        if (!GetPrivateProfileStringW(section, L"Volume", L"", volume, 64, path)) break;
        GetPrivateProfileStringW(section, L"Folder", L"", folder, MAX_PATH, path);
        char name[64];
        WideCharToMultiByte(CP_ACP, 0, volume, -1, name, sizeof name, nullptr, nullptr);
        volumes.push_back(name);
        folders.push_back(isRelative(folder) ? folderOf(path) + L"\\" + folder : std::wstring(folder));
        wchar_t number[32] = {};
        GetPrivateProfileStringW(section, L"Capacity", L"33554432", number, 32, path);
        const DWORD capacity = wcstoul(number, nullptr, 0);
        const UINT passThrough = GetPrivateProfileIntW(section, L"PassThrough", 1, path);
        slots.push_back({volumes.back().c_str(), folders.back().empty() ? nullptr : folders.back().c_str(),
                         capacity, passThrough});
    }
    if (slots.empty()) return true;
    return simSetCards(slots.data(), static_cast<DWORD>(slots.size())) != FALSE;
}

}  // namespace bvsim

using namespace bvsim;

extern "C" BOOL simSetCards(const SimCardSlot* slots, DWORD count) {
    std::vector<SimCard> cards(count);
    for (DWORD i = 0; i < count; ++i)
        if (!toCard(slots[i], cards[i])) return FALSE;
    simCamera().setCards(std::move(cards));
    return TRUE;
}

extern "C" BOOL simCardFolder(DWORD index, WCHAR* path, DWORD capacity) {
    const std::vector<SimCard>& cards = simCamera().cards();
    if (index >= cards.size() || !path || capacity <= cards[index].folder.size()) return FALSE;
    lstrcpynW(path, cards[index].folder.c_str(), static_cast<int>(capacity));
    return TRUE;
}
