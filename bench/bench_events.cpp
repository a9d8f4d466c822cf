// Camera events: from the driver raising one (a thread of this process, or
// a process of its own as simdriver plays it) to the notification callback,
// and to the driver seeing the callback's answer. The floor is an echo of
// the same handshake between two threads of this program over the same
// kind of named objects: a shared record and two auto-reset events.
//
// The driver writes the time it raised the event into the event's data;
// the performance counter is shared by every process, so the callback can
// take the latency wherever the driver ran.
#include <cstdio>
#include <cstring>
#include <string>

#include "bench_runs.h"

namespace bvbench {
namespace {

constexpr DWORD kBenchEvent = 0x00010009;  // no event the library acts on itself
constexpr DWORD kAnswerWaitMs = 10000;
constexpr int kWarmUp = 20;

// The event's data: when it was raised, and whether it counts.
struct Stamp {
    double raisedUs;
    DWORD counted;
};

Samples* volatile g_toCallback = nullptr;  // where the callback records, while set

DWORD WINAPI onEvent(DWORD, void* data, DWORD, UINT_PTR) {
    Stamp stamp;
    std::memcpy(&stamp, data, sizeof stamp);
    if (stamp.counted && g_toCallback) g_toCallback->add(nowUs() - stamp.raisedUs);
    return 0;
}

// Raises count events (after a few uncounted ones) on an open channel;
// each answer's round trip goes into answered.
bool raiseEvents(int count, Samples& answered) {
    for (int i = -kWarmUp; i < count; ++i) {
        Stamp stamp = {nowUs(), i >= 0};
        DWORD answer = 0;
        if (!simDriverRaiseEvent(kBenchEvent, &stamp, sizeof stamp, kAnswerWaitMs, &answer)) return false;
        if (i >= 0) answered.add(nowUs() - stamp.raisedUs);
    }
    return true;
}

// ---- the echo ----

struct EchoObjects {
    HANDLE mapping, toEcho, fromEcho;
    BYTE* record;
    Samples toThread;
    int count;
};

DWORD WINAPI echoThread(LPVOID parameter) {
    auto* e = static_cast<EchoObjects*>(parameter);
    for (int i = -kWarmUp; i < e->count; ++i) {
        if (WaitForSingleObject(e->toEcho, kAnswerWaitMs) != WAIT_OBJECT_0) return 1;
        Stamp stamp;
        std::memcpy(&stamp, e->record + 12, sizeof stamp);
        if (stamp.counted) e->toThread.add(nowUs() - stamp.raisedUs);
        std::memcpy(e->record + 4, &i, 4);  // the answer over the code
        SetEvent(e->fromEcho);
    }
    return 0;
}

bool echoRaise(EchoObjects& e, Samples& answered) {
    for (int i = -kWarmUp; i < e.count; ++i) {
        const Stamp stamp = {nowUs(), i >= 0};
        std::memcpy(e.record + 12, &stamp, sizeof stamp);
        SetEvent(e.toEcho);
        if (WaitForSingleObject(e.fromEcho, kAnswerWaitMs) != WAIT_OBJECT_0) return false;
        if (i >= 0) answered.add(nowUs() - stamp.raisedUs);
    }
    return true;
}

bool runEcho(int count, Samples& toThread, Samples& answered) {
    EchoObjects e = {};
    e.count = count;
    e.mapping = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, 68, "bvbench echo record");
    e.toEcho = CreateEventA(nullptr, FALSE, FALSE, "bvbench echo to thread");
    e.fromEcho = CreateEventA(nullptr, FALSE, FALSE, "bvbench echo from thread");
    e.record = e.mapping ? static_cast<BYTE*>(MapViewOfFile(e.mapping, FILE_MAP_ALL_ACCESS, 0, 0, 68)) : nullptr;
    HANDLE thread = e.record && e.toEcho && e.fromEcho ? CreateThread(nullptr, 0, echoThread, &e, 0, nullptr) : nullptr;
    const bool ok = thread && echoRaise(e, answered);
    if (thread) WaitForSingleObject(thread, kAnswerWaitMs);
    if (thread) CloseHandle(thread);
    if (e.record) UnmapViewOfFile(e.record);
    for (HANDLE h : {e.mapping, e.toEcho, e.fromEcho})
        if (h) CloseHandle(h);
    toThread = e.toThread;
    return ok;
}

// ---- the driver in a process of its own ----

std::string thisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

// Starts this program as the driver and waits for it; the round trips it
// measured come back through a file.
bool raiseFromProcess(const char* model, const char* port, int count, Samples& answered) {
    char results[MAX_PATH], folder[MAX_PATH];
    GetTempPathA(MAX_PATH, folder);
    if (!GetTempFileNameA(folder, "bvb", 0, results)) return false;
    std::string commandLine = "\"" + thisProgram() + "\" --driver \"" + model + "\" \"" + port + "\" " +
                              std::to_string(count) + " \"" + results + "\"";
    STARTUPINFOA startup = {};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process = {};
    bool ok = CreateProcessA(nullptr, &commandLine[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &process);
    DWORD exitCode = 1;
    if (ok) {
        WaitForSingleObject(process.hProcess, 120000);
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
    }
    std::FILE* file = std::fopen(results, "rb");
    for (double us; file && std::fread(&us, sizeof us, 1, file) == 1;) answered.add(us);
    if (file) std::fclose(file);
    DeleteFileA(results);
    return ok && exitCode == 0 && answered.size() == static_cast<size_t>(count);
}

Figure eventFigure(const char* name, const char* against, const Samples& library, const Samples& echo) {
    Figure f;
    f.name = name;
    f.against = against;
    f.library = library;
    f.floor = echo;
    f.compare = Compare::TailRatio;
    f.target = 2;
    return f;
}

std::string devicePortName() {
    SimStiDevice device;
    char port[128] = {};
    if (simStiDeviceAt(0, &device) && device.portName)
        WideCharToMultiByte(CP_ACP, 0, device.portName, -1, port, sizeof port - 1, nullptr, nullptr);
    return port;
}

}  // namespace

// bvbench --driver MODEL PORT COUNT FILE: raises COUNT events on the
// channel of the camera and writes each round trip (a double, in
// microseconds) to FILE.
int runDriverProcess(int argc, char** argv) {
    if (argc != 4 || !simDriverOpenChannel(argv[0], argv[1])) return 1;
    Samples answered;
    const bool raised = raiseEvents(std::atoi(argv[2]), answered);
    simDriverCloseChannel();
    std::FILE* file = std::fopen(argv[3], "wb");
    if (!file) return 1;
    answered.write(file);
    std::fclose(file);
    return raised ? 0 : 1;
}

void measureEvents(const Setup& s, const char* modelName, std::vector<Figure>& figures) {
    const int count = s.rounds(2000, 200);
    const std::string port = devicePortName();
    Samples echoToThread, echoAnswered, threadToCallback, threadAnswered, processToCallback, processAnswered;
    succeeded(runEcho(count, echoToThread, echoAnswered) ? 0 : E_FAIL, "the echo");

    g_toCallback = &threadToCallback;
    const bool opened = simDriverOpenChannel(modelName, port.c_str());
    succeeded(opened && raiseEvents(count, threadAnswered) ? 0 : E_FAIL, "raising events from a thread");
    simDriverCloseChannel();
    g_toCallback = &processToCallback;
    succeeded(raiseFromProcess(modelName, port.c_str(), count, processAnswered) ? 0 : E_FAIL,
              "raising events from a process");
    g_toCallback = nullptr;

    figures.push_back(eventFigure("event to callback (thread)", "echo to the other thread", threadToCallback, echoToThread));
    figures.push_back(eventFigure("event answered (thread)", "echo round trip", threadAnswered, echoAnswered));
    figures.push_back(eventFigure("event to callback (process)", "echo to the other thread", processToCallback, echoToThread));
    figures.push_back(eventFigure("event answered (process)", "echo round trip", processAnswered, echoAnswered));
}

// The notification callback that measureEvents reads; the camera is
// opened with it.
bvlNotifyCB eventCallback() { return onEvent; }

}  // namespace bvbench
