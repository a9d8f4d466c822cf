// Camera events: from the driver raising one (a thread of this process, or
// a process of its own as simdriver plays it) to the notification callback,
// and to the driver seeing the callback's answer. The floor is an echo of
// the same handshake between two threads over the same kind of named
// objects (a shared record and two auto-reset events), raised in turn with
// the library's events so that both meet the same machine.
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
constexpr DWORD kRecordSize = 68;
constexpr size_t kStampOffset = 12;  // the event's data in the record

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

// The echo: a thread that answers each signal over a record kept mapped.
class Echo {
public:
    Echo();
    ~Echo();
    Echo(const Echo&) = delete;
    Echo& operator=(const Echo&) = delete;
    bool running() const { return thread_ != nullptr; }
    // One event through the echo; its round trip goes into answered.
    bool raise(bool counted, Samples& answered);
    Samples toThread;  // read after the echo ended

private:
    static DWORD WINAPI run(LPVOID self);
    HANDLE mapping_ = nullptr, toEcho_ = nullptr, fromEcho_ = nullptr, thread_ = nullptr;
    BYTE* record_ = nullptr;
    volatile bool stopping_ = false;
};

Echo::Echo() {
    mapping_ = CreateFileMappingA(INVALID_HANDLE_VALUE, nullptr, PAGE_READWRITE, 0, kRecordSize,
                                  "bvbench echo record");
    toEcho_ = CreateEventA(nullptr, FALSE, FALSE, "bvbench echo to thread");
    fromEcho_ = CreateEventA(nullptr, FALSE, FALSE, "bvbench echo from thread");
    if (mapping_) record_ = static_cast<BYTE*>(MapViewOfFile(mapping_, FILE_MAP_ALL_ACCESS, 0, 0, kRecordSize));
    if (record_ && toEcho_ && fromEcho_) thread_ = CreateThread(nullptr, 0, run, this, 0, nullptr);
}

Echo::~Echo() {
    if (thread_) {
        stopping_ = true;
        SetEvent(toEcho_);
        WaitForSingleObject(thread_, kAnswerWaitMs);
        CloseHandle(thread_);
    }
    if (record_) UnmapViewOfFile(record_);
    for (HANDLE h : {mapping_, toEcho_, fromEcho_})
        if (h) CloseHandle(h);
}

DWORD WINAPI Echo::run(LPVOID self) {
    auto* e = static_cast<Echo*>(self);
    while (WaitForSingleObject(e->toEcho_, INFINITE) == WAIT_OBJECT_0 && !e->stopping_) {
        Stamp stamp;
        std::memcpy(&stamp, e->record_ + kStampOffset, sizeof stamp);
        if (stamp.counted) e->toThread.add(nowUs() - stamp.raisedUs);
        const DWORD answer = 0;
        std::memcpy(e->record_ + 4, &answer, 4);  // the answer over the code
        SetEvent(e->fromEcho_);
    }
    return 0;
}

bool Echo::raise(bool counted, Samples& answered) {
    const Stamp stamp = {nowUs(), counted};
    std::memcpy(record_ + kStampOffset, &stamp, sizeof stamp);
    SetEvent(toEcho_);
    if (WaitForSingleObject(fromEcho_, kAnswerWaitMs) != WAIT_OBJECT_0) return false;
    if (counted) answered.add(nowUs() - stamp.raisedUs);
    return true;
}

// What one side of the measurement gathers.
struct EventRun {
    Samples answered, echoToThread, echoAnswered;
};

// Raises count events (after a few uncounted ones) on the open channel,
// each followed by one through the echo.
bool raiseEvents(int count, EventRun& run) {
    Echo echo;
    if (!echo.running()) return false;
    for (int i = -kWarmUp; i < count; ++i) {
        Stamp stamp = {nowUs(), i >= 0};
        DWORD answer = 0;
        if (!simDriverRaiseEvent(kBenchEvent, &stamp, sizeof stamp, kAnswerWaitMs, &answer)) return false;
        if (i >= 0) run.answered.add(nowUs() - stamp.raisedUs);
        if (!echo.raise(i >= 0, run.echoAnswered)) return false;
    }
    run.echoToThread = echo.toThread;  // each answer followed its record
    return true;
}

std::string thisProgram() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

bool readSamples(std::FILE* file, int count, Samples& samples) {
    for (int i = 0; i < count; ++i) {
        double us;
        if (std::fread(&us, sizeof us, 1, file) != 1) return false;
        samples.add(us);
    }
    return true;
}

// Starts this program as the driver and waits for it; what it measured
// comes back through a file.
bool raiseFromProcess(const char* model, const char* port, int count, EventRun& run) {
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
    ok = ok && exitCode == 0 && file && readSamples(file, count, run.answered) &&
         readSamples(file, count, run.echoToThread) && readSamples(file, count, run.echoAnswered);
    if (file) std::fclose(file);
    DeleteFileA(results);
    return ok;
}

Figure eventFigure(const std::string& name, const char* against, const Samples& library, const Samples& echo) {
    Figure f;
    f.name = name;
    f.against = against;
    f.library = library;
    f.floor = echo;
    f.compare = Compare::TailRatio;
    f.target = 2;
    return f;
}

void addFigures(const char* from, const Samples& toCallback, const EventRun& run, std::vector<Figure>& figures) {
    figures.push_back(eventFigure(std::string("event to callback (") + from + ")", "echo to the other thread",
                                  toCallback, run.echoToThread));
    figures.push_back(eventFigure(std::string("event answered (") + from + ")", "echo round trip",
                                  run.answered, run.echoAnswered));
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
// camera's channel, each followed by one through an echo of its own, and
// writes the round trips, the echo's latencies and its round trips (each
// COUNT doubles, in microseconds) to FILE.
int runDriverProcess(int argc, char** argv) {
    if (argc != 4 || !simDriverOpenChannel(argv[0], argv[1])) return 1;
    EventRun run;
    bool raised = raiseEvents(std::atoi(argv[2]), run);
    simDriverCloseChannel();
    std::FILE* file = std::fopen(argv[3], "wb");
    if (!file) return 1;
    run.answered.write(file);
    run.echoToThread.write(file);
    run.echoAnswered.write(file);
    raised = std::fclose(file) == 0 && raised;
    return raised ? 0 : 1;
}

void measureEvents(const Setup& s, const char* modelName, std::vector<Figure>& figures) {
    const int count = s.rounds(2000, 200);
    const std::string port = devicePortName();
    Samples threadToCallback, processToCallback;
    EventRun fromThread, fromProcess;

    g_toCallback = &threadToCallback;
    const bool opened = simDriverOpenChannel(modelName, port.c_str());
    succeeded(opened && raiseEvents(count, fromThread) ? 0 : E_FAIL, "raising events from a thread");
    simDriverCloseChannel();
    g_toCallback = &processToCallback;
    succeeded(raiseFromProcess(modelName, port.c_str(), count, fromProcess) ? 0 : E_FAIL,
              "raising events from a process");
    g_toCallback = nullptr;
    addFigures("thread", threadToCallback, fromThread, figures);
    addFigures("process", processToCallback, fromProcess, figures);
}

bvlNotifyCB eventCallback() { return onEvent; }

}  // namespace bvbench
