// Plays the user of another process's dialog: waits for a top-level window
// with the caption, selects the items given for its combo boxes (telling
// the dialog of each change, as a user's choice does) and presses a button.
//   press_button CAPTION [COMBO_ID=INDEX]... BUTTON_ID
// Exit 0 when the button was pressed, 1 when no such window showed.
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

int main(int argc, char** argv) {
    if (argc < 3) return 2;
    // The window exists before its dialog procedure has filled it; it shows
    // once that is done.
    HWND dialog = nullptr;
    for (int waited = 0; waited < 60000 && !(dialog && IsWindowVisible(dialog)); waited += 100) {
        Sleep(100);
        dialog = FindWindowA(nullptr, argv[1]);
    }
    if (!dialog || !IsWindowVisible(dialog)) {
        std::fprintf(stderr, "press_button: no window \"%s\"\n", argv[1]);
        return 1;
    }
    for (int i = 2; i < argc - 1; ++i) {
        const char* equals = std::strchr(argv[i], '=');
        if (!equals) return 2;
        const int combo = std::atoi(argv[i]);
        SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, std::atoi(equals + 1), 0);
        SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(GetDlgItem(dialog, combo)));
    }
    const int button = std::atoi(argv[argc - 1]);
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED), 0);
    std::printf("pressed %d on \"%s\"\n", button, argv[1]);
    return 0;
}
