// The communication settings dialog as the user meets it: what it shows
// first, how the lists follow the port kind, what OK writes into the
// descriptor, and that every way of cancelling writes nothing.
#include <utility>
#include <vector>

#include "comm_dialog_fixture.h"

namespace commtest {
namespace {

constexpr char kComPorts[] = "COM1|COM2|COM3|COM4|COM5|COM6";
constexpr char kBauds[] = "9600|19.2K|38.4K|57.6K|115.2K";

void storeSerialLastPort(BYTE number, DWORD baud) {
    bvlCameraPort port = bvtest::serialPort(number);
    port.u.serial.baudRate = baud;
    machine().setLibraryValue("SERIAL", "lastPort", &port, sizeof port);
}

struct FirstView {
    const char* name;
    void (*registry)();
    DWORD offered;
    WORD modelChoice;
    const char* kinds;
    const char* kind;      // selected
    const char* comPort;   // serial shown: the selections
    const char* baud;
    bool modelListShown;   // USB shown
};

const FirstView kFirstViews[] = {
    {"NothingStoredShowsSerialDefault", [] { installModels(); }, 3, 1, "USB|RS-232C", "RS-232C", "COM1", "115.2K", false},
    {"NoRegistryShowsSerialDefault", [] {}, 3, 1, "USB|RS-232C", "RS-232C", "COM1", "115.2K", false},
    {"DefaultKindUsbShowsUsb", [] { installModels(); storeKinds(0, 3); }, 3, 1, "USB|RS-232C", "USB", "", "", true},
    {"LastPortUsbShowsUsb",
     [] { installModels(); storeKinds(3, 1); const bvlCameraPort usb = bvtest::usbPort(0);
          machine().setLibraryValue("USB", "lastPort", &usb, sizeof usb); },
     3, 1, "USB|RS-232C", "USB", "", "", true},
    {"SerialOnlyPreselectsStoredPort", [] { installModels(); storeSerialLastPort(3, 38400); }, 1, 1, "RS-232C",
     "RS-232C", "COM3", "38.4K", false},
    {"StoredPortOutsideTheListsKeepsFirstAndFastest", [] { installModels(); storeSerialLastPort(9, 14400); }, 1, 1,
     "RS-232C", "RS-232C", "COM1", "115.2K", false},
    {"ModelGivenHidesModelList", [] { installModels(); }, 2, 0, "USB", "USB", "", "", false},
};

class FirstViews : public CommDialogTest, public ::testing::WithParamInterface<FirstView> {};

TEST_P(FirstViews, ShowTheKindAndItsLists) {
    const FirstView& v = GetParam();
    v.registry();
    EXPECT_EQ(5, run(v.offered, [&v](DialogDriver&, HWND dialog) {
        EXPECT_EQ(v.kinds, comboItems(dialog, IDC_PORT_KIND));
        EXPECT_EQ(v.kind, itemText(dialog, IDC_PORT_KIND));
        const bool serial = std::strcmp(v.kind, "RS-232C") == 0;
        for (int id : {IDC_COM_PORT_LABEL, IDC_COM_PORT, IDC_BAUD_LABEL, IDC_BAUD, IDC_DETECT})
            EXPECT_EQ(serial, bvtest::itemVisible(dialog, id)) << id;
        EXPECT_EQ(v.modelListShown, bvtest::itemVisible(dialog, IDC_USB_MODEL));
        EXPECT_EQ(v.modelListShown, bvtest::itemVisible(dialog, IDC_USB_MODEL_LABEL));
        if (serial) {
            EXPECT_EQ(kComPorts, comboItems(dialog, IDC_COM_PORT));
            EXPECT_EQ(kBauds, comboItems(dialog, IDC_BAUD));
            EXPECT_EQ(v.comPort, itemText(dialog, IDC_COM_PORT));
            EXPECT_EQ(v.baud, itemText(dialog, IDC_BAUD));
        } else {
            EXPECT_EQ("Brivant 350", itemText(dialog, IDC_USB_MODEL));
        }
    }, v.modelChoice));
}

INSTANTIATE_TEST_SUITE_P(Dialog, FirstViews, ::testing::ValuesIn(kFirstViews),
                         [](const ::testing::TestParamInfo<FirstView>& i) { return i.param.name; });

TEST_F(CommDialogTest, SerialChoiceSurvivesSwitchingWhileTheModelListIsRebuilt) {
    installModels();
    storeKinds(0, 3);
    storeSerialLastPort(2, 19200);
    ASSERT_EQ(0, run(3, [](DialogDriver& d, HWND dialog) {
        ASSERT_EQ("USB", itemText(dialog, IDC_PORT_KIND));
        d.choose(dialog, IDC_PORT_KIND, 1);  // RS-232C: filled from the stored serial port
        EXPECT_EQ("COM2", itemText(dialog, IDC_COM_PORT));
        EXPECT_EQ("19.2K", itemText(dialog, IDC_BAUD));
        d.choose(dialog, IDC_COM_PORT, 3);
        d.choose(dialog, IDC_BAUD, 3);

        const SimStiDevice cameras[] = {{L"cam0", L"Orvel", L"Brivant 500", L"\\\\.\\Usbscan0", (2u << 16) | 7},
                                        {L"cam1", L"Orvel", L"Brivant 350", L"\\\\.\\Usbscan1", (2u << 16) | 7}};
        simStiSetDevices(cameras, 2);
        d.choose(dialog, IDC_PORT_KIND, 0);
        EXPECT_EQ("Brivant 500|Brivant 350", comboItems(dialog, IDC_USB_MODEL));
        d.choose(dialog, IDC_PORT_KIND, 1);
        EXPECT_EQ("COM4", itemText(dialog, IDC_COM_PORT));
        EXPECT_EQ("57.6K", itemText(dialog, IDC_BAUD));
        EXPECT_FALSE(bvtest::itemVisible(dialog, IDC_USB_MODEL));
        d.click(dialog, IDC_COMM_OK);
    }));
    EXPECT_EQ(BVL_PORT_SERIAL, port_.portType);
    EXPECT_STREQ("com4", port_.portName);
    const BYTE serial[] = {4, 8, 1, 0, 3, 0x00, 0xe1, 0x00, 0x00};  // bytes 34 to 42: 57600 little-endian
    EXPECT_EQ(0, std::memcmp(serial, portBytes() + 34, sizeof serial));
}

TEST_F(CommDialogTest, EveryWayOfCancellingEndsWithFiveAndWritesNothing) {
    for (void (*cancel)(DialogDriver&, HWND) : {+[](DialogDriver& d, HWND) { d.key(VK_ESCAPE); },
                                                +[](DialogDriver& d, HWND w) { d.closeBox(w); },
                                                +[](DialogDriver& d, HWND w) { d.click(w, IDC_COMM_CANCEL); }}) {
        EXPECT_EQ(5, run(3, cancel));
        WNDCLASSA c;
        EXPECT_FALSE(GetClassInfoA(GetModuleHandleA(nullptr), "lluiDetectingMsg", &c)) << "class outlived the dialog";
        EXPECT_EQ(std::vector<BYTE>(sizeof port_, 0xcc), std::vector<BYTE>(portBytes(), portBytes() + sizeof port_));
    }
}

// Help on the background frame goes to the control under the mouse, hidden
// ones included: the USB model list lies over the "Erkennen" button.
TEST_F(CommDialogTest, HelpOnTheFrameFindsTheControlUnderTheMouse) {
    run(1, [](DialogDriver&, HWND dialog) {
        for (const auto& c : {std::make_pair(IDC_BAUD, IDC_BAUD), std::make_pair(IDC_DETECT, IDC_USB_MODEL),
                              std::make_pair(IDC_COMM_HELP, 0)}) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, c.first), &r);
            const POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            EXPECT_EQ(c.second, bv::commControlAtPoint(centre, dialog)) << c.first;
        }
    });
}

}  // namespace
}  // namespace commtest
