// "Erkennen": the search for a serial camera on COM1 to COM6 through the
// serial stand-in, on COM ports that exist in the Wine prefix or not.
#include <algorithm>
#include <cstdlib>

#include "comm_dialog_fixture.h"

namespace commtest {
namespace {

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
class ComPortLinks {
public:
    explicit ComPortLinks(DWORD mask) {
        std::string ports;
        for (int n = 1; n <= 6; ++n)
            if (mask & (1u << (n - 1))) ports += " com" + std::to_string(n);
        ready_ = inDosDevices("mkdir -p bvtest-saved && for c in com1 com2 com3 com4 com5 com6; do "
                              "{ [ -e bvtest-saved/$c ] || [ -L bvtest-saved/$c ] || ! [ -L $c ] || "
                              "mv $c bvtest-saved/; } && rm -f $c || exit 1; done && for c in" + ports +
                              "; do ln -s /dev/null $c || exit 1; done");
    }
    ~ComPortLinks() {
        inDosDevices("rm -f com1 com2 com3 com4 com5 com6 && { mv bvtest-saved/* . 2>/dev/null; rmdir bvtest-saved; }");
    }
    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

constexpr char kFound2[] = "Kamera wurde erkannt COM2";
constexpr char kNotFound[] = "Es wurde keine Kamera erkannt.\nPrüfen Sie die Kameraverbindung.";

struct SimCamera {
    DWORD port, modelID;
    const char* modelName;
};

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
    {"UnknownGivenModelEndsTheSearch", installModels, 0x12345678, 0x3, {{1, kId350, "Brivant 350"}}, L"serial",
     kNotFound, "COM1", "open:ok descrip:1 close:1"},
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
    if (!ports.ready()) GTEST_SKIP() << "the COM ports of the Wine prefix cannot be set up";
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

}  // namespace
}  // namespace commtest
