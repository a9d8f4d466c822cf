// The stored default and last ports that baseGetDevicePort hands out, the
// model selector, and the serial open that stores its port, against the
// machine registry of the Wine prefix.
#include <cstring>
#include <functional>

#include "tests/support/camera_world.h"

namespace {

using namespace bvtest;

void storeGeneral(const char* kind, const char* value, const bvlCameraPort& port, DWORD lastType) {
    machine().setLibraryValue(kind, value, &port, sizeof port);
    machine().setLibraryValue("", std::strcmp(value, "lastPort") == 0 ? "lastModel" : "defaultModel",
                              &lastType, 4, REG_DWORD);
}

void storeLastModel(DWORD type) {
    installModels();
    machine().setLibraryValue("", "lastModel", &type, 4, REG_DWORD);
}

bvlCameraPort serial(BYTE number, DWORD baudRate = 115200) {
    bvlCameraPort port = serialPort(number);
    port.u.serial.baudRate = baudRate;
    return port;
}

// The descriptor's fields as text; its texts end at their terminators.
std::string describe(const bvlCameraPort& p) {
    auto text = [](const char* s, size_t size) { return "'" + std::string(s, strnlen(s, size)) + "'"; };
    std::string out = std::to_string(p.portType) + " " + text(p.portName, sizeof p.portName) + " ";
    if (p.portType == BVL_PORT_USB)
        return out + std::to_string(p.u.usb.modelID) + " " + text(p.u.usb.deviceName, sizeof p.u.usb.deviceName);
    out += std::to_string(p.u.serial.portNumber);
    for (BYTE b : p.u.serial.params) out += "/" + std::to_string(b);
    const DWORD baudRate = p.u.serial.baudRate;
    return out + " " + std::to_string(baudRate);
}

const bvlCameraPort kNoPort = {};

struct PortCase {
    const char* name;
    std::function<void()> registry;
    DWORD request, modelID, wantedKind;
    DWORD expectedResult;
    bvlCameraPort expected;
};

const PortCase kPortCases[] = {
    {"LastNothingStoredUsb", [] {}, 3, 0, 2, BVL_E_NO_LAST_PORT, usbPort(kId350)},
    {"LastNothingStoredSerial", [] {}, 3, 0, 1, BVL_E_NO_LAST_PORT, serial(1)},
    {"LastNothingStoredAnyKind", [] {}, 3, 0, 0, BVL_E_NO_LAST_PORT, serial(1)},
    {"DefaultNothingStoredSerial", [] {}, 1, 0, 0, 0, serial(1)},
    {"DefaultWithoutRegistryUsb", [] {}, 1, 0, 2, 0, usbPort(kId350)},
    // An unreadable stored port of the general keys reads as the serial
    // default, whatever kind was wanted.
    {"DefaultUsbPortMissingGivesSerialDefault", installModels, 1, kId350, 2, 0, serial(1)},
    {"LastStoredUsbLosesItsDeviceName",
     [] { installModels(); storeGeneral("USB", "lastPort", usbPort(kId500, "\\\\.\\Cam0"), 3); }, 3, 0, 0, 0,
     usbPort(kId500)},
    {"LastKindUsbWithoutPortGivesSerialDefault", [] { storeLastModel(3); }, 3, 0, 0, 0, serial(1)},
    {"LastTypeZeroGivesDefaultOfLastKind", [] { storeLastModel(0); }, 3, 0, 0, BVL_E_NO_LAST_PORT, serial(1)},
    {"UsbOnlyModelTakesStoredUsbPortWithItsID",
     [] { installModels(); storeGeneral("USB", "lastPort", usbPort(kId350), 3); }, 3, kId500, 0, 0, usbPort(kId500)},
    {"SerialForModelFromItsKey",
     [] { installModels(); const bvlCameraPort p = serial(3, 57600);
          machine().setModelValue("Brivant200", "lastPort", &p, sizeof p); },
     3, kId200, 1, 0, serial(3, 57600)},
    {"SerialForModelWithoutStoredPort", installModels, 3, kId200, 0, BVL_E_NO_LAST_PORT, serial(1)},
    {"DefaultForModelWithoutStoredPort", installModels, 1, kId200, 1, 0, serial(1)},
    {"UnknownModelCountsAsSerialOnly", installModels, 3, 0x12345678, 0, BVL_E_NO_LAST_PORT, serial(1)},
    {"BothKindsFollowLastStoredKind", [] { installModels(); storeGeneral("USB", "defaultPort", usbPort(0, "dev"), 3); },
     1, kId350, 3, 0, usbPort(kId350)},
    {"HighBitsOfRequestAreIgnored", [] {}, 0x10003, 0, 2, BVL_E_NO_LAST_PORT, usbPort(kId350)},
    {"UnknownRequestLeavesZeros", installModels, 5, 0, 0, 0, kNoPort},
};

class StoredPorts : public MachineTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(StoredPorts, AnswerFromTheRegistry) {
    const PortCase& c = GetParam();
    c.registry();
    bvlCameraPort port;
    std::memset(&port, 0xcc, sizeof port);
    EXPECT_EQ(c.expectedResult, api().baseGetDevicePort(c.request, nullptr, c.modelID, &port, c.wantedKind));
    EXPECT_EQ(describe(c.expected), describe(port));
    EXPECT_EQ(0, reinterpret_cast<const BYTE*>(&port)[sizeof port - 1]) << "descriptor not zeroed first";
}

INSTANTIATE_TEST_SUITE_P(Requests, StoredPorts, ::testing::ValuesIn(kPortCases),
                         [](const ::testing::TestParamInfo<PortCase>& i) { return i.param.name; });

TEST_F(StoredPorts, GetCameraPortIsGetDevicePortForAnyKind) {
    bvlCameraPort port;
    EXPECT_EQ(BVL_E_NO_LAST_PORT, api().baseGetCameraPort(3, nullptr, 0, &port));
    EXPECT_EQ(describe(serial(1)), describe(port));
}

TEST_F(StoredPorts, SerialOpenStoresTheLastPort) {
    installModels();
    simSetSerialCameraPorts(2);
    DWORD camera = openSerial(2);
    api().baseCloseCameraComm(camera);

    bvlCameraPort last;
    EXPECT_EQ(0u, api().baseGetDevicePort(3, nullptr, 0, &last, 0));
    EXPECT_EQ(describe(serialPort(2)), describe(last));

    // A failed open stores nothing.
    bvlCameraPort other = serialPort(4);
    EXPECT_NE(0u, api().baseOpenCameraComm(&other, nullptr, 0, &camera));
    EXPECT_EQ(0u, api().baseGetDevicePort(3, nullptr, 0, &last, 1));
    EXPECT_STREQ("com2", last.portName);
}

TEST_F(StoredPorts, LaunchingCameraComesFromTheServiceAndTheRegistry) {
    bvlCameraPort port;
    simStiSetLaunch(L"\\\\.\\Usbscan3", L"Brivant350");
    EXPECT_EQ(BVL_E_REGISTRY, api().baseGetDevicePort(4, nullptr, 0, &port, 0));  // no model list

    // The first model whose detect ID is the event's, case ignored; one
    // without a model ID is skipped.
    installModels();
    machine().addModel("0NoID", nullptr);
    machine().addModel("Brivant900", &kId200);
    const std::pair<const char*, const char*> detectIDs[] = {{"0NoID", "Brivant350"}, {"Brivant200", "brivant350x"},
        {"Brivant350", "Brivant35"}, {"Brivant500", "BRIVANT350"}, {"Brivant900", "Brivant350"}};
    for (const auto& d : detectIDs)
        machine().setModelValue(d.first, "cameraDetectID", d.second, lstrlenA(d.second) + 1, REG_SZ);
    std::memset(&port, 0xcc, sizeof port);
    ASSERT_EQ(0u, api().baseGetDevicePort(4, nullptr, 0, &port, 0));
    EXPECT_EQ(describe(usbPort(kId500, "\\\\.\\Usbscan3")), describe(port));  // the device kept for the open

    simStiSetLaunch(L"\\\\.\\Usbscan3", L"SomeOtherCamera");
    EXPECT_EQ(BVL_E_NO_LAUNCHING_CAMERA, api().baseGetDevicePort(4, nullptr, 0, &port, 0));
    simStiSetLaunch(nullptr, nullptr);  // started by hand, not by an event
    EXPECT_EQ(BVL_E_NO_LAUNCHING_CAMERA, api().baseGetDevicePort(4, nullptr, 0, &port, 0));
    EXPECT_STREQ("", port.u.usb.deviceName);
    EXPECT_EQ(0, simCounter("sti.instances"));  // the lookup's own instance is released
}

TEST_F(StoredPorts, ModelSelectorNeedsAnInstalledModel) {
    EXPECT_EQ(BVL_E_REGISTRY, api().baseSetCameraSelector(kId350));  // nothing installed
    installModels();
    EXPECT_EQ(0u, api().baseSetCameraSelector(kId350));
    EXPECT_EQ(BVL_E_REGISTRY, api().baseSetCameraSelector(0x12345678));
    machine().setModelValue("Brivant200", "modelName", "", 0, REG_SZ);
    EXPECT_EQ(BVL_E_REGISTRY, api().baseSetCameraSelector(kId200));
}

}  // namespace
