// bvcl2sti.dll as the tool sees it: loaded at run time, its base table
// taken by name.
#pragma once

#include <windows.h>

#include "bvcl2sti.h"

class CameraLibrary {
public:
    CameraLibrary();
    ~CameraLibrary();
    CameraLibrary(const CameraLibrary&) = delete;
    CameraLibrary& operator=(const CameraLibrary&) = delete;

    // Null when the library or its table could not be found.
    const bvlBaseAPI* api() const { return api_; }

private:
    HMODULE module_ = nullptr;
    const bvlBaseAPI* api_ = nullptr;
};

// An open camera connection, closed when the object goes.
class CameraSession {
public:
    CameraSession(const bvlBaseAPI& api, bvlCameraPort port);
    ~CameraSession();
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    DWORD openResult() const { return openResult_; }
    DWORD camera() const { return camera_; }

private:
    const bvlBaseAPI& api_;
    bvlCameraPort port_;
    DWORD camera_ = 0;
    DWORD openResult_;
};
