// The source's life in an application: its identity without the library,
// the library loaded only while the source is open, camera events handed
// to the application, and no handle left behind after many sessions.
#include "tests/support/camera_world.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/product_library.h"
#include "tests/twain/twain_fixture.h"
#include "tools/common/handle_count.h"

namespace {

bool libraryLoaded() { return GetModuleHandleW(L"bvcl2sti.dll") != nullptr; }

// The event channel's thread gives its reference to the library back as
// it ends, shortly after the close.
bool libraryUnloadedSoon() {
    for (int i = 0; i < 100 && libraryLoaded(); ++i) Sleep(20);
    return !libraryLoaded();
}

TEST_F(TwainSourceTest, IdentityWithoutTheLibraryWhichOnlyAnOpenLoads) {
    TW_IDENTITY identity = {};
    identity.Id = 7;
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_IDENTITY, MSG_GET, &identity));
    EXPECT_STREQ("Orvel", identity.Manufacturer);
    EXPECT_STREQ("Brivant", identity.ProductFamily);
    EXPECT_STREQ("Brivant Digital Camera", identity.ProductName);
    EXPECT_EQ(DG_CONTROL | DG_IMAGE | DF_DS2, identity.SupportedGroups);
    EXPECT_EQ(2, identity.ProtocolMajor);
    EXPECT_EQ(7u, identity.Id) << "the manager's number for the source";
    EXPECT_FALSE(libraryLoaded()) << "asking the identity loaded bvcl2sti.dll";
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    EXPECT_TRUE(libraryLoaded());
    EXPECT_EQ(1u, twain().capability(CAP_DEVICEONLINE, MSG_GET).items.at(0));
    closeDown();
    EXPECT_TRUE(libraryUnloadedSoon());
}

// A battery report of the camera's driver reaches the application as
// MSG_DEVICEEVENT and DAT_DEVICEEVENT, through either manager.
TEST_F(TwainSourceTest, CameraEventsBecomeDeviceEvents) {
    for (auto manager : {twaintest::Manager::Version2, twaintest::Manager::Version1}) {
        SCOPED_TRACE(manager == twaintest::Manager::Version2 ? "version 2 manager" : "version 1 manager");
        start(manager);
        ASSERT_EQ(TWRC_SUCCESS, twain().open());
        ASSERT_EQ(TWRC_SUCCESS, twain().setArray(CAP_DEVICEEVENT, TWTY_UINT16, {TWDE_CHECKBATTERY}));
        ASSERT_EQ(TWRC_SUCCESS, twain().enable());
        ASSERT_EQ(MSG_XFERREADY, twain().waitNotification());
        ASSERT_TRUE(simDriverOpenChannel(bvtest::kModelName, bvtest::kDevicePort));
        const DWORD low[2] = {SIM_BATTERY_LOW, 0};
        DWORD answer = 0;
        EXPECT_TRUE(simDriverRaiseEvent(SIM_EVENT_BATTERY, low, sizeof low, 2000, &answer));
        simDriverCloseChannel();
        EXPECT_EQ(MSG_DEVICEEVENT, twain().waitNotification(15000));
        TW_DEVICEEVENT event = {};
        ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event));
        EXPECT_EQ(TWDE_CHECKBATTERY, event.Event);
        EXPECT_EQ(10, event.BatteryPercentage);
        EXPECT_EQ(TWRC_FAILURE, twain().call(DG_CONTROL, DAT_DEVICEEVENT, MSG_GET, &event));
    }
}

// MSG_ENABLEDSUIONLY returns at once; the library's settings dialog then
// runs on the application's thread, and its end sends MSG_CLOSEDSOK.
TEST_F(TwainSourceTest, SettingsOnlyShowsTheLibrarysDialog) {
    if (!bvtest::hasDisplay()) GTEST_SKIP() << "no display";
    ASSERT_EQ(TWRC_SUCCESS, twain().open());
    TW_USERINTERFACE ui = {TRUE, FALSE, nullptr};
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_USERINTERFACE, MSG_ENABLEDSUIONLY, &ui));
    bvtest::DialogDriver driver;
    TW_UINT16 notification = MSG_NULL;
    driver.run([&] { return static_cast<INT_PTR>(notification = twain().waitNotification(20000)); },
               [&](bvtest::DialogDriver& d) {
                   HWND dialog = d.waitForDialog("Kameraeinstellungen");
                   ASSERT_NE(nullptr, dialog);
                   d.perform([dialog] { PostMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
               });
    EXPECT_EQ(MSG_CLOSEDSOK, notification);
    ASSERT_EQ(TWRC_SUCCESS, twain().call(DG_CONTROL, DAT_USERINTERFACE, MSG_DISABLEDS, &ui));
}

// A hundred sessions leave no more handles behind than loading and
// unloading the library a hundred times does by itself (on 32-bit Windows
// its static run-time library leaves two at each unload).
TEST_F(TwainSourceTest, HundredSessionsKeepHandlesFlat) {
    DWORD first = 0, sessions = 0, loads = 0;
    for (int i = 0; i < 100; ++i) {
        SCOPED_TRACE(i);
        start(i % 2 ? twaintest::Manager::Version1 : twaintest::Manager::Version2);
        ASSERT_NO_FATAL_FAILURE(reach(7));  // one picture transferred
        closeDown();
        ASSERT_TRUE(libraryUnloadedSoon());
        if (i == 4 && !bvtools::liveHandleCount(&first)) GTEST_SKIP() << "no handle list on this system";
    }
    ASSERT_TRUE(bvtools::liveHandleCount(&sessions));
    for (int i = 5; i < 100; ++i) FreeLibrary(LoadLibraryW((bvtest::executableFolder() + L"bvcl2sti.dll").c_str()));
    ASSERT_TRUE(bvtools::liveHandleCount(&loads));
    EXPECT_LE(sessions - first, loads - sessions + 3) << "handles " << first << ", after the sessions " << sessions
                                                      << ", after as many loads " << loads;
}

}  // namespace
