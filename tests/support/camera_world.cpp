#include "camera_world.h"

#include <cctype>
#include <cstring>
#include <fstream>
#include <iterator>

namespace bvtest {

RegistryWriter machine() { return RegistryWriter(HKEY_LOCAL_MACHINE); }

void installModels() {
    const DWORD serial = 1, usb = 2, both = 3;
    machine().addModel("Brivant350", &kId350, "Brivant 350", &both);
    machine().addModel("Brivant200", &kId200, "Brivant 200", &serial);
    machine().addModel("Brivant500", &kId500, "Brivant 500", &usb);
    machine().addLibraryKeys();
}

bvlCameraPort usbPort(DWORD modelID, const char* deviceName) {
    bvlCameraPort port = {};
    port.portType = BVL_PORT_USB;
    std::strcpy(port.portName, "USB");
    port.u.usb.modelID = modelID;
    lstrcpynA(port.u.usb.deviceName, deviceName, sizeof port.u.usb.deviceName);
    return port;
}

std::vector<BYTE> pattern(DWORD size) {
    std::vector<BYTE> data(size);
    for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 13 + i / 509);
    return data;
}

HostFiles folderFiles(const std::filesystem::path& folder) {
    HostFiles files;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        if (!entry.is_regular_file()) continue;
        std::ifstream file(entry.path(), std::ios::binary);
        files[entry.path().filename().string()].assign(std::istreambuf_iterator<char>(file), {});
    }
    return files;
}

const bvlNewFactryAPI& messageTable() {
    return *reinterpret_cast<const bvlNewFactryAPI*>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"bvcl2sti.dll"), "g_bvlNewFactryAPI")));
}

bool reached(const char* step) {
    for (DWORD i = 0; i < simStepCount(); ++i)
        if (std::strcmp(step, simStepName(i)) == 0) return true;
    return false;
}

std::vector<StepCall> numberCalls(const std::vector<std::string>& run) {
    std::vector<StepCall> calls;
    for (const std::string& entry : run) {
        const std::string step = entry.substr(0, entry.find(' '));
        int nth = 1;
        for (const StepCall& earlier : calls) nth += earlier.step == step;
        calls.push_back({step, nth});
    }
    return calls;
}

std::vector<StepCall> recordGoodRun(const std::function<DWORD()>& run) {
    const DWORD first = simStepCallCount();
    std::vector<std::string> steps;
    if (run() == 0)
        for (DWORD i = first; i < simStepCallCount(); ++i) steps.emplace_back(simStepCallAt(i));
    std::vector<StepCall> calls = numberCalls(steps);
    if (calls.empty()) calls.push_back({"", 0});
    return calls;
}

std::string StepCall::name() const {
    if (step.empty()) return "GoodRunRecorded";
    std::string text = step.compare(0, 4, "sti.") == 0 ? step.substr(4) : step;
    if (!text.empty()) text[0] = static_cast<char>(std::toupper(static_cast<unsigned char>(text[0])));
    return text + std::to_string(nth);
}

StandIns::StandIns() {
    machine().clear();
    simReset();
    stillImage_ = LoadLibraryW(L"Sti.dll");
    SetDllDirectoryW((executableFolder() + L"serial").c_str());
}

StandIns::~StandIns() {
    if (stillImage_) FreeLibrary(stillImage_);
    SetDllDirectoryW(nullptr);
    machine().clear();
}

}  // namespace bvtest

DWORD FrontDispatchTest::openSerial(BYTE number) {
    bvlCameraPort port = bvtest::serialPort(number);
    DWORD camera = 0;
    EXPECT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
    return camera;
}

size_t FrontDispatchTest::callsOfSlot(DWORD slot) {
    size_t n = 0;
    for (const SimSerialCall& c : bvtest::serialCalls()) n += (c.table == 0 && c.slot == slot);
    return n;
}

DWORD UsbRoadTest::lastCommand(DWORD command) {
    DWORD found = MAXDWORD;
    for (DWORD i = 0; i < simCommandCount(); ++i)
        if (simCommandAt(i) == command) found = i;
    return found;
}

std::string UsbRoadTest::payload(DWORD index) {
    std::string bytes(simCommandPayloadAt(index, nullptr, 0), '\0');
    simCommandPayloadAt(index, reinterpret_cast<BYTE*>(&bytes[0]), static_cast<DWORD>(bytes.size()));
    return bytes;
}
