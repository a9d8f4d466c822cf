// Fixture for the USB road through the exported table: the camera model
// installed in the registry, the Still Image stand-in's virtual camera, and
// at the end a check that no device lock or device outlives a test.
#pragma once

#include <cstring>
#include <string>
#include <vector>

#include "front_fixture.h"
#include "tests/support/registry_fixture.h"
#include "tests/support/stream_recorder.h"

namespace usbtest {

constexpr DWORD kModelID = 0x70333036;
constexpr char kModelName[] = "Brivant 350";
constexpr char kDevicePort[] = "\\\\.\\Usbscan0";

inline bvtest::RegistryWriter machine() { return bvtest::RegistryWriter(HKEY_LOCAL_MACHINE); }

inline bvlCameraPort usbPort(DWORD modelID, const char* deviceName = "") {
    bvlCameraPort port = {};
    port.portType = BVL_PORT_USB;
    std::strcpy(port.portName, "USB");
    port.u.usb.modelID = modelID;
    lstrcpynA(port.u.usb.deviceName, deviceName, sizeof port.u.usb.deviceName);
    return port;
}

inline std::string narrow(const WCHAR* text) {
    char buffer[128] = {};
    WideCharToMultiByte(CP_ACP, 0, text, -1, buffer, sizeof buffer, nullptr, nullptr);
    return buffer;
}

inline bool reached(const char* step) {
    for (DWORD i = 0; i < simStepCount(); ++i)
        if (std::strcmp(step, simStepName(i)) == 0) return true;
    return false;
}

inline std::vector<BYTE> pattern(DWORD size) {
    std::vector<BYTE> data(size);
    for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 13 + i / 509);
    return data;
}

class UsbRoadTest : public FrontDispatchTest {
protected:
    void SetUp() override {
        machine().clear();
        const DWORD installMethod = 3;
        machine().addModel("Brivant350", &kModelID, kModelName, &installMethod);
        machine().addLibraryKeys();
        FrontDispatchTest::SetUp();
    }

    void TearDown() override {
        if (opened_) api().baseCloseCameraComm(camera_);
        EXPECT_EQ(0, simCounter("sti.locks")) << "a device lock outlived the test";
        EXPECT_EQ(0, simCounter("sti.devices")) << "a still-image device outlived the close";
        FrontDispatchTest::TearDown();
        machine().clear();
    }

    void openUsb(bvlNotifyCB callback = nullptr, UINT_PTR context = 0) {
        bvlCameraPort port = usbPort(kModelID);
        ASSERT_EQ(0u, api().baseOpenCameraComm(&port, callback, context, &camera_));
        opened_ = true;
    }

    // The payload length of the last command with this code.
    static DWORD payloadLengthOf(DWORD command) {
        DWORD length = MAXDWORD;
        for (DWORD i = 0; i < simCommandCount(); ++i)
            if (simCommandAt(i) == command) length = simCommandPayloadAt(i, nullptr, 0);
        return length;
    }

    static size_t countCommands(DWORD command) {
        size_t n = 0;
        for (DWORD i = 0; i < simCommandCount(); ++i) n += simCommandAt(i) == command;
        return n;
    }

    DWORD put(const char* name, const std::vector<BYTE>& data) {
        bvtest::StreamRecorder source;
        source.setSource(data);
        return api().basePutFile(camera_, name, source.stream());
    }

    DWORD get(const char* path, std::vector<BYTE>& data) {
        bvtest::StreamRecorder destination;
        DWORD rc = api().baseGetFile(camera_, path, destination.stream());
        data = destination.written();
        return rc;
    }

    DWORD camera_ = 0;
    bool opened_ = false;
};

}  // namespace usbtest
