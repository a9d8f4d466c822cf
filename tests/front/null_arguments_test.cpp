// Every export that takes an address, given null for each one (and, for a
// stream, also a record without callbacks), on the open USB road: a clear
// code, no access violation, the device unlocked, and the camera still
// answering afterwards. The records given are guarded: a call that touches
// a byte past one fails the test. A null address is refused only where it
// would be used: a check the operation makes before it (the stream's writer,
// a source that cannot be measured, the service's list, the device or the
// descriptor) gives its own code first.
#include <string>
#include <vector>

#include "tests/support/guarded_records.h"
#include "tests/support/stream_recorder.h"

namespace {

constexpr DWORD kBad = BVL_E_INVALID_PARAMETER, kNoWriter = BVL_E_INVALID_FN_POINTER;

struct NullCall {
    const char* name;
    DWORD expected;
    // Called once with a null stream and once with one without callbacks
    // when it takes a stream; once with a good stream otherwise.
    bool takesStream;
    bvtest::LibraryCall call;
};

TEST_F(BoundaryTest, NullArgumentsGetACodeOnEveryExport) {
    ASSERT_NO_FATAL_FAILURE(openUsb());
    // A record of an unknown setting claiming 4 GiB.
    DWORD* oversized = records_.copy({DWORD(9), DWORD(0xfffffffc), DWORD(0), DWORD(0)});
    bvlCameraPort* port = records_.copy(bvtest::usbPort(bvtest::kId350));
    bvlCameraPort* unnamed = records_.copy(bvtest::usbPort(0));  // neither model nor device
    const bvlNewFactryAPI& messages = bvtest::messageTable();
    DWORD* camera = records_.make<DWORD>();
    bvtest::StreamRecorder measured, unopenable, unclosable;
    unopenable.failOn("open", 0x0a0000ee);
    unclosable.failOn("close", 0x0a0000a4);
    const NullCall calls[] = {
        {"GetModelDescrip", kBad, false, BV_CALL(a.baseGetModelDescrip(c, nullptr))},
        {"GetCameraPort", kBad, false, BV_CALL(a.baseGetCameraPort(1, nullptr, 0, nullptr))},
        {"GetDevicePort", kBad, false, BV_CALL(a.baseGetDevicePort(3, nullptr, 0, nullptr, 2))},
        {"GetDevicePortRequestZero", kBad, false, BV_CALL(a.baseGetDevicePort(0, nullptr, 0, port, 0))},
        {"GetOpenCameraPort", kBad, false, BV_CALL(a.baseGetOpenCameraPort(c, nullptr))},
        {"GetVols", kNoWriter, true, BV_CALL(a.baseGetVols(c, s))},
        {"GetDirsSubtree", kBad, false, BV_CALL(a.baseGetDirs(c, nullptr, s))},
        {"GetDirsStream", kNoWriter, true, BV_CALL(a.baseGetDirs(c, nullptr, s))},
        {"GetFilePath", kBad, false, BV_CALL(a.baseGetFile(c, nullptr, s))},
        {"GetFileStream", kNoWriter, true, BV_CALL(a.baseGetFile(c, nullptr, s))},
        {"JpegHeaderPath", kBad, false, BV_CALL(a.baseGetJpegParsingHeader(c, nullptr, s))},
        {"JpegHeaderStream", kNoWriter, true, BV_CALL(a.baseGetJpegParsingHeader(c, nullptr, s))},
        {"PutFileName", kBad, false, BV_CALL(a.basePutFile(c, nullptr, measured.stream()))},
        {"PutFileNameUnopenableSource", BVL_E_STREAM_OPEN_ERROR, false,
         BV_CALL(a.basePutFile(c, nullptr, unopenable.stream()))},
        {"PutFileSource", kNoWriter, true, BV_CALL(a.basePutFile(c, "CF\\X.JPG", s))},
        {"DeleteFiles", kBad, false, BV_CALL(a.baseDeleteFiles(c, nullptr))},
        {"DeleteVolPictures", kBad, false, BV_CALL(a.baseDeleteVolPictures(c, nullptr, 0, 0))},
        {"FormatVol", kBad, false, BV_CALL(a.baseFormatVol(c, nullptr, 0, 0))},
        {"CreateDir", kBad, false, BV_CALL(a.baseCreateDir(c, nullptr))},
        {"RemoveDir", kBad, false, BV_CALL(a.baseRemoveDir(c, nullptr))},
        {"SetFileAttribs", kBad, false, BV_CALL(a.baseSetFileAttribs(c, nullptr, 1))},
        {"SetFileTimes", kBad, false, BV_CALL(a.baseSetFileTimes(c, nullptr, 1))},
        {"ReadSetting", kBad, false, BV_CALL(a.baseReadSetting(c, 3, nullptr))},
        {"WriteSetting", kBad, false, BV_CALL(a.baseWriteSetting(c, 3, nullptr))},
        {"WriteSettingOversized", kBad, false, BV_CALL(a.baseWriteSetting(c, 9, oversized))},
        {"ReleaseControlExRequest", kBad, false, BV_CALL(a.baseReleaseControlEx(c, 4, nullptr, 0, nullptr))},
        {"ReleaseControlExReply", kBad, false, BV_CALL(a.baseReleaseControlEx(c, 0, nullptr, 4, nullptr))},
        {"ReleasedData", BVL_E_LL_INVALID_FN_POINTER, true, BV_CALL(a.baseReleaseControlGetReleasedData(c, 0, 0, s))},
        {"ViewFinderData", BVL_E_LL_INVALID_FN_POINTER, true, BV_CALL(a.baseReleaseControlGetViewFinderData(c, s))},
        {"GetUSBModels", kNoWriter, true, BV_CALL(a.baseGetUSBModels(s))},
        {"GetUSBModelsListFails", BVL_E_USB_MODEL_ENUM_FAILED, true,
         BV_CALL((simFailNth("sti.deviceList", 1, E_FAIL), a.baseGetUSBModels(s)))},
        // A good list whose stream refuses its close: the close's code.
        {"GetUSBModelsCloseFails", 0x0a0000a4, false, BV_CALL(a.baseGetUSBModels(unclosable.stream()))},
        {"MessagePayload", kBad, false,
         BV_CALL(messages.bvlNewMessageTxRx(c, 1, nullptr, 5, 1, 1, 0, nullptr, nullptr, 16, nullptr, nullptr, 500))},
        {"DataMessagePayload", kBad, false,
         BV_CALL(messages.bvlMessageTxAndRecieveData(c, 1, nullptr, 5, 1, 1, 0, s, nullptr, nullptr, 500))},
        {"DataMessageStream", BVL_E_MESSAGE_STREAM_INCOMPLETE, true,
         BV_CALL(messages.bvlMessageTxAndRecieveData(c, 1, "x", 1, 1, 1, 0, s, nullptr, nullptr, 500))},
        // Last: an open replaces the test's connection.
        {"OpenCameraCommPort", kBad, false, BV_CALL(a.baseOpenCameraComm(nullptr, nullptr, 0, camera))},
        {"OpenCameraCommCamera", kBad, false, BV_CALL(a.baseOpenCameraComm(port, nullptr, 0, nullptr))},
        {"OpenCameraCommUnnamed", BVL_E_DEVICE_INVALID, false,
         BV_CALL(a.baseOpenCameraComm(unnamed, nullptr, 0, nullptr))},
        {"GetModelDescripNoDevice", BVL_E_DEVICE_NOT_FOUND, false,
         BV_CALL((a.baseSetCameraSelector(bvtest::kId500), a.baseGetModelDescrip(c, nullptr)))},
        // Without a device the exchange says so before it would use the buffer.
        {"ReadSettingNoDevice", BVL_E_NO_DEVICE_OPEN, false, BV_CALL(a.baseReadSetting(c, 3, nullptr))},
        {"ReleaseControlExNoDevice", BVL_E_NO_DEVICE_OPEN, false,
         BV_CALL(a.baseReleaseControlEx(c, 4, nullptr, 0, nullptr))},
    };
    bvtest::StreamRecorder recorder;
    bvlStream* good = records_.copy(*recorder.stream());
    bvlStream* empty = records_.make<bvlStream>();
    for (const NullCall& c : calls) {
        const std::vector<bvlStream*> streams = c.takesStream ? std::vector<bvlStream*>{nullptr, empty}
                                                               : std::vector<bvlStream*>{good};
        for (bvlStream* stream : streams) {
            SCOPED_TRACE(std::string(c.name) + (stream == empty ? " without callbacks" : ""));
            EXPECT_EQ(c.expected, c.call(api(), camera_, stream));
            EXPECT_EQ(0, simCounter("sti.locks"));
        }
    }
    EXPECT_TRUE(recorder.log().empty()) << "a refused call touched the stream";
    // Without a connection the model chosen with the selector is described;
    // the device opened for the question does not stay open.
    ASSERT_EQ(0u, api().baseSetCameraSelector(bvtest::kId350));
    bvlModelDescrip* descrip = records_.make<bvlModelDescrip>();
    EXPECT_EQ(0u, api().baseGetModelDescrip(camera_, descrip));
    EXPECT_EQ(bvtest::kId350, descrip->modelID);
    EXPECT_STREQ(bvtest::kModelName, descrip->modelName);
    EXPECT_EQ(0, simCounter("sti.devices")) << "a refused open or the description left a device";
}

}  // namespace
