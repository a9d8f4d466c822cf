// Camera storage: volumes, directories, files. Each forwards on a serial
// port and runs its USB road on a USB port.
#include "dispatch.h"
#include "bvcl2sti.h"

using namespace bv;

extern "C" DWORD WINAPI baseGetVols(DWORD camera, bvlStream* stream) {
    return dispatch("baseGetVols is called\n", &bvlBaseAPI::baseGetVols,
                             camera, stream);
}

extern "C" DWORD WINAPI baseGetDirs(DWORD camera, const BYTE* subtree, bvlStream* stream) {
    return dispatch("baseGetDirs is called\n", &bvlBaseAPI::baseGetDirs,
                             camera, subtree, stream);
}

extern "C" DWORD WINAPI baseGetFile(DWORD camera, const char* path, bvlStream* stream) {
    return dispatch("baseGetFile is called\n", &bvlBaseAPI::baseGetFile,
                             camera, path, stream);
}

extern "C" DWORD WINAPI baseDeleteFiles(DWORD camera, const char* fileList) {
    return dispatch("baseDeleteFiles is called\n", &bvlBaseAPI::baseDeleteFiles, camera, fileList);
}

extern "C" DWORD WINAPI baseDeleteVolPictures(DWORD camera, const char* volume, DWORD word1,
                                              DWORD word2) {
    return dispatch("baseDeleteVolPictures is called\n", &bvlBaseAPI::baseDeleteVolPictures, camera, volume, word1, word2);
}

extern "C" DWORD WINAPI baseFormatVol(DWORD camera, const char* volume, DWORD word1, DWORD word2) {
    return dispatch("baseFormatVol is called\n", &bvlBaseAPI::baseFormatVol,
                             camera, volume, word1, word2);
}

extern "C" DWORD WINAPI baseCreateDir(DWORD camera, const char* path) {
    return dispatch("baseCreateDir is called\n", &bvlBaseAPI::baseCreateDir,
                             camera, path);
}

extern "C" DWORD WINAPI baseRemoveDir(DWORD camera, const char* path) {
    return dispatch("baseRemoveDir is called\n", &bvlBaseAPI::baseRemoveDir,
                             camera, path);
}

extern "C" DWORD WINAPI basePutFile(DWORD camera, const char* name, bvlStream* source) {
    return dispatch("basePutFile is called\n", &bvlBaseAPI::basePutFile, camera,
                             name, source);
}

extern "C" DWORD WINAPI baseSetFileAttribs(DWORD camera, const char* fileList, DWORD attribs) {
    return dispatch("baseSetFileAttribs is called\n", &bvlBaseAPI::baseSetFileAttribs, camera, fileList, attribs);
}

extern "C" DWORD WINAPI baseSetFileTimes(DWORD camera, const char* fileList, DWORD time) {
    return dispatch("baseSetFileTimes is called\n", &bvlBaseAPI::baseSetFileTimes, camera, fileList, time);
}

extern "C" DWORD WINAPI baseGetJpegParsingHeader(DWORD camera, const char* path, bvlStream* stream) {
    return dispatch("baseGetJpegParsingHeader is called\n",
                             &bvlBaseAPI::baseGetJpegParsingHeader, camera,
                             path, stream);
}
