#include "console.h"

#include <windows.h>

#include <cstdio>

namespace {

bool isConsole(DWORD which) {
    DWORD mode = 0;
    return GetConsoleMode(GetStdHandle(which), &mode) != 0;
}

}  // namespace

bool outputIsTerminal() { return isConsole(STD_OUTPUT_HANDLE); }
bool inputIsTerminal() { return isConsole(STD_INPUT_HANDLE); }

int outputWidth() {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (!GetConsoleScreenBufferInfo(GetStdHandle(STD_OUTPUT_HANDLE), &info)) return 80;
    return info.srWindow.Right - info.srWindow.Left + 1;
}

bool askYesNo(const std::string& question) {
    std::printf("%s [y/N] ", question.c_str());
    std::fflush(stdout);
    char answer[16] = "";
    if (!std::fgets(answer, sizeof answer, stdin)) return false;
    return answer[0] == 'y' || answer[0] == 'Y';
}
