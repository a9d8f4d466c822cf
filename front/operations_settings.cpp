// Camera settings and remote release.
#include "dispatch.h"
#include "bvcl2sti.h"

using namespace bv;

extern "C" DWORD WINAPI baseShowSettingsUI(DWORD camera, HWND parent) {
    return dispatch("baseShowSettingsUI is called\n", &bvlBaseAPI::baseShowSettingsUI, camera, parent);
}

extern "C" DWORD WINAPI baseReadSetting(DWORD camera, DWORD id, void* value) {
    return dispatch("baseReadSetting is called\n", &bvlBaseAPI::baseReadSetting, camera, id, value);
}

extern "C" DWORD WINAPI baseWriteSetting(DWORD camera, DWORD id, void* value) {
    return dispatch("baseWriteSetting is called\n", &bvlBaseAPI::baseWriteSetting, camera, id, value);
}

extern "C" DWORD WINAPI baseReleaseControlEx(DWORD camera, DWORD requestLength, const void* request,
                                             DWORD replyLength, void* reply) {
    return dispatch("baseReleaseControlEx is called\n",
                                  &bvlBaseAPI::baseReleaseControlEx, camera,
                                  requestLength, request, replyLength, reply);
}

extern "C" DWORD WINAPI baseReleaseControlGetReleasedData(DWORD camera, DWORD word1, DWORD word2,
                                                          bvlStream* stream) {
    return dispatch("baseReleaseControlGetReleasedData is called\n",
                                  &bvlBaseAPI::baseReleaseControlGetReleasedData, camera, word1, word2, stream);
}

extern "C" DWORD WINAPI baseReleaseControlGetViewFinderData(DWORD camera, bvlStream* stream) {
    return dispatch("baseReleaseControlGetViewFinderData is called\n",
                                  &bvlBaseAPI::baseReleaseControlGetViewFinderData, camera, stream);
}
