// The Still Image stand-in's configuration: the device list it reports,
// the launching device, what its failing steps return, delays and short
// raw reads. Kept in bvsim.dll so that tests and the stand-in share it.
#include <map>
#include <string>
#include <vector>

#include "bvsim.h"
#include "sim_internal.h"

namespace {

struct Device {
    std::wstring internalName, vendor, description, portName;
    bool hasVendor, hasDescription, hasPort;
    DWORD deviceType;
};

struct StiControl {
    bvsim::SimLock lock;
    std::vector<Device> devices;
    std::map<std::string, HRESULT> results;
    std::map<std::string, DWORD> delays;
    bool launched = false;
    std::wstring launchDevice, launchEvent;
    int cutNth = 0;  // raw reads still to come before the cut one; 0: none
    DWORD cutBytes = 0;
    std::string heldStep;      // empty: none
    HANDLE letGo = nullptr;    // manual-reset, set while nothing is held
    HANDLE arrived = nullptr;  // manual-reset, set once a call waits in the held step
};

StiControl& control() {
    static StiControl state;
    return state;
}

class Guard : public bvsim::SimGuard {
public:
    Guard() : SimGuard(control().lock) {}
};

const wchar_t kDefaultInternalName[] = L"{6BDD1FC6-810F-11D0-BEC7-08002BE2092F}\\0000";

Device toDevice(const SimStiDevice& d) {
    return Device{d.internalName ? d.internalName : L"", d.vendor ? d.vendor : L"",
                  d.description ? d.description : L"", d.portName ? d.portName : L"",
                  d.vendor != nullptr, d.description != nullptr, d.portName != nullptr,
                  d.deviceType};
}

}  // namespace

namespace bvsim {

void resetStillImageControl() {
    Guard g;
    StiControl& s = control();
    const SimStiDevice camera = {kDefaultInternalName, L"Orvel", L"Brivant 350",
                                 L"\\\\.\\Usbscan0", (2u << 16) | 7};
    s.devices = {toDevice(camera)};
    s.results.clear();
    s.delays.clear();
    s.launched = false;
    s.cutNth = 0;
    s.heldStep.clear();
    if (s.letGo) SetEvent(s.letGo);
}

}  // namespace bvsim

extern "C" void simSetStepResult(const char* step, HRESULT result) {
    Guard g;
    control().results[step] = result;
}

namespace {

template <class Value>
Value settingOf(const std::map<std::string, Value>& settings, const char* step, Value otherwise) {
    Guard g;
    auto it = settings.find(step);
    return it == settings.end() || it->second == 0 ? otherwise : it->second;
}

}  // namespace

extern "C" HRESULT simStepResult(const char* step) {
    return settingOf<HRESULT>(control().results, step, E_FAIL);
}

extern "C" void simDelayStep(const char* step, DWORD ms) {
    Guard g;
    control().delays[step] = ms;
}

extern "C" DWORD simStepDelay(const char* step) {
    return settingOf<DWORD>(control().delays, step, 0);
}

// The two events live as long as the process: a test that counts its
// handles sees them from the first hold on.
extern "C" void simHoldStep(const char* step, BOOL hold) {
    Guard g;
    StiControl& s = control();
    if (!s.letGo) s.letGo = CreateEventW(nullptr, TRUE, TRUE, nullptr);
    if (!s.arrived) s.arrived = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (hold) {
        s.heldStep = step;
        ResetEvent(s.letGo);
        ResetEvent(s.arrived);
    } else if (s.heldStep == step) {
        s.heldStep.clear();
        SetEvent(s.letGo);
    }
}

extern "C" BOOL simWaitHeld(DWORD ms) {
    HANDLE arrived;
    {
        Guard g;
        arrived = control().arrived;
    }
    return arrived && WaitForSingleObject(arrived, ms) == WAIT_OBJECT_0;
}

extern "C" void simPassHold(const char* step) {
    HANDLE letGo;
    {
        Guard g;
        StiControl& s = control();
        if (s.heldStep != step) return;
        SetEvent(s.arrived);
        letGo = s.letGo;
    }
    WaitForSingleObject(letGo, INFINITE);
}

extern "C" void simStiSetDevices(const SimStiDevice* devices, DWORD count) {
    Guard g;
    control().devices.clear();
    for (DWORD i = 0; i < count; ++i) control().devices.push_back(toDevice(devices[i]));
}

extern "C" DWORD simStiDeviceCount(void) {
    Guard g;
    return static_cast<DWORD>(control().devices.size());
}

// The texts stay valid until the list is replaced or reset.
extern "C" BOOL simStiDeviceAt(DWORD index, SimStiDevice* device) {
    Guard g;
    if (index >= control().devices.size()) return FALSE;
    const Device& d = control().devices[index];
    *device = {d.internalName.c_str(), d.hasVendor ? d.vendor.c_str() : nullptr,
               d.hasDescription ? d.description.c_str() : nullptr,
               d.hasPort ? d.portName.c_str() : nullptr, d.deviceType};
    return TRUE;
}

extern "C" void simStiSetLaunch(const WCHAR* deviceName, const WCHAR* eventName) {
    Guard g;
    StiControl& s = control();
    s.launched = deviceName != nullptr;
    s.launchDevice = deviceName ? deviceName : L"";
    s.launchEvent = eventName ? eventName : L"";
}

extern "C" BOOL simStiLaunch(WCHAR deviceName[128], WCHAR eventName[64]) {
    Guard g;
    StiControl& s = control();
    if (!s.launched) return FALSE;
    lstrcpynW(deviceName, s.launchDevice.c_str(), 128);
    lstrcpynW(eventName, s.launchEvent.c_str(), 64);
    return TRUE;
}

extern "C" void simCutRawRead(int nth, DWORD bytes) {
    Guard g;
    control().cutNth = nth;
    control().cutBytes = bytes;
}

// Asked by each raw read: whether this one is cut, and to how many bytes.
extern "C" BOOL simRawReadCut(DWORD* bytes) {
    Guard g;
    StiControl& s = control();
    if (s.cutNth == 0 || --s.cutNth != 0) return FALSE;
    *bytes = s.cutBytes;
    return TRUE;
}

// [deviceN] InternalName, Vendor, Description, Port, Type (hex);
// [launch] Device, Event; [faults] step=nth,code (hex) and Hostile=seed;
// [cardN] as loadCardSections reads them.
extern "C" BOOL simLoadConfiguration(const WCHAR* path) {
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) return FALSE;
    auto text = [path](const wchar_t* section, const wchar_t* key) {
        wchar_t value[256] = {};
        GetPrivateProfileStringW(section, key, L"", value, 256, path);
        return std::wstring(value);
    };
    std::vector<std::wstring> texts;  // keeps the device texts alive below
    std::vector<SimStiDevice> devices;
    texts.reserve(4 * 16);
    for (int i = 0; i < 16; ++i) {
        wchar_t section[16];
        wsprintfW(section, L"device%d", i);
        if (text(section, L"InternalName").empty()) break;
        const wchar_t* keys[] = {L"InternalName", L"Vendor", L"Description", L"Port"};
        for (const wchar_t* key : keys) texts.push_back(text(section, key));
        const size_t base = texts.size() - 4;
        devices.push_back({texts[base].c_str(), texts[base + 1].c_str(), texts[base + 2].c_str(),
                           texts[base + 3].c_str(),
                           static_cast<DWORD>(wcstoul(text(section, L"Type").c_str(), nullptr, 16))});
    }
    if (!devices.empty()) simStiSetDevices(devices.data(), static_cast<DWORD>(devices.size()));
    const std::wstring launchDevice = text(L"launch", L"Device");
    if (!launchDevice.empty()) simStiSetLaunch(launchDevice.c_str(), text(L"launch", L"Event").c_str());
    wchar_t keys[1024] = {};
    GetPrivateProfileStringW(L"faults", nullptr, L"", keys, 1024, path);
    for (const wchar_t* key = keys; *key; key += lstrlenW(key) + 1) {
        const std::wstring value = text(L"faults", key);
        if (lstrcmpiW(key, L"Hostile") == 0) {
            simSetHostile(static_cast<DWORD>(wcstoul(value.c_str(), nullptr, 10)));
            continue;
        }
        wchar_t* rest = nullptr;
        const int nth = static_cast<int>(wcstol(value.c_str(), &rest, 10));
        const DWORD code = static_cast<DWORD>(wcstoul(*rest == L',' ? rest + 1 : rest, nullptr, 16));
        char step[64];
        WideCharToMultiByte(CP_ACP, 0, key, -1, step, sizeof step, nullptr, nullptr);
        simFailNth(step, nth, code);
    }
    return bvsim::loadCardSections(path) ? TRUE : FALSE;
}
