// baseGetDevicePort request 2 through the exported table: which kinds the
// dialog offers, what is stored after OK, and the codes for choices that
// the model or the kind wanted rule out. A serial port chosen with both
// kinds offered and stored as the last port is bvcam_port_choose's.
#include <cstring>

#include "tests/support/camera_world.h"
#include "tests/support/dialog_driver.h"
#include "ui/resource_ids.h"

namespace commtest {
namespace {

using bvtest::machine;
constexpr DWORD kIdBoth = bvtest::kId350, kIdSerial = bvtest::kId200, kIdUsb = bvtest::kId500;

enum class Action { Ok, Com3Ok, Cancel };

struct Choice {
    const char* name;
    DWORD modelID, wantedKind;
    bool usbCameraKnown;
    Action action;
    const char* offeredKinds;
    DWORD expectedResult;
    WORD expectedType;
    DWORD expectedModelID;        // USB
    bool storedGeneral;           // lastPort of the chosen kind and lastModel
    const char* storedForModel;   // model key that got lastPort, or null
};

const Choice kChoices[] = {
    {"SerialForModelStoredTwice", kIdSerial, 0, true, Action::Com3Ok, "RS-232C", 0, BVL_PORT_SERIAL, 0, true,
     "Brivant200"},
    {"UsbChoiceNamesTheShownModel", 0, 2, true, Action::Ok, "USB", 0, BVL_PORT_USB, kIdBoth, true, nullptr},
    {"UsbModelOffersUsbOnly", kIdUsb, 3, true, Action::Ok, "USB", 0, BVL_PORT_USB, kIdUsb, true, nullptr},
    {"UsbWithoutModelOrDeviceRefused", 0, 2, false, Action::Ok, "USB", BVL_E_DEVICE_INVALID, BVL_PORT_USB, 0, false,
     nullptr},
    {"UsbGetsTheGivenModel", kIdBoth, 2, false, Action::Ok, "USB", 0, BVL_PORT_USB, kIdBoth, true, nullptr},
    {"SerialWantedForUsbOnlyModel", kIdUsb, 1, true, Action::Ok, "RS-232C", BVL_E_DEVICE_NOT_INSTALLED,
     BVL_PORT_SERIAL, 0, true, "Brivant500"},
    {"CancelledStoresNothing", kIdSerial, 0, true, Action::Cancel, "RS-232C", 5, BVL_PORT_NONE, 0, false, nullptr},
};

class DialogChoices : public MachineTest, public ::testing::WithParamInterface<Choice> {
protected:
    void SetUp() override {
        if (!bvtest::hasDisplay()) GTEST_SKIP() << "the dialog needs a display";
        MachineTest::SetUp();
        bvtest::installModels();
    }
};

TEST_P(DialogChoices, AreStoredOrRefused) {
    const Choice& c = GetParam();
    if (!c.usbCameraKnown) simStiSetDevices(nullptr, 0);
    bvlCameraPort port = {};
    std::string offered;
    bvtest::DialogDriver driver;
    const INT_PTR result = driver.run(
        [&] { return static_cast<INT_PTR>(api().baseGetDevicePort(2, nullptr, c.modelID, &port, c.wantedKind)); },
        [&](bvtest::DialogDriver& d) {
            HWND dialog = d.waitForDialog("Kommunikationseinstellungen");
            ASSERT_NE(nullptr, dialog);
            offered = bvtest::comboItems(dialog, IDC_PORT_KIND);
            if (c.action == Action::Com3Ok) d.choose(dialog, IDC_COM_PORT, 2);
            d.click(dialog, c.action == Action::Cancel ? IDC_COMM_CANCEL : IDC_COMM_OK);
        });
    EXPECT_EQ(c.expectedResult, static_cast<DWORD>(result));
    EXPECT_EQ(c.offeredKinds, offered);
    EXPECT_EQ(c.expectedType, port.portType);
    if (c.expectedType == BVL_PORT_USB) {
        EXPECT_EQ(c.expectedModelID, port.u.usb.modelID);
    }
    if (c.action == Action::Com3Ok) {
        EXPECT_STREQ("com3", port.portName);
    }

    bvlCameraPort stored = {};
    DWORD size = sizeof stored, lastModel = 0, typeSize = 4;
    const char* kindKey = c.expectedType == BVL_PORT_USB ? "USB" : "SERIAL";
    EXPECT_EQ(c.storedGeneral, machine().readLibraryValue(kindKey, "lastPort", &stored, &size));
    EXPECT_EQ(c.storedGeneral, machine().readLibraryValue("", "lastModel", &lastModel, &typeSize));
    if (c.storedGeneral) {
        EXPECT_EQ(0, std::memcmp(&stored, &port, sizeof port));
    }
    for (const char* key : {"Brivant350", "Brivant200", "Brivant500"}) {
        size = sizeof stored;
        const bool expected = c.storedForModel && std::strcmp(key, c.storedForModel) == 0;
        EXPECT_EQ(expected, machine().readModelValue(key, "lastPort", &stored, &size)) << key;
    }
}

INSTANTIATE_TEST_SUITE_P(Request2, DialogChoices, ::testing::ValuesIn(kChoices),
                         [](const ::testing::TestParamInfo<Choice>& i) { return i.param.name; });

}  // namespace
}  // namespace commtest
