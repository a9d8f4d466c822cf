// The settings dialog operation end to end over USB: what the dialog shows
// of the simulated camera, and what reaches the camera after OK or cancel.
#include <ctime>

#include "tests/support/dialog_driver.h"
#include "tests/support/locale_override.h"
#include "ui/resource_ids.h"
#include "usb_fixture.h"

using namespace usbtest;
using bvtest::DialogDriver;
using bvtest::itemText;
using bvtest::itemVisible;

namespace {

const char kCaption[] = "Kameraeinstellungen";
const LONG kCameraClock = 1714990830;  // 2024-05-06 10:20:30 UTC

class ShowSettingsTest : public UsbRoadTest {
protected:
    void SetUp() override {
        if (!bvtest::hasDisplay()) GTEST_SKIP() << "needs a display";
        UsbRoadTest::SetUp();
        const SimCardSlot cards[] = {{"CF", nullptr, 8u << 20, 0}, {"SD", nullptr, 16u << 20, 0}};
        ASSERT_TRUE(simSetCards(cards, 2));
        openUsb();
        LONG clock = kCameraClock;
        ASSERT_EQ(0u, api().baseWriteSetting(camera_, 3, &clock));
        char owner[] = "Anna";
        ASSERT_EQ(0u, api().baseWriteSetting(camera_, 2, owner));
    }

    DWORD show(const DialogDriver::Scenario& scenario) {
        DWORD rc = MAXDWORD;
        DialogDriver driver;
        driver.run([&] { return static_cast<INT_PTR>(rc = api().baseShowSettingsUI(camera_, nullptr)); }, scenario);
        return rc;
    }

    void TearDown() override {
        simDriverCloseChannel();
        UsbRoadTest::TearDown();
    }

    // Raises a camera event as the driver does, from a thread of its own,
    // and lets the dialog's loop run until the driver has its answer: the
    // library hands the event to the dialog on this thread.
    struct DriverEvent {
        DWORD code, data, answer;
    };
    static DWORD WINAPI raiseFromDriver(LPVOID p) {
        DriverEvent& e = *static_cast<DriverEvent*>(p);
        return simDriverRaiseEvent(e.code, &e.data, sizeof e.data, 5000, &e.answer);
    }
    static void raise(DialogDriver& d, DWORD code, DWORD data) {
        DriverEvent event = {code, data, 0};
        HANDLE driver = CreateThread(nullptr, 0, raiseFromDriver, &event, 0, nullptr);
        ASSERT_NE(nullptr, driver);
        EXPECT_TRUE(d.waitUntil([&] { return WaitForSingleObject(driver, 0) == WAIT_OBJECT_0; }));
        DWORD raised = FALSE;
        GetExitCodeThread(driver, &raised);
        CloseHandle(driver);
        EXPECT_TRUE(raised) << "the driver's event was not answered";
    }

    std::string owner() {
        char text[32] = {};
        EXPECT_EQ(0u, api().baseReadSetting(camera_, 2, text));
        return text;
    }
    LONG clock() {
        LONG value = 0;
        EXPECT_EQ(0u, api().baseReadSetting(camera_, 3, &value));
        return value;
    }
};

TEST_F(ShowSettingsTest, OwnerAndPcTimeSetInTheDialogArriveInTheCamera) {
    EXPECT_EQ(0u, show([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCaption);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("Brivant 350", itemText(dialog, IDC_MODEL_NAME));
        EXPECT_EQ("1.02", itemText(dialog, IDC_FIRMWARE_VERSION)) << "the version alone";
        EXPECT_EQ("Anna", itemText(dialog, IDC_OWNER_NAME));
        const std::string year = itemText(dialog, IDC_DATE_FIELD3);  // the locale sets the order
        EXPECT_TRUE(year == "2024" || itemText(dialog, IDC_DATE_FIELD1) == "2024") << year;
        EXPECT_EQ("  8.00 MB", itemText(dialog, IDC_SLOT1_TOTAL));
        EXPECT_EQ(" 16.00 MB", itemText(dialog, IDC_SLOT2_TOTAL));
        d.focus(dialog, IDC_OWNER_NAME);
        d.type("Neue Besitzerin");
        d.click(dialog, IDC_FROM_PC);
        d.click(dialog, IDC_SETTINGS_OK);
    }));
    EXPECT_EQ("Neue Besitzerin", owner());
    EXPECT_NEAR(static_cast<double>(std::time(nullptr)), static_cast<double>(clock()), 120.0)
        << "the PC's time, as the camera's UTC clock";
}

TEST_F(ShowSettingsTest, ATypedDateAndTimeArriveAsTheCameraClock) {
    bvtest::LocaleOverride locale;
    ASSERT_TRUE(locale.set("1", "1"));  // day, month, year; 24 hours
    EXPECT_EQ(0u, show([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCaption);
        ASSERT_NE(nullptr, dialog);
        d.type(dialog, IDC_DATE_FIELD3, "2029");
        d.type(dialog, IDC_HOUR, "08");
        d.type(dialog, IDC_MINUTE, "15");
        d.click(dialog, IDC_SETTINGS_OK);
    }));
    _tzset();
    const LONG shown = 1872749700;  // 2029-05-06 08:15:00 on the dialog's wall clock
    EXPECT_EQ(shown + _timezone / 60 * 60, clock()) << "the camera keeps UTC";
}

TEST_F(ShowSettingsTest, CancelWritesNothing) {
    const size_t writesBefore = countCommands(18);
    EXPECT_EQ(0u, show([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCaption);
        ASSERT_NE(nullptr, dialog);
        d.focus(dialog, IDC_OWNER_NAME);
        d.type("Nicht gespeichert");
        d.click(dialog, IDC_FROM_PC);
        d.click(dialog, IDC_SETTINGS_CANCEL);
    }));
    EXPECT_EQ(writesBefore, countCommands(18));
    EXPECT_EQ("Anna", owner());
    EXPECT_EQ(kCameraClock, clock());
}

TEST_F(ShowSettingsTest, DriverEventsReachTheDialogAndAFinalOneEndsItWithoutWriting) {
    const size_t writesBefore = countCommands(18);
    EXPECT_EQ(0u, show([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCaption);
        ASSERT_NE(nullptr, dialog);
        ASSERT_TRUE(simDriverOpenChannel(kModelName, kDevicePort));
        d.focus(dialog, IDC_OWNER_NAME);
        d.type("Verworfen");
        raise(d, SIM_EVENT_BATTERY, 4);
        EXPECT_EQ("Niedrig, bitte Akku laden", itemText(dialog, IDC_POWER_TEXT));
        raise(d, SIM_EVENT_DISCONNECTED, 0);
        EXPECT_TRUE(d.waitForClosed(dialog));
    }));
    EXPECT_EQ(writesBefore, countCommands(18));
}

TEST_F(ShowSettingsTest, TheOneSlotModelWithoutVolumesShowsOneEmptySlot) {
    ASSERT_TRUE(simSetCards(nullptr, 0));
    show([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCaption);
        ASSERT_NE(nullptr, dialog);
        EXPECT_EQ("Status:", itemText(dialog, IDC_SLOT1_LABEL));
        EXPECT_EQ("Nicht installiert", itemText(dialog, IDC_SLOT1_STATE));
        EXPECT_FALSE(itemVisible(dialog, IDC_SLOT2_LABEL));
        d.key(VK_ESCAPE);
    });
}

}  // namespace
