// The communication settings dialog as the user meets it: what it shows
// first, how the lists follow the port kind, what OK writes into the
// descriptor, that every way of cancelling writes nothing, the search for
// a serial camera ("Erkennen"), and baseGetDevicePort request 2.
#include <algorithm>
#include <cstdlib>
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
        for (int id : {IDC_USB_MODEL, IDC_USB_MODEL_LABEL}) EXPECT_EQ(v.modelListShown, bvtest::itemVisible(dialog, id));
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
// Without the help file beside the module, "Hilfe" says it is missing.
TEST_F(CommDialogTest, HelpOnTheFrameFindsTheControlUnderTheMouse) {
    run(1, [this](DialogDriver& d, HWND dialog) {
        for (const auto& c : {std::make_pair(IDC_BAUD, IDC_BAUD), std::make_pair(IDC_DETECT, IDC_USB_MODEL),
                              std::make_pair(IDC_COMM_HELP, 0)}) {
            RECT r;
            GetWindowRect(GetDlgItem(dialog, c.first), &r);
            const POINT centre = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
            EXPECT_EQ(c.second, bv::commControlAtPoint(centre, dialog)) << c.first;
        }
        d.click(dialog, IDC_COMM_HELP);
        ASSERT_EQ(1u, driver_.messageBoxes().size());
        EXPECT_EQ(kCaption, driver_.messageBoxes()[0].caption);
        EXPECT_EQ("Die Hilfedatei bvcl2sti.hlp wurde nicht gefunden.", driver_.messageBoxes()[0].text);
    });
}

// "Erkennen": the search for a serial camera on COM1 to COM6 through the
// serial stand-in, on COM ports that exist in the Wine prefix or not.

// Runs shell commands in the Wine prefix's dosdevices folder on the Unix
// side; true when they succeeded. Wine starts Unix programs without a
// process handle to wait on, so the shell leaves a marker file when done.
bool inDosDevices(const std::string& commands) {
    const char* prefix = std::getenv("WINEPREFIX");
    if (!prefix) return false;
    std::string marker = "Z:" + std::string(prefix) + "/bvtest-shell-done";
    std::replace(marker.begin(), marker.end(), '/', '\\');
    DeleteFileA(marker.c_str());
    std::string command = "/bin/sh -c \"cd '" + std::string(prefix) + "/dosdevices' && (" + commands +
                          ") && touch ../bvtest-shell-done\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    for (int waited = 0; waited < 10000; waited += 20, Sleep(20))
        if (DeleteFileA(marker.c_str())) return true;
    return false;
}

// Makes exactly the COM ports of mask (bit 0 = COM1, up to COM6) exist in
// the Wine prefix: dosdevices\comN links to /dev/null. Links found are put
// aside and put back; leftovers of an interrupted run stay put aside, so
// the prefix's own links are never overwritten.
struct ComPortLinks {
    explicit ComPortLinks(DWORD mask) {
        std::string ports;
        for (int n = 1; n <= 6; ++n)
            if (mask & (1u << (n - 1))) ports += " com" + std::to_string(n);
        ready = inDosDevices("mkdir -p bvtest-saved && for c in com1 com2 com3 com4 com5 com6; do "
                             "{ [ -e bvtest-saved/$c ] || [ -L bvtest-saved/$c ] || ! [ -L $c ] || "
                             "mv $c bvtest-saved/; } && rm -f $c || exit 1; done && for c in" + ports +
                             "; do ln -s /dev/null $c || exit 1; done");
    }
    ~ComPortLinks() {
        inDosDevices("rm -f com1 com2 com3 com4 com5 com6 && { mv bvtest-saved/* . 2>/dev/null; rmdir bvtest-saved; }");
    }
    bool ready = false;
};

constexpr char kFound2[] = "Kamera wurde erkannt COM2";
constexpr char kNotFound[] = "Es wurde keine Kamera erkannt.\nPrüfen Sie die Kameraverbindung.";

struct SimCamera { DWORD port, modelID; const char* modelName; };

struct Search {
    const char* name;
    void (*registry)();
    DWORD givenModelID;
    DWORD existingPorts;  // bit 0 = COM1
    std::vector<SimCamera> cameras;
    const wchar_t* libraryFolder;
    const char* message;  // null: none
    const char* selectedPort;
    const char* serialCalls;
};

const Search kSearches[] = {
    {"AnyCameraOnSecondPort", installModels, 0, 0x3, {{2, kId350, "Brivant 350"}}, L"serial", kFound2, "COM2",
     "open:fail open:ok descrip:2 close:2"},
    {"GivenModelPassesOtherModelBy", installModels, kId200, 0x3,
     {{1, kId350, "Brivant 350"}, {2, kId200, "Brivant 200"}}, L"serial", kFound2, "COM2",
     "open:ok descrip:1 close:1 open:ok descrip:2 close:2"},
    // Only the three ports that exist are tried.
    {"NoCameraAnswers", installModels, 0, 0x7, {}, L"serial", kNotFound, "COM1", "open:fail open:fail open:fail"},
    // A given model that is not installed can never answer: no port is tried.
    {"UnknownGivenModelEndsTheSearch", installModels, 0x12345678, 0x3, {{1, kId350, "Brivant 350"}}, L"serial",
     kNotFound, "COM1", ""},
    {"NoModelListEndsTheSearch", [] {}, 0, 0x3, {{1, kId350, "Brivant 350"}}, L"serial", kNotFound, "COM1", ""},
    {"NoSerialLibraryEndsSilently", installModels, 0, 0x3, {{1, kId350, "Brivant 350"}}, L"none", nullptr, "COM1", ""},
    // Models without a stored serial port (as the installer leaves some)
    // take no part in keeping stored ports, and do not stop the search.
    {"ModelsWithoutStoredPortTakeNoPart",
     [] { installModels(); machine().addModel("Unnamed", nullptr); },
     kId200, 0x1, {{1, kId200, "Brivant 200"}}, L"serial", "Kamera wurde erkannt COM1", "COM1",
     "open:ok descrip:1 close:1"},
    {"LibraryWithoutTableEndsSilently", installModels, 0, 0x3, {{1, kId350, "Brivant 350"}}, L"serial-no-table",
     nullptr, "COM1", ""},
};

std::string serialCallLog() {
    std::string log;
    for (const SimSerialCall& c : bvtest::serialCalls()) {
        if (!log.empty()) log += ' ';
        if (c.slot == 3) log += c.result ? "open:fail" : "open:ok";
        else if (c.slot == 1) log += "descrip:" + std::to_string(c.args[0] & 0xff);
        else if (c.slot == 4) log += "close:" + std::to_string(c.args[0] & 0xff);
        else log += "slot" + std::to_string(c.slot);
    }
    return log;
}

class Searches : public CommDialogTest, public ::testing::WithParamInterface<Search> {};

TEST_P(Searches, FindTheCameraOrSayWhy) {
    const Search& s = GetParam();
    ComPortLinks ports(s.existingPorts);
    if (!ports.ready) GTEST_SKIP() << "the COM ports of the Wine prefix cannot be set up";
    s.registry();
    simSetSerialCameraPorts(0);
    for (const SimCamera& c : s.cameras) simSetSerialCamera(c.port, c.modelID, c.modelName);
    SetDllDirectoryW((bvtest::executableFolder() + s.libraryFolder).c_str());

    driver_.watchClass(bv::kDetectingClassName);
    EXPECT_EQ(5, run(1, [&s, this](DialogDriver& d, HWND dialog) {
        d.click(dialog, IDC_DETECT);
        EXPECT_EQ(s.selectedPort, itemText(dialog, IDC_COM_PORT));
        // The detecting window showed over the dialog while the search ran.
        ASSERT_EQ(1u, driver_.watchedWindows().size());
        const bvtest::SeenWindow& w = driver_.watchedWindows()[0];
        EXPECT_EQ(kCaption, w.title);
        EXPECT_EQ(dialog, w.owner);
        EXPECT_FALSE(IsWindow(w.window));
        EXPECT_TRUE(IsWindow(dialog)) << "the dialog stays open";
    }, 1, s.givenModelID));

    EXPECT_EQ(s.serialCalls, serialCallLog());
    const auto& boxes = driver_.messageBoxes();
    ASSERT_EQ(s.message ? 1u : 0u, boxes.size());
    if (s.message) {
        EXPECT_EQ(kCaption, boxes[0].caption);
        EXPECT_EQ(s.message, boxes[0].text);
        EXPECT_EQ(s.message == kNotFound, boxes[0].icon);
    }
}

INSTANTIATE_TEST_SUITE_P(Detection, Searches, ::testing::ValuesIn(kSearches),
                         [](const ::testing::TestParamInfo<Search>& i) { return i.param.name; });

// baseGetDevicePort request 2 through the exported table: which kinds the
// dialog offers, what is stored after OK, and the codes for choices that
// the model or the kind wanted rule out. A serial port chosen with both
// kinds offered and stored as the last port is bvcam_port_choose's.
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

class DialogChoices : public UsbRoadTest, public ::testing::WithParamInterface<Choice> {};

TEST_P(DialogChoices, AreStoredOrRefused) {
    if (!bvtest::hasDisplay()) GTEST_SKIP() << "the dialog needs a display";
    const Choice& c = GetParam();
    if (!c.usbCameraKnown) simStiSetDevices(nullptr, 0);
    bvlCameraPort port = {};
    std::string offered;
    DialogDriver driver;
    const INT_PTR result = driver.run(
        [&] { return static_cast<INT_PTR>(api().baseGetDevicePort(2, nullptr, c.modelID, &port, c.wantedKind)); },
        [&](DialogDriver& d) {
            HWND dialog = d.waitForDialog(kCaption);
            ASSERT_NE(nullptr, dialog);
            offered = comboItems(dialog, IDC_PORT_KIND);
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
