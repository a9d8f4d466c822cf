// The help viewer, reached without any search by name. The platform's own
// call starts the viewer, when none runs yet, by its bare name, so a
// program of that name in the current folder or on PATH would run in its
// place. Here the help file is named by its full path beside this library,
// and a viewer that does not run yet is started by its full path from the
// Windows folder before the request is handed on; the platform's call then
// finds it running and starts nothing.
#include <string>

#include "library_search.h"
#include "owned.h"
#include "ui_private.h"

namespace bv {
namespace {

constexpr char kViewerWindowClass[] = "MS_WINHELP";
constexpr wchar_t kViewerProgram[] = L"winhlp32.exe";
constexpr DWORD kViewerStartWait = 30000;  // ms until the started viewer takes requests

bool viewerRunning() { return FindWindowA(kViewerWindowClass, nullptr) != nullptr; }

// Starts the viewer without a window of its own, as the platform's call
// does, and waits until it takes requests. False when it is not running then.
bool startViewer() {
    const std::wstring program = windowsProgramPath(kViewerProgram);
    if (program.empty()) return false;
    std::wstring commandLine = L"\"" + program + L"\" -x";  // CreateProcess may write to it
    STARTUPINFOW startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    if (!CreateProcessW(program.c_str(), &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process))
        return false;
    OwnedHandle thread(process.hThread);
    OwnedHandle started(process.hProcess);
    WaitForInputIdle(started.get(), kViewerStartWait);
    return viewerRunning();
}

// The full path of the help file that string-table entry fileEntry names,
// in the folder of the module of instance; empty when it cannot be formed.
std::wstring helpFilePath(HINSTANCE instance, UINT fileEntry) {
    wchar_t name[MAX_PATH];
    if (LoadStringW(instance, fileEntry, name, MAX_PATH) <= 0) return std::wstring();
    return pathBesideModule(instance, name);
}

// The message box of the dialog that owner belongs to, with its caption.
void showHelpFileMissing(HWND owner, HINSTANCE instance) {
    HWND dialog = GetAncestor(owner, GA_ROOT);
    char caption[64] = "";
    GetWindowTextA(dialog, caption, sizeof caption);
    char text[kMessageTextSize];
    if (LoadStringA(instance, IDS_HELP_FILE_MISSING, text, sizeof text) <= 0) text[0] = '\0';
    MessageBoxA(dialog, text, caption, MB_OK | MB_ICONEXCLAMATION);
}

}  // namespace

void callHelpViewer(HWND owner, HINSTANCE instance, UINT command, ULONG_PTR data) {
    const std::wstring file = helpFilePath(instance, IDS_HELP_FILE);
    if (file.empty() || !isFile(file)) {
        showHelpFileMissing(owner, instance);
        return;
    }
    if (viewerRunning() || startViewer()) WinHelpW(owner, file.c_str(), command, data);
}

void quitHelpViewer(HWND owner, HINSTANCE instance, UINT fileEntry) {
    const std::wstring file = helpFilePath(instance, fileEntry);
    if (!file.empty() && viewerRunning()) WinHelpW(owner, file.c_str(), HELP_QUIT, 0);
}

}  // namespace bv
