// The fault plan, the reached steps, the serial call log and the live
// counters of the stand-ins. Tests drive these from the same thread as the
// code under test; the lock keeps a stray worker thread from tearing them.
#include "bvsim.h"

#include <map>
#include <string>
#include <vector>

#include "sim_camera.h"
#include "sim_internal.h"

namespace {

struct Fault {
    int nth;  // 0: every call
    DWORD code;
    int seen = 0;
};

struct ControlState {
    bvsim::SimLock lock;
    std::map<std::string, Fault> faults;
    std::vector<std::string> steps;
    std::vector<DWORD> stepCalls;  // indices into steps, one per call
    std::vector<SimSerialCall> serialCalls;
    std::map<std::string, LONG> counters;
    DWORD serialCameraPorts = 1;
    std::map<DWORD, std::pair<DWORD, std::string>> serialModels;  // by port number
};

ControlState& control() {
    static ControlState state;
    return state;
}

class Guard : public bvsim::SimGuard {
public:
    Guard() : SimGuard(control().lock) {}
};

void noteStep(ControlState& s, const std::string& step) {
    DWORD index = 0;
    while (index < s.steps.size() && s.steps[index] != step) ++index;
    if (index == s.steps.size()) s.steps.push_back(step);
    s.stepCalls.push_back(index);
}

}  // namespace

extern "C" void simReset(void) {
    Guard g;
    ControlState& s = control();
    s.faults.clear();
    s.steps.clear();
    s.stepCalls.clear();
    s.serialCalls.clear();
    s.serialCameraPorts = 1;
    s.serialModels.clear();
    bvsim::simCamera().reset();
    bvsim::resetStillImageControl();
    bvsim::resetCommandState();
    bvsim::resetCommandLog();
    bvsim::resetSerialReplyChunks();
    bvsim::resetDeviceSpeed();
    simSetHostile(0);
}

extern "C" void simClearLogs(void) {
    {
        Guard g;
        control().stepCalls.clear();
        control().serialCalls.clear();
    }
    bvsim::clearCommandHistory();
    bvsim::resetCommandLog();
}

extern "C" void simFailNth(const char* step, int nth, DWORD code) {
    Guard g;
    control().faults[step] = Fault{nth, code};
}

extern "C" BOOL simShouldFail(const char* step, DWORD* code) {
    Guard g;
    ControlState& s = control();
    noteStep(s, step);
    auto it = s.faults.find(step);
    if (it == s.faults.end()) return FALSE;
    Fault& f = it->second;
    ++f.seen;
    if (f.nth != 0 && f.seen != f.nth) return FALSE;
    *code = f.code;
    return TRUE;
}

extern "C" DWORD simStepCount(void) {
    Guard g;
    return static_cast<DWORD>(control().steps.size());
}

extern "C" const char* simStepName(DWORD index) {
    Guard g;
    const auto& steps = control().steps;
    return index < steps.size() ? steps[index].c_str() : nullptr;
}

extern "C" DWORD simStepCallCount(void) {
    Guard g;
    return static_cast<DWORD>(control().stepCalls.size());
}

extern "C" const char* simStepCallAt(DWORD index) {
    Guard g;
    const ControlState& s = control();
    return index < s.stepCalls.size() ? s.steps[s.stepCalls[index]].c_str() : nullptr;
}

extern "C" void simSetSerialCameraPorts(DWORD mask) {
    Guard g;
    control().serialCameraPorts = mask;
    control().serialModels.clear();
}

extern "C" void simSetSerialCamera(DWORD portNumber, DWORD modelID, const char* modelName) {
    if (portNumber < 1 || portNumber > 32) return;
    Guard g;
    control().serialCameraPorts |= 1u << (portNumber - 1);
    control().serialModels[portNumber] = {modelID, std::string(modelName).substr(0, 63)};
}

extern "C" void simSerialCameraModel(DWORD portNumber, DWORD* modelID, char modelName[64]) {
    Guard g;
    auto it = control().serialModels.find(portNumber);
    *modelID = it != control().serialModels.end() ? it->second.first : bvsim::simCamera().modelID();
    lstrcpynA(modelName, it != control().serialModels.end() ? it->second.second.c_str() : bvsim::simCamera().modelName(),
              64);
}

extern "C" DWORD simSerialCameraPorts(void) {
    Guard g;
    return control().serialCameraPorts;
}

extern "C" DWORD simSerialCallCount(void) {
    Guard g;
    return static_cast<DWORD>(control().serialCalls.size());
}

extern "C" BOOL simSerialCallAt(DWORD index, SimSerialCall* call) {
    Guard g;
    const auto& calls = control().serialCalls;
    if (index >= calls.size()) return FALSE;
    *call = calls[index];
    return TRUE;
}

extern "C" void simRecordSerialCall(const SimSerialCall* call) {
    Guard g;
    control().serialCalls.push_back(*call);
}

extern "C" LONG simCounter(const char* name) {
    Guard g;
    auto& counters = control().counters;
    auto it = counters.find(name);
    return it == counters.end() ? 0 : it->second;
}

extern "C" void simAddToCounter(const char* name, LONG delta) {
    Guard g;
    control().counters[name] += delta;
}
