// The virtual camera as a model: its identity, settings, clock and remote
// release, and the factory state that a reset restores. Its storage lives
// in sim_storage.cpp.
#include "sim_camera.h"

#include <algorithm>

#include "sim_frames.h"
#include "sim_host_files.h"
#include "sim_internal.h"

namespace bvsim {
namespace {

constexpr DWORD kVolumeBytes = 32u * 1024 * 1024;
constexpr DWORD kFactoryClock = 1104537600;  // 2005-01-01 00:00, camera time

}  // namespace

void SimCamera::reset() {
    removeScratch();
    const std::wstring folder = newScratchFolder();
    cards_ = {{"CF", folder, kVolumeBytes, 1}};
    const std::wstring dcim = folder + L"\\DCIM";
    CreateDirectoryW(dcim.c_str(), nullptr);
    addPicture(dcim + L"\\BRV_0001.JPG", 12000, kFactoryClock + 60);
    addPicture(dcim + L"\\BRV_0002.JPG", 5120, kFactoryClock + 120);
    addPicture(dcim + L"\\BRV_0003.JPG", 5121, kFactoryClock + 180);
    setHostTime(dcim, kFactoryClock);
    pictureNumber_ = 3;
    setting1_ = 1;
    ownerName_ = "Brivant";
    clock_ = kFactoryClock;
    setting4_[0] = setting4_[1] = setting4_[2] = 0;
    firmware_ = "Firmware 1.02";
    power_ = 6;  // battery, normal level
    released_.clear();
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

// The picture goes to the DCIM directory of the first volume.
DWORD SimCamera::release(std::vector<BYTE>& reply) {
    if (cards_.empty()) return kCamDirNotFound;
    char name[96];
    wsprintfA(name, "%.63s\\DCIM\\BRV_%04lu.JPG", cards_[0].volume.c_str(),
              static_cast<unsigned long>(++pictureNumber_));
    released_ = releasePicture();
    DWORD rc = writeFile(name, released_);
    if (rc != 0) return rc;
    DWORD size = static_cast<DWORD>(released_.size());
    reply.assign(reinterpret_cast<const BYTE*>(&size), reinterpret_cast<const BYTE*>(&size) + 4);
    return 0;
}

std::vector<BYTE> SimCamera::viewFinderFrame() const { return nextViewFinderFrame(); }

SimCamera& simCamera() {
    static SimCamera camera = [] {
        SimCamera c;
        c.reset();
        return c;
    }();
    return camera;
}

}  // namespace bvsim
