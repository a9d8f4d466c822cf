// The 27 base operations, exported by their decorated standard-call names
// and through g_bvlBaseAPI.
#pragma once

#include "../include/bvcl2sti.h"

extern "C" {

DWORD WINAPI baseGetModelDescrip(DWORD camera, bvlModelDescrip* descrip);
DWORD WINAPI baseGetCameraPort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort* port);
DWORD WINAPI baseOpenCameraComm(bvlCameraPort* port, bvlNotifyCB callback, UINT_PTR context,
                                DWORD* camera);
DWORD WINAPI baseCloseCameraComm(DWORD camera);
DWORD WINAPI baseGetOpenCameraPort(DWORD camera, bvlCameraPort* port);
DWORD WINAPI baseGetVols(DWORD camera, bvlStream* stream);
DWORD WINAPI baseGetDirs(DWORD camera, const BYTE* subtree, bvlStream* stream);
DWORD WINAPI baseGetFile(DWORD camera, const char* path, bvlStream* stream);
DWORD WINAPI baseDeleteFiles(DWORD camera, const char* fileList);
DWORD WINAPI baseDeleteVolPictures(DWORD camera, const char* volume, DWORD word1, DWORD word2);
DWORD WINAPI baseShowSettingsUI(DWORD camera, HWND parent);
DWORD WINAPI baseReadSetting(DWORD camera, DWORD id, void* value);
DWORD WINAPI baseWriteSetting(DWORD camera, DWORD id, void* value);
DWORD WINAPI baseSetNotificationCB(DWORD camera, bvlNotifyCB callback, UINT_PTR context);
DWORD WINAPI baseFormatVol(DWORD camera, const char* volume, DWORD word1, DWORD word2);
DWORD WINAPI baseCreateDir(DWORD camera, const char* path);
DWORD WINAPI baseRemoveDir(DWORD camera, const char* path);
DWORD WINAPI basePutFile(DWORD camera, const char* name, bvlStream* source);
DWORD WINAPI baseSetFileAttribs(DWORD camera, const char* fileList, DWORD attribs);
DWORD WINAPI baseSetFileTimes(DWORD camera, const char* fileList, DWORD time);
DWORD WINAPI baseGetJpegParsingHeader(DWORD camera, const char* path, bvlStream* stream);
DWORD WINAPI baseReleaseControlEx(DWORD camera, DWORD requestLength, const void* request,
                                  DWORD replyLength, void* reply);
DWORD WINAPI baseReleaseControlGetReleasedData(DWORD camera, DWORD word1, DWORD word2,
                                               bvlStream* stream);
DWORD WINAPI baseReleaseControlGetViewFinderData(DWORD camera, bvlStream* stream);
DWORD WINAPI baseSetCameraSelector(DWORD modelID);
DWORD WINAPI baseGetDevicePort(DWORD request, HWND parent, DWORD modelID, bvlCameraPort* port,
                               DWORD wantedKind);
DWORD WINAPI baseGetUSBModels(bvlStream* stream);

}  // extern "C"
