// Drives modal dialogs on the test's own thread, like a user at the keyboard:
//
//   DialogDriver driver;
//   INT_PTR result = driver.run([&] { return runMyDialog(); }, [&](DialogDriver& d) {
//       HWND dialog = d.waitForDialog("Kameraeinstellungen");
//       d.type(dialog, 1045, "13");
//       d.click(dialog, 1066);                       // shows a message box
//       EXPECT_EQ("...", d.messageBoxes().back().text);
//   });
//
// The scenario is sequential code on a fiber of the same thread, resumed by
// a thread timer whenever the modal loop is idle. It reads windows itself;
// its actions are carried out by the modal loop, which resumes it when the
// loop is idle again or when the action opened a nested modal window (a
// second dialog, a message box left open), whose loop it then runs inside.
// Message boxes are noted and answered with OK by the driver. Dialogs still
// open when the scenario ends (a failed ASSERT ends it early) are ended and
// reported, so a broken test never hangs the run. One driver at a time on
// a thread; texts are read as UTF-8.
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
// (into `into` when given) and, unless answer is false, ends it at once as
// if OK had been pressed, since a modal box would stop the run. One watch
// at a time on a thread.
class MessageBoxWatch {
public:
    explicit MessageBoxWatch(bool answer = true, std::vector<SeenMessageBox>* into = nullptr);
    ~MessageBoxWatch();
    MessageBoxWatch(const MessageBoxWatch&) = delete;
    MessageBoxWatch& operator=(const MessageBoxWatch&) = delete;
    std::vector<std::string> captions() const;

private:
    static LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam);
    HHOOK hook_;
    bool answer_;
    std::vector<SeenMessageBox> own_;
    std::vector<SeenMessageBox>& seen_;
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

    // Calls open (which shows a modal dialog and returns its result) with
    // scenario running beside it, to its end; returns what open returned.
    INT_PTR run(const std::function<INT_PTR()>& open, const Scenario& scenario);

    // What the run showed besides its dialog, noted anew by each run: the
    // message boxes (with false, they stay open for the scenario), and each
    // window of the watched class at its first paint, which is handed to
    // onFirstPaint then (a window painted only while the thread is busy is
    // seen as the user sees it).
    void answerMessageBoxes(bool answer) { answerBoxes_ = answer; }
    const std::vector<SeenMessageBox>& messageBoxes() const { return boxes_; }
    void watchClass(const std::string& className, std::function<void(HWND)> onFirstPaint = nullptr);
    const std::vector<SeenWindow>& watchedWindows() const { return watched_; }

    // --- Waiting (scenario only); false or null after timeoutMs ---

    // Lets the modal loop run until it has been idle `ticks` times.
    void idle(int ticks = 2);
    bool waitUntil(const std::function<bool()>& condition, DWORD timeoutMs = 5000);
    // The innermost dialog of this thread (visible and enabled), with that
    // caption unless caption is null.
    HWND waitForDialog(const char* caption = nullptr, DWORD timeoutMs = 5000);
    bool waitForClosed(HWND window, DWORD timeoutMs = 5000);

    // --- Acting (scenario only; carried out by the modal loop) ---

    void perform(std::function<void()> action);
    // Moves the focus to control id as the dialog manager does (an edit's
    // text is selected), sending the focus notifications on the way.
    void focus(HWND dialog, int id);
    // Types into the focused window, one WM_CHAR at a time; with a control,
    // focuses it first, so that the text replaces the field's text.
    void type(const std::string& chars);
    void type(HWND dialog, int id, const std::string& chars);
    // Posts a key press and release to the focused window, for the dialog
    // manager (Tab, Esc, Enter, arrows); keyboard hooks do not see it.
    void key(UINT virtualKey);
    // Presses and releases a key through the system's input queue, with the
    // focused window's dialog in front, so that keyboard hooks see it.
    // False when the system took no input.
    bool hardwareKey(UINT virtualKey);
    // Clicks a control: a button through BM_CLICK, any other one with the
    // mouse at its centre. False when hidden or disabled, as for a user.
    bool click(HWND dialog, int id);
    // Selects item index of combo box id and tells the dialog, as a choice
    // from the list does.
    void choose(HWND dialog, int id, int index);
    // The close box of the caption (WM_SYSCOMMAND SC_CLOSE).
    void closeBox(HWND window);
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
    std::vector<SeenMessageBox> boxes_;
    std::string watchedClass_;
    std::function<void(HWND)> onFirstPaint_;
    std::vector<SeenWindow> watched_;
};

// --- Reading windows (anywhere on the dialog's thread) ---

std::string utf8(const wchar_t* text);
// A control's text; a drop-down list shows its selected item.
std::string itemText(HWND dialog, int id);
// The items of a combo box, joined with "|".
std::string comboItems(HWND dialog, int id);
bool itemVisible(HWND dialog, int id);
bool itemEnabled(HWND dialog, int id);
// Id of the dialog's control that has the focus; 0 when none has.
int focusedItem(HWND dialog);
// The dialog's client area in dialog units (rounded to the nearest unit).
SIZE clientSizeInDialogUnits(HWND dialog);

}  // namespace bvtest
