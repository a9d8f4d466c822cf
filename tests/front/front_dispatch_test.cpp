// Port dispatch of the base table: what each port type does with a call,
// the serial open and close, a missing serial library, and module state.
#include <cstring>

#include "front_fixture.h"

namespace {

using bvtest::serialCalls;
using bvtest::serialPort;

// Addresses that would crash if the library touched them: operations that
// must do nothing get these instead of real records.
bvlStream* const kUntouchableStream = reinterpret_cast<bvlStream*>(0x10);
const char* const kUntouchablePath = reinterpret_cast<const char*>(0x20);
void* const kUntouchableBuffer = reinterpret_cast<void*>(0x30);

// Calls every operation that returns 0 and does nothing on an unopened
// port, and returns their results in slot order.
std::vector<DWORD> callIdleOperations(const bvlBaseAPI& api, DWORD camera) {
    const BYTE* subtree = reinterpret_cast<const BYTE*>(0x40);
    return {
        api.baseCloseCameraComm(camera),
        api.baseGetVols(camera, kUntouchableStream),
        api.baseGetDirs(camera, subtree, kUntouchableStream),
        api.baseGetFile(camera, kUntouchablePath, kUntouchableStream),
        api.baseDeleteFiles(camera, kUntouchablePath),
        api.baseDeleteVolPictures(camera, kUntouchablePath, 1, 2),
        api.baseReadSetting(camera, 2, kUntouchableBuffer),
        api.baseWriteSetting(camera, 2, kUntouchableBuffer),
        api.baseFormatVol(camera, kUntouchablePath, 1, 2),
        api.baseCreateDir(camera, kUntouchablePath),
        api.baseRemoveDir(camera, kUntouchablePath),
        api.basePutFile(camera, kUntouchablePath, kUntouchableStream),
        api.baseSetFileAttribs(camera, kUntouchablePath, 1),
        api.baseSetFileTimes(camera, kUntouchablePath, 1),
        api.baseGetJpegParsingHeader(camera, kUntouchablePath, kUntouchableStream),
        api.baseReleaseControlEx(camera, 4, kUntouchableBuffer, 4, kUntouchableBuffer),
        api.baseReleaseControlGetReleasedData(camera, 1, 2, kUntouchableStream),
        api.baseReleaseControlGetViewFinderData(camera, kUntouchableStream),
    };
}

TEST_F(FrontDispatchTest, TableHasVersionAndEveryDecoratedExport) {
    EXPECT_EQ(0x01000000u, api().version);
    // Slots in order, each the same function as its decorated export.
    const std::pair<const void*, const char*> slots[] = {
        {reinterpret_cast<const void*>(api().baseGetModelDescrip), "_baseGetModelDescrip@8"},
        {reinterpret_cast<const void*>(api().baseGetCameraPort), "_baseGetCameraPort@16"},
        {reinterpret_cast<const void*>(api().baseOpenCameraComm), "_baseOpenCameraComm@16"},
        {reinterpret_cast<const void*>(api().baseCloseCameraComm), "_baseCloseCameraComm@4"},
        {reinterpret_cast<const void*>(api().baseGetOpenCameraPort), "_baseGetOpenCameraPort@8"},
        {reinterpret_cast<const void*>(api().baseGetVols), "_baseGetVols@8"},
        {reinterpret_cast<const void*>(api().baseGetDirs), "_baseGetDirs@12"},
        {reinterpret_cast<const void*>(api().baseGetFile), "_baseGetFile@12"},
        {reinterpret_cast<const void*>(api().baseDeleteFiles), "_baseDeleteFiles@8"},
        {reinterpret_cast<const void*>(api().baseDeleteVolPictures), "_baseDeleteVolPictures@16"},
        {reinterpret_cast<const void*>(api().baseShowSettingsUI), "_baseShowSettingsUI@8"},
        {reinterpret_cast<const void*>(api().baseReadSetting), "_baseReadSetting@12"},
        {reinterpret_cast<const void*>(api().baseWriteSetting), "_baseWriteSetting@12"},
        {reinterpret_cast<const void*>(api().baseSetNotificationCB), "_baseSetNotificationCB@12"},
        {reinterpret_cast<const void*>(api().baseFormatVol), "_baseFormatVol@16"},
        {reinterpret_cast<const void*>(api().baseCreateDir), "_baseCreateDir@8"},
        {reinterpret_cast<const void*>(api().baseRemoveDir), "_baseRemoveDir@8"},
        {reinterpret_cast<const void*>(api().basePutFile), "_basePutFile@12"},
        {reinterpret_cast<const void*>(api().baseSetFileAttribs), "_baseSetFileAttribs@12"},
        {reinterpret_cast<const void*>(api().baseSetFileTimes), "_baseSetFileTimes@12"},
        {reinterpret_cast<const void*>(api().baseGetJpegParsingHeader), "_baseGetJpegParsingHeader@12"},
        {reinterpret_cast<const void*>(api().baseReleaseControlEx), "_baseReleaseControlEx@20"},
        {reinterpret_cast<const void*>(api().baseReleaseControlGetReleasedData),
         "_baseReleaseControlGetReleasedData@16"},
        {reinterpret_cast<const void*>(api().baseReleaseControlGetViewFinderData),
         "_baseReleaseControlGetViewFinderData@8"},
        {reinterpret_cast<const void*>(api().baseSetCameraSelector), "_baseSetCameraSelector@4"},
        {reinterpret_cast<const void*>(api().baseGetDevicePort), "_baseGetDevicePort@20"},
        {reinterpret_cast<const void*>(api().baseGetUSBModels), "_baseGetUSBModels@4"},
    };
    HMODULE module = GetModuleHandleW(L"bvcl2sti.dll");
    for (const auto& slot : slots) {
        SCOPED_TRACE(slot.second);
        EXPECT_EQ(slot.first, reinterpret_cast<const void*>(GetProcAddress(module, slot.second)));
    }
}

TEST_F(FrontDispatchTest, BeforeAnyOpenOperationsDoNothing) {
    for (DWORD rc : callIdleOperations(api(), 7)) EXPECT_EQ(0u, rc);

    bvlCameraPort port;
    std::memset(&port, 0xab, sizeof port);
    EXPECT_EQ(0u, api().baseGetOpenCameraPort(7, &port));
    const bvlCameraPort zero = {};
    EXPECT_EQ(0, std::memcmp(&zero, &port, sizeof port));

    EXPECT_TRUE(serialCalls().empty());
    EXPECT_FALSE(bvtest::serialLibraryLoaded());
}

TEST_F(FrontDispatchTest, NullDescriptorsAreRefused) {
    DWORD camera = 0;
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, api().baseGetOpenCameraPort(7, nullptr));
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, api().baseOpenCameraComm(nullptr, nullptr, 0, &camera));
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, api().baseGetDevicePort(1, nullptr, 0, nullptr, 0));
    bvlCameraPort port;
    std::memset(&port, 0xab, sizeof port);
    EXPECT_EQ(BVL_E_INVALID_PARAMETER, api().baseGetDevicePort(0, nullptr, 0, &port, 0));
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

    EXPECT_EQ(0u, api().baseCloseCameraComm(camera));
    EXPECT_EQ(0u, api().baseGetVols(camera, kUntouchableStream));  // port type is none now
    EXPECT_EQ(0u, callsOfSlot(6));
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

TEST_F(FrontDispatchTest, MissingSerialLibrary) {
    load(bvtest::SerialLibrary::Missing);
    bvlCameraPort port = serialPort(1);
    DWORD camera = 0;
    EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseOpenCameraComm(&port, nullptr, 0, &camera));

    // The port type is serial, but there is no table to call through.
    EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseGetVols(camera, kUntouchableStream));
    EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseShowSettingsUI(camera, nullptr));
    EXPECT_EQ(0u, api().baseReadSetting(camera, 2, kUntouchableBuffer));
    EXPECT_EQ(0u, api().baseReleaseControlGetViewFinderData(camera, kUntouchableStream));
    EXPECT_EQ(0u, api().baseSetNotificationCB(camera, nullptr, 5));
    EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseCloseCameraComm(camera));
    EXPECT_EQ(0u, api().baseGetVols(camera, kUntouchableStream));  // closed: port type none
}

TEST_F(FrontDispatchTest, SerialLibraryWithoutTableIsUnloaded) {
    load(bvtest::SerialLibrary::WithoutTable);
    bvlCameraPort port = serialPort(1);
    DWORD camera = 0;
    EXPECT_EQ(BVL_E_SERIAL_LIBRARY_MISSING, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
    EXPECT_FALSE(bvtest::serialLibraryLoaded());
}

TEST_F(FrontDispatchTest, UsbOpenUnloadsTheSerialLibrary) {
    DWORD camera = openSerial();
    ASSERT_TRUE(bvtest::serialLibraryLoaded());

    bvlCameraPort usb = {};
    usb.portType = BVL_PORT_USB;
    std::strcpy(usb.portName, "USB");
    usb.u.usb.modelID = 0x70333036;
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
