#include "current_picture.h"

DWORD CurrentPicture::prepare(const CameraSession& camera, const std::string& path, bool thumbnail,
                              const std::function<void(DWORD)>& progress) {
    if (holds(path)) return 0;
    clear();
    std::vector<BYTE> bytes;
    if (DWORD rc = camera.fetch(path, bytes, progress)) return rc;
    PictureFacts facts;
    if (!readPictureFacts(bytes, &facts)) return static_cast<DWORD>(WINCODEC_ERR_BADHEADER);
    if (thumbnail) {
        Bitmap small;
        if (HRESULT hr = decodePicture(bytes, kThumbnailSide, &small); FAILED(hr)) return static_cast<DWORD>(hr);
        if (HRESULT hr = encodePicture(small, &bytes); FAILED(hr)) return static_cast<DWORD>(hr);
        facts.width = small.width;
        facts.height = small.height;
        bitmap_ = std::move(small);
    }
    jpeg_ = std::move(bytes);
    facts_ = facts;
    path_ = path;
    return 0;
}

HRESULT CurrentPicture::decode() {
    if (!bitmap_.bgr.empty()) return S_OK;
    Bitmap full;
    if (HRESULT hr = decodePicture(jpeg_, 0, &full); FAILED(hr)) return hr;
    if (full.width != facts_.width || full.height != facts_.height) return WINCODEC_ERR_BADIMAGE;
    bitmap_ = std::move(full);
    return S_OK;
}
