// The camera settings dialog and its date and time editor, driven through
// the real dialog templates of bvcl2sti.dll on the virtual display: what
// it shows, how the editor reacts to keys, focus and spins, how it ends,
// and what camera events do to it.
#include <gtest/gtest.h>

#include <cctype>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "tests/support/debug_output_capture.h"
#include "tests/support/dialog_driver.h"
#include "tests/support/locale_override.h"
#include "tests/support/planted_folder.h"
#include "tests/support/product_library.h"
#include "ui/settings_private.h"

namespace {

using bvtest::DialogDriver;
using bvtest::focusedItem;
using bvtest::itemText;
using bvtest::itemVisible;
using Texts = std::vector<std::string>;

constexpr LONG kMay6th102030 = 1714990830;  // 2024-05-06 10:20:30
const char kCaption[] = "Kameraeinstellungen";

template <class Case>
std::string caseName(const ::testing::TestParamInfo<Case>& i) {
    return i.param.name;
}

class SettingsDialogTest : public ::testing::Test {
protected:
    using Scenario = std::function<void(DialogDriver& d, HWND dialog)>;

    void SetUp() override {
        if (!bvtest::hasDisplay()) GTEST_SKIP() << "needs a display";
        ASSERT_TRUE(library_.module());
        ASSERT_TRUE(locale_.set("1", "1"));  // day-month-year, 24 hours
        bv::bvlCameraSettings& s = settings();
        s = {};
        std::strcpy(s.modelName, "Brivant 350");
        std::strcpy(s.firmwareVersion, "1.02");
        std::strcpy(s.ownerName, "Anna");
        s.dateTime = kMay6th102030;
        s.batteryState = 6;
        s.slotCount = 2;
        s.slot1Total = 52428800, s.slot1Free = 1536;
        s.endStatus = 0xDEADBEEF;
    }

    static bv::bvlCameraSettings& settings() { return bv::cameraSettings(); }
    HINSTANCE instance() const { return library_.module(); }
    std::string entry(UINT id) const {
        wchar_t text[512] = L"";
        LoadStringW(instance(), id, text, 512);
        return bvtest::utf8(text);
    }
    HICON icon(const char* name) const { return name ? LoadIconA(instance(), name) : nullptr; }
    static HICON shownIcon(HWND dialog) {
        return reinterpret_cast<HICON>(SendDlgItemMessageA(dialog, IDC_POWER_ICON, STM_GETICON, 0, 0));
    }

    // Runs the dialog and hands the first window it shows to the scenario;
    // a dialog the scenario leaves open is cancelled with Esc.
    INT_PTR open(const Scenario& scenario, HWND owner = nullptr) {
        bv::prepareDateTimeEditor(settings().dateTime, instance());
        return driver_.run([&] { return bv::runCameraSettingsDialog(instance(), owner, &targets_); },
                           [&](DialogDriver& d) {
                               HWND dialog = d.waitForDialog(kCaption);
                               ASSERT_NE(nullptr, dialog);
                               scenario(d, dialog);
                               if (IsWindow(dialog)) d.key(VK_ESCAPE);
                           });
    }
    // Sends a camera event as the event channel does.
    void event(DialogDriver& d, WPARAM data, LPARAM code) {
        d.send(targets_.settingsDialogWindow, RegisterWindowMessageA("CameraNotificationMessage"), data, code);
    }
    // The texts of the message boxes that this run showed so far, each with
    // the dialog's caption; the driver answered them.
    Texts messages() const {
        Texts texts;
        for (const bvtest::SeenMessageBox& box : driver_.messageBoxes()) {
            EXPECT_EQ(kCaption, box.caption);
            texts.push_back(box.text);
        }
        return texts;
    }

    bvtest::ProductLibrary library_;
    bvtest::LocaleOverride locale_;
    bv::NotificationTargets targets_;
    DialogDriver driver_;
};

TEST_F(SettingsDialogTest, OkUntouchedKeepsTheTimeUnknownAndTakesTheOwnerName) {
    const INT_PTR result = open([](DialogDriver& d, HWND dialog) {
        EXPECT_EQ(IDC_SETTINGS_OK, focusedItem(dialog));
        RECT label;
        GetWindowRect(GetDlgItem(dialog, IDC_MODEL_LABEL), &label);
        EXPECT_EQ(IDC_MODEL_LABEL, bv::controlAtPoint({label.left + 2, label.top + 2}, dialog));
        GetWindowRect(GetDlgItem(dialog, IDC_SETTINGS_OK), &label);  // not a help target
        EXPECT_EQ(0, bv::controlAtPoint({label.left + 2, label.top + 2}, dialog));
        d.type(dialog, IDC_OWNER_NAME, std::string(40, 'x'));
        d.click(dialog, IDC_SETTINGS_OK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(bv::kSettingsTimeUntouched, settings().endStatus);
    EXPECT_EQ(static_cast<LONG>(bv::kUnknownDateTime), settings().dateTime);
    EXPECT_EQ(std::string(31, 'x'), settings().ownerName);
    EXPECT_EQ(nullptr, targets_.settingsDialogWindow.load());
}

// The power row: what each state shows when the dialog opens, and what a
// camera event then does to it, or that it ends the dialog.
struct PowerCase {
    const char* name;
    DWORD atOpen;
    LPARAM event;  // the event code, 0 for none, and its first data word
    WPARAM data;
    const char* icon;  // shown afterwards
    UINT text;
    DWORD endStatus;  // not 0: the event ends the dialog with it
};
class SettingsDialogPower : public SettingsDialogTest, public ::testing::WithParamInterface<PowerCase> {};

TEST_P(SettingsDialogPower, ShowsTheStateAndFollowsTheCamerasEvents) {
    const PowerCase& c = GetParam();
    settings().batteryState = c.atOpen;
    const INT_PTR result = open([&](DialogDriver& d, HWND dialog) {
        if (c.event) event(d, c.data, c.event);
        if (c.endStatus) {
            EXPECT_TRUE(d.waitForClosed(dialog));
            return;
        }
        for (int id : {IDC_POWER_LABEL, IDC_POWER_ICON, IDC_POWER_TEXT}) EXPECT_EQ(c.atOpen != 0, itemVisible(dialog, id));
        EXPECT_EQ(icon(c.icon), shownIcon(dialog));
        EXPECT_EQ(c.text ? entry(c.text) : "", itemText(dialog, IDC_POWER_TEXT));
    });
    EXPECT_EQ(c.endStatus ? 0 : IDC_SETTINGS_CANCEL, result);
    if (c.endStatus) {
        EXPECT_EQ(c.endStatus, settings().endStatus);
    }
}

INSTANTIATE_TEST_SUITE_P(
    States, SettingsDialogPower,
    ::testing::Values(
        PowerCase{"NotReported", 0, 0, 0, nullptr, 0, 0},
        PowerCase{"MainsWinsOverTheLevel", 0x10000006, 0, 0, "AcChargIcon", IDS_MAINS_ADAPTER, 0},
        PowerCase{"Normal", 0x20000006, 0, 0, "BattNormIcon", IDS_BATTERY_OK, 0},
        PowerCase{"Low", 4, 0, 0, "BattWarnIcon", IDS_BATTERY_LOW, 0},
        PowerCase{"Exhausted", 3, 0, 0, nullptr, 0, 0},
        PowerCase{"BatteryLowEvent", 6, 1, 0xF4, "BattWarnIcon", IDS_BATTERY_LOW_EVENT, 0},
        PowerCase{"BatteryNormalEvent", 4, 0x20001, 6, "BattNormIcon", IDS_BATTERY_NORMAL_EVENT, 0},
        PowerCase{"BatteryLowEventWithTheRowHidden", 0, 1, 4, "BattWarnIcon", IDS_BATTERY_LOW_EVENT, 0},
        PowerCase{"OtherEventChangesNothing", 6, 2, 4, "BattNormIcon", IDS_BATTERY_OK, 0},
        PowerCase{"BatteryExhaustedEventEnds", 6, 1, 3, nullptr, 0, bv::kSettingsBatteryExhausted},
        PowerCase{"FinalEventWinsOverTimeOut", 6, 0x40005, 0, nullptr, 0, bv::kSettingsDisconnected}),
    caseName<PowerCase>);

// The card rows as the user sees them: the texts of the visible controls
// of both slots, in reading order, a greyed one marked "~", the rule
// between the slots as "----".
std::string cardRows(HWND dialog) {
    std::string rows;
    for (int id : {IDC_SLOT1_LABEL, IDC_SLOT1_STATE, IDC_SLOT1_FREE_LABEL, IDC_SLOT1_FREE, IDC_SLOT1_TOTAL_LABEL,
                   IDC_SLOT1_TOTAL, IDC_SLOT_RULE, IDC_SLOT2_LABEL, IDC_SLOT2_STATE, IDC_SLOT2_FREE_LABEL,
                   IDC_SLOT2_FREE, IDC_SLOT2_TOTAL_LABEL, IDC_SLOT2_TOTAL}) {
        if (!itemVisible(dialog, id)) continue;
        rows += std::string(rows.empty() ? "" : "|") + (bvtest::itemEnabled(dialog, id) ? "" : "~") +
                (id == IDC_SLOT_RULE ? "----" : itemText(dialog, id));
    }
    return rows;
}

struct SlotCase { const char* name; DWORD count, slot1Total; const char* rows; LONG height; };
class SettingsDialogSlots : public SettingsDialogTest, public ::testing::WithParamInterface<SlotCase> {};

TEST_P(SettingsDialogSlots, ShowTheCardsAndSizeTheDialog) {
    const SlotCase& c = GetParam();
    settings().slotCount = c.count;
    settings().slot1Total = c.slot1Total;
    open([&](DialogDriver&, HWND dialog) {
        EXPECT_EQ(c.rows, cardRows(dialog));
        EXPECT_EQ(c.height, bvtest::clientSizeInDialogUnits(dialog).cy) << "in dialog units";
    });
}

INSTANTIATE_TEST_SUITE_P(
    Cards, SettingsDialogSlots,
    ::testing::Values(
        SlotCase{"NoSlotsLeaveTheEmptyFrame", 0, 52428800, "----", 220},
        // Free space alone counts as a card; the dialog loses the second slot's height.
        SlotCase{"OneSlotMakesTheDialogShorter", 1, 0, "Status:|Installiert|Frei:|  1.50 KB|Gesamt:|  0.00 KB", 199},
        SlotCase{"TwoSlotsGreyAnEmptySlot", 2, 52428800,
                 "Steckplatz1:|Installiert|Frei:|  1.50 KB|Gesamt:| 50.00 MB|----|Steckplatz2:|Nicht installiert|"
                 "~Frei:|~Gesamt:",
                 220},
        // A camera reporting more slots shows its first two.
        SlotCase{"ThreeSlotsShowTheFirstTwo", 3, 52428800,
                 "Steckplatz1:|Installiert|Frei:|  1.50 KB|Gesamt:| 50.00 MB|----|Steckplatz2:|Nicht installiert|"
                 "~Frei:|~Gesamt:",
                 220}),
    caseName<SlotCase>);

struct OrderCase { const char* name; const char* locale; const char* fields[3]; int yearField; };
class SettingsDialogDateOrder : public SettingsDialogTest, public ::testing::WithParamInterface<OrderCase> {};

TEST_P(SettingsDialogDateOrder, PlacesAndReadsTheFieldsInTheLocalesOrder) {
    const OrderCase& c = GetParam();
    ASSERT_TRUE(locale_.set(c.locale, "1"));
    open([&](DialogDriver& d, HWND dialog) {
        for (int i = 0; i < 3; ++i) EXPECT_EQ(c.fields[i], itemText(dialog, IDC_DATE_FIELD1 + i)) << i;
        EXPECT_EQ("10", itemText(dialog, IDC_HOUR));
        EXPECT_EQ("20", itemText(dialog, IDC_MINUTE));
        EXPECT_FALSE(itemVisible(dialog, IDC_AM_PM));
        RECT year, month;
        GetWindowRect(GetDlgItem(dialog, c.yearField), &year);
        GetWindowRect(GetDlgItem(dialog, IDC_DATE_FIELD2), &month);
        EXPECT_GT(year.right - year.left, month.right - month.left) << "the year's field is the wide one";
        d.type(dialog, c.yearField, "2029");
        d.type(dialog, IDC_MINUTE, "15");
        d.click(dialog, IDC_SETTINGS_OK);
    });
    EXPECT_EQ(0u, settings().endStatus);
    EXPECT_EQ(1872756900, settings().dateTime);  // 2029-05-06 10:15
}

INSTANTIATE_TEST_SUITE_P(Locales, SettingsDialogDateOrder,
                         // Day, month, year is the fixture's locale, which the other tests type into.
                         ::testing::Values(OrderCase{"MonthDayYear", "0", {"5", "6", "2024"}, IDC_DATE_FIELD3},
                                           OrderCase{"YearMonthDay", "2", {"2024", "5", "6"}, IDC_DATE_FIELD1}),
                         caseName<OrderCase>);

// The hour's bounds are each dialog's own: a 12-hour dialog before this
// 24-hour one leaves the hour free to wrap from 23 to 0.
TEST_F(SettingsDialogTest, SpinsWrapAroundEveryFieldAfterATwelveHourDialog) {
    ASSERT_TRUE(locale_.set("1", "0"));
    open([](DialogDriver&, HWND) {});
    ASSERT_TRUE(locale_.set("1", "1"));
    settings().dateTime = 1924991940;  // 2030-12-31 23:59
    struct Step { int id; UINT key; const char* shown; };
    open([&](DialogDriver& d, HWND dialog) {
        for (const Step& s : {Step{IDC_DATE_FIELD3, VK_UP, "1998"}, {IDC_DATE_FIELD3, VK_DOWN, "2030"},
                              {IDC_DATE_FIELD2, VK_UP, "1"}, {IDC_DATE_FIELD1, VK_UP, "1"},
                              {IDC_HOUR, VK_UP, "0"}, {IDC_MINUTE, VK_UP, "0"}}) {
            SCOPED_TRACE(s.id);
            d.focus(dialog, s.id);
            d.key(s.key);
            EXPECT_EQ(s.shown, itemText(dialog, s.id));
        }
        d.click(dialog, IDC_SETTINGS_OK);
    });
    EXPECT_EQ(0u, settings().endStatus);
    EXPECT_EQ(1893456000, settings().dateTime);  // 2030-01-01 00:00
}

TEST_F(SettingsDialogTest, TypingAndLeavingFieldsAreChecked) {
    const INT_PTR result = open([&](DialogDriver& d, HWND dialog) {
        d.type(dialog, IDC_DATE_FIELD3, "2031");  // the year
        EXPECT_EQ("203", itemText(dialog, IDC_DATE_FIELD3));
        d.type("0");
        d.type(dialog, IDC_DATE_FIELD2, "13");  // the month
        EXPECT_EQ("1", itemText(dialog, IDC_DATE_FIELD2));
        d.type("\b");
        d.perform([] { SetFocus(nullptr); });  // to no control at all: checked all the same
        EXPECT_EQ(Texts{entry(IDS_MONTH_RANGE)}, messages());
        EXPECT_EQ("0", itemText(dialog, IDC_DATE_FIELD2));
        EXPECT_EQ(IDC_DATE_FIELD2, focusedItem(dialog));
        d.type("4");
        d.type(dialog, IDC_DATE_FIELD1, "31");  // 31 April: fine while still in the date
        d.focus(dialog, IDC_DATE_FIELD2);
        d.focus(dialog, IDC_MINUTE);
        EXPECT_EQ((Texts{entry(IDS_MONTH_RANGE), entry(IDS_DATE_INVALID)}), messages());
        EXPECT_EQ(IDC_DATE_FIELD1, focusedItem(dialog));
        d.focus(dialog, IDC_SETTINGS_CANCEL);  // leaving towards Abbrechen is not checked
        d.click(dialog, IDC_SETTINGS_OK);
        EXPECT_EQ((Texts{entry(IDS_MONTH_RANGE), entry(IDS_DATE_INVALID), entry(IDS_DATE_INVALID)}), messages());
        EXPECT_EQ(IDC_DATE_FIELD1, focusedItem(dialog));
        d.type("30");
        d.type(dialog, IDC_MINUTE, "7");
        d.focus(dialog, IDC_HOUR);
        EXPECT_EQ("07", itemText(dialog, IDC_MINUTE));
        d.click(dialog, IDC_SETTINGS_OK);
    });
    EXPECT_EQ(1, result);
    EXPECT_EQ(0u, settings().endStatus);
    EXPECT_EQ(1903774020, settings().dateTime);  // 2030-04-30 10:07
}

// On a 12-hour clock the hour shows 12 for 0 and am or pm beside it. The
// same keys then set 1 pm: typing is bounded by 12, the spin wraps 12 to
// 1, and "p" and "a" on the am/pm field switch it.
struct ClockCase { const char* name; LONG at; const char *hour, *amPm; LONG after; };
class SettingsDialogTwelveHours : public SettingsDialogTest, public ::testing::WithParamInterface<ClockCase> {};

TEST_P(SettingsDialogTwelveHours, ShowTheHourWithAmPmAndTakeTheKeys) {
    const ClockCase& c = GetParam();
    ASSERT_TRUE(locale_.set("1", "0"));
    settings().dateTime = c.at;
    open([&](DialogDriver& d, HWND dialog) {
        EXPECT_EQ(c.hour, itemText(dialog, IDC_HOUR));
        EXPECT_EQ(c.amPm, itemText(dialog, IDC_AM_PM));
        EXPECT_FALSE(itemVisible(dialog, IDC_TIME_FILLER));
        d.type(dialog, IDC_HOUR, "13");
        EXPECT_EQ("1", itemText(dialog, IDC_HOUR));
        d.type("\b12");
        d.key(VK_UP);
        EXPECT_EQ("1", itemText(dialog, IDC_HOUR));
        d.click(dialog, IDC_AM_PM);
        EXPECT_EQ(IDC_AM_PM, focusedItem(dialog));
        for (const char* shown : {"pm", "am", "pm"}) {
            ASSERT_TRUE(d.hardwareKey(std::toupper(shown[0])));
            EXPECT_EQ(shown, itemText(dialog, IDC_AM_PM));
        }
        d.key(VK_DOWN);  // the arrows move the focus, as from any static
        EXPECT_NE(IDC_AM_PM, focusedItem(dialog));
        EXPECT_EQ("pm", itemText(dialog, IDC_AM_PM));
        d.click(dialog, IDC_SETTINGS_OK);
    });
    EXPECT_EQ(0u, settings().endStatus);
    EXPECT_EQ(c.after, settings().dateTime);
}

INSTANTIATE_TEST_SUITE_P(Clocks, SettingsDialogTwelveHours,
                         ::testing::Values(ClockCase{"HalfPastMidnight", 1714955400, "12", "am", 1715002200},
                                           ClockCase{"Noon", 1714996800, "12", "pm", 1715000400},
                                           ClockCase{"FiveAfterOne", 1715000700, "01", "pm", 1715000700}),
                         caseName<ClockCase>);

// After the library's own help, the dialog manager's handling runs: F1
// (here without a control, so no topic) reaches the owner, and a right
// click on the caption shows the system menu.
LRESULT CALLBACK countHelp(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_HELP) SetWindowLongPtrA(window, GWLP_USERDATA, GetWindowLongPtrA(window, GWLP_USERDATA) + 1);
    return DefWindowProcA(window, message, wParam, lParam);
}

TEST_F(SettingsDialogTest, HelpAndContextMenuGoOnToTheDefaultHandling) {
    WNDCLASSA ownerClass = {};
    ownerClass.lpfnWndProc = countHelp;
    ownerClass.lpszClassName = "BvTestHelpOwner";
    RegisterClassA(&ownerClass);
    HWND owner = CreateWindowA("BvTestHelpOwner", "", WS_OVERLAPPED, 0, 0, 50, 50, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, owner);
    open([&](DialogDriver& d, HWND dialog) {
        HELPINFO help = {sizeof help, HELPINFO_WINDOW, 0, dialog, 0, {0, 0}};
        d.send(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&help));
        EXPECT_EQ(1, GetWindowLongPtrA(owner, GWLP_USERDATA));
        RECT frame;
        GetWindowRect(dialog, &frame);
        const LPARAM caption = MAKELPARAM((frame.left + frame.right) / 2, frame.top + GetSystemMetrics(SM_CYCAPTION) / 2);
        d.perform([=] { PostMessageA(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(dialog), caption); });
        EXPECT_TRUE(d.waitUntil([] {
            HWND menu = FindWindowA("#32768", nullptr);  // the class of popup menus
            return menu && IsWindowVisible(menu);
        }, 2000));
        d.perform([] { EndMenu(); });
    }, owner);
    DestroyWindow(owner);
}

// Neither a message of the dialog's own nor its end checks the field
// that has the focus: Enter on an impossible date shows the date's message
// once, and Esc or a camera event that ends the dialog meet an empty field
// with no message.
TEST_F(SettingsDialogTest, NoFieldIsCheckedForTheDialogsOwnMessageOrItsEnd) {
    open([&](DialogDriver& d, HWND dialog) {
        d.type(dialog, IDC_DATE_FIELD2, "4");
        d.type(dialog, IDC_DATE_FIELD1, "31");
        d.key(VK_RETURN);  // OK, with the focus in the day field
        EXPECT_EQ(Texts{entry(IDS_DATE_INVALID)}, messages());
    });
    for (const LPARAM cameraEvent : {0, 0x40000}) {
        open([&](DialogDriver& d, HWND dialog) {
            d.type(dialog, IDC_DATE_FIELD2, "\b");
            if (cameraEvent) event(d, 0, cameraEvent);
        });
        EXPECT_EQ(Texts{}, messages());
    }
}

// Help starts nothing from the current folder or PATH, where a program
// named like the help viewer is planted. With the help file beside the
// library, the viewer from the Windows folder opens (and closes with the
// dialog); without it, a message says so.
TEST_F(SettingsDialogTest, HelpStartsNoViewerPlantedInTheCurrentFolder) {
    bvtest::PlantedFolder planted;
    ASSERT_TRUE(planted.plant(L"winhlp32.exe"));
    const std::wstring helpFile = bvtest::executableFolder() + L"bvcl2sti.hlp";
    for (const bool present : {false, true}) {
        SCOPED_TRACE(present ? "with the help file" : "without it");
        if (present) CloseHandle(CreateFileW(helpFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
        open([&](DialogDriver& d, HWND dialog) {
            d.send(dialog, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(GetDlgItem(dialog, IDC_OWNER_NAME)), 0);
            EXPECT_EQ(present, FindWindowA("MS_WINHELP", nullptr) != nullptr);
            EXPECT_EQ(present ? Texts{} : Texts{entry(IDS_HELP_FILE_MISSING)}, messages());
        });
        DeleteFileW(helpFile.c_str());
        for (int i = 0; i < 100 && FindWindowA("MS_WINHELP", nullptr); ++i) Sleep(50);
        EXPECT_EQ(nullptr, FindWindowA("MS_WINHELP", nullptr)) << "the viewer outlived the dialog";
        EXPECT_FALSE(planted.ran(L"winhlp32.exe"));
    }
}

// A window on another thread of the process, whose thread counts the keys
// it takes and comes to the front when told, until it is told to quit.
HWND g_windowElsewhere = nullptr;
LONG g_keysElsewhere = 0;
DWORD WINAPI runWindowElsewhere(void* ready) {
    SetEvent(ready);
    MSG message;
    while (GetMessageA(&message, nullptr, 0, 0) > 0)
        if (message.message == WM_APP) {
            if (!g_windowElsewhere)
                g_windowElsewhere = CreateWindowA("STATIC", "", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 50, 50,
                                                  nullptr, nullptr, nullptr, nullptr);
            SetForegroundWindow(g_windowElsewhere);
            SetFocus(g_windowElsewhere);
        } else if (message.message >= WM_KEYFIRST && message.message <= WM_KEYLAST) {
            InterlockedIncrement(&g_keysElsewhere);
        }
    DestroyWindow(g_windowElsewhere);
    g_windowElsewhere = nullptr;
    return 0;
}

// The am/pm field takes the A and P keys of its own thread only: a key
// that another thread of the process takes meanwhile reaches that thread
// and leaves the field as it was.
TEST_F(SettingsDialogTest, AmPmFieldTakesNoKeysOfOtherThreads) {
    ASSERT_TRUE(locale_.set("1", "0"));
    g_keysElsewhere = 0;
    bv::OwnedHandle ready(CreateEventA(nullptr, TRUE, FALSE, nullptr));
    DWORD threadId = 0;
    bv::OwnedHandle thread(CreateThread(nullptr, 0, runWindowElsewhere, ready.get(), 0, &threadId));
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready.get(), 5000));
    open([&](DialogDriver& d, HWND dialog) {
        const auto elsewhereInFront = [&] {
            PostThreadMessageA(threadId, WM_APP, 0, 0);
            return d.waitUntil([] { return GetForegroundWindow() == g_windowElsewhere; });
        };
        INPUT keys[2] = {};
        for (INPUT& key : keys) key.type = INPUT_KEYBOARD, key.ki.wVk = 'P';
        keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
        // The field takes the focus on its own thread while the window
        // elsewhere is in front. The display may move the front on its own
        // meanwhile; then the round is tried again.
        for (int round = 0; round < 5 && g_keysElsewhere < 2; ++round) {
            ASSERT_TRUE(elsewhereInFront());
            d.idle();  // the dialog's thread learns that it is no longer in front
            d.perform([dialog] { SetFocus(GetDlgItem(dialog, IDC_AM_PM)); });
            if (!elsewhereInFront() || focusedItem(dialog) != IDC_AM_PM) continue;
            ASSERT_EQ(2u, SendInput(2, keys, sizeof(INPUT)));
            d.waitUntil([] { return g_keysElsewhere >= 2; }, 1000);
        }
        EXPECT_GE(g_keysElsewhere, 2) << "the window elsewhere never took the key";
        EXPECT_EQ("am", itemText(dialog, IDC_AM_PM));
    });
    PostThreadMessageA(threadId, WM_QUIT, 0, 0);
    WaitForSingleObject(thread.get(), 5000);
}

TEST_F(SettingsDialogTest, MessageDialogIgnoresEscAndCloseBoxThenThePcTimeIsTaken) {
    settings().dateTime = static_cast<LONG>(bv::kUnknownDateTime);
    const INT_PTR result = open([&](DialogDriver& d, HWND message) {
        EXPECT_EQ(entry(IDS_CAMERA_DATE_INVALID), itemText(message, IDC_MESSAGE_TEXT));
        EXPECT_FALSE(IsWindowVisible(targets_.settingsDialogWindow));
        d.key(VK_ESCAPE);
        d.closeBox(message);
        EXPECT_TRUE(IsWindow(message));
        d.click(message, IDOK);
        HWND dialog = d.waitForDialog(kCaption);
        ASSERT_NE(message, dialog);
        EXPECT_FALSE(bvtest::itemEnabled(dialog, IDC_FROM_PC));
        EXPECT_NE("", itemText(dialog, IDC_DATE_FIELD3));
        d.key(VK_ESCAPE);
    });
    EXPECT_EQ(IDC_SETTINGS_CANCEL, result);
}

TEST_F(SettingsDialogTest, TimeOutWhileTheDateMessageIsUpClosesBothDialogs) {
    settings().dateTime = 0;  // 1970: not a date the camera may have
    bvtest::DebugOutputCapture debug;
    const INT_PTR result = open([&](DialogDriver& d, HWND message) {
        event(d, 0, 0x20005);
        EXPECT_TRUE(d.waitForClosed(message));
    });
    EXPECT_EQ(0, result);
    EXPECT_EQ(0u, settings().endStatus);
    // An observed text (observable_texts.h): kept byte for byte.
    EXPECT_EQ(std::vector<std::string>{"<< NOW, CLOSE DIALOG BY TIMEOUT >>\n"}, debug.texts());
}

// The card rows above show 0 and 1.5 KB and 50 MB.
TEST(FormatVolumeSize, ShowsTwoDecimalsInTheLargestUnitReached) {
    bvtest::ProductLibrary library;
    ASSERT_TRUE(library.module());
    struct Case { DWORD bytes; const char* text; };
    for (const Case& c : {Case{1048575, "1024.00 KB"}, {1048576, "  1.00 MB"}, {1073741823, "1024.00 MB"},
                          {0x80000000, "  2.00 GB"}, {0xFFFFFFFF, "  4.00 GB"}}) {
        char text[bv::kVolumeSizeTextSize];
        bv::formatVolumeSize(library.module(), c.bytes, text);
        EXPECT_STREQ(c.text, text) << c.bytes;
    }
}

}  // namespace
