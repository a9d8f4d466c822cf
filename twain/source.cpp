#include "source.h"

#include <algorithm>
#include <cstring>

#include "state_table.h"

namespace {

// A camera that has gone, as the library reports it in a call's code.
bool cameraWentAway(DWORD code) {
    return code == BVL_E_LL_COMM_DISCONNECTED || code == BVL_E_NO_DEVICE_OPEN || code == BVL_E_DEVICE_NOT_FOUND;
}

// The operations that end a transfer on the way down to state 3.
bool endsTransfer(TW_UINT16 dat, TW_UINT16 msg) {
    return (dat == DAT_PENDINGXFERS && (msg == MSG_ENDXFER || msg == MSG_RESET)) ||
           (dat == DAT_USERINTERFACE && msg == MSG_DISABLEDS) || (dat == DAT_IDENTITY && msg == MSG_CLOSEDS);
}

constexpr DWORD kEventBattery = 0x10001, kEventTimeOut = 0x10005, kEventClassLast = 0x40000;
constexpr DWORD kBatteryLevelMask = 0x0f, kBatteryLow = 4, kBatteryExhausted = 3;

}  // namespace

TW_UINT16 Source::entry(const TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (dg == DG_CONTROL && dat == DAT_STATUS && msg == MSG_GET) {
        // Reading the condition clears it.
        if (!data) return TWRC_FAILURE;
        *static_cast<TW_STATUS*>(data) = {condition_, 0};
        condition_ = TWCC_SUCCESS;
        return TWRC_SUCCESS;
    }
    if (camera_.fetching()) {
        // The application came back from the progress window's messages
        // while a picture arrives: it may only end the transfer, and that
        // stops the fetch below at once.
        if (!endsTransfer(dat, msg)) {
            condition_ = TWCC_SEQERROR;
            return TWRC_FAILURE;
        }
        camera_.stopFetch();
    }
    TwainOutcome outcome = {TWRC_FAILURE, TWCC_BADPROTOCOL};
    switch (checkTriplet(dg, dat, msg, state_)) {
    case TripletCheck::Unknown: break;
    case TripletCheck::WrongState: outcome = {TWRC_FAILURE, TWCC_SEQERROR}; break;
    case TripletCheck::Allowed: outcome = run(origin, dg, dat, msg, data); break;
    }
    condition_ = outcome.cc;
    return outcome.rc;
}

TwainOutcome Source::run(const TW_IDENTITY* origin, TW_UINT32 dg, TW_UINT16 dat, TW_UINT16 msg, TW_MEMREF data) {
    if (!data && dat != DAT_PENDINGXFERS && dat != DAT_IMAGEFILEXFER) return {TWRC_FAILURE, TWCC_BADVALUE};
    if (dg == DG_IMAGE) {
        switch (dat) {
        case DAT_IMAGEINFO: return imageInfo(static_cast<TW_IMAGEINFO*>(data));
        case DAT_IMAGELAYOUT: return imageLayout(msg, static_cast<TW_IMAGELAYOUT*>(data));
        case DAT_IMAGENATIVEXFER: return nativeTransfer(static_cast<TW_HANDLE*>(data));
        case DAT_IMAGEFILEXFER: return fileTransfer();
        case DAT_IMAGEMEMXFER: return memoryTransfer(static_cast<TW_IMAGEMEMXFER*>(data), false);
        case DAT_IMAGEMEMFILEXFER: return memoryTransfer(static_cast<TW_IMAGEMEMXFER*>(data), true);
        }
    }
    switch (dat) {
    case DAT_IDENTITY: return identity(origin, msg, static_cast<TW_IDENTITY*>(data));
    case DAT_ENTRYPOINT: return entryPoint(static_cast<TW_ENTRYPOINT*>(data));
    case DAT_CAPABILITY: return capability(msg, static_cast<TW_CAPABILITY*>(data));
    case DAT_USERINTERFACE: return userInterface(msg, static_cast<TW_USERINTERFACE*>(data));
    case DAT_EVENT: return processEvent(static_cast<TW_EVENT*>(data));
    case DAT_PENDINGXFERS: return pendingTransfers(msg, static_cast<TW_PENDINGXFERS*>(data));
    case DAT_SETUPMEMXFER: return setupMemory(static_cast<TW_SETUPMEMXFER*>(data));
    case DAT_SETUPFILEXFER: return setupFile(msg, static_cast<TW_SETUPFILEXFER*>(data));
    case DAT_DEVICEEVENT: return deviceEvent(static_cast<TW_DEVICEEVENT*>(data));
    case DAT_XFERGROUP: {
        auto* group = static_cast<TW_UINT32*>(data);
        if (msg == MSG_GET) *group = DG_IMAGE;
        return {*group == DG_IMAGE ? TWRC_SUCCESS : TWRC_FAILURE,
                *group == DG_IMAGE ? TWCC_SUCCESS : TWCC_BADVALUE};
    }
    }
    return {TWRC_FAILURE, TWCC_BADPROTOCOL};
}

TwainOutcome Source::identity(const TW_IDENTITY* origin, TW_UINT16 msg, TW_IDENTITY* data) {
    if (msg == MSG_GET) {
        fillIdentity(data);
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_OPENDS) return openSource(origin, data);
    closeSource();
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// The library is loaded here and nowhere earlier: a manager loads every
// source to ask its identity. Without a camera the source still opens.
TwainOutcome Source::openSource(const TW_IDENTITY* origin, TW_IDENTITY* data) {
    fillIdentity(data);
    self_ = *data;
    application_ = origin ? *origin : TW_IDENTITY{};
    com_ = std::make_unique<ComApartment>();
    if (!window_.create(module_, [this](UINT m, WPARAM w, LPARAM l) { onWindowMessage(m, w, l); }) ||
        !camera_.load(module_)) {
        closeSource();
        return {TWRC_FAILURE, TWCC_OPERATIONERROR};
    }
    camera_.open(onCameraEvent, reinterpret_cast<UINT_PTR>(this));
    cameraGone_ = false;
    // Once used, the source stays mapped for the life of the process: on
    // 32-bit Windows every unload and reload of a module with the static
    // run-time library leaves two handles behind, and a manager reloads
    // the source for every session.
    HMODULE pinned = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCWSTR>(&fillIdentity), &pinned);
    settings_ = SourceSettings();
    setupFile(MSG_RESET, &fileSetup_);
    state_ = 4;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// A close while a fetch runs below takes the source to state 3 at once;
// the library is closed when the fetch has returned (prepareCurrent).
void Source::closeSource() {
    if (camera_.fetching()) {
        closeAfterFetch_ = true;
        state_ = 3;
        return;
    }
    closeAfterFetch_ = false;
    picking_.close();
    camera_.close();  // no camera event arrives after this
    window_.destroy();
    com_.reset();
    pictures_.clear();
    current_.clear();
    events_.clear();
    heldNotifications_.clear();
    // The next session's manager hands over its own entry point, or none.
    memory_ = TwainMemory();
    manager_ = nullptr;
    state_ = 3;
}

TwainOutcome Source::entryPoint(const TW_ENTRYPOINT* data) {
    if (data->Size < sizeof(TW_ENTRYPOINT) || !memory_.useManager(*data)) return {TWRC_FAILURE, TWCC_BADVALUE};
    manager_ = data->DSM_Entry;
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

TwainOutcome Source::userInterface(TW_UINT16 msg, TW_USERINTERFACE* data) {
    if (msg == MSG_DISABLEDS) {
        picking_.close();
        camera_.keepFetched(false);
        pictures_.clear();
        current_.clear();
        pending_ = 0;
        heldNotifications_.clear();
        state_ = 4;
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (msg == MSG_ENABLEDSUIONLY) {
        state_ = 5;
        window_.post(kSettingsMessage);
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    if (!camera_.online() || cameraGone_) return {TWRC_FAILURE, TWCC_CHECKDEVICEONLINE};
    std::vector<CameraPicture> pictures;
    if (DWORD rc = camera_.listPictures(pictures))
        return {TWRC_FAILURE, cameraWentAway(rc) ? TWCC_CHECKDEVICEONLINE : TWCC_OPERATIONERROR};
    pictures_ = std::move(pictures);
    next_ = 0;
    pending_ = 0;
    current_.clear();
    if (data->ShowUI && !pictures_.empty()) {
        if (!showPicking(static_cast<HWND>(data->hParent))) {
            camera_.keepFetched(false);
            return {TWRC_FAILURE, TWCC_LOWMEMORY};
        }
        state_ = 5;
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    pending_ = countToTransfer();
    state_ = 5;
    window_.post(kNotifyMessage, pending_ > 0 ? MSG_XFERREADY : MSG_CLOSEDSREQ);
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

// Thumbnails come from the pictures themselves (the cards carry none),
// each fetched once: the transfer later takes the kept bytes.
bool Source::showPicking(HWND parent) {
    camera_.keepFetched(true);
    std::vector<PickingEntry> entries;
    for (const CameraPicture& p : pictures_) {
        PickingEntry entry = {p.path.substr(p.path.find_last_of('\\') + 1), p.size, {}};
        std::vector<BYTE> bytes;
        if (camera_.fetch(p.path, bytes) == 0) decodePicture(bytes, kPickingThumbnailSide, &entry.thumbnail);
        entries.push_back(std::move(entry));
    }
    return picking_.show(module_, parent, entries, [this](const std::vector<size_t>& chosen) { onPicked(chosen); });
}

// The user's choice, on the application's thread: the chosen pictures
// become the transfers, or the source asks to be closed.
void Source::onPicked(const std::vector<size_t>& chosen) {
    if (state_ != 5) return;
    if (chosen.empty()) {
        notify(MSG_CLOSEDSREQ);
        return;
    }
    std::vector<CameraPicture> picked;
    for (size_t i : chosen)
        if (i < pictures_.size()) picked.push_back(pictures_[i]);
    pictures_ = std::move(picked);
    pending_ = countToTransfer();
    notify(MSG_XFERREADY);
}

// The pictures listed, as far as CAP_XFERCOUNT and a TW_UINT16 count reach.
TW_UINT16 Source::countToTransfer() const {
    const size_t limit = settings_.xferCount > 0 ? static_cast<size_t>(settings_.xferCount) : pictures_.size();
    return static_cast<TW_UINT16>(std::min({limit, pictures_.size(), size_t{0x7fff}}));
}

// A version 1 manager hands the application's every message here; the
// source's own posted notifications are answered, all else is not ours.
TwainOutcome Source::processEvent(TW_EVENT* data) {
    data->TWMessage = MSG_NULL;
    const MSG* message = static_cast<const MSG*>(data->pEvent);
    const bool ours = !manager_ && message && message->hwnd == window_.handle() && message->message == kNotifyMessage;
    if (ours) heldNotifications_.push_back(static_cast<TW_UINT16>(message->wParam));
    if (manager_ || heldNotifications_.empty()) return {ours ? TWRC_DSEVENT : TWRC_NOTDSEVENT, TWCC_SUCCESS};
    const TW_UINT16 notification = heldNotifications_.front();
    heldNotifications_.pop_front();
    if (notification == MSG_XFERREADY) {
        if (state_ != 5) return {TWRC_DSEVENT, TWCC_SUCCESS};
        state_ = 6;
    }
    data->TWMessage = notification;
    return {TWRC_DSEVENT, TWCC_SUCCESS};
}

CameraFacts Source::cameraFacts() {
    CameraFacts facts;
    facts.online = camera_.online() && !cameraGone_;
    facts.pictureWidth = current_.facts().width ? current_.facts().width : kCameraPictureWidth;
    facts.pictureHeight = current_.facts().height ? current_.facts().height : kCameraPictureHeight;
    facts.resolution = current_.facts().dpi;
    facts.readClock = [this](DWORD* time) { return camera_.readClock(time); };
    facts.writeClock = [this](DWORD time) { return camera_.writeClock(time); };
    return facts;
}

TwainOutcome Source::capability(TW_UINT16 msg, TW_CAPABILITY* data) {
    if (msg == MSG_RESETALL) {
        settings_ = SourceSettings();
        fileSetup_.Format = settings_.fileFormat;
        return {TWRC_SUCCESS, TWCC_SUCCESS};
    }
    const TwainOutcome outcome = runCapability(msg, *data, settings_, cameraFacts(), memory_);
    fileSetup_.Format = settings_.fileFormat;
    return outcome;
}

TwainOutcome Source::deviceEvent(TW_DEVICEEVENT* data) {
    if (events_.empty()) return {TWRC_FAILURE, TWCC_SEQERROR};
    *data = events_.front();
    events_.pop_front();
    return {TWRC_SUCCESS, TWCC_SUCCESS};
}

void Source::notify(TW_UINT16 msg) {
    if (manager_) sendToManager(msg);
    else window_.post(kNotifyMessage, msg);
}

// MSG_XFERREADY moves the source to state 6 as it goes out, unless the
// application disabled the source since it was posted.
void Source::sendToManager(TW_UINT16 msg) {
    if (msg == MSG_XFERREADY) {
        if (state_ != 5) return;
        state_ = 6;
    }
    manager_(&self_, &application_, DG_CONTROL, DAT_NULL, msg, nullptr);
}

void Source::onWindowMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == kNotifyMessage) {
        // Without a version 2 manager this is a notification the
        // application dispatched instead of handing it to DAT_EVENT: it
        // waits for the next DAT_EVENT.
        if (manager_) sendToManager(static_cast<TW_UINT16>(wParam));
        else heldNotifications_.push_back(static_cast<TW_UINT16>(wParam));
        return;
    }
    if (message == kSettingsMessage) {
        if (camera_.online()) camera_.showSettings(nullptr);
        if (state_ == 5) notify(MSG_CLOSEDSOK);
        return;
    }
    // A camera event, moved over from the library's thread.
    const DWORD event = static_cast<DWORD>(wParam);
    TW_DEVICEEVENT e = {};
    if (event & kEventClassLast) {
        cameraGone_ = true;
        e.Event = TWDE_DEVICEREMOVED;
    } else if (event == kEventBattery) {
        e.Event = TWDE_CHECKBATTERY;
        const DWORD level = static_cast<DWORD>(lParam) & kBatteryLevelMask;
        e.BatteryPercentage = static_cast<TW_INT16>(level == kBatteryExhausted ? 0 : level == kBatteryLow ? 10 : 100);
        e.BatteryMinutes = TWON_DONTCARE32;
    } else if (event == kEventTimeOut) {
        e.Event = TWDE_POWERSAVE;
    } else {
        return;
    }
    const auto& wanted = settings_.deviceEvents;
    if (std::find(wanted.begin(), wanted.end(), e.Event) == wanted.end()) return;
    lstrcpynA(e.DeviceName, self_.ProductName, sizeof e.DeviceName);
    events_.push_back(e);
    notify(MSG_DEVICEEVENT);
}

// The library's notification thread: only moves the event over to the
// application's thread.
DWORD WINAPI Source::onCameraEvent(DWORD event, void* data, DWORD size, UINT_PTR context) {
    DWORD first = 0;
    if (data && size >= sizeof first) std::memcpy(&first, data, sizeof first);
    reinterpret_cast<Source*>(context)->window_.post(kCameraEventMessage, event, static_cast<LPARAM>(first));
    return 0;
}
