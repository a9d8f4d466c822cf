#include "dialog_driver.h"

// GetCurrentFiber reads the thread block through a segment register in a
// way that GCC takes for an out-of-bounds array access.
#pragma GCC diagnostic ignored "-Warray-bounds"

#include <gtest/gtest.h>

#include <algorithm>

namespace bvtest {
namespace {

constexpr UINT kTickMs = 10;
constexpr SIZE_T kScenarioStack = 512 * 1024;

DialogDriver* g_driver = nullptr;  // the timer procedure has no context argument

bool isDialog(HWND window) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    return lstrcmpA(name, "#32770") == 0;
}

BOOL CALLBACK collectDialog(HWND window, LPARAM list) {
    if (IsWindowVisible(window) && isDialog(window)) reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

BOOL CALLBACK collectStaticText(HWND window, LPARAM longest) {
    char name[16] = {};
    GetClassNameA(window, name, sizeof name);
    if (lstrcmpiA(name, "Static") == 0) {
        std::string text = windowText(window);
        auto& best = *reinterpret_cast<std::string*>(longest);
        if (text.size() > best.size()) best = text;
    }
    return TRUE;
}

// Pixels of 4 horizontal and 8 vertical dialog units.
POINT unitScale(HWND dialog) {
    RECT units = {4, 8, 0, 0};
    MapDialogRect(dialog, &units);
    return {units.left, units.top};
}

LONG toUnits(LONG pixels, LONG scale, LONG units) { return (pixels * units + scale / 2) / scale; }

INPUT keyInput(UINT virtualKey, bool up) {
    INPUT input = {};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = static_cast<WORD>(virtualKey);
    input.ki.wScan = static_cast<WORD>(MapVirtualKeyA(virtualKey, MAPVK_VK_TO_VSC));
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    return input;
}

}  // namespace

INT_PTR DialogDriver::run(const std::function<INT_PTR()>& open, const Scenario& scenario) {
    scenario_ = scenario;
    done_ = cleaned_ = false;
    const bool wasFiber = IsThreadAFiber() != FALSE;
    loopFiber_ = wasFiber ? GetCurrentFiber() : ConvertThreadToFiber(nullptr);
    scenarioFiber_ = CreateFiber(kScenarioStack, scenarioMain, this);
    if (!loopFiber_ || !scenarioFiber_) {
        ADD_FAILURE() << "no fiber for the scenario";
        return -1;
    }
    g_driver = this;
    const UINT_PTR timer = SetTimer(nullptr, 0, kTickMs, onTimer);
    const INT_PTR result = open();
    // The dialog is gone; the scenario may still be checking what it left.
    MSG msg;
    while (!done_ && GetMessageA(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
    KillTimer(nullptr, timer);
    g_driver = nullptr;
    DeleteFiber(scenarioFiber_);
    scenarioFiber_ = nullptr;
    if (!wasFiber) ConvertFiberToThread();
    return result;
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
    waitUntil([&] {
        found = activeDialog();
        return found && (!caption || windowText(found) == caption);
    }, timeoutMs);
    return found && (!caption || windowText(found) == caption) ? found : nullptr;
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
    char name[16] = {};
    GetClassNameA(control, name, sizeof name);
    if (lstrcmpiA(name, "Button") == 0) {
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

void DialogDriver::closeBox(HWND window) {
    perform([window] { SendMessageA(window, WM_SYSCOMMAND, SC_CLOSE, 0); });
}

void DialogDriver::send(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    perform([=] { SendMessageA(window, message, wParam, lParam); });
}

std::vector<HWND> threadDialogs() {
    std::vector<HWND> dialogs;
    EnumThreadWindows(GetCurrentThreadId(), collectDialog, reinterpret_cast<LPARAM>(&dialogs));
    // Windows are listed top of the z-order first; owned windows lie above
    // their owners, so the reverse lists outermost first.
    std::reverse(dialogs.begin(), dialogs.end());
    return dialogs;
}

HWND activeDialog() {
    const std::vector<HWND> dialogs = threadDialogs();
    for (auto it = dialogs.rbegin(); it != dialogs.rend(); ++it)
        if (IsWindowEnabled(*it)) return *it;
    return nullptr;
}

std::string windowText(HWND window) {
    char text[1024] = {};
    GetWindowTextA(window, text, sizeof text);
    return text;
}

std::string itemText(HWND dialog, int id) { return windowText(GetDlgItem(dialog, id)); }

std::string messageBoxText(HWND box) {
    std::string longest;
    EnumChildWindows(box, collectStaticText, reinterpret_cast<LPARAM>(&longest));
    return longest;
}

bool itemVisible(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

bool itemEnabled(HWND dialog, int id) { return IsWindowEnabled(GetDlgItem(dialog, id)) != FALSE; }

int focusedItem(HWND dialog) {
    HWND focus = GetFocus();
    return focus && GetParent(focus) == dialog ? GetDlgCtrlID(focus) : 0;
}

RECT itemRect(HWND dialog, int id) {
    RECT rect = {};
    GetWindowRect(GetDlgItem(dialog, id), &rect);
    MapWindowPoints(HWND_DESKTOP, dialog, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

RECT itemRectInDialogUnits(HWND dialog, int id) {
    const RECT px = itemRect(dialog, id);
    const POINT scale = unitScale(dialog);
    return {toUnits(px.left, scale.x, 4), toUnits(px.top, scale.y, 8), toUnits(px.right, scale.x, 4),
            toUnits(px.bottom, scale.y, 8)};
}

SIZE clientSizeInDialogUnits(HWND dialog) {
    RECT client = {};
    GetClientRect(dialog, &client);
    const POINT scale = unitScale(dialog);
    return {toUnits(client.right, scale.x, 4), toUnits(client.bottom, scale.y, 8)};
}

}  // namespace bvtest
