// simdriver: plays the camera driver from a process of its own.
//
//   simdriver MODEL PORT            exit 0 when all three shared objects open
//   simdriver MODEL PORT CODE [N]   raises event CODE (with N data bytes)
//                                   and prints the library's answer
#include <cstdio>
#include <cstdlib>

#include "../camera/bvsim.h"

int main(int argc, char** argv) {
    if (argc < 3 || argc > 5) {
        std::fprintf(stderr, "usage: simdriver MODEL PORT [CODE [SIZE]]\n");
        return 2;
    }
    if (!simDriverOpenChannel(argv[1], argv[2])) {
        std::printf("channel not found\n");
        return 1;
    }
    if (argc >= 4) {
        BYTE data[56];
        for (int i = 0; i < 56; ++i) data[i] = static_cast<BYTE>(i + 1);
        DWORD answer = 0;
        const DWORD size = argc == 5 ? std::strtoul(argv[4], nullptr, 0) : 0;
        if (!simDriverRaiseEvent(std::strtoul(argv[3], nullptr, 0), data, size, 10000, &answer)) {
            std::printf("no answer\n");
            return 1;
        }
        std::printf("answer 0x%08lx\n", static_cast<unsigned long>(answer));
    }
    simDriverCloseChannel();
    return 0;
}
