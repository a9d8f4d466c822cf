// The USB road of the storage operations: each sends one command block to
// the camera; those that fetch or store bulk data then hand over to a
// stream transfer, which ends the device lock that the command took.
#include <cstring>
#include <utility>

#include "guarded_block.h"
#include "stream_wrappers.h"
#include "sti_transport.h"
#include "usb_exchange.h"
#include "usb_payloads.h"
#include "usb_road.h"
#include "volume_list.h"

namespace bv {
namespace {

enum StorageCommand : DWORD {
    kCommandGetVols = 4,
    kCommandGetDirs = 5,
    kCommandGetFile = 6,
    kCommandPutFile = 7,
    kCommandDeleteFiles = 8,
    kCommandDeleteVolPictures = 9,
    kCommandSetFileAttribs = 10,
    kCommandSetFileTimes = 11,
    kCommandFormatVol = 12,
    kCommandCreateDir = 13,
    kCommandRemoveDir = 14,
    kCommandJpegHeader = 20,
};

DWORD sendText(DWORD command, const char* text) {
    if (!text) return BVL_E_INVALID_PARAMETER;
    return exchangeLocked(command, textLength(text), text, nullptr, 0);
}

// The stream is checked first: a stream without a writer is refused
// whatever the path.
DWORD fetchFile(DWORD command, const char* path, const bvlStream* stream) {
    if (!stream || !stream->WriteCB) return BVL_E_INVALID_FN_POINTER;
    if (!path) return BVL_E_INVALID_PARAMETER;
    const requestBlock request = {command, textLength(path), path};
    return fetchAnnounced(request, stream, InStreamFuncForGetFromSTI, true);
}

// Sends a command whose payload is a built block, which is freed after.
DWORD sendBuilt(DWORD command, const PayloadBlock& payload) {
    if (!payload.block) return BVL_E_MEM_ALLOC_FAILED;
    return exchangeLocked(command, payload.length, payload.block.get(), nullptr, 0);
}

DWORD askVolumeList(OwnedBlock& list, WORD slots) {
    const DWORD length = volumeListLength(slots);
    list.reset(allocZeroedBlock(length));
    if (!list) return BVL_E_MEM_ALLOC_FAILED;
    const requestBlock request = {kCommandGetVols, sizeof slots, &slots};
    return DoBvCommand(&request, list.get(), length, kBulkCommandTimeoutMs, kLockAround);
}

// The volume list with room for every volume: a first ask with one slot
// tells how many there are, a second one fetches them all.
DWORD readVolumeList(OwnedBlock& list, WORD& slots) {
    slots = 1;
    if (DWORD rc = askVolumeList(list, slots)) return rc;
    const WORD reported = static_cast<WORD>(volumeCount(list.get()));
    if (reported <= slots) return 0;
    slots = reported;
    return askVolumeList(list, slots);
}

// Measures the caller's source: the file size is the position of its end.
// The position is put back and the stream closed again. A failing step ends
// the measuring at once with its code; no seek back and no CloseCB follow
// it, so the caller finds the stream as that step left it.
DWORD measureSource(const bvlStream* source, DWORD* size) {
    DWORD error = 0;
    streamOpen(source, BVL_STREAM_OPEN_READ, &error);
    if (error) return BVL_E_STREAM_OPEN_ERROR;
    const DWORD start = source->TellCB(source->context, &error);
    if (error) return BVL_E_STREAM_TELL_ERROR;
    source->SeekCB(source->context, BVL_SEEK_END, 0, &error);
    if (error) return BVL_E_STREAM_SEEK_ERROR;
    *size = source->TellCB(source->context, &error);
    if (error) return BVL_E_STREAM_TELL_ERROR;
    source->SeekCB(source->context, BVL_SEEK_SET, static_cast<LONG>(start), &error);
    if (error) return BVL_E_STREAM_SEEK_ERROR;
    streamClose(source, &error);
    return error ? BVL_E_STREAM_OPEN_ERROR : 0;
}

}  // namespace

DWORD WINAPI usbGetVols(DWORD, bvlStream* stream) {
    if (!stream || !stream->WriteCB) return BVL_E_INVALID_FN_POINTER;
    DWORD rc = 0;
    streamOpen(stream, BVL_STREAM_OPEN_WRITE, &rc);
    if (rc != 0) return BVL_E_INVALID_FN_POINTER;
    {
        OwnedBlock list;
        WORD slots = 0;
        rc = readVolumeList(list, slots);
        if (rc == 0) rc = writeVolumeEntries(stream, list.get(), slots);
        if (rc == 0) streamProgress(stream, 100, &rc);
    }
    DWORD closeError = 0;
    streamClose(stream, &closeError);
    return rc != 0 ? rc : closeError;
}

DWORD WINAPI usbGetDirs(DWORD, const BYTE* subtree, bvlStream* stream) {
    if (!stream || !stream->WriteCB) return BVL_E_INVALID_FN_POINTER;
    if (!subtree) return BVL_E_INVALID_PARAMETER;
    const requestBlock request = {kCommandGetDirs, subtreeLength(subtree), subtree};
    return fetchAnnounced(request, stream, InStreamFuncForGetFromSTIForGetDir, false);
}

DWORD WINAPI usbGetFile(DWORD, const char* path, bvlStream* stream) {
    return fetchFile(kCommandGetFile, path, stream);
}

DWORD WINAPI usbGetJpegParsingHeader(DWORD, const char* path, bvlStream* stream) {
    return fetchFile(kCommandJpegHeader, path, stream);
}

// The source is measured before the name is looked at, so a source that
// fails gives its own code whatever the name.
DWORD WINAPI usbPutFile(DWORD, const char* name, bvlStream* source) {
    if (!source || !source->ReadCB || !source->SeekCB || !source->TellCB)
        return BVL_E_INVALID_FN_POINTER;
    DWORD size = 0;
    if (DWORD rc = measureSource(source, &size)) return rc;
    if (!name) return BVL_E_INVALID_PARAMETER;
    // An empty source is refused before the camera hears of an upload that
    // the transfer would refuse anyway.
    if (size == 0) return BVL_E_INVALID_PARAMETER;
    const PayloadBlock payload = buildPutPayload(size, name);
    if (!payload.block) return BVL_E_MEM_ALLOC_FAILED;
    const requestBlock request = {kCommandPutFile, payload.length, payload.block.get()};
    DeviceLock lock;
    if (DWORD rc = DoBvCommand(&request, nullptr, 0, kBulkCommandTimeoutMs, lock)) return rc;
    return InStreamFuncForPutToSTI(source, std::move(lock), size);
}

DWORD WINAPI usbDeleteFiles(DWORD, const char* fileList) {
    if (!fileList) return BVL_E_INVALID_PARAMETER;
    return exchangeLocked(kCommandDeleteFiles, listLength(fileList), fileList, nullptr, 0);
}

DWORD WINAPI usbDeleteVolPictures(DWORD, const char* volume, DWORD, DWORD) {
    return sendText(kCommandDeleteVolPictures, volume);
}

DWORD WINAPI usbFormatVol(DWORD, const char* volume, DWORD, DWORD) {
    return sendText(kCommandFormatVol, volume);
}

DWORD WINAPI usbCreateDir(DWORD, const char* path) { return sendText(kCommandCreateDir, path); }

DWORD WINAPI usbRemoveDir(DWORD, const char* path) { return sendText(kCommandRemoveDir, path); }

DWORD WINAPI usbSetFileAttribs(DWORD, const char* fileList, DWORD attribs) {
    if (!fileList) return BVL_E_INVALID_PARAMETER;
    return sendBuilt(kCommandSetFileAttribs, buildAttribsPayload(static_cast<BYTE>(attribs), fileList));
}

DWORD WINAPI usbSetFileTimes(DWORD, const char* fileList, DWORD time) {
    if (!fileList) return BVL_E_INVALID_PARAMETER;
    return sendBuilt(kCommandSetFileTimes, buildTimesPayload(time, fileList));
}

}  // namespace bv
