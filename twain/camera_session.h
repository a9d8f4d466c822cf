// The camera as the source sees it: bvcl2sti.dll loaded from the source's
// own folder, the camera opened on the port the library stored (failing
// that, the first connected camera of an installed USB model), its pictures listed
// and fetched whole into memory. All calls come from the application's
// thread; the notification callback runs on the library's.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Common/owned.h"
#include "bvcl2sti.h"
#include "camera_library.h"
#include "camera_tree.h"

class CameraSession {
public:
    // Loads bvcl2sti.dll from the folder of module; false when it or its
    // table is missing there.
    bool load(HMODULE module);
    // Opens the camera without any dialog; false when none answers.
    bool open(bvlNotifyCB callback, UINT_PTR context);
    bool online() const { return connection_ && connection_->isOpen(); }
    void close();

    // Every JPEG picture of every volume, in listing order.
    DWORD listPictures(std::vector<CameraPicture>& pictures) const;
    // The picture's bytes as the camera sent them; progress, when given,
    // gets the percentages along the way. A fetch that stopFetch ended
    // returns BVL_E_STREAM_WRITE_ERROR, even when the last byte was in.
    DWORD fetch(const std::string& path, std::vector<BYTE>& bytes,
                const std::function<void(DWORD)>& progress = {}) const;
    // True while a fetch runs below the caller: progress handed the
    // application's thread back to it, and the call came from there.
    bool fetching() const { return fetching_; }
    // Ends the running fetch at the library's next write to its stream.
    void stopFetch() const { stop_ = fetching_; }
    // While on, fetched pictures are kept, so that each comes from the
    // camera once (thumbnails, then the transfer); off forgets them.
    void keepFetched(bool keep);
    DWORD readClock(DWORD* time) const;
    DWORD writeClock(DWORD time) const;
    // The library's modal settings dialog over parent.
    DWORD showSettings(HWND parent) const;

private:
    bv::OwnedModule module_;
    const bvlBaseAPI* api_ = nullptr;
    std::unique_ptr<CameraConnection> connection_;  // closed before the module goes
    bool keep_ = false;
    mutable std::map<std::string, std::vector<BYTE>> kept_;
    mutable bool fetching_ = false, stop_ = false;
};
