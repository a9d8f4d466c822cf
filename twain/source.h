// The data source: one per process, driven through DS_Entry on the
// application's thread. It keeps the TWAIN state (3 to 7), the condition
// DAT_STATUS reports, the negotiated settings and the camera session.
#pragma once

#include <deque>
#include <memory>
#include <vector>

#include "camera_session.h"
#include "capability_set.h"
#include "current_picture.h"
#include "picking_dialog.h"
#include "picture_decoder.h"
#include "source_window.h"
#include "twain_memory.h"

class Source {
public:
    explicit Source(HINSTANCE module) : module_(module) {}
    Source(const Source&) = delete;
    Source& operator=(const Source&) = delete;

    // One operation: checks its state, runs it and keeps its condition.
    TW_UINT16 entry(const TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);
    // In state 3: nothing open, nothing held.
    bool closed() const { return state_ == 3; }

private:
    TwainOutcome run(const TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data);

    // Control operations.
    TwainOutcome identity(const TW_IDENTITY* origin, TW_UINT16 msg, TW_IDENTITY* data);
    TwainOutcome openSource(const TW_IDENTITY* origin, TW_IDENTITY* data);
    void closeSource();
    TwainOutcome entryPoint(const TW_ENTRYPOINT* data);
    TwainOutcome userInterface(TW_UINT16 msg, TW_USERINTERFACE* data);
    bool showPicking(HWND parent);
    void onPicked(const std::vector<size_t>& chosen);
    TW_UINT16 countToTransfer() const;
    TwainOutcome processEvent(TW_EVENT* data);
    TwainOutcome capability(TW_UINT16 msg, TW_CAPABILITY* data);
    TwainOutcome deviceEvent(TW_DEVICEEVENT* data);
    CameraFacts cameraFacts();

    // Transfers.
    TwainOutcome pendingTransfers(TW_UINT16 msg, TW_PENDINGXFERS* data);
    TwainOutcome prepareCurrent();
    TwainOutcome imageInfo(TW_IMAGEINFO* data);
    TwainOutcome imageLayout(TW_UINT16 msg, TW_IMAGELAYOUT* data);
    TwainOutcome setupMemory(TW_SETUPMEMXFER* data);
    TwainOutcome setupFile(TW_UINT16 msg, TW_SETUPFILEXFER* data);
    TwainOutcome nativeTransfer(TW_HANDLE* data);
    TwainOutcome fileTransfer();
    TwainOutcome memoryTransfer(TW_IMAGEMEMXFER* data, bool file);
    TwainOutcome transferDone(TwainOutcome outcome);

    // Notifications, on the application's thread.
    void onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // Sends msg to the application: through the manager's entry at once,
    // or posted for a version 1 manager's DAT_EVENT.
    void notify(TW_UINT16 msg);
    void sendToManager(TW_UINT16 msg);
    static DWORD WINAPI onCameraEvent(DWORD event, void* data, DWORD size, UINT_PTR context);

    HINSTANCE module_;
    int state_ = 3;
    TW_UINT16 condition_ = TWCC_SUCCESS;
    TwainMemory memory_;
    DSMENTRYPROC manager_ = nullptr;  // a version 2 manager's entry
    TW_IDENTITY self_ = {};
    TW_IDENTITY application_ = {};
    std::unique_ptr<ComApartment> com_;
    SourceWindow window_;
    CameraSession camera_;
    bool cameraGone_ = false;
    bool closeAfterFetch_ = false;  // closed while a fetch ran
    SourceSettings settings_;
    TW_SETUPFILEXFER fileSetup_ = {};
    std::vector<CameraPicture> pictures_;
    size_t next_ = 0;        // index of the picture at hand in pictures_
    TW_UINT16 pending_ = 0;  // pictures left to transfer, the one at hand included
    CurrentPicture current_;
    PickingDialog picking_;
    std::deque<TW_DEVICEEVENT> events_;
    std::deque<TW_UINT16> heldNotifications_;  // for a version 1 manager's DAT_EVENT
};

// The identity this source reports.
void fillIdentity(TW_IDENTITY* identity);
