// The settings dialog operation end to end over USB: what the dialog shows
// of the simulated camera, and what reaches the camera after OK or after
// each way of cancelling.
#include <cstring>
#include <ctime>
#include <functional>
#include <string>

#include "tests/support/dialog_driver.h"
#include "tests/support/locale_override.h"
#include "ui/resource_ids.h"
#include "tests/support/camera_world.h"
#include "tests/support/stream_recorder.h"

using namespace bvtest;

namespace {

const char kCaption[] = "Kameraeinstellungen";
const LONG kCameraClock = 1714990830;  // 2024-05-06 10:20:30 UTC

// Pins the time zone of the C run-time library, from which the library
// and this test take the offset from UTC, to UTC+1 with summer time (UTC+2
// in May); the tests run without TZ. The system's zone stays: setting it
// needs a privilege that Wine does not grant. Wine's run-time library keeps
// the summer-time shift of the zone it read before (0 for UTC), so it is
// set as a TZ with a summer-time name has it.
struct ZoneOverride {
    ZoneOverride() : shift(_dstbias) {
        _putenv("TZ=CET-1CEST");
        _tzset();
        _dstbias = -3600;
    }
    ~ZoneOverride() {
        _putenv("TZ=");
        _tzset();
        _dstbias = shift;
    }
    const long shift;
};

class ShowSettingsTest : public UsbRoadTest {
protected:
    void SetUp() override {
        if (!bvtest::hasDisplay()) GTEST_SKIP() << "needs a display";
        UsbRoadTest::SetUp();
        ASSERT_TRUE(locale_.set("1", "1"));  // day, month, year; 24 hours
        const SimCardSlot cards[] = {{"CF", nullptr, 8u << 20, 0}, {"SD", nullptr, 16u << 20, 0}};
        ASSERT_TRUE(simSetCards(cards, 2));
        openUsb();
        LONG clock = kCameraClock;
        ASSERT_EQ(0u, api().baseWriteSetting(camera_, 3, &clock));
        char owner[] = "Anna";
        ASSERT_EQ(0u, api().baseWriteSetting(camera_, 2, owner));
    }

    // Runs the operation and hands its dialog to the scenario.
    DWORD show(const std::function<void(DialogDriver& d, HWND dialog)>& scenario) {
        DWORD rc = MAXDWORD;
        DialogDriver driver;
        driver.run([&] { return static_cast<INT_PTR>(rc = api().baseShowSettingsUI(camera_, nullptr)); },
                   [&](DialogDriver& d) {
                       HWND dialog = d.waitForDialog(kCaption);
                       ASSERT_NE(nullptr, dialog);
                       scenario(d, dialog);
                   });
        return rc;
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
    bvtest::LocaleOverride locale_;
};

TEST_F(ShowSettingsTest, OwnerAndPcTimeSetInTheDialogArriveInTheCamera) {
    const LONG before = static_cast<LONG>(std::time(nullptr));
    EXPECT_EQ(0u, show([](DialogDriver& d, HWND dialog) {
        EXPECT_EQ("Brivant 350", itemText(dialog, IDC_MODEL_NAME));
        EXPECT_EQ("1.02", itemText(dialog, IDC_FIRMWARE_VERSION)) << "the version alone";
        EXPECT_EQ("Anna", itemText(dialog, IDC_OWNER_NAME));
        EXPECT_EQ("2024", itemText(dialog, IDC_DATE_FIELD3));
        EXPECT_EQ("  8.00 MB", itemText(dialog, IDC_SLOT1_TOTAL));
        EXPECT_EQ(" 16.00 MB", itemText(dialog, IDC_SLOT2_TOTAL));
        d.type(dialog, IDC_OWNER_NAME, "Neue Besitzerin");
        d.click(dialog, IDC_FROM_PC);
        EXPECT_FALSE(bvtest::itemEnabled(dialog, IDC_FROM_PC));
        EXPECT_EQ(IDC_DATE_FIELD3, bvtest::focusedItem(dialog)) << "the year";
        d.click(dialog, IDC_SETTINGS_OK);
    }));
    EXPECT_EQ("Neue Besitzerin", owner());
    const LONG camera = clock(), after = static_cast<LONG>(std::time(nullptr));
    EXPECT_LE(before, camera) << "the PC's time, as the camera's UTC clock";
    EXPECT_GE(after, camera);
}

// One camera, one clock: the dialog shows the camera's time as local time,
// summer time included, as an application shows a listed file's time. The
// camera refuses the owner name: the clock is written all the same, and
// the refusal is the result.
TEST_F(ShowSettingsTest, DialogAndListingShowOneClockAndATypedTimeArrives) {
    ZoneOverride centralEurope;
    ASSERT_EQ(0u, api().baseCreateDir(camera_, "CF\\MADE"));  // the card's one entry, at the camera's clock
    const BYTE card[] = {0, 'C', 'F', 0, 0, 0};
    StreamRecorder listing;
    ASSERT_EQ(0u, api().baseGetDirs(camera_, card, listing.stream()));
    ASSERT_LE(10u, listing.written().size());
    std::time_t listed = 0;
    std::memcpy(&listed, &listing.written()[6], sizeof(DWORD));
    EXPECT_EQ(12, std::localtime(&listed)->tm_hour) << "the listed 10:20 UTC";
    EXPECT_EQ(0x0200BEEFu, show([](DialogDriver& d, HWND dialog) {
        EXPECT_EQ("12", itemText(dialog, IDC_HOUR)) << "10:20 UTC in summer time";
        d.type(dialog, IDC_DATE_FIELD3, "2029");
        d.type(dialog, IDC_HOUR, "08");
        d.type(dialog, IDC_MINUTE, "15");
        simFailNth("sti.escape", 1, 0x0200BEEF);  // the owner name's write
        d.click(dialog, IDC_SETTINGS_OK);
    }));
    EXPECT_EQ("Anna", owner());
    EXPECT_EQ(1872742500, clock()) << "2029-05-06 06:15:00 UTC";
}

TEST_F(ShowSettingsTest, EveryWayOfCancellingWritesNothing) {
    const DWORD lastWrite = lastCommand(18);
    for (void (*cancel)(DialogDriver&, HWND) : {+[](DialogDriver& d, HWND) { d.key(VK_ESCAPE); },
                                                +[](DialogDriver& d, HWND w) { d.closeBox(w); },
                                                +[](DialogDriver& d, HWND w) { d.click(w, IDC_SETTINGS_CANCEL); }}) {
        EXPECT_EQ(0u, show([cancel](DialogDriver& d, HWND dialog) {
            d.type(dialog, IDC_OWNER_NAME, "Nicht gespeichert");
            d.click(dialog, IDC_FROM_PC);
            cancel(d, dialog);
            EXPECT_TRUE(d.waitForClosed(dialog));
        }));
    }
    EXPECT_EQ(lastWrite, lastCommand(18)) << "a setting was written";
    EXPECT_EQ("Anna", owner());
    EXPECT_EQ(kCameraClock, clock());
}

TEST_F(ShowSettingsTest, TheOneSlotModelWithoutVolumesShowsOneEmptySlot) {
    ASSERT_TRUE(simSetCards(nullptr, 0));
    StreamRecorder volumes;  // the list is the count alone, reported done once
    ASSERT_EQ(0u, api().baseGetVols(camera_, volumes.stream()));
    EXPECT_EQ(4u, volumes.written().size());
    EXPECT_EQ(1u, volumes.count("progress 100"));
    show([](DialogDriver& d, HWND dialog) {
        EXPECT_EQ("Status:", itemText(dialog, IDC_SLOT1_LABEL));
        EXPECT_EQ("Nicht installiert", itemText(dialog, IDC_SLOT1_STATE));
        EXPECT_FALSE(itemVisible(dialog, IDC_SLOT2_LABEL));
        d.key(VK_ESCAPE);
    });
}

}  // namespace
