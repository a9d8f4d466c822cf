#include "camera_library.h"

CameraLibrary::CameraLibrary() : module_(LoadLibraryA("bvcl2sti.dll")) {
    if (!module_) return;
    api_ = reinterpret_cast<const bvlBaseAPI*>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "g_bvlBaseAPI")));
    messageApi_ = reinterpret_cast<const bvlNewFactryAPI*>(
        reinterpret_cast<void*>(GetProcAddress(module_.get(), "g_bvlNewFactryAPI")));
}

DWORD CameraConnection::open(bvlNotifyCB callback, UINT_PTR context) {
    camera_ = 0;
    const DWORD rc = api_.baseOpenCameraComm(&port_, callback, context, &camera_);
    open_ = rc == 0;
    // A USB open that fails after reaching the device still hands out the
    // camera word, and the device stays open until it is closed.
    if (rc != 0 && camera_ != 0) api_.baseCloseCameraComm(camera_);
    return rc;
}

DWORD CameraConnection::close() {
    if (!open_) return 0;
    open_ = false;
    return api_.baseCloseCameraComm(camera_);
}
