#include "message_box_dismisser.h"

#include <cstdlib>

namespace bvtest {
namespace {

std::vector<std::string> g_captions;  // the hook procedure has no context argument
HHOOK g_hook = nullptr;

}  // namespace

MessageBoxDismisser::MessageBoxDismisser()
    : hook_(SetWindowsHookExW(WH_CBT, onCbt, nullptr, GetCurrentThreadId())) {
    g_captions.clear();
    g_hook = hook_;
}

MessageBoxDismisser::~MessageBoxDismisser() {
    if (hook_) UnhookWindowsHookEx(hook_);
    g_hook = nullptr;
}

const std::vector<std::string>& MessageBoxDismisser::captions() const { return g_captions; }

bool MessageBoxDismisser::hasDisplay() {
    const char* display = std::getenv("DISPLAY");
    return display && display[0] != 0;
}

LRESULT CALLBACK MessageBoxDismisser::onCbt(int code, WPARAM wParam, LPARAM lParam) {
    if (code == HCBT_ACTIVATE) {
        HWND window = reinterpret_cast<HWND>(wParam);
        char className[16] = {};
        GetClassNameA(window, className, sizeof className);
        if (lstrcmpA(className, "#32770") == 0) {  // the dialog class of message boxes
            char caption[128] = {};
            GetWindowTextA(window, caption, sizeof caption);
            g_captions.emplace_back(caption);
            PostMessageW(window, WM_COMMAND, IDOK, 0);
        }
    }
    return CallNextHookEx(g_hook, code, wParam, lParam);
}

}  // namespace bvtest
