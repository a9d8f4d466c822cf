#include "comm_dialog_driver.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/dialog_driver.h"
#include "ui/resource_ids.h"

namespace commtest {
namespace {

constexpr int kMessageBoxText = 0xffff;  // the text and icon of a message box
constexpr int kMessageBoxIcon = 0x440;
const char kCaption[] = "Kommunikationseinstellungen";

// The hook procedures have no context argument: one run at a time.
CommDialogRun* g_run = nullptr;
HHOOK g_cbt = nullptr, g_calls = nullptr;

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

LRESULT CALLBACK CommDialogRun::onCbt(int code, WPARAM wParam, LPARAM lParam) {
    const HWND window = reinterpret_cast<HWND>(wParam);
    if (code == HCBT_ACTIVATE && hasClass(window, "#32770") && !GetDlgItem(window, IDC_PORT_KIND)) {
        const bool icon = SendDlgItemMessageA(window, kMessageBoxIcon, STM_GETICON, 0, 0) != 0;
        g_run->boxes_.push_back({windowText(window), windowText(GetDlgItem(window, kMessageBoxText)), icon});
        PostMessageA(window, WM_COMMAND, IDOK, 0);
    } else if (code == HCBT_DESTROYWND) {
        for (size_t i = 0; i < g_run->detectingHandles_.size(); ++i)
            if (g_run->detectingHandles_[i] == window) g_run->detecting_[i].destroyed = true;
    }
    return CallNextHookEx(g_cbt, code, wParam, lParam);
}

// The detecting window is only ever painted while the search blocks the
// thread; its first paint is where it is seen, as the user sees it.
LRESULT CALLBACK CommDialogRun::onCallReturn(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    if (code == HC_ACTION && call->message == WM_PAINT && hasClass(call->hwnd, "lluiDetectingMsg")) {
        auto& handles = g_run->detectingHandles_;
        if (std::find(handles.begin(), handles.end(), call->hwnd) == handles.end()) {
            RECT client;
            GetClientRect(call->hwnd, &client);
            handles.push_back(call->hwnd);
            g_run->detecting_.push_back({windowText(call->hwnd), {client.right, client.bottom},
                                         GetWindow(call->hwnd, GW_OWNER), false});
        }
    }
    return CallNextHookEx(g_calls, code, wParam, lParam);
}

INT_PTR CommDialogRun::operator()(const std::function<INT_PTR()>& open, const Scenario& scenario, bool expectDialog) {
    g_run = this;
    g_cbt = SetWindowsHookExA(WH_CBT, onCbt, nullptr, GetCurrentThreadId());
    g_calls = SetWindowsHookExA(WH_CALLWNDPROCRET, onCallReturn, nullptr, GetCurrentThreadId());
    bool ran = false;
    bvtest::DialogDriver driver;
    const INT_PTR result = driver.run(open, [&](bvtest::DialogDriver& d) {
        HWND dialog = d.waitForDialog(kCaption, expectDialog ? 5000 : 200);
        if (!dialog) return;
        ran = true;
        scenario(dialog);  // a message box it opens is answered by the hook
    });
    UnhookWindowsHookEx(g_calls);
    UnhookWindowsHookEx(g_cbt);
    g_run = nullptr;
    EXPECT_EQ(expectDialog, ran) << "the communication settings dialog " << (ran ? "showed" : "never showed");
    return result;
}

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

void choose(HWND dialog, int id, int index) {
    SendDlgItemMessageA(dialog, id, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, CBN_SELCHANGE), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
}

void press(HWND dialog, int id) {
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dialog, id)));
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
