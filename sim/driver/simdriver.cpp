// simdriver: plays the camera's still-image driver from a process of its
// own, against the event channel that the library opened for a camera.
//
//   simdriver MODEL PORT                    exit 0 when the channel's three
//                                           shared objects open
//   simdriver MODEL PORT battery LEVEL      battery event, level 6 normal,
//                                           4 low, 3 exhausted
//   simdriver MODEL PORT timeout            the camera's time-out event
//   simdriver MODEL PORT disconnect         the final event: the camera is gone
//   simdriver MODEL PORT raw CODE [HEX]     any event, with data given as hex
//                                           bytes ("01020304")
//
// An event prints the answer that the library's notification callback
// left in the shared record. Exit codes: 0 answered, 1 no channel or no
// answer, 2 wrong arguments.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "../camera/bvsim.h"

namespace {

constexpr DWORD kAnswerWaitMs = 10000;
constexpr size_t kMostDataBytes = 56;

struct Event {
    DWORD code = 0;
    std::vector<BYTE> data;
};

bool parseNumber(const char* text, DWORD* value) {
    char* end = nullptr;
    *value = std::strtoul(text, &end, 0);
    return *text && end && *end == '\0';
}

bool parseHex(const char* text, std::vector<BYTE>& data) {
    const size_t length = std::strlen(text);
    if (length % 2 != 0 || length / 2 > kMostDataBytes) return false;
    for (size_t i = 0; i < length; i += 2) {
        const char pair[3] = {text[i], text[i + 1], '\0'};
        char* end = nullptr;
        data.push_back(static_cast<BYTE>(std::strtoul(pair, &end, 16)));
        if (*end != '\0') return false;
    }
    return true;
}

std::vector<BYTE> wordBytes(DWORD word) {
    const BYTE* p = reinterpret_cast<const BYTE*>(&word);
    return std::vector<BYTE>(p, p + 4);
}

// The event named by the words after MODEL PORT; false for a wrong one.
bool parseEvent(int argc, char** argv, Event& event) {
    const std::string verb = argv[0];
    DWORD number = 0;
    if (verb == "battery" && argc == 2 && parseNumber(argv[1], &number) && number <= 0xf) {
        event.code = SIM_EVENT_BATTERY;
        event.data = wordBytes(number);
        return true;
    }
    if (verb == "timeout" && argc == 1) {
        event.code = SIM_EVENT_TIMEOUT;
        return true;
    }
    if (verb == "disconnect" && argc == 1) {
        event.code = SIM_EVENT_DISCONNECTED;
        return true;
    }
    if (verb == "raw" && (argc == 2 || argc == 3) && parseNumber(argv[1], &event.code))
        return argc == 2 || parseHex(argv[2], event.data);
    return false;
}

int usage() {
    std::fprintf(stderr,
                 "usage: simdriver MODEL PORT [battery LEVEL | timeout | disconnect | raw CODE [HEX]]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3) return usage();
    Event event;
    const bool raising = argc > 3;
    if (raising && !parseEvent(argc - 3, argv + 3, event)) return usage();
    if (!simDriverOpenChannel(argv[1], argv[2])) {
        std::printf("channel not found\n");
        return 1;
    }
    int status = 0;
    DWORD answer = 0;
    if (raising && !simDriverRaiseEvent(event.code, event.data.data(), static_cast<DWORD>(event.data.size()),
                                        kAnswerWaitMs, &answer)) {
        std::printf("no answer\n");
        status = 1;
    } else if (raising) {
        std::printf("event 0x%08lx answer 0x%08lx\n", static_cast<unsigned long>(event.code),
                    static_cast<unsigned long>(answer));
    }
    simDriverCloseChannel();
    return status;
}
