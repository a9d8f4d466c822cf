// Port dispatch of the base table: what each port type does with a call,
// the serial open and close, a missing serial library, and module state.
#include <cstring>

#include "tests/support/camera_world.h"

namespace {

using bvtest::serialPort;

// Addresses that would crash if the library touched them: operations that
// must do nothing get these instead of real records.
bvlStream* const kUntouchableStream = reinterpret_cast<bvlStream*>(0x10);
const char* const kUntouchablePath = reinterpret_cast<const char*>(0x20);
void* const kUntouchableBuffer = reinterpret_cast<void*>(0x30);

TEST_F(FrontDispatchTest, TableHasVersionAndEveryDecoratedExport) {
    EXPECT_EQ(0x01000000u, api().version);
    // The slots in order, each the same function as its decorated export.
    const char* const exports[] = {
        "_baseGetModelDescrip@8", "_baseGetCameraPort@16", "_baseOpenCameraComm@16", "_baseCloseCameraComm@4",
        "_baseGetOpenCameraPort@8", "_baseGetVols@8", "_baseGetDirs@12", "_baseGetFile@12", "_baseDeleteFiles@8",
        "_baseDeleteVolPictures@16", "_baseShowSettingsUI@8", "_baseReadSetting@12", "_baseWriteSetting@12",
        "_baseSetNotificationCB@12", "_baseFormatVol@16", "_baseCreateDir@8", "_baseRemoveDir@8", "_basePutFile@12",
        "_baseSetFileAttribs@12", "_baseSetFileTimes@12", "_baseGetJpegParsingHeader@12", "_baseReleaseControlEx@20",
        "_baseReleaseControlGetReleasedData@16", "_baseReleaseControlGetViewFinderData@8",
        "_baseSetCameraSelector@4", "_baseGetDevicePort@20", "_baseGetUSBModels@4"};
    const auto* slots = reinterpret_cast<void* const*>(&api().baseGetModelDescrip);
    for (size_t i = 0; i < 27; ++i) {
        SCOPED_TRACE(exports[i]);
        EXPECT_EQ(slots[i], reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), exports[i])));
    }
}

// Without an open port every operation does nothing and returns 0; the
// descriptor of the open port comes back cleared.
TEST_F(FrontDispatchTest, BeforeAnyOpenOperationsDoNothing) {
    EXPECT_EQ(0u, api().baseGetFile(7, kUntouchablePath, kUntouchableStream));
    bvlCameraPort port;
    std::memset(&port, 0xab, sizeof port);
    EXPECT_EQ(0u, api().baseGetOpenCameraPort(7, &port));
    const bvlCameraPort zero = {};
    EXPECT_EQ(0, std::memcmp(&zero, &port, sizeof port));
    EXPECT_FALSE(bvtest::serialLibraryLoaded()) << "nothing can have reached it";
}

TEST_F(FrontDispatchTest, UnknownPortTypeChangesNothing) {
    bvlCameraPort port = serialPort(1);
    port.portType = 2;
    DWORD camera = 0x1234;
    EXPECT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
    EXPECT_EQ(0x1234u, camera);
    EXPECT_EQ(0u, api().baseGetVols(camera, kUntouchableStream));  // still no port

    // An open serial port stays the port in use.
    camera = openSerial();
    EXPECT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
    simFailNth("serial.slot6", 1, 0x0212abcd);
    EXPECT_EQ(0x0212abcdu, api().baseGetVols(camera, kUntouchableStream));
    api().baseCloseCameraComm(camera);
}

TEST_F(FrontDispatchTest, SerialCloseEndsThePortAndKeepsTheLibrary) {
    DWORD camera = openSerial();
    EXPECT_EQ(1, simCounter("serial.library"));
    const LONG loads = simCounter("serial.loads");

    // The port type is none now: the operations do nothing, and the
    // notification callback is kept here, not forwarded.
    EXPECT_EQ(0u, api().baseCloseCameraComm(camera));
    EXPECT_EQ(0u, api().baseGetVols(camera, kUntouchableStream));
    EXPECT_EQ(0u, api().baseSetNotificationCB(camera, nullptr, 10));
    EXPECT_EQ(0u, callsOfSlot(6) + callsOfSlot(14));
    EXPECT_TRUE(bvtest::serialLibraryLoaded());

    // Opening again uses the library that is still loaded.
    camera = openSerial();
    EXPECT_EQ(loads, simCounter("serial.loads"));

    // A failing close still ends the port, and its code comes back unchanged.
    simFailNth("serial.slot4", 1, 0x02000061);
    EXPECT_EQ(0x02000061u, api().baseCloseCameraComm(camera));
    EXPECT_EQ(0u, api().baseGetVols(camera, kUntouchableStream));
    EXPECT_EQ(0u, callsOfSlot(6));
}

TEST_F(FrontDispatchTest, FailedSerialOpenKeepsTheSerialPortType) {
    bvlCameraPort port = serialPort(2);  // no camera on COM2
    DWORD camera = 0;
    EXPECT_EQ(0x02000080u, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
    simFailNth("serial.slot8", 1, 0x02000061);
    EXPECT_EQ(0x02000061u, api().baseGetFile(camera, kUntouchablePath, kUntouchableStream));
}

// A serial library that is missing, or loads without its table, is no
// library: the open and the operations that need it say so, the others do
// nothing, and a table-less library does not stay loaded.
TEST_F(FrontDispatchTest, MissingSerialLibrary) {
    for (bvtest::SerialLibrary serial : {bvtest::SerialLibrary::Missing, bvtest::SerialLibrary::WithoutTable}) {
        SCOPED_TRACE(serial == bvtest::SerialLibrary::Missing ? "missing" : "without table");
        load(serial);
        bvlCameraPort port = serialPort(1);
        DWORD camera = 0;
        EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
        EXPECT_FALSE(bvtest::serialLibraryLoaded());

        // The port type is serial, but there is no table to call through.
        EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseGetVols(camera, kUntouchableStream));
        EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseShowSettingsUI(camera, nullptr));
        EXPECT_EQ(0u, api().baseReadSetting(camera, 2, kUntouchableBuffer));
        EXPECT_EQ(0u, api().baseReleaseControlGetViewFinderData(camera, kUntouchableStream));
        EXPECT_EQ(0u, api().baseSetNotificationCB(camera, nullptr, 5));
        EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseCloseCameraComm(camera));
        EXPECT_EQ(0u, api().baseGetVols(camera, kUntouchableStream));  // closed: port type none
    }
}

TEST_F(FrontDispatchTest, UsbOpenUnloadsTheSerialLibrary) {
    DWORD camera = openSerial();
    ASSERT_TRUE(bvtest::serialLibraryLoaded());

    bvlCameraPort usb = bvtest::usbPort(bvtest::kId350);
    // No model is installed, so its name cannot be read.
    EXPECT_EQ(BVL_E_REGISTRY, api().baseOpenCameraComm(&usb, nullptr, 0, &camera));
    EXPECT_FALSE(bvtest::serialLibraryLoaded());

    // The port type is USB from now on, also after closing.
    EXPECT_EQ(BVL_E_NO_DEVICE_OPEN, api().baseCreateDir(camera, "CF\\NEW"));
    api().baseCloseCameraComm(camera);
    EXPECT_EQ(BVL_E_NO_DEVICE_OPEN, api().baseDeleteFiles(camera, "a\0"));
    EXPECT_EQ(0u, callsOfSlot(6) + callsOfSlot(9));
}

}  // namespace
