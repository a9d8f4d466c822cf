// Planted by tests under the name of a program that must not run from
// where it lies: when it runs, a file named like it plus ".ran" appears.
#include <windows.h>

int main() {
    char path[MAX_PATH + 4] = "";
    if (GetModuleFileNameA(nullptr, path, MAX_PATH) >= MAX_PATH) return 1;
    CloseHandle(CreateFileA(lstrcatA(path, ".ran"), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr));
    return 0;
}
