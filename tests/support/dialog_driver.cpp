#include "dialog_driver.h"

// GetCurrentFiber reads the thread block through a segment register in a
// way that GCC takes for an out-of-bounds array access.
#pragma GCC diagnostic ignored "-Warray-bounds"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

namespace bvtest {
namespace {

constexpr UINT kTickMs = 10;
constexpr SIZE_T kScenarioStack = 512 * 1024;
constexpr int kMessageBoxText = 0xffff;  // the text and icon controls of a message box
constexpr int kMessageBoxIcon = 0x440;

// The timer and hook procedures have no context argument.
DialogDriver* g_driver = nullptr;
MessageBoxWatch* g_watch = nullptr;

bool hasClass(HWND window, const char* name) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpiA(className, name) == 0;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && hasClass(window, "#32770"))
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// The visible dialog windows of this thread, outermost first: windows are
// listed top of the z-order first, and owned windows lie above their owners.
std::vector<HWND> threadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    std::reverse(dialogs.begin(), dialogs.end());
    return dialogs;
}

// The innermost visible and enabled dialog (null when none).
HWND activeDialog() {
    const std::vector<HWND> dialogs = threadDialogs();
    auto it = std::find_if(dialogs.rbegin(), dialogs.rend(), [](HWND d) { return IsWindowEnabled(d) != FALSE; });
    return it == dialogs.rend() ? nullptr : *it;
}

std::string windowText(HWND window) {
    wchar_t text[1024] = {};
    GetWindowTextW(window, text, 1024);
    return utf8(text);
}

INPUT keyInput(UINT virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

bool hasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && display[0] != 0;
}

MessageBoxWatch::MessageBoxWatch(bool answer, std::vector<SeenMessageBox>* into)
    : hook_(SetWindowsHookExW(WH_CBT, onCbt, nullptr, GetCurrentThreadId())), answer_(answer),
      seen_(into ? *into : own_) {
    g_watch = this;
}

MessageBoxWatch::~MessageBoxWatch() {
    if (hook_) UnhookWindowsHookEx(hook_);
    g_watch = nullptr;
}

std::vector<std::string> MessageBoxWatch::captions() const {
    std::vector<std::string> captions;
    for (const SeenMessageBox& box : seen_) captions.push_back(box.caption);
    return captions;
}

// A message box is the dialog with the message box's text control; it is
// seen when it becomes active, fully built.
LRESULT CALLBACK MessageBoxWatch::onCbt(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    MessageBoxWatch* watch = g_watch;
    if (watch && code == HCBT_ACTIVATE && hasClass(window, "#32770") && GetDlgItem(window, kMessageBoxText)) {
        const bool icon = SendDlgItemMessageW(window, kMessageBoxIcon, STM_GETICON, 0, 0) != 0;
        watch->seen_.push_back({windowText(window), itemText(window, kMessageBoxText), icon});
        if (watch->answer_) PostMessageW(window, WM_COMMAND, IDOK, 0);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

INT_PTR DialogDriver::run(const std::function<INT_PTR()>& open, const Scenario& scenario) {
    scenario_ = scenario;
    done_ = cleaned_ = false;
    watched_.clear();
    boxes_.clear();
    const bool wasFiber = IsThreadAFiber() != FALSE;
    loopFiber_ = wasFiber ? GetCurrentFiber() : ConvertThreadToFiber(nullptr);
    scenarioFiber_ = CreateFiber(kScenarioStack, scenarioMain, this);
    if (!loopFiber_ || !scenarioFiber_) {
        ADD_FAILURE() << "no fiber for the scenario";
        return -1;
    }
    g_driver = this;
    MessageBoxWatch boxes(answerBoxes_, &boxes_);
    HHOOK paints = watchedClass_.empty()
                       ? nullptr
                       : SetWindowsHookExW(WH_CALLWNDPROCRET, onCallReturn, nullptr, GetCurrentThreadId());
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, onTimer);
    const INT_PTR result = open();
    // The dialog is gone; the scenario may still be checking what it left.
    MSG msg;
    while (!done_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
    if (paints) UnhookWindowsHookEx(paints);
    g_driver = nullptr;
    DeleteFiber(scenarioFiber_);
    scenarioFiber_ = nullptr;
    if (!wasFiber) ConvertFiberToThread();
    return result;
}

void DialogDriver::watchClass(const std::string& className, std::function<void(HWND)> onFirstPaint) {
    watchedClass_ = className;
    onFirstPaint_ = std::move(onFirstPaint);
}

LRESULT CALLBACK DialogDriver::onCallReturn(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    DialogDriver* driver = g_driver;
    if (driver && code == HC_ACTION && call->message == WM_PAINT &&
        hasClass(call->hwnd, driver->watchedClass_.c_str()) &&
        std::none_of(driver->watched_.begin(), driver->watched_.end(),
                     [call](const SeenWindow& w) { return w.window == call->hwnd; })) {
        driver->watched_.push_back({call->hwnd, GetWindow(call->hwnd, GW_OWNER), windowText(call->hwnd)});
        if (driver->onFirstPaint_) driver->onFirstPaint_(call->hwnd);
    }
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

void CALLBACK DialogDriver::onTimer(HWND, UINT, UINT_PTR, DWORD) {
    DialogDriver* driver = g_driver;
    if (!driver || GetCurrentFiber() != driver->loopFiber_) return;
    if (driver->done_) {
        driver->endLeftoverDialogs();
        return;
    }
    driver->resumeScenario();
}

// Runs the scenario until it yields, then carries out the action it left.
// The action may open a modal window; the timer then fires inside that
// window's loop and resumes the scenario from there.
void DialogDriver::resumeScenario() {
    SwitchToFiber(scenarioFiber_);
    if (pending_) {
        std::function<void()> action = std::move(pending_);
        pending_ = nullptr;
        action();
    }
}

void WINAPI DialogDriver::scenarioMain(void* self) {
    auto* driver = static_cast<DialogDriver*>(self);
    driver->scenario_(*driver);
    driver->done_ = true;
    for (;;) SwitchToFiber(driver->loopFiber_);  // a fiber must not return
}

void DialogDriver::yieldToLoop() { SwitchToFiber(loopFiber_); }

void DialogDriver::endLeftoverDialogs() {
    if (cleaned_) return;
    cleaned_ = true;
    std::vector<HWND> open = threadDialogs();
    if (open.empty()) return;
    ADD_FAILURE() << open.size() << " dialog(s) still open when the scenario ended; ending them";
    for (auto it = open.rbegin(); it != open.rend(); ++it) EndDialog(*it, 0);
}

void DialogDriver::idle(int ticks) {
    for (int i = 0; i < ticks; ++i) yieldToLoop();
}

bool DialogDriver::waitUntil(const std::function<bool()>& condition, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    while (!condition()) {
        if (GetTickCount() - start > timeoutMs) return false;
        yieldToLoop();
    }
    return true;
}

HWND DialogDriver::waitForDialog(const char* caption, DWORD timeoutMs) {
    HWND found = nullptr;
    const auto shown = [&] { return (found = activeDialog()) && (!caption || windowText(found) == caption); };
    return waitUntil(shown, timeoutMs) ? found : nullptr;
}

bool DialogDriver::waitForClosed(HWND window, DWORD timeoutMs) {
    return waitUntil([&] { return !IsWindow(window); }, timeoutMs);
}

void DialogDriver::perform(std::function<void()> action) {
    pending_ = std::move(action);
    yieldToLoop();
    idle(1);
}

void DialogDriver::focus(HWND dialog, int id) {
    perform([=] { SendMessageA(dialog, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(GetDlgItem(dialog, id)), TRUE); });
}

void DialogDriver::type(const std::string& chars) {
    for (char c : chars)
        perform([c] {
            if (HWND target = GetFocus()) SendMessageA(target, WM_CHAR, static_cast<BYTE>(c), 1);
        });
}

void DialogDriver::type(HWND dialog, int id, const std::string& chars) {
    focus(dialog, id);
    type(chars);
}

void DialogDriver::key(UINT virtualKey) {
    perform([virtualKey] {
        HWND target = GetFocus() ? GetFocus() : GetActiveWindow();
        const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC)) << 16;
        PostMessageA(target, WM_KEYDOWN, virtualKey, scan | 1);
        PostMessageA(target, WM_KEYUP, virtualKey, scan | 1 | 0xC0000000);
    });
}

bool DialogDriver::hardwareKey(UINT virtualKey) {
    UINT sent = 0;
    perform([&sent, virtualKey] {
        if (HWND focus = GetFocus()) SetForegroundWindow(GetAncestor(focus, GA_ROOT));
        INPUT inputs[2] = {keyInput(virtualKey, false), keyInput(virtualKey, true)};
        sent = SendInput(2, inputs, sizeof(INPUT));
    });
    idle(2);
    return sent == 2;
}

bool DialogDriver::click(HWND dialog, int id) {
    HWND control = GetDlgItem(dialog, id);
    if (!control || !IsWindowVisible(control) || !IsWindowEnabled(control)) return false;
    if (hasClass(control, "Button")) {
        perform([control] { SendMessageA(control, BM_CLICK, 0, 0); });
        return true;
    }
    RECT client = {};
    GetClientRect(control, &client);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    perform([control, centre] {
        PostMessageA(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
        PostMessageA(control, WM_LBUTTONUP, 0, centre);
    });
    return true;
}

void DialogDriver::choose(HWND dialog, int id, int index) {
    perform([=] {
        SendDlgItemMessageW(dialog, id, CB_SETCURSEL, index, 0);
        SendMessageW(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
    });
}

void DialogDriver::closeBox(HWND window) {
    perform([window] { SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void DialogDriver::send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    perform([=] { SendMessageA(window, message, wParam, lParam); });
}

std::string utf8(const wchar_t* text) {
    char converted[2048] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, converted, sizeof converted, nullptr, nullptr);
    return converted;
}

std::string itemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

std::string comboItems(HWND dialog, int id) {
    std::string items;
    const LRESULT count = SendDlgItemMessageW(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        wchar_t text[256] = {};
        SendDlgItemMessageW(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items += (i ? "|" : "") + utf8(text);
    }
    return items;
}

bool itemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

bool itemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

int focusedItem(HWND dialog) {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
}

SIZE clientSizeInDialogUnits(HWND dialog) {
    RECT client = {}, units = {4, 8, 0, 0};  // pixels of 4 horizontal and 8 vertical units
    GetClientRect(dialog, &client);
    MapDialogRect(dialog, &units);
    return {(client.right * 4 + units.left / 2) / units.left, (client.bottom * 8 + units.top / 2) / units.top};
}

}  // namespace bvtest
