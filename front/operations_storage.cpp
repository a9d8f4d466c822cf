// Camera storage: volumes, directories, files. Each forwards on a serial
// port and runs its USB road on a USB port.
#include "dispatch.h"
#include "../include/bvcl2sti.h"
#include "usb_road.h"

using namespace bv;

extern "C" DWORD WINAPI baseGetVols(DWORD camera, bvlStream* stream) {
    return dispatchOperation("baseGetVols is called\n", &bvlBaseAPI::baseGetVols, usbGetVols,
                             camera, stream);
}

extern "C" DWORD WINAPI baseGetDirs(DWORD camera, const BYTE* subtree, bvlStream* stream) {
    return dispatchOperation("baseGetDirs is called\n", &bvlBaseAPI::baseGetDirs, usbGetDirs,
                             camera, subtree, stream);
}

extern "C" DWORD WINAPI baseGetFile(DWORD camera, const char* path, bvlStream* stream) {
    return dispatchOperation("baseGetFile is called\n", &bvlBaseAPI::baseGetFile, usbGetFile,
                             camera, path, stream);
}

extern "C" DWORD WINAPI baseDeleteFiles(DWORD camera, const char* fileList) {
    return dispatchOperation("baseDeleteFiles is called\n", &bvlBaseAPI::baseDeleteFiles,
                             usbDeleteFiles, camera, fileList);
}

extern "C" DWORD WINAPI baseDeleteVolPictures(DWORD camera, const char* volume, DWORD word1,
                                              DWORD word2) {
    return dispatchOperation("baseDeleteVolPictures is called\n", &bvlBaseAPI::baseDeleteVolPictures,
                             usbDeleteVolPictures, camera, volume, word1, word2);
}

extern "C" DWORD WINAPI baseFormatVol(DWORD camera, const char* volume, DWORD word1, DWORD word2) {
    return dispatchOperation("baseFormatVol is called\n", &bvlBaseAPI::baseFormatVol, usbFormatVol,
                             camera, volume, word1, word2);
}

extern "C" DWORD WINAPI baseCreateDir(DWORD camera, const char* path) {
    return dispatchOperation("baseCreateDir is called\n", &bvlBaseAPI::baseCreateDir, usbCreateDir,
                             camera, path);
}

extern "C" DWORD WINAPI baseRemoveDir(DWORD camera, const char* path) {
    return dispatchOperation("baseRemoveDir is called\n", &bvlBaseAPI::baseRemoveDir, usbRemoveDir,
                             camera, path);
}

extern "C" DWORD WINAPI basePutFile(DWORD camera, const char* name, bvlStream* source) {
    return dispatchOperation("basePutFile is called\n", &bvlBaseAPI::basePutFile, usbPutFile, camera,
                             name, source);
}

extern "C" DWORD WINAPI baseSetFileAttribs(DWORD camera, const char* fileList, DWORD attribs) {
    return dispatchOperation("baseSetFileAttribs is called\n", &bvlBaseAPI::baseSetFileAttribs,
                             usbSetFileAttribs, camera, fileList, attribs);
}

extern "C" DWORD WINAPI baseSetFileTimes(DWORD camera, const char* fileList, DWORD time) {
    return dispatchOperation("baseSetFileTimes is called\n", &bvlBaseAPI::baseSetFileTimes,
                             usbSetFileTimes, camera, fileList, time);
}

extern "C" DWORD WINAPI baseGetJpegParsingHeader(DWORD camera, const char* path, bvlStream* stream) {
    return dispatchOperation("baseGetJpegParsingHeader is called\n",
                             &bvlBaseAPI::baseGetJpegParsingHeader, usbGetJpegParsingHeader, camera,
                             path, stream);
}
