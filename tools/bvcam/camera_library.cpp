#include "camera_library.h"


CameraLibrary::CameraLibrary() : module_(LoadLibraryA("bvcl2sti.dll")) {
    if (module_)
        api_ = reinterpret_cast<const bvlBaseAPI*>(
            reinterpret_cast<void*>(GetProcAddress(module_, "g_bvlBaseAPI")));
}

CameraLibrary::~CameraLibrary() {
    if (module_) FreeLibrary(module_);
}

CameraSession::CameraSession(const bvlBaseAPI& api, bvlCameraPort port)
    : api_(api), port_(port), openResult_(api.baseOpenCameraComm(&port_, nullptr, 0, &camera_)) {}

CameraSession::~CameraSession() {
    if (openResult_ == 0) api_.baseCloseCameraComm(camera_);
}
