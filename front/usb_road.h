// The USB road of each base operation: the work the library does itself
// through the Still Image service when the port type is USB. Each takes
// the operation's own arguments and returns its code.
#pragma once

#include "../include/bvcl2sti.h"

namespace bv {

DWORD usbGetModelDescrip(DWORD camera, bvlModelDescrip* descrip);
DWORD usbOpenCameraComm(bvlCameraPort* port, bvlNotifyCB callback, DWORD* camera);
DWORD usbCloseCameraComm(DWORD camera);
DWORD usbGetOpenCameraPort(DWORD camera, bvlCameraPort* port);
DWORD usbGetVols(DWORD camera, bvlStream* stream);
DWORD usbGetDirs(DWORD camera, const BYTE* subtree, bvlStream* stream);
DWORD usbGetFile(DWORD camera, const char* path, bvlStream* stream);
DWORD usbDeleteFiles(DWORD camera, const char* fileList);
DWORD usbDeleteVolPictures(DWORD camera, const char* volume, DWORD word1, DWORD word2);
DWORD usbShowSettingsUI(DWORD camera, HWND parent);
DWORD usbReadSetting(DWORD camera, DWORD id, void* value);
DWORD usbWriteSetting(DWORD camera, DWORD id, void* value);
DWORD usbFormatVol(DWORD camera, const char* volume, DWORD word1, DWORD word2);
DWORD usbCreateDir(DWORD camera, const char* path);
DWORD usbRemoveDir(DWORD camera, const char* path);
DWORD usbPutFile(DWORD camera, const char* name, bvlStream* source);
DWORD usbSetFileAttribs(DWORD camera, const char* fileList, DWORD attribs);
DWORD usbSetFileTimes(DWORD camera, const char* fileList, DWORD time);
DWORD usbGetJpegParsingHeader(DWORD camera, const char* path, bvlStream* stream);
DWORD usbReleaseControlEx(DWORD camera, DWORD requestLength, const void* request,
                          DWORD replyLength, void* reply);
DWORD usbReleaseControlGetReleasedData(DWORD camera, DWORD word1, DWORD word2, bvlStream* stream);
DWORD usbReleaseControlGetViewFinderData(DWORD camera, bvlStream* stream);

// Port selection, the model selector and the USB model list have no serial
// forward; they run here whatever the port type.
DWORD selectCameraModel(DWORD modelID);
DWORD lookUpDevicePort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort* port,
                       DWORD wantedKind);
DWORD listUsbModels(bvlStream* stream);

}  // namespace bv
