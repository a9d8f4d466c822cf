// Every export that takes an address, given null for each one (and, for a
// stream, also a record without callbacks), on the open USB road: a clear
// code, no access violation, the device unlocked, and the camera still
// answering afterwards.
#include <functional>
#include <string>
#include <vector>

#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

namespace {

constexpr DWORD kBad = BVL_E_INVALID_PARAMETER, kNoWriter = BVL_E_INVALID_FN_POINTER;

struct NullCall {
    const char* name;
    DWORD expected;
    // Called once with a null stream and once with one without callbacks
    // when it takes a stream; once with a good stream otherwise.
    bool takesStream;
    std::function<DWORD(const bvlBaseAPI&, DWORD camera, bvlStream*)> call;
};

template <class Table>
const Table& exportedTable(const char* name) {
    return *reinterpret_cast<const Table*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), name)));
}

TEST_F(UsbRoadTest, NullArgumentsGetACodeOnEveryExport) {
    ASSERT_NO_FATAL_FAILURE(openUsb());
    const BYTE subtree[] = {0, 'C', 'F', 0, 0, 0};
    DWORD oversized[4] = {9, 0xfffffffc};  // a record of an unknown setting claiming 4 GiB
    bvlCameraPort port = bvtest::usbPort(bvtest::kId350);
    const auto& messages = exportedTable<bvlNewFactryAPI>("g_bvlNewFactryAPI");
    using Api = const bvlBaseAPI&;
    const NullCall calls[] = {
        {"GetModelDescrip", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseGetModelDescrip(c, nullptr); }},
        {"GetCameraPort", kBad, false, [](Api a, DWORD, bvlStream*) { return a.baseGetCameraPort(1, nullptr, 0, nullptr); }},
        {"GetDevicePort", kBad, false,
         [](Api a, DWORD, bvlStream*) { return a.baseGetDevicePort(3, nullptr, 0, nullptr, 2); }},
        {"GetDevicePortRequestZero", kBad, false,
         [&](Api a, DWORD, bvlStream*) { return a.baseGetDevicePort(0, nullptr, 0, &port, 0); }},
        {"OpenCameraCommPort", kBad, false,
         [](Api a, DWORD, bvlStream*) { DWORD c; return a.baseOpenCameraComm(nullptr, nullptr, 0, &c); }},
        {"OpenCameraCommCamera", kBad, false,
         [&](Api a, DWORD, bvlStream*) { return a.baseOpenCameraComm(&port, nullptr, 0, nullptr); }},
        {"GetOpenCameraPort", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseGetOpenCameraPort(c, nullptr); }},
        {"GetVols", kNoWriter, true, [](Api a, DWORD c, bvlStream* s) { return a.baseGetVols(c, s); }},
        {"GetDirsSubtree", kBad, false, [](Api a, DWORD c, bvlStream* s) { return a.baseGetDirs(c, nullptr, s); }},
        {"GetDirsStream", kNoWriter, true, [&](Api a, DWORD c, bvlStream* s) { return a.baseGetDirs(c, subtree, s); }},
        {"GetFilePath", kBad, false, [](Api a, DWORD c, bvlStream* s) { return a.baseGetFile(c, nullptr, s); }},
        {"GetFileStream", kNoWriter, true, [](Api a, DWORD c, bvlStream* s) { return a.baseGetFile(c, "CF\\X.JPG", s); }},
        {"JpegHeaderPath", kBad, false,
         [](Api a, DWORD c, bvlStream* s) { return a.baseGetJpegParsingHeader(c, nullptr, s); }},
        {"JpegHeaderStream", kNoWriter, true,
         [](Api a, DWORD c, bvlStream* s) { return a.baseGetJpegParsingHeader(c, "CF\\X.JPG", s); }},
        {"PutFileName", kBad, false, [](Api a, DWORD c, bvlStream* s) { return a.basePutFile(c, nullptr, s); }},
        {"PutFileSource", kNoWriter, true, [](Api a, DWORD c, bvlStream* s) { return a.basePutFile(c, "CF\\X.JPG", s); }},
        {"DeleteFiles", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseDeleteFiles(c, nullptr); }},
        {"DeleteVolPictures", kBad, false,
         [](Api a, DWORD c, bvlStream*) { return a.baseDeleteVolPictures(c, nullptr, 0, 0); }},
        {"FormatVol", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseFormatVol(c, nullptr, 0, 0); }},
        {"CreateDir", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseCreateDir(c, nullptr); }},
        {"RemoveDir", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseRemoveDir(c, nullptr); }},
        {"SetFileAttribs", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseSetFileAttribs(c, nullptr, 1); }},
        {"SetFileTimes", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseSetFileTimes(c, nullptr, 1); }},
        {"ReadSetting", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseReadSetting(c, 3, nullptr); }},
        {"WriteSetting", kBad, false, [](Api a, DWORD c, bvlStream*) { return a.baseWriteSetting(c, 3, nullptr); }},
        {"WriteSettingOversized", kBad, false,
         [&](Api a, DWORD c, bvlStream*) { return a.baseWriteSetting(c, 9, oversized); }},
        {"ReleaseControlExRequest", kBad, false,
         [](Api a, DWORD c, bvlStream*) { return a.baseReleaseControlEx(c, 4, nullptr, 0, nullptr); }},
        {"ReleaseControlExReply", kBad, false,
         [](Api a, DWORD c, bvlStream*) { return a.baseReleaseControlEx(c, 0, nullptr, 4, nullptr); }},
        {"ReleasedData", BVL_E_LL_INVALID_FN_POINTER, true,
         [](Api a, DWORD c, bvlStream* s) { return a.baseReleaseControlGetReleasedData(c, 0, 0, s); }},
        {"ViewFinderData", BVL_E_LL_INVALID_FN_POINTER, true,
         [](Api a, DWORD c, bvlStream* s) { return a.baseReleaseControlGetViewFinderData(c, s); }},
        {"GetUSBModels", kNoWriter, true, [](Api a, DWORD, bvlStream* s) { return a.baseGetUSBModels(s); }},
        {"MessagePayload", kBad, false,
         [&](Api, DWORD c, bvlStream*) {
             return messages.bvlNewMessageTxRx(c, 1, nullptr, 5, 1, 1, 0, nullptr, nullptr, 16, nullptr, nullptr, 500);
         }},
        {"DataMessagePayload", kBad, false,
         [&](Api, DWORD c, bvlStream* s) {
             return messages.bvlMessageTxAndRecieveData(c, 1, nullptr, 5, 1, 1, 0, s, nullptr, nullptr, 500);
         }},
        {"DataMessageStream", BVL_E_MESSAGE_STREAM_INCOMPLETE, true,
         [&](Api, DWORD c, bvlStream* s) {
             return messages.bvlMessageTxAndRecieveData(c, 1, "x", 1, 1, 1, 0, s, nullptr, nullptr, 500);
         }},
    };
    bvtest::StreamRecorder good;
    bvlStream empty = {};
    for (const NullCall& c : calls) {
        for (bvlStream* stream : c.takesStream ? std::vector<bvlStream*>{nullptr, &empty} : std::vector<bvlStream*>{good.stream()}) {
            SCOPED_TRACE(std::string(c.name) + (stream == &empty ? " without callbacks" : ""));
            EXPECT_EQ(c.expected, c.call(api(), camera_, stream));
            EXPECT_EQ(0, simCounter("sti.locks"));
        }
    }
    EXPECT_TRUE(good.log().empty()) << "a refused call touched the stream";
    bvlModelDescrip descrip = {};
    EXPECT_EQ(0u, api().baseGetModelDescrip(camera_, &descrip));
    EXPECT_STREQ(bvtest::kModelName, descrip.modelName);
}

}  // namespace
