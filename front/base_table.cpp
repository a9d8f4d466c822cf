// The exported table of base operations, in slot order.
#include "bvcl2sti.h"

extern "C" const bvlBaseAPI g_bvlBaseAPI = {
    BVL_BASE_API_VERSION,
    baseGetModelDescrip,                  // 1
    baseGetCameraPort,                    // 2
    baseOpenCameraComm,                   // 3
    baseCloseCameraComm,                  // 4
    baseGetOpenCameraPort,                // 5
    baseGetVols,                          // 6
    baseGetDirs,                          // 7
    baseGetFile,                          // 8
    baseDeleteFiles,                      // 9
    baseDeleteVolPictures,                // 10
    baseShowSettingsUI,                   // 11
    baseReadSetting,                      // 12
    baseWriteSetting,                     // 13
    baseSetNotificationCB,                // 14
    baseFormatVol,                        // 15
    baseCreateDir,                        // 16
    baseRemoveDir,                        // 17
    basePutFile,                          // 18
    baseSetFileAttribs,                   // 19
    baseSetFileTimes,                     // 20
    baseGetJpegParsingHeader,             // 21
    baseReleaseControlEx,                 // 22
    baseReleaseControlGetReleasedData,    // 23
    baseReleaseControlGetViewFinderData,  // 24
    baseSetCameraSelector,                // 25
    baseGetDevicePort,                    // 26
    baseGetUSBModels,                     // 27
};
