// The serial road: the forwarding slots whose arguments bvcam_serial does
// not carry (high bits, window, callback, release control) reach the serial
// library with exactly the caller's arguments and its result comes back
// unchanged; the slots without a serial forward never reach it.
#include <cstring>
#include <functional>

#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

namespace {

using Calls = std::vector<std::vector<UINT_PTR>>;

// Arguments as the serial stand-in logs them.
template <class T>
UINT_PTR word(T* p) { return reinterpret_cast<UINT_PTR>(p); }
UINT_PTR word(DWORD value) { return value; }
template <class... T>
std::vector<UINT_PTR> words(T... values) { return {word(values)...}; }

// Each call that reached the serial stand-in: its slot, then its arguments.
Calls forwarded() {
    Calls calls;
    for (const SimSerialCall& c : bvtest::serialCalls()) {
        calls.push_back(words(c.slot));
        calls.back().insert(calls.back().end(), c.args, c.args + c.argCount);
    }
    return calls;
}

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
    // The caller's arguments after the camera word.
    std::vector<UINT_PTR> rest;
};

bvlCameraPort g_port;

// base<op> called with the camera word and the arguments.
#define FORWARD(op, slot, ...) \
    ForwardCase{#op, slot, [](const bvlBaseAPI& a, DWORD c) { return a.base##op(c, __VA_ARGS__); }, words(__VA_ARGS__)}

const ForwardCase kForwardCases[] = {
    FORWARD(GetOpenCameraPort, 5, &g_port),
    FORWARD(ShowSettingsUI, 11, kWindow),
    FORWARD(WriteSetting, 13, 0x10002, kBuffer),
    FORWARD(SetNotificationCB, 14, kCallback, 0x7777),
    FORWARD(SetFileAttribs, 19, kPath, 0x1ff),
    FORWARD(SetFileTimes, 20, kPath, 0x80000001),
    FORWARD(ReleaseControlEx, 22, 0x12345, kBuffer, 0x20010, kBuffer),
    FORWARD(ReleaseControlGetReleasedData, 23, 1, 0xfffe, kStream),
    FORWARD(ReleaseControlGetViewFinderData, 24, kStream),
};
#undef FORWARD

class SerialForwarding : public FrontDispatchTest, public ::testing::WithParamInterface<ForwardCase> {};

TEST_P(SerialForwarding, PassesArgumentsAndResultUnchanged) {
    const ForwardCase& f = GetParam();
    const DWORD camera = openSerial();
    simReset();  // forget the open; the connection stays
    const DWORD injected = 0x02000000 | (f.slot << 8) | 0x5a;
    simFailNth(("serial.slot" + std::to_string(f.slot)).c_str(), 1, injected);

    EXPECT_EQ(injected, f.call(api(), camera));
    std::vector<UINT_PTR> expected = words(f.slot, camera);
    expected.insert(expected.end(), f.rest.begin(), f.rest.end());
    EXPECT_EQ(Calls{expected}, forwarded());
}

INSTANTIATE_TEST_SUITE_P(EverySlot, SerialForwarding, ::testing::ValuesIn(kForwardCases),
                         [](const ::testing::TestParamInfo<ForwardCase>& i) { return i.param.name; });

TEST_F(FrontDispatchTest, OpenIsForwardedWithCallerArguments) {
    bvlCameraPort port = bvtest::serialPort(3);
    port.u.serial.params[1] = 2;  // the library's own parameter bytes pass unread
    simSetSerialCameraPorts(1u << 2);
    DWORD camera = 0;
    ASSERT_EQ(0u, api().baseOpenCameraComm(&port, kCallback, 0x4242, &camera));
    EXPECT_EQ(Calls{words(3, &port, kCallback, 0x4242, &camera)}, forwarded());
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

}  // namespace
