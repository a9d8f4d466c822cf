// Drives the communication settings dialog from the test's own thread: the
// dialog runs modally there, and a thread timer runs the test's scenario
// inside its message loop. Hooks on the thread answer the message boxes of
// the camera search and note what the search's detecting window showed.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace commtest {

struct SeenMessageBox {
    std::string caption, text;
    bool icon;
};

struct SeenDetectingWindow {
    std::string title;
    SIZE client;
    HWND owner;
    bool destroyed;
};

// While it lives, the first communication settings dialog shown on this
// thread gets the scenario run once it is up; a dialog the scenario left
// open is cancelled. Message boxes are answered with OK.
class CommDialogDriver {
public:
    using Scenario = std::function<void(HWND dialog)>;
    explicit CommDialogDriver(Scenario scenario);
    ~CommDialogDriver();
    CommDialogDriver(const CommDialogDriver&) = delete;
    CommDialogDriver& operator=(const CommDialogDriver&) = delete;

    const std::vector<SeenMessageBox>& messageBoxes() const;
    const std::vector<SeenDetectingWindow>& detectingWindows() const;
    bool scenarioRan() const;
};

// Reading and working the dialog's controls as a user would.
std::string itemsOf(HWND dialog, int id);  // "COM1|COM2|..."
std::string selectedText(HWND dialog, int id);
bool shown(HWND dialog, int id);
void choose(HWND dialog, int id, int index);  // selects and notifies the dialog
void press(HWND dialog, int id);

// A point where a screenshot of the named state can be taken ("rs232c",
// "usb", "detecting"). Calls the hook set here; with BV_SCREENSHOT_HOLD_MS
// set and no hook, keeps the window up that long, dispatching its paints.
void setScreenshotHook(std::function<void(const char* state, HWND window)> hook);
void holdForScreenshot(const char* state, HWND window);

// Makes exactly the COM ports of mask (bit 0 = COM1, up to COM6) exist in
// this process's Wine prefix: dosdevices\comN links to /dev/null, made by a
// shell that the Wine prefix runs. Links found are put aside and put back.
class ComPortLinks {
public:
    explicit ComPortLinks(DWORD mask);
    ~ComPortLinks();
    bool ready() const { return ready_; }

private:
    bool ready_ = false;
};

}  // namespace commtest
