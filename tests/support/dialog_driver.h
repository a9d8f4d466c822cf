// Drives modal dialogs on the test's own thread, with no second thread.
//
// run() opens the dialog through a function that shows it modally (such as
// DialogBoxParamA) and runs a scenario beside it. The scenario is ordinary
// sequential test code on a fiber of the same thread; a thread timer
// resumes it whenever the modal loop is idle. Reading windows happens
// right in the scenario. Acting on them (focus, typing, keys, clicks,
// sending messages) is handed to the modal loop, which carries the action
// out and resumes the scenario when the loop is idle again, or as soon as
// the action has opened a nested modal window (a second dialog, a message
// box left open): the scenario then runs on inside that nested loop and
// can read and close it.
// So a scenario reads like a user at the keyboard:
//
//   DialogDriver driver;
//   INT_PTR result = driver.run([&] { return runMyDialog(); }, [&](DialogDriver& d) {
//       HWND dialog = d.waitForDialog("Kameraeinstellungen");
//       d.type(dialog, 1045, "13");
//       d.click(dialog, 1066);                       // shows a message box
//       EXPECT_EQ("...", d.messageBoxes().back().text);
//   });
//
// Message boxes are noted and answered with OK by the driver itself, as a
// user who reads them would. A failing ASSERT ends the scenario early;
// dialogs still open then are ended by the driver (and that is reported as
// a failure), so a broken test never hangs the run. One driver runs at a
// time on a thread. Texts are read as UTF-8.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace bvtest {

// Whether there is a display: Wine shows no window at all without one.
bool hasDisplay();

struct SeenMessageBox {
    std::string caption, text;
    bool icon;
};

// Notes every message box that the current thread shows while it lives
// and, unless answer is false, ends it at once as if OK had been pressed,
// since a modal box would stop the run. One watch at a time on a thread.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(bool answer = true);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;

    const std::vector<SeenMessageBox>& seen() const { return seen_; }
    std::vector<std::string> captions() const;

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    bool answer_;
    std::vector<SeenMessageBox> seen_;
};

// A window of a watched class as its first paint showed it.
struct SeenWindow {
    HWND window, owner;
    std::string title;
};

class DialogDriver {
public:
    using Scenario = std::function<void(DialogDriver&)>;

    DialogDriver() = default;
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;

    // Calls open (which shows a modal dialog and returns its result) while
    // scenario runs beside it; returns what open returned. When open
    // returns first, the scenario still runs to its end.
    INT_PTR run(const std::function<INT_PTR()>& open, const Scenario& scenario);

    // --- What the run showed besides the dialog (noted anew by each run) ---

    // With false, message boxes stay open for the scenario to read and close.
    void answerMessageBoxes(bool answer) { answerBoxes_ = answer; }
    const std::vector<SeenMessageBox>& messageBoxes() const;
    // Notes each window of the class at its first paint, and hands it to
    // onFirstPaint then: a window painted only while the dialog's thread is
    // busy with something else is seen as the user sees it.
    void watchClass(const std::string& className, std::function<void(HWND)> onFirstPaint = nullptr);
    const std::vector<SeenWindow>& watchedWindows() const { return watched_; }

    // --- Waiting (scenario only) ---

    // Lets the modal loop run until it has been idle `ticks` times.
    void idle(int ticks = 2);
    // Waits until condition holds; false after timeoutMs.
    bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
    // Waits for the innermost dialog of this thread (the visible, enabled
    // one), with that caption unless caption is null; null after timeoutMs.
    HWND waitForDialog(const char* caption = nullptr, DWORD timeoutMs = 5000);
    // Waits until window no longer exists.
    bool waitForClosed(HWND window, DWORD timeoutMs = 5000);

    // --- Acting (scenario only; carried out by the modal loop) ---

    // Runs any action in the modal loop.
    void perform(std::function<void()> action);
    // Moves the focus to control id as the dialog manager does (an edit's
    // text is selected), sending the focus notifications on the way.
    void focus(HWND dialog, int id);
    // Types characters into the focused window, one WM_CHAR at a time.
    void type(const std::string& chars);
    // focus, then type: the typed text replaces the field's selected text.
    void type(HWND dialog, int id, const std::string& chars);
    // Posts a key press and release to the focused window, so that the
    // dialog manager sees it (Tab, Esc, Enter, arrows). Keyboard hooks do
    // not see posted keys; see hardwareKey.
    void key(UINT virtualKey);
    // Presses and releases a key through the system's input queue
    // (SendInput), with the focused window's dialog in the foreground, so
    // that keyboard hooks see it. False when the system took no input.
    bool hardwareKey(UINT virtualKey);
    // Clicks a control: a button through BM_CLICK, any other control with
    // the left mouse button at its centre. False when it is hidden or
    // disabled, as a user could not click it then.
    bool click(HWND dialog, int id);
    // Selects item index of combo box id and tells the dialog, as a choice
    // from the list does.
    void choose(HWND dialog, int id, int index);
    // The close box of the caption (WM_SYSCOMMAND SC_CLOSE).
    void closeBox(HWND window);
    // Sends a message to a window from the modal loop.
    void send(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD);
    static void WINAPI scenarioMain(void* self);
    static LRESULT CALLBACK onCallReturn(int code, WPARAM wParam, LPARAM lParam);
    void resumeScenario();
    void yieldToLoop();
    void endLeftoverDialogs();

    Scenario scenario_;
    void* loopFiber_ = nullptr;
    void* scenarioFiber_ = nullptr;
    std::function<void()> pending_;
    bool done_ = false;
    bool cleaned_ = false;
    bool answerBoxes_ = true;
    const MessageBoxWatch* boxes_ = nullptr;  // during run()
    std::vector<SeenMessageBox> lastBoxes_;   // after it
    std::string watchedClass_;
    std::function<void(HWND)> onFirstPaint_;
    std::vector<SeenWindow> watched_;
};

// --- Reading windows (usable anywhere on the dialog's thread) ---

std::string utf8(const wchar_t* text);
// The visible dialog windows (class #32770, message boxes too) of this
// thread, outermost first.
std::vector<HWND> threadDialogs();
// The innermost of them: visible and enabled; null when none.
HWND activeDialog();
// A window's text; a drop-down list shows its selected item.
std::string windowText(HWND window);
std::string itemText(HWND dialog, int id);
// The items of a combo box, joined with "|".
std::string comboItems(HWND dialog, int id);
bool itemVisible(HWND dialog, int id);
bool itemEnabled(HWND dialog, int id);
// Id of the dialog's control that has the focus; 0 when none has.
int focusedItem(HWND dialog);
// A control's rectangle in the dialog's client coordinates, in pixels.
RECT itemRect(HWND dialog, int id);
// The dialog's client area in dialog units (rounded to the nearest unit).
SIZE clientSizeInDialogUnits(HWND dialog);

}  // namespace bvtest
