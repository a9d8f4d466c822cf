// Runs the communication settings dialog on the test's own thread with the
// shared dialog driver. Hooks on the thread answer the message boxes of the
// camera search and note what the search's detecting window showed; the
// COM ports of the Wine prefix are made to order.
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

// Runs the communication settings dialog through open (which shows it
// modally) with the shared dialog driver and hands the dialog to the
// scenario once it is up. While it runs, every message box on the thread
// is noted and answered with OK, and the detecting window is noted at its
// first paint. With expectDialog false, an open that returns without a
// dialog runs no scenario. Returns what open returned.
class CommDialogRun {
public:
    using Scenario = std::function<void(HWND dialog)>;
    INT_PTR operator()(const std::function<INT_PTR()>& open, const Scenario& scenario, bool expectDialog = true);

    const std::vector<SeenMessageBox>& messageBoxes() const { return boxes_; }
    const std::vector<SeenDetectingWindow>& detectingWindows() const { return detecting_; }

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK onCallReturn(int code, WPARAM wParam, LPARAM lParam);

    std::vector<SeenMessageBox> boxes_;
    std::vector<SeenDetectingWindow> detecting_;
    std::vector<HWND> detectingHandles_;
};

// Reading and working the dialog's controls as a user would.
std::string itemsOf(HWND dialog, int id);  // "COM1|COM2|..."
std::string selectedText(HWND dialog, int id);
void choose(HWND dialog, int id, int index);  // selects and notifies the dialog
void press(HWND dialog, int id);

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
