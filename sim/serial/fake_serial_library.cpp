// FakeSerialLibrary: a stand-in for the maker's serial camera library
// BVCLL.DLL. It exports g_bvlBaseAPI (27 slots) and g_bvlFactryAPI and
// answers from the virtual camera of bvsim.dll. Every call is first
// offered to the fault plan ("serial.slotN") and then recorded with its
// arguments and result, so tests can prove that calls arrive unchanged.
#include <algorithm>
#include <cstring>
#include <type_traits>
#include <string>
#include <vector>

#include "../../include/bvcl2sti.h"
#include "../camera/bvsim.h"
#include "../camera/sim_camera.h"
#include "sim_stream.h"

using namespace bvsim;

namespace {

constexpr DWORD kCameraWordBase = 0x00c30000;

struct SerialConnection {
    bool open = false;
    DWORD cameraWord = 0;
    bvlCameraPort port = {};
    bvlNotifyCB callback = nullptr;
    UINT_PTR context = 0;
};

SerialConnection g_connection;

template <class T>
UINT_PTR toWord(T value) {
    if constexpr (std::is_pointer<T>::value)
        return reinterpret_cast<UINT_PTR>(value);
    else
        return static_cast<UINT_PTR>(value);
}

// Offers the call to the fault plan, runs it and records it.
template <class... Args>
DWORD serve(DWORD slot, DWORD (*body)(Args...), Args... args) {
    SimSerialCall call = {0, slot, sizeof...(Args), {toWord(args)...}, 0};
    char step[32];
    wsprintfA(step, "serial.slot%lu", static_cast<unsigned long>(slot));
    DWORD code = 0;
    call.result = simShouldFail(step, &code) ? code : body(args...);
    simRecordSerialCall(&call);
    return call.result;
}

DWORD checkCamera(DWORD camera) {
    return g_connection.open && camera == g_connection.cameraWord ? 0 : kCamInvalidHandle;
}

std::vector<std::string> splitList(const char* list) {
    std::vector<std::string> names;
    for (const char* p = list; *p; p += std::strlen(p) + 1) names.emplace_back(p);
    return names;
}

DWORD forEachInList(const char* list, DWORD (*action)(const std::string&, DWORD), DWORD value) {
    if (!list) return kCamInvalidParameter;
    for (const std::string& name : splitList(list)) {
        DWORD rc = action(name, value);
        if (rc != 0) return rc;
    }
    return 0;
}

// ---- slots ----

DWORD getModelDescrip(DWORD camera, bvlModelDescrip* descrip) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!descrip) return kCamInvalidParameter;
    std::memset(descrip, 0, sizeof *descrip);
    DWORD modelID = 0;
    simSerialCameraModel(g_connection.port.u.serial.portNumber, &modelID, descrip->modelName);
    descrip->modelID = modelID;
    return 0;
}

DWORD openCameraComm(bvlCameraPort* port, bvlNotifyCB callback, UINT_PTR context, DWORD* camera) {
    if (!port || !camera || port->portType != BVL_PORT_SERIAL) return kCamInvalidParameter;
    const BYTE number = port->u.serial.portNumber;
    if (number < 1 || number > 32 || !(simSerialCameraPorts() & (1u << (number - 1))))
        return kCamDeviceNotFound;
    if (g_connection.open) return kCamPortInUse;
    g_connection.open = true;
    g_connection.cameraWord = kCameraWordBase | number;
    g_connection.port = *port;
    g_connection.callback = callback;
    g_connection.context = context;
    *camera = g_connection.cameraWord;
    return 0;
}

DWORD closeCameraComm(DWORD camera) {
    if (DWORD rc = checkCamera(camera)) return rc;
    g_connection = SerialConnection();
    return 0;
}

DWORD getOpenCameraPort(DWORD camera, bvlCameraPort* port) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!port) return kCamInvalidParameter;
    *port = g_connection.port;
    return 0;
}

DWORD getVols(DWORD camera, bvlStream* stream) {
    if (DWORD rc = checkCamera(camera)) return rc;
    std::vector<BYTE> out(4);
    const std::vector<SimVolume> volumes = simCamera().volumes();
    const DWORD count = static_cast<DWORD>(volumes.size());
    std::memcpy(out.data(), &count, 4);
    for (const SimVolume& v : volumes) {
        const DWORD words[3] = {v.passThrough, v.totalBytes, simCamera().freeBytes(v.name)};
        out.insert(out.end(), reinterpret_cast<const BYTE*>(words),
                   reinterpret_cast<const BYTE*>(words) + sizeof words);
        out.insert(out.end(), v.name.begin(), v.name.end());
        out.push_back(0);
    }
    return simSendToStream(stream, out);
}

DWORD getDirs(DWORD camera, const BYTE* subtree, bvlStream* stream) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!subtree) return kCamInvalidParameter;
    std::vector<SimEntry> entries;
    if (DWORD rc = simCamera().listDirectory(subtreePath(subtree), entries)) return rc;
    std::vector<BYTE> out = encodeListing(entries);
    return simSendToStream(stream, out);
}

DWORD getFile(DWORD camera, const char* path, bvlStream* stream) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!path) return kCamInvalidParameter;
    std::vector<BYTE> data;
    if (DWORD rc = simCamera().readFile(path, data)) return rc;
    return simSendToStream(stream, data);
}

DWORD getJpegParsingHeader(DWORD camera, const char* path, bvlStream* stream) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!path) return kCamInvalidParameter;
    std::vector<BYTE> header;
    if (DWORD rc = simCamera().jpegHeader(path, header)) return rc;
    return simSendToStream(stream, header);
}

DWORD deleteFiles(DWORD camera, const char* list) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return forEachInList(list, [](const std::string& n, DWORD) { return simCamera().deleteFile(n); }, 0);
}

DWORD deleteVolPictures(DWORD camera, const char* volume, DWORD, DWORD) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return volume ? simCamera().deletePictures(volume) : kCamInvalidParameter;
}

DWORD showSettingsUI(DWORD camera, HWND) { return checkCamera(camera); }

DWORD readSetting(DWORD camera, DWORD id, void* value) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!value) return kCamInvalidParameter;
    std::vector<BYTE> bytes;
    if (DWORD rc = simCamera().readSetting(id, bytes)) return rc;
    std::memcpy(value, bytes.data(), bytes.size());
    return 0;
}

// IDs 1 to 4 take the bare value (a byte, a text, a word, three words);
// other IDs take a record {ID, length, value}.
DWORD writeSetting(DWORD camera, DWORD id, void* value) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!value) return kCamInvalidParameter;
    const BYTE* bytes = static_cast<const BYTE*>(value);
    switch (id) {
    case 1: return simCamera().writeSetting(id, bytes, 1);
    case 2: return simCamera().writeSetting(id, bytes, lstrlenA(static_cast<const char*>(value)) + 1);
    case 3: return simCamera().writeSetting(id, bytes, 4);
    case 4: return simCamera().writeSetting(id, bytes, 12);
    default: return simCamera().writeSetting(id, bytes + 8, *reinterpret_cast<const DWORD*>(bytes + 4));
    }
}

DWORD setNotificationCB(DWORD camera, bvlNotifyCB callback, UINT_PTR context) {
    if (DWORD rc = checkCamera(camera)) return rc;
    g_connection.callback = callback;
    g_connection.context = context;
    return 0;
}

DWORD formatVol(DWORD camera, const char* volume, DWORD, DWORD) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return volume ? simCamera().formatVolume(volume) : kCamInvalidParameter;
}

DWORD createDir(DWORD camera, const char* path) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return path ? simCamera().createDirectory(path) : kCamInvalidParameter;
}

DWORD removeDir(DWORD camera, const char* path) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return path ? simCamera().removeDirectory(path) : kCamInvalidParameter;
}

DWORD putFile(DWORD camera, const char* name, bvlStream* source) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!name) return kCamInvalidParameter;
    std::vector<BYTE> data;
    if (DWORD rc = simReceiveFromStream(source, data)) return rc;
    return simCamera().writeFile(name, data);
}

DWORD setFileAttribs(DWORD camera, const char* list, DWORD attribs) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return forEachInList(list, [](const std::string& n, DWORD a) {
        return simCamera().setAttributes(n, static_cast<BYTE>(a)); }, attribs);
}

DWORD setFileTimes(DWORD camera, const char* list, DWORD time) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return forEachInList(list, [](const std::string& n, DWORD t) { return simCamera().setTime(n, t); },
                         time);
}

// Request byte 0 = 1 releases the shutter; the reply starts with the size
// of the released picture.
DWORD releaseControlEx(DWORD camera, DWORD requestLength, const void* request, DWORD replyLength,
                       void* reply) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (!request || LOWORD(requestLength) < 1) return kCamInvalidParameter;
    if (*static_cast<const BYTE*>(request) != 1) return kCamNotSupported;
    std::vector<BYTE> answer;
    if (DWORD rc = simCamera().release(answer)) return rc;
    if (reply) std::memcpy(reply, answer.data(), std::min<size_t>(LOWORD(replyLength), answer.size()));
    return 0;
}

DWORD getReleasedData(DWORD camera, DWORD, DWORD, bvlStream* stream) {
    if (DWORD rc = checkCamera(camera)) return rc;
    if (simCamera().releasedData().empty()) return kCamFileNotFound;
    return simSendToStream(stream, simCamera().releasedData());
}

DWORD getViewFinderData(DWORD camera, bvlStream* stream) {
    if (DWORD rc = checkCamera(camera)) return rc;
    return simSendToStream(stream, simCamera().viewFinderFrame());
}

// Slots the library never calls on this table: recorded, and refused.
DWORD neverCalled() { return kCamNotSupported; }

}  // namespace

// ---- exported table ----

namespace {
DWORD WINAPI fakeGetModelDescrip(DWORD c, bvlModelDescrip* d) { return serve(1, getModelDescrip, c, d); }
DWORD WINAPI fakeGetCameraPort(DWORD r, HWND w, DWORD m, bvlCameraPort* p) {
    return serve(2, +[](DWORD, HWND, DWORD, bvlCameraPort*) { return neverCalled(); }, r, w, m, p);
}
DWORD WINAPI fakeOpenCameraComm(bvlCameraPort* p, bvlNotifyCB cb, UINT_PTR x, DWORD* c) {
    return serve(3, openCameraComm, p, cb, x, c);
}
DWORD WINAPI fakeCloseCameraComm(DWORD c) { return serve(4, closeCameraComm, c); }
DWORD WINAPI fakeGetOpenCameraPort(DWORD c, bvlCameraPort* p) { return serve(5, getOpenCameraPort, c, p); }
DWORD WINAPI fakeGetVols(DWORD c, bvlStream* s) { return serve(6, getVols, c, s); }
DWORD WINAPI fakeGetDirs(DWORD c, const BYTE* t, bvlStream* s) { return serve(7, getDirs, c, t, s); }
DWORD WINAPI fakeGetFile(DWORD c, const char* p, bvlStream* s) { return serve(8, getFile, c, p, s); }
DWORD WINAPI fakeDeleteFiles(DWORD c, const char* l) { return serve(9, deleteFiles, c, l); }
DWORD WINAPI fakeDeleteVolPictures(DWORD c, const char* v, DWORD a, DWORD b) {
    return serve(10, deleteVolPictures, c, v, a, b);
}
DWORD WINAPI fakeShowSettingsUI(DWORD c, HWND w) { return serve(11, showSettingsUI, c, w); }
DWORD WINAPI fakeReadSetting(DWORD c, DWORD i, void* v) { return serve(12, readSetting, c, i, v); }
DWORD WINAPI fakeWriteSetting(DWORD c, DWORD i, void* v) { return serve(13, writeSetting, c, i, v); }
DWORD WINAPI fakeSetNotificationCB(DWORD c, bvlNotifyCB cb, UINT_PTR x) {
    return serve(14, setNotificationCB, c, cb, x);
}
DWORD WINAPI fakeFormatVol(DWORD c, const char* v, DWORD a, DWORD b) { return serve(15, formatVol, c, v, a, b); }
DWORD WINAPI fakeCreateDir(DWORD c, const char* p) { return serve(16, createDir, c, p); }
DWORD WINAPI fakeRemoveDir(DWORD c, const char* p) { return serve(17, removeDir, c, p); }
DWORD WINAPI fakePutFile(DWORD c, const char* n, bvlStream* s) { return serve(18, putFile, c, n, s); }
DWORD WINAPI fakeSetFileAttribs(DWORD c, const char* l, DWORD a) { return serve(19, setFileAttribs, c, l, a); }
DWORD WINAPI fakeSetFileTimes(DWORD c, const char* l, DWORD t) { return serve(20, setFileTimes, c, l, t); }
DWORD WINAPI fakeGetJpegParsingHeader(DWORD c, const char* p, bvlStream* s) {
    return serve(21, getJpegParsingHeader, c, p, s);
}
DWORD WINAPI fakeReleaseControlEx(DWORD c, DWORD ql, const void* q, DWORD rl, void* r) {
    return serve(22, releaseControlEx, c, ql, q, rl, r);
}
DWORD WINAPI fakeGetReleasedData(DWORD c, DWORD a, DWORD b, bvlStream* s) {
    return serve(23, getReleasedData, c, a, b, s);
}
DWORD WINAPI fakeGetViewFinderData(DWORD c, bvlStream* s) { return serve(24, getViewFinderData, c, s); }
DWORD WINAPI fakeSetCameraSelector(DWORD m) {
    return serve(25, +[](DWORD) { return neverCalled(); }, m);
}
DWORD WINAPI fakeGetDevicePort(DWORD r, HWND w, DWORD m, bvlCameraPort* p, DWORD k) {
    return serve(26, +[](DWORD, HWND, DWORD, bvlCameraPort*, DWORD) { return neverCalled(); }, r, w, m, p, k);
}
DWORD WINAPI fakeGetUSBModels(bvlStream* s) {
    return serve(27, +[](bvlStream*) { return neverCalled(); }, s);
}
}  // namespace

extern "C" __declspec(dllexport) const bvlBaseAPI g_bvlBaseAPI = {
    BVL_BASE_API_VERSION,
    fakeGetModelDescrip, fakeGetCameraPort, fakeOpenCameraComm, fakeCloseCameraComm,
    fakeGetOpenCameraPort, fakeGetVols, fakeGetDirs, fakeGetFile, fakeDeleteFiles,
    fakeDeleteVolPictures, fakeShowSettingsUI, fakeReadSetting, fakeWriteSetting,
    fakeSetNotificationCB, fakeFormatVol, fakeCreateDir, fakeRemoveDir, fakePutFile,
    fakeSetFileAttribs, fakeSetFileTimes, fakeGetJpegParsingHeader, fakeReleaseControlEx,
    fakeGetReleasedData, fakeGetViewFinderData, fakeSetCameraSelector, fakeGetDevicePort,
    fakeGetUSBModels,
};

extern "C" BOOL WINAPI DllMain(HINSTANCE, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        simAddToCounter("serial.library", 1);
        simAddToCounter("serial.loads", 1);
    } else if (reason == DLL_PROCESS_DETACH) {
        simAddToCounter("serial.library", -1);
        g_connection = SerialConnection();
    }
    return TRUE;
}
