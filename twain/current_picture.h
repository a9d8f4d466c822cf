// The picture at hand in states 6 and 7: fetched once from the camera,
// decoded only when a transfer needs pixels, and its progress through a
// buffered transfer.
#pragma once

#include <string>
#include <vector>

#include "camera_session.h"
#include "picture_decoder.h"
#include "picture_facts.h"

// The camera's own picture size, for answers before a picture is at hand.
constexpr UINT kCameraPictureWidth = 640, kCameraPictureHeight = 480;
// The longest side of a thumbnail, in pixels: as CAP_THUMBNAILSENABLED
// transfers it, and in the picking window.
constexpr UINT kThumbnailSide = 160, kPickingThumbnailSide = 96;

class CurrentPicture {
public:
    // Fetches and reads path unless it is the picture at hand; thumbnail
    // makes it the scaled picture. 0, a library code, or an HRESULT.
    DWORD prepare(const CameraSession& camera, const std::string& path, bool thumbnail,
                  const std::function<void(DWORD)>& progress);
    // The decoded pixels; an HRESULT.
    HRESULT decode();
    void clear() { *this = CurrentPicture(); }
    bool holds(const std::string& path) const { return !path_.empty() && path_ == path; }

    const PictureFacts& facts() const { return facts_; }
    // The JFIF bytes: the camera's file, or the thumbnail encoded.
    const std::vector<BYTE>& jpeg() const { return jpeg_; }
    const Bitmap& bitmap() const { return bitmap_; }
    // Rows or bytes already handed out by a buffered transfer.
    size_t delivered = 0;

private:
    std::string path_;
    std::vector<BYTE> jpeg_;
    PictureFacts facts_;
    Bitmap bitmap_;
};
