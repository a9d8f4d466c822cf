#include "camera_session.h"

#include <cstring>
#include <vector>

#include "memory_stream.h"
#include "port_choice.h"

namespace {

std::wstring folderOf(HMODULE module) {
    wchar_t path[MAX_PATH];
    const DWORD length = GetModuleFileNameW(module, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return L"";
    std::wstring folder(path, length);
    return folder.substr(0, folder.find_last_of(L'\\') + 1);
}

// The ports to try, in order: the one the library stored last, or
// without one the camera whose event started the application; then the
// first connected camera of an installed USB model.
std::vector<bvlCameraPort> candidatePorts(const bvlBaseAPI& api) {
    std::vector<bvlCameraPort> ports;
    bvlCameraPort port = {};
    DWORD rc = api.baseGetDevicePort(BVL_PORT_REQUEST_LAST, nullptr, 0, &port, 0);
    if (rc == BVL_E_NO_LAST_PORT) rc = api.baseGetDevicePort(BVL_PORT_REQUEST_LAUNCHED, nullptr, 0, &port, 0);
    if (rc == 0) ports.push_back(port);
    port = {};
    port.portType = BVL_PORT_USB;
    std::strcpy(port.portName, BVL_USB_PORT_NAME);
    std::string problem;
    if (completeUsbPort(api, &port, &problem) == 0 && port.u.usb.modelID != 0) ports.push_back(port);
    return ports;
}

}  // namespace

bool CameraSession::load(HMODULE module) {
    const std::wstring folder = folderOf(module);
    if (folder.empty()) return false;
    // The library's own dependencies are searched for beside it first.
    module_.reset(LoadLibraryExW((folder + L"bvcl2sti.dll").c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
    if (!module_) return false;
    api_ = reinterpret_cast<const bvlBaseAPI*>(reinterpret_cast<void*>(GetProcAddress(module_.get(), "g_bvlBaseAPI")));
    if (api_ && api_->version == BVL_BASE_API_VERSION) return true;
    api_ = nullptr;
    module_.reset();
    return false;
}

bool CameraSession::open(bvlNotifyCB callback, UINT_PTR context) {
    if (!api_) return false;
    for (const bvlCameraPort& port : candidatePorts(*api_)) {
        connection_ = std::make_unique<CameraConnection>(*api_, port);
        if (connection_->open(callback, context) == 0) return true;
        connection_.reset();
    }
    return false;
}

void CameraSession::close() {
    keepFetched(false);
    connection_.reset();
    api_ = nullptr;
    module_.reset();
}

DWORD CameraSession::listPictures(std::vector<CameraPicture>& pictures) const {
    if (!online()) return BVL_E_NO_DEVICE_OPEN;
    return findPictures(*api_, connection_->camera(), pictures);
}

DWORD CameraSession::fetch(const std::string& path, std::vector<BYTE>& bytes,
                           const std::function<void(DWORD)>& progress) const {
    if (!online()) return BVL_E_NO_DEVICE_OPEN;
    if (const auto kept = kept_.find(path); kept != kept_.end()) {
        bytes = kept->second;
        return 0;
    }
    MemoryStream stream;
    if (progress) stream.reportProgress(progress);
    stream.stopWhen(&stop_);
    struct Running {
        bool& flag;
        ~Running() { flag = false; }
    } running{fetching_};
    fetching_ = true;
    stop_ = false;
    const DWORD rc = api_->baseGetFile(connection_->camera(), path.c_str(), stream.stream());
    if (stop_) return BVL_E_STREAM_WRITE_ERROR;
    if (rc) return rc;
    bytes = stream.bytes();
    if (keep_) kept_[path] = bytes;
    return 0;
}

void CameraSession::keepFetched(bool keep) {
    keep_ = keep;
    if (!keep) kept_.clear();
}

DWORD CameraSession::readClock(DWORD* time) const {
    if (!online()) return BVL_E_NO_DEVICE_OPEN;
    return api_->baseReadSetting(connection_->camera(), BVL_SETTING_DATE_TIME, time);
}

DWORD CameraSession::writeClock(DWORD time) const {
    if (!online()) return BVL_E_NO_DEVICE_OPEN;
    return api_->baseWriteSetting(connection_->camera(), BVL_SETTING_DATE_TIME, &time);
}

DWORD CameraSession::showSettings(HWND parent) const {
    if (!online()) return BVL_E_NO_DEVICE_OPEN;
    return api_->baseShowSettingsUI(connection_->camera(), parent);
}
