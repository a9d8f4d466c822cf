#include "comm_dialog_driver.h"

#include <cstdlib>

namespace commtest {
namespace {

constexpr int kPortKindList = 1034;    // only the communication settings dialog has it
constexpr int kMessageBoxText = 0xffff;  // the text and icon of a message box
constexpr int kMessageBoxIcon = 0x440;
constexpr UINT kFallbackMs = 3000;

// The hook procedures have no context argument: one driver at a time.
struct DriverState {
    CommDialogDriver::Scenario scenario;
    HHOOK cbt = nullptr, calls = nullptr;
    HWND dialog = nullptr;
    UINT_PTR fallback = 0;
    bool ran = false;
    std::vector<SeenMessageBox> boxes;
    std::vector<SeenDetectingWindow> detecting;
    std::vector<HWND> detectingHandles;
} g_driver;

std::function<void(const char*, HWND)> g_screenshotHook;

// As UTF-8, whatever the ANSI code page of the prefix.
std::string windowText(HWND window) {
    wchar_t wide[512] = {};
    GetWindowTextW(window, wide, 512);
    char text[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, wide, -1, text, sizeof text, nullptr, nullptr);
    return text;
}

bool hasClass(HWND window, const char* name) {
    char className[64] = {};
    GetClassNameA(window, className, sizeof className);
    return lstrcmpA(className, name) == 0;
}

void CALLBACK cancelLeftOpen(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_driver.fallback = 0;
    if (IsWindow(g_driver.dialog)) SendMessageA(g_driver.dialog, WM_COMMAND, IDCANCEL, 0);
}

void CALLBACK runScenario(HWND, UINT, UINT_PTR timer, DWORD) {
    KillTimer(nullptr, timer);
    g_driver.ran = true;
    g_driver.scenario(g_driver.dialog);
    g_driver.fallback = SetTimer(nullptr, 0, kFallbackMs, cancelLeftOpen);
}

LRESULT CALLBACK onCbt(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && hasClass(window, "#32770")) {
        if (GetDlgItem(window, kPortKindList)) {
            if (!g_driver.dialog) SetTimer(nullptr, 0, 10, runScenario);
            g_driver.dialog = window;
        } else {
            const bool icon = SendDlgItemMessageA(window, kMessageBoxIcon, STM_GETICON, 0, 0) != 0;
            g_driver.boxes.push_back({windowText(window), windowText(GetDlgItem(window, kMessageBoxText)), icon});
            PostMessageA(window, WM_COMMAND, IDOK, 0);
        }
    } else if (code == HCBT_DESTROYWND) {
        for (size_t i = 0; i < g_driver.detectingHandles.size(); ++i)
            if (g_driver.detectingHandles[i] == window) g_driver.detecting[i].destroyed = true;
    }
    return CallNextHookEx(g_driver.cbt, code, wParam, lParam);
}

// The detecting window is only ever painted while the search blocks the
// thread; its first paint is where it is seen, as the user sees it.
LRESULT CALLBACK onCallReturn(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_PAINT && hasClass(call->hwnd, "lluiDetectingMsg")) {
        bool known = false;
        for (HWND h : g_driver.detectingHandles) known = known || h == call->hwnd;
        if (!known) {
            RECT client;
            GetClientRect(call->hwnd, &client);
            g_driver.detectingHandles.push_back(call->hwnd);
            g_driver.detecting.push_back({windowText(call->hwnd), {client.right, client.bottom},
                                          GetWindow(call->hwnd, GW_OWNER), false});
            holdForScreenshot("detecting", call->hwnd);
        }
    }
    return CallNextHookEx(g_driver.calls, code, wParam, lParam);
}

const char* winePrefix() {
    const char* prefix = std::getenv("WINEPREFIX");
    return prefix && *prefix ? prefix : nullptr;
}

// A path of the Unix side as the Z: drive shows it.
std::string onDriveZ(const std::string& path) {
    std::string z = "Z:" + path;
    for (char& c : z)
        if (c == '/') c = '\\';
    return z;
}

// Runs a shell script on the Unix side; true when it succeeded. Wine starts
// Unix programs without a process handle to wait on, so the script leaves
// a marker file behind when it is done.
bool runUnixShell(const std::string& script) {
    const std::string marker = std::string(winePrefix()) + "/bvtest-shell-done";
    DeleteFileA(onDriveZ(marker).c_str());
    std::string command = "/bin/sh -c \"(" + script + ") && touch '" + marker + "'\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA("Z:\\bin\\sh", &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    for (int waited = 0; waited < 10000; waited += 20) {
        if (GetFileAttributesA(onDriveZ(marker).c_str()) != INVALID_FILE_ATTRIBUTES) {
            DeleteFileA(onDriveZ(marker).c_str());
            return true;
        }
        Sleep(20);
    }
    return false;
}

std::string dosDevicesFolder() { return winePrefix() ? std::string(winePrefix()) + "/dosdevices" : std::string(); }

}  // namespace

CommDialogDriver::CommDialogDriver(Scenario scenario) {
    g_driver = DriverState();
    g_driver.scenario = std::move(scenario);
    g_driver.cbt = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    g_driver.calls = SetWindowsHookExA(WH_CALLWNDPROCRET, onCallReturn, nullptr, GetCurrentThreadId());
}

CommDialogDriver::~CommDialogDriver() {
    if (g_driver.fallback) KillTimer(nullptr, g_driver.fallback);
    UnhookWindowsHookEx(g_driver.cbt);
    UnhookWindowsHookEx(g_driver.calls);
}

const std::vector<SeenMessageBox>& CommDialogDriver::messageBoxes() const { return g_driver.boxes; }
const std::vector<SeenDetectingWindow>& CommDialogDriver::detectingWindows() const { return g_driver.detecting; }
bool CommDialogDriver::scenarioRan() const { return g_driver.ran; }

std::string itemsOf(HWND dialog, int id) {
    std::string items;
    const LRESULT count = SendDlgItemMessageA(dialog, id, CB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        char text[128] = {};
        SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(text));
        items += (i ? "|" : "") + std::string(text);
    }
    return items;
}

std::string selectedText(HWND dialog, int id) {
    char text[128] = {};
    const LRESULT index = SendDlgItemMessageA(dialog, id, CB_GETCURSEL, 0, 0);
    if (index >= 0) SendDlgItemMessageA(dialog, id, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(text));
    return text;
}

bool shown(HWND dialog, int id) { return IsWindowVisible(GetDlgItem(dialog, id)) != FALSE; }

void choose(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void setScreenshotHook(std::function<void(const char*, HWND)> hook) { g_screenshotHook = std::move(hook); }

void holdForScreenshot(const char* state, HWND window) {
    if (g_screenshotHook) return g_screenshotHook(state, window);
    const char* hold = std::getenv("BV_SCREENSHOT_HOLD_MS");
    if (!hold) return;
    const DWORD end = GetTickCount() + std::strtoul(hold, nullptr, 10);
    MSG message;
    while (static_cast<LONG>(end - GetTickCount()) > 0) {
        if (PeekMessageA(&message, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageA(&message);
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 20, QS_PAINT);
    }
}

// Leftovers of an interrupted run stay put aside, so the prefix's own links
// are never overwritten.
ComPortLinks::ComPortLinks(DWORD mask) {
    const std::string folder = dosDevicesFolder();
    if (folder.empty()) return;
    std::string script = "cd '" + folder + "' && mkdir -p bvtest-saved";
    for (int n = 1; n <= 6; ++n) {
        const std::string name = "com" + std::to_string(n);
        script += " && { [ -e bvtest-saved/" + name + " ] || [ -L bvtest-saved/" + name + " ] || ! [ -L " + name +
                  " ] || mv " + name + " bvtest-saved/; } && rm -f " + name;
        if (mask & (1u << (n - 1))) script += " && ln -s /dev/null " + name;
    }
    ready_ = runUnixShell(script);
}

ComPortLinks::~ComPortLinks() {
    const std::string folder = dosDevicesFolder();
    if (!folder.empty())
        runUnixShell("cd '" + folder + "' && rm -f com1 com2 com3 com4 com5 com6 && "
                     "{ mv bvtest-saved/* . 2>/dev/null; rmdir bvtest-saved; }");
}

}  // namespace commtest
