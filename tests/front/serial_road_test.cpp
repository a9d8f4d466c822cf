// The serial road: the forwarding slots whose arguments bvcam_serial does
// not carry (high bits, window, callback, release control) reach the serial
// library with exactly the caller's arguments and its result comes back
// unchanged; the slots without a serial forward never reach it.
#include <cstring>
#include <functional>

#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

namespace {

using bvtest::serialCalls;

UINT_PTR word(const void* p) { return reinterpret_cast<UINT_PTR>(p); }

// Distinct values that the library must pass on untouched. The armed fault
// makes the stand-in answer before it looks at them.
const auto kStream = reinterpret_cast<bvlStream*>(0x5150);
const auto kPath = reinterpret_cast<const char*>(0x6170);
const auto kBuffer = reinterpret_cast<void*>(0x81b0);
const auto kWindow = reinterpret_cast<HWND>(0x91d0);
const auto kCallback = reinterpret_cast<bvlNotifyCB>(0xa1f0);

struct ForwardCase {
    const char* name;
    DWORD slot;
    // Calls the operation with the camera word; returns its result.
    std::function<DWORD(const bvlBaseAPI&, DWORD)> call;
    // The arguments after the camera word, as the stand-in must see them.
    std::vector<UINT_PTR> rest;
};

bvlCameraPort g_port;

const ForwardCase kForwardCases[] = {
    {"GetOpenCameraPort", 5, [](const bvlBaseAPI& a, DWORD c) { return a.baseGetOpenCameraPort(c, &g_port); },
     {word(&g_port)}},
    {"ShowSettingsUI", 11, [](const bvlBaseAPI& a, DWORD c) { return a.baseShowSettingsUI(c, kWindow); },
     {word(kWindow)}},
    {"WriteSetting", 13, [](const bvlBaseAPI& a, DWORD c) { return a.baseWriteSetting(c, 0x10002, kBuffer); },
     {0x10002, word(kBuffer)}},
    {"SetNotificationCB", 14,
     [](const bvlBaseAPI& a, DWORD c) { return a.baseSetNotificationCB(c, kCallback, 0x7777); },
     {word(reinterpret_cast<const void*>(kCallback)), 0x7777}},
    {"SetFileAttribs", 19, [](const bvlBaseAPI& a, DWORD c) { return a.baseSetFileAttribs(c, kPath, 0x1ff); },
     {word(kPath), 0x1ff}},
    {"SetFileTimes", 20, [](const bvlBaseAPI& a, DWORD c) { return a.baseSetFileTimes(c, kPath, 0x80000001); },
     {word(kPath), 0x80000001}},
    {"ReleaseControlEx", 22,
     [](const bvlBaseAPI& a, DWORD c) { return a.baseReleaseControlEx(c, 0x12345, kBuffer, 0x20010, kBuffer); },
     {0x12345, word(kBuffer), 0x20010, word(kBuffer)}},
    {"ReleaseControlGetReleasedData", 23,
     [](const bvlBaseAPI& a, DWORD c) { return a.baseReleaseControlGetReleasedData(c, 1, 0xfffe, kStream); },
     {1, 0xfffe, word(kStream)}},
    {"ReleaseControlGetViewFinderData", 24,
     [](const bvlBaseAPI& a, DWORD c) { return a.baseReleaseControlGetViewFinderData(c, kStream); },
     {word(kStream)}},
};

class SerialForwarding : public FrontDispatchTest, public ::testing::WithParamInterface<ForwardCase> {};

TEST_P(SerialForwarding, PassesArgumentsAndResultUnchanged) {
    const ForwardCase& f = GetParam();
    const DWORD camera = openSerial();
    simReset();  // forget the open; the connection stays
    char step[32];
    wsprintfA(step, "serial.slot%lu", f.slot);
    const DWORD injected = 0x02000000 | (f.slot << 8) | 0x5a;
    simFailNth(step, 1, injected);

    EXPECT_EQ(injected, f.call(api(), camera));

    const std::vector<SimSerialCall> calls = serialCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(f.slot, calls[0].slot);
    std::vector<UINT_PTR> seen(calls[0].args, calls[0].args + calls[0].argCount);
    std::vector<UINT_PTR> expected = {camera};
    expected.insert(expected.end(), f.rest.begin(), f.rest.end());
    EXPECT_EQ(expected, seen);
}

INSTANTIATE_TEST_SUITE_P(EverySlot, SerialForwarding, ::testing::ValuesIn(kForwardCases),
                         [](const ::testing::TestParamInfo<ForwardCase>& i) { return i.param.name; });

TEST_F(FrontDispatchTest, OpenIsForwardedWithCallerArguments) {
    bvlCameraPort port = bvtest::serialPort(3);
    port.u.serial.params[1] = 2;  // the library's own parameter bytes pass unread
    simSetSerialCameraPorts(1u << 2);
    DWORD camera = 0;
    ASSERT_EQ(0u, api().baseOpenCameraComm(&port, kCallback, 0x4242, &camera));

    const std::vector<SimSerialCall> calls = serialCalls();
    ASSERT_EQ(1u, calls.size());
    EXPECT_EQ(3u, calls[0].slot);
    const std::vector<UINT_PTR> expected = {word(&port), word(reinterpret_cast<const void*>(kCallback)),
                                            0x4242, word(&camera)};
    EXPECT_EQ(expected, std::vector<UINT_PTR>(calls[0].args, calls[0].args + calls[0].argCount));
    EXPECT_EQ(0x00c30003u, camera);  // the serial library's own camera word

    bvlCameraPort open = {};
    ASSERT_EQ(0u, api().baseGetOpenCameraPort(camera, &open));
    EXPECT_EQ(0, std::memcmp(&port, &open, sizeof port));
    EXPECT_EQ(0u, api().baseCloseCameraComm(camera));
}

TEST_F(FrontDispatchTest, SlotsWithoutSerialForwardNeverReachTheLibrary) {
    const DWORD camera = openSerial();
    bvlCameraPort port;
    bvtest::StreamRecorder models;
    api().baseGetCameraPort(1, nullptr, 0, &port);
    api().baseGetDevicePort(3, nullptr, 0, &port, 1);
    api().baseSetCameraSelector(0x70333036);
    api().baseGetUSBModels(models.stream());
    EXPECT_EQ(0u, callsOfSlot(2) + callsOfSlot(25) + callsOfSlot(26) + callsOfSlot(27));
    api().baseCloseCameraComm(camera);
}

// With the serial port closed the notification callback is kept here; the
// library, still loaded, is not asked (the open port's forward is a row of
// SerialForwarding).
TEST_F(FrontDispatchTest, NotificationCallbackStaysHereWhenThePortIsClosed) {
    api().baseCloseCameraComm(openSerial());
    EXPECT_EQ(0u, api().baseSetNotificationCB(1, kCallback, 10));
    EXPECT_EQ(0u, callsOfSlot(14));
}

}  // namespace
