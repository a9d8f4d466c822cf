// The USB road of the base operations: the work the library does itself
// through the Still Image service. Each has the signature of its slot in
// bvlBaseAPI, so that the front can put it in the USB road's table; the
// camera word is ignored. Bulk data goes through the caller's stream.
#pragma once

#include "bvcl2sti.h"

namespace bv {

// Slot 1: the open camera's (or the selected model's) description from the model name.
DWORD WINAPI usbGetModelDescrip(DWORD camera, bvlModelDescrip* descrip);
// Slot 3: opens the device by name or model, connects, stores the last port, starts the event channel.
DWORD WINAPI usbOpenCameraComm(bvlCameraPort* port, bvlNotifyCB callback, UINT_PTR context, DWORD* camera);
// Slot 4: stops the event channel and stray exchanges, disconnects, releases the device.
DWORD WINAPI usbCloseCameraComm(DWORD camera);
// Slot 5: the open USB port's descriptor (the caller has zeroed it).
DWORD WINAPI usbGetOpenCameraPort(DWORD camera, bvlCameraPort* port);
// Slot 6: the volume list, written to the stream.
DWORD WINAPI usbGetVols(DWORD camera, bvlStream* stream);
// Slot 7: the listing of a subtree, written to the stream.
DWORD WINAPI usbGetDirs(DWORD camera, const BYTE* subtree, bvlStream* stream);
// Slot 8: a file's bytes, written to the stream.
DWORD WINAPI usbGetFile(DWORD camera, const char* path, bvlStream* stream);
// Slot 9: deletes the files of a list.
DWORD WINAPI usbDeleteFiles(DWORD camera, const char* fileList);
// Slot 10: deletes a volume's pictures.
DWORD WINAPI usbDeleteVolPictures(DWORD camera, const char* volume, DWORD word1, DWORD word2);
// Slot 12: reads one setting into the caller's record.
DWORD WINAPI usbReadSetting(DWORD camera, DWORD id, void* value);
// Slot 13: writes one setting from the caller's record.
DWORD WINAPI usbWriteSetting(DWORD camera, DWORD id, void* value);
// Slot 15: formats a volume.
DWORD WINAPI usbFormatVol(DWORD camera, const char* volume, DWORD word1, DWORD word2);
// Slot 16: creates a folder.
DWORD WINAPI usbCreateDir(DWORD camera, const char* path);
// Slot 17: removes a folder.
DWORD WINAPI usbRemoveDir(DWORD camera, const char* path);
// Slot 18: stores a file read from the stream.
DWORD WINAPI usbPutFile(DWORD camera, const char* name, bvlStream* source);
// Slot 19: sets the attribute byte of the files of a list.
DWORD WINAPI usbSetFileAttribs(DWORD camera, const char* fileList, DWORD attribs);
// Slot 20: sets the time of the files of a list.
DWORD WINAPI usbSetFileTimes(DWORD camera, const char* fileList, DWORD time);
// Slot 21: a picture's JPEG header, written to the stream.
DWORD WINAPI usbGetJpegParsingHeader(DWORD camera, const char* path, bvlStream* stream);
// Slot 22: a release request and its reply.
DWORD WINAPI usbReleaseControlEx(DWORD camera, DWORD requestLength, const void* request, DWORD replyLength,
                                 void* reply);
// Slot 23: the released picture, written to the stream.
DWORD WINAPI usbReleaseControlGetReleasedData(DWORD camera, DWORD word1, DWORD word2, bvlStream* stream);
// Slot 24: the current view-finder frame, written to the stream.
DWORD WINAPI usbReleaseControlGetViewFinderData(DWORD camera, bvlStream* stream);

// Slot 27, which does not dispatch: the USB model list, whatever the port
// type.
DWORD listUsbModels(bvlStream* stream);

}  // namespace bv
