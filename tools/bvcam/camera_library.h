// bvcl2sti.dll as the tool sees it: loaded at run time, its base table
// taken by name, and the one camera connection that a run of the tool
// shares between its commands.
#pragma once

#include <windows.h>

#include "Common/owned.h"
#include "bvcl2sti.h"

class CameraLibrary {
public:
    CameraLibrary();
    CameraLibrary(const CameraLibrary&) = delete;
    CameraLibrary& operator=(const CameraLibrary&) = delete;

    // Null when the library or its table could not be found.
    const bvlBaseAPI* api() const { return api_; }
    const bvlNewFactryAPI* messageApi() const { return messageApi_; }

private:
    bv::OwnedModule module_;
    const bvlBaseAPI* api_ = nullptr;
    const bvlNewFactryAPI* messageApi_ = nullptr;
};

// The camera on one port, opened on request and closed when the object
// goes (or earlier by close()).
class CameraConnection {
public:
    CameraConnection(const bvlBaseAPI& api, const bvlCameraPort& port,
                     const bvlNewFactryAPI* messageApi = nullptr)
        : api_(api), messageApi_(messageApi), port_(port) {}
    ~CameraConnection() { close(); }
    CameraConnection(const CameraConnection&) = delete;
    CameraConnection& operator=(const CameraConnection&) = delete;

    const bvlBaseAPI& api() const { return api_; }
    // The raw message table; null when the library has none.
    const bvlNewFactryAPI* messageApi() const { return messageApi_; }
    const bvlCameraPort& port() const { return port_; }
    bool isOpen() const { return open_; }

    // Opens the camera, registering callback (may be null) and its
    // context; 0 or the library's code. The callback runs on the library's
    // notification thread until close() returns.
    DWORD open(bvlNotifyCB callback = nullptr, UINT_PTR context = 0);
    // The camera word for the base operations; valid while open.
    DWORD camera() const { return camera_; }
    // 0, or the code of baseCloseCameraComm; 0 when nothing was open.
    DWORD close();

private:
    const bvlBaseAPI& api_;
    const bvlNewFactryAPI* messageApi_;
    bvlCameraPort port_;
    DWORD camera_ = 0;
    bool open_ = false;
};
