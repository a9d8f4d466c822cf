// Screenshots of the dialogs in their main states, saved as PNG files into
// the folder that BV_SCREENSHOT_DIR names, for a person to look at. A tool
// built on the dialog tests' driver and fixtures; each case fails when its
// window could not be captured or written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>

#include "front/comm_port_dialog.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/locale_override.h"
#include "tests/support/product_library.h"
#include "tests/ui/comm_dialog_fixture.h"
#include "ui/camera_settings_dialog.h"
#include "ui/resource_ids.h"
#include "window_png.h"

namespace {

using bvtest::DialogDriver;

const char kSettingsCaption[] = "Kameraeinstellungen";
const char kCommCaption[] = "Kommunikationseinstellungen";

class DialogScreenshots : public ::testing::Test {
protected:
    void SetUp() override {
        if (!bvtest::hasDisplay()) GTEST_SKIP() << "needs a display";
        const char* folder = std::getenv("BV_SCREENSHOT_DIR");
        if (!folder) GTEST_SKIP() << "BV_SCREENSHOT_DIR names no folder";
        folder_ = folder;
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(library_.module());
        ASSERT_TRUE(locale_.set("1", "1"));  // day-month-year, 24 hours
        bv::bvlCameraSettings& s = bv::cameraSettings();
        s = {};
        std::strcpy(s.modelName, "Brivant 350");
        std::strcpy(s.firmwareVersion, "1.02");
        std::strcpy(s.ownerName, "Anna Beispiel");
        s.dateTime = 1714990830;  // 2024-05-06 10:20:30
        s.batteryState = 6;
        s.slotCount = 2;
        s.slot1Total = 64u << 20, s.slot1Free = 41943040;
        s.slot2Total = 0x80000000u, s.slot2Free = 1288490188;
    }

    // Lets the window paint, then saves it under name.
    void shoot(DialogDriver& d, HWND window, const char* name) {
        ASSERT_NE(nullptr, window) << name;
        RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
        d.idle(20);
        EXPECT_TRUE(bvtest::saveWindowPng(window, folder_ + "/" + name)) << name;
    }

    // Shows the settings dialog, saves it, and cancels it.
    void shootSettings(const char* name) {
        bv::prepareDateTimeEditor(bv::cameraSettings().dateTime, library_.module());
        driver_.run([&] { return bv::runCameraSettingsDialog(library_.module(), nullptr, &targets_); },
                    [&](DialogDriver& d) {
                        HWND dialog = d.waitForDialog(kSettingsCaption);
                        shoot(d, dialog, name);
                        d.key(VK_ESCAPE);
                    });
    }

    std::string folder_;
    bvtest::ProductLibrary library_;
    bvtest::LocaleOverride locale_;
    bv::NotificationTargets targets_;
    DialogDriver driver_;
};

TEST_F(DialogScreenshots, SettingsWithTwoSlots) { shootSettings("settings-two-slots.png"); }

TEST_F(DialogScreenshots, SettingsWithOneSlotOnMains) {
    bv::cameraSettings().slotCount = 1;
    bv::cameraSettings().batteryState = 0x10000000;
    shootSettings("settings-one-slot.png");
}

TEST_F(DialogScreenshots, SettingsWithoutBatteryAndCards) {
    bv::cameraSettings().batteryState = 0;
    bv::cameraSettings().slot1Total = bv::cameraSettings().slot1Free = 0;
    bv::cameraSettings().slot2Total = bv::cameraSettings().slot2Free = 0;
    shootSettings("settings-no-battery.png");
}

TEST_F(DialogScreenshots, SettingsOnATwelveHourClockYearFirst) {
    ASSERT_TRUE(locale_.set("2", "0"));
    bv::cameraSettings().batteryState = 4;
    shootSettings("settings-12-hour-clock.png");
}

TEST_F(DialogScreenshots, MessageDialogOverTheSettings) {
    bv::cameraSettings().dateTime = static_cast<LONG>(bv::kUnknownDateTime);
    bv::prepareDateTimeEditor(bv::cameraSettings().dateTime, library_.module());
    driver_.run([&] { return bv::runCameraSettingsDialog(library_.module(), nullptr, &targets_); },
                [&](DialogDriver& d) {
                    HWND message = d.waitForDialog(kSettingsCaption);
                    shoot(d, message, "message-dialog.png");
                    d.click(message, IDOK);
                    ASSERT_TRUE(d.waitForClosed(message));
                    d.key(VK_ESCAPE);
                });
}

// The communication settings dialog with the models installed and no
// general last port stored, so that it opens on RS-232C.
class CommDialogScreenshots : public DialogScreenshots {
protected:
    void SetUp() override {
        DialogScreenshots::SetUp();
        if (IsSkipped()) return;
        world_ = std::make_unique<commtest::CommDialogWorld>();
        commtest::installModels();
    }
    void TearDown() override { world_.reset(); }

    INT_PTR openComm(const DialogDriver::Scenario& scenario) {
        bvlCameraPort port = {};
        bv::CommDialogRequest request;
        request.editedPort = &port;
        request.stillImageLibrary = world_->stillImage();
        return driver_.run([&] { return bv::runCommDialog(library_.module(), nullptr, request); },
                           scenario);
    }

    std::unique_ptr<commtest::CommDialogWorld> world_;
};

TEST_F(CommDialogScreenshots, SerialThenUsb) {
    openComm([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCommCaption);
        shoot(d, dialog, "comm-rs232c.png");
        d.choose(dialog, IDC_PORT_KIND, 0);  // "USB" comes first
        EXPECT_TRUE(bvtest::itemVisible(dialog, IDC_USB_MODEL));
        shoot(d, dialog, "comm-usb.png");
        d.click(dialog, IDC_COMM_CANCEL);
    });
}

// The detecting window is painted only while the search blocks the
// thread: it is saved at its first paint. The search's outcome is a
// message box, left open to be saved too.
TEST_F(CommDialogScreenshots, DetectingWindowAndItsOutcome) {
    bool detectingSaved = false;
    driver_.watchClass(bv::kDetectingClassName, [&](HWND window) {
        GdiFlush();
        detectingSaved = bvtest::saveWindowPng(window, folder_ + "/comm-detecting.png");
    });
    driver_.answerMessageBoxes(false);
    openComm([&](DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCommCaption);
        d.click(dialog, IDC_DETECT);
        HWND outcome = d.waitForDialog(kCommCaption);
        ASSERT_NE(dialog, outcome);
        shoot(d, outcome, "comm-detection-outcome.png");
        d.click(outcome, IDOK);
        d.click(dialog, IDC_COMM_CANCEL);
    });
    EXPECT_TRUE(detectingSaved);
}

}  // namespace
