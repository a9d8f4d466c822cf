#include "sim_camera.h"

#include <algorithm>
#include <cctype>

namespace bvsim {
namespace {

constexpr DWORD kVolumeBytes = 32u * 1024 * 1024;
constexpr DWORD kFactoryClock = 1104537600;  // 2005-01-01 00:00, camera time
constexpr DWORD kJpegHeaderMax = 512;

std::string upper(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

std::string parentOf(const std::string& key) {
    std::string::size_type cut = key.rfind('\\');
    return cut == std::string::npos ? std::string() : key.substr(0, cut);
}

std::string leafOf(const std::string& path) {
    std::string::size_type cut = path.rfind('\\');
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string volumeOf(const std::string& key) {
    return key.substr(0, key.find('\\'));
}

bool isPicture(const std::string& key) {
    return key.size() > 4 && key.compare(key.size() - 4, 4, ".JPG") == 0;
}

}  // namespace

std::vector<BYTE> makePicture(DWORD size, DWORD seed) {
    std::vector<BYTE> data(size);
    for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>((i * 31 + seed * 7) & 0xff);
    const BYTE soi[] = {0xff, 0xd8, 0xff, 0xe1};
    for (DWORD i = 0; i < sizeof soi && i < size; ++i) data[i] = soi[i];
    if (size >= 6) {
        data[size - 2] = 0xff;
        data[size - 1] = 0xd9;
    }
    return data;
}

void SimCamera::reset() {
    volumes_ = {{1, kVolumeBytes, "CF"}};
    tree_.clear();
    tree_["CF"].attributes = kAttribDirectory;
    tree_["CF\\DCIM"].attributes = kAttribDirectory;
    addPicture("CF\\DCIM\\BRV_0001.JPG", 12000, kFactoryClock + 60);
    addPicture("CF\\DCIM\\BRV_0002.JPG", 5120, kFactoryClock + 120);
    addPicture("CF\\DCIM\\BRV_0003.JPG", 5121, kFactoryClock + 180);
    pictureNumber_ = 3;
    setting1_ = 1;
    ownerName_ = "Brivant";
    clock_ = kFactoryClock;
    setting4_[0] = setting4_[1] = setting4_[2] = 0;
    firmware_ = "Firmware 1.02";
    power_ = 1;
    released_.clear();
}

void SimCamera::addPicture(const std::string& path, DWORD size, DWORD time) {
    Node& node = tree_[upper(path)];
    node.attributes = 0;
    node.time = time;
    node.data = makePicture(size, static_cast<DWORD>(tree_.size()));
}

SimCamera::Tree::const_iterator SimCamera::find(const std::string& path) const {
    return tree_.find(upper(path));
}

bool SimCamera::isDirectory(const std::string& key) const {
    auto it = tree_.find(key);
    return it != tree_.end() && (it->second.attributes & kAttribDirectory);
}

bool SimCamera::hasChildren(const std::string& key) const {
    for (const auto& item : tree_)
        if (parentOf(item.first) == key) return true;
    return false;
}

DWORD SimCamera::usedBytes(const std::string& volume) const {
    DWORD used = 0;
    for (const auto& item : tree_)
        if (volumeOf(item.first) == volume) used += static_cast<DWORD>(item.second.data.size());
    return used;
}

DWORD SimCamera::freeBytes(const std::string& volume) const {
    for (const SimVolume& v : volumes_)
        if (upper(v.name) == upper(volume)) return v.totalBytes - usedBytes(upper(volume));
    return 0;
}

DWORD SimCamera::listDirectory(const std::string& path, std::vector<SimEntry>& entries) const {
    const std::string key = upper(path);
    if (!isDirectory(key)) return kCamDirNotFound;
    entries.clear();
    for (const auto& item : tree_) {
        if (parentOf(item.first) != key) continue;
        entries.push_back({leafOf(item.first), item.second.attributes,
                           static_cast<DWORD>(item.second.data.size()), item.second.time});
    }
    return 0;
}

DWORD SimCamera::readFile(const std::string& path, std::vector<BYTE>& data) const {
    auto it = find(path);
    if (it == tree_.end() || (it->second.attributes & kAttribDirectory)) return kCamFileNotFound;
    data = it->second.data;
    return 0;
}

DWORD SimCamera::jpegHeader(const std::string& path, std::vector<BYTE>& header) const {
    DWORD rc = readFile(path, header);
    if (rc != 0) return rc;
    if (header.size() > kJpegHeaderMax) header.resize(kJpegHeaderMax);
    return 0;
}

DWORD SimCamera::writeFile(const std::string& path, const std::vector<BYTE>& data) {
    const std::string key = upper(path);
    if (!isDirectory(parentOf(key))) return kCamDirNotFound;
    if (isDirectory(key)) return kCamEntryExists;
    auto existing = tree_.find(key);
    DWORD replaced = existing == tree_.end() ? 0 : static_cast<DWORD>(existing->second.data.size());
    if (data.size() > freeBytes(volumeOf(key)) + replaced) return kCamMemoryFull;
    Node& node = tree_[key];
    node.attributes = 0;
    node.time = clock_;
    node.data = data;
    return 0;
}

DWORD SimCamera::deleteFile(const std::string& path) {
    auto it = find(path);
    if (it == tree_.end() || (it->second.attributes & kAttribDirectory)) return kCamFileNotFound;
    tree_.erase(it);
    return 0;
}

DWORD SimCamera::createDirectory(const std::string& path) {
    const std::string key = upper(path);
    if (!isDirectory(parentOf(key))) return kCamDirNotFound;
    if (tree_.count(key)) return kCamEntryExists;
    Node& node = tree_[key];
    node.attributes = kAttribDirectory;
    node.time = clock_;
    return 0;
}

DWORD SimCamera::removeDirectory(const std::string& path) {
    const std::string key = upper(path);
    if (!isDirectory(key) || parentOf(key).empty()) return kCamDirNotFound;
    if (hasChildren(key)) return kCamDirNotEmpty;
    tree_.erase(key);
    return 0;
}

DWORD SimCamera::setAttributes(const std::string& path, BYTE attributes) {
    auto it = tree_.find(upper(path));
    if (it == tree_.end()) return kCamFileNotFound;
    BYTE kind = it->second.attributes & kAttribDirectory;
    it->second.attributes = static_cast<BYTE>((attributes & ~kAttribDirectory) | kind);
    return 0;
}

DWORD SimCamera::setTime(const std::string& path, DWORD time) {
    auto it = tree_.find(upper(path));
    if (it == tree_.end()) return kCamFileNotFound;
    it->second.time = time;
    return 0;
}

DWORD SimCamera::deletePictures(const std::string& volume) {
    const std::string vol = upper(volume);
    if (!isDirectory(vol)) return kCamDirNotFound;
    for (auto it = tree_.begin(); it != tree_.end();) {
        bool doomed = volumeOf(it->first) == vol && isPicture(it->first) &&
                      !(it->second.attributes & kAttribReadOnly);
        it = doomed ? tree_.erase(it) : std::next(it);
    }
    return 0;
}

DWORD SimCamera::formatVolume(const std::string& volume) {
    const std::string vol = upper(volume);
    if (!isDirectory(vol)) return kCamDirNotFound;
    for (auto it = tree_.begin(); it != tree_.end();)
        it = (volumeOf(it->first) == vol && it->first != vol) ? tree_.erase(it) : std::next(it);
    return 0;
}

DWORD SimCamera::readSetting(DWORD id, std::vector<BYTE>& value) const {
    auto word = [&value](DWORD w) {
        value.assign(reinterpret_cast<const BYTE*>(&w), reinterpret_cast<const BYTE*>(&w) + 4);
    };
    switch (id) {
    case 1: word(setting1_); return 0;
    case 2: value.assign(ownerName_.begin(), ownerName_.end()); value.push_back(0); return 0;
    case 3: word(clock_); return 0;
    case 4: value.assign(reinterpret_cast<const BYTE*>(setting4_),
                         reinterpret_cast<const BYTE*>(setting4_) + sizeof setting4_);
            return 0;
    case 5: value.assign(firmware_.begin(), firmware_.end()); value.push_back(0); return 0;
    case 6: word(power_); return 0;
    default: return kCamNotSupported;
    }
}

DWORD SimCamera::writeSetting(DWORD id, const BYTE* value, DWORD length) {
    switch (id) {
    case 1:
        if (length < 1) return kCamInvalidParameter;
        setting1_ = value[0];
        return 0;
    case 2:
        if (length < 1 || length > 32 || value[length - 1] != 0) return kCamInvalidParameter;
        ownerName_.assign(reinterpret_cast<const char*>(value));
        return 0;
    case 3:
        if (length != 4) return kCamInvalidParameter;
        clock_ = *reinterpret_cast<const DWORD*>(value);
        return 0;
    case 4:
        if (length != sizeof setting4_) return kCamInvalidParameter;
        std::copy(value, value + length, reinterpret_cast<BYTE*>(setting4_));
        return 0;
    default:
        return kCamNotSupported;  // firmware and power are read-only
    }
}

DWORD SimCamera::release(std::vector<BYTE>& reply) {
    char name[32];
    wsprintfA(name, "CF\\DCIM\\BRV_%04lu.JPG", static_cast<unsigned long>(++pictureNumber_));
    released_ = makePicture(20000 + pictureNumber_, pictureNumber_);
    DWORD rc = writeFile(name, released_);
    if (rc != 0) return rc;
    DWORD size = static_cast<DWORD>(released_.size());
    reply.assign(reinterpret_cast<const BYTE*>(&size), reinterpret_cast<const BYTE*>(&size) + 4);
    return 0;
}

std::vector<BYTE> SimCamera::viewFinderFrame() const { return makePicture(7000, clock_); }

SimCamera& simCamera() {
    static SimCamera camera = [] {
        SimCamera c;
        c.reset();
        return c;
    }();
    return camera;
}

}  // namespace bvsim
