// Finding and opening the camera's device, the maker's model list and the
// port name of the open device.
#include <cstring>
#include <string>

#include "sti_fixture.h"

namespace {

using bvtest::reached;

constexpr DWORD kCameraType = (2u << 16) | 7;

SimStiDevice device(const wchar_t* name, const wchar_t* vendor, const wchar_t* description,
                    const wchar_t* port, DWORD type = kCameraType) { return {name, vendor, description, port, type}; }

// An empty description never matches, on either side.
TEST_F(StiTransportTest, FirstOfEqualDescriptionsWithAPortIsChosenAndItsPortNamed) {
    const SimStiDevice devices[] = {
        device(L"empty", L"Orvel", L"", L"port0"),
        device(L"noPort", L"Orvel", L"Brivant 350", L""),
        device(L"nullPort", L"Orvel", L"Brivant 350", nullptr),
        device(L"otherCase", L"Orvel", L"BRIVANT 350", L"portX"),
        device(L"first", L"Orvel", L"Brivant 350", L"port1"),
        device(L"second", L"Orvel", L"Brivant 350", L"port2"),
    };
    simStiSetDevices(devices, 6);
    EXPECT_EQ(BVL_E_DEVICE_NOT_FOUND, bv::openDeviceByModel(stiModule(), ""));
    EXPECT_FALSE(reached("sti.create")) << "nothing is set up for an empty description";
    openCamera();
    EXPECT_STREQ(L"first", bv::stiState().selectedDevice.szDeviceInternalName);
    char port[6];
    EXPECT_EQ(1, bv::getDevicePortName(port, sizeof port));
    EXPECT_STREQ("port1", port);
    EXPECT_EQ(1, bv::getDevicePortName(port, 5));
    EXPECT_STREQ("port", port) << "cut to the buffer with its terminator";
    simFailNth("sti.deviceInfo", 1, 0);
    std::memset(port, 'x', sizeof port);
    EXPECT_EQ(0, bv::getDevicePortName(port, sizeof port)) << "only when the service answers";
    EXPECT_EQ('x', port[0]);
}

// Every step of a good open fails in turn with the generic HRESULT: the
// camera is not found, and the fixture finds no service object left. A
// device refused with access denied is busy instead.
struct OpenFault { bvtest::StepCall call; HRESULT result; DWORD expected; std::string name; };

void PrintTo(const OpenFault& f, std::ostream* os) { *os << f.name; }

std::vector<OpenFault> openFaults() {
    const bvtest::StepCall createDevice{"sti.createDevice", 1};
    std::vector<OpenFault> faults;
    faults.push_back({createDevice, static_cast<HRESULT>(0x80070005), BVL_E_DEVICE_BUSY, "AccessDenied"});
    faults.push_back({createDevice, static_cast<HRESULT>(0x80070020), BVL_E_DEVICE_NOT_FOUND, "OtherWin32"});
    bvtest::StandIns world;
    for (const bvtest::StepCall& call : bvtest::recordGoodRun([&] {
             return world.stillImageIsStandIn() ? bv::openDeviceByModel(world.stillImage(), bvtest::kModelName)
                                                : MAXDWORD;
         }))
        faults.push_back({call, E_FAIL, BVL_E_DEVICE_NOT_FOUND, call.name()});
    bv::releaseStiObjects();
    return faults;
}

class OpenFaults : public StiTransportTest, public ::testing::WithParamInterface<OpenFault> {};

TEST_P(OpenFaults, GiveNotFoundOrBusy) {
    const OpenFault& f = GetParam();
    ASSERT_FALSE(f.call.step.empty()) << "no good open could be recorded";
    simFailNth(f.call.step.c_str(), f.call.nth, 0);
    simSetStepResult(f.call.step.c_str(), f.result);
    EXPECT_EQ(f.expected, bv::openDeviceByModel(stiModule(), bvtest::kModelName));
    EXPECT_FALSE(bv::stiState().stiDevice);
}

INSTANTIATE_TEST_SUITE_P(EveryStep, OpenFaults, ::testing::ValuesIn(openFaults()),
                         [](const ::testing::TestParamInfo<OpenFault>& i) { return i.param.name; });

TEST_F(StiTransportTest, OpenByNameKeeps127Characters) {
    const std::wstring kept(127, L'N');
    const SimStiDevice devices[] = {device(kept.c_str(), L"Orvel", L"Brivant 350", L"port1")};
    simStiSetDevices(devices, 1);
    EXPECT_EQ(0u, bv::openDeviceByName(stiModule(), std::string(200, 'N').c_str()));
    EXPECT_EQ(kept, bv::stiState().selectedDevice.szDeviceInternalName);
    bv::releaseStiObjects();
    EXPECT_EQ(BVL_E_DEVICE_NOT_FOUND, bv::openDeviceByName(stiModule(), std::string(126, 'N').c_str()));
    bv::releaseStiObjects();
    simFailNth("sti.create", 1, 0);
    EXPECT_EQ(BVL_E_STI_INSTANCE_FAILED, bv::openDeviceByName(stiModule(), "N"));
    EXPECT_EQ(BVL_E_STI_INSTANCE_FAILED, bv::openDeviceByName(nullptr, "N"));
}

TEST_F(StiTransportTest, FailedDeviceListReleasesAnOpenDevice) {
    openCamera();
    simFailNth("sti.deviceList", 1, 0);
    EXPECT_TRUE(FAILED(bv::GetStiDeviceList()));
    EXPECT_FALSE(bv::isStiInstanceSet());
    EXPECT_EQ(0, simCounter("sti.devices"));
    EXPECT_EQ(0, bv::releaseStiObjects()) << "nothing left to release is no failure";
}

TEST_F(StiTransportTest, MakerModelsTestFiveVendorCharactersIgnoringCase) {
    const struct { const char* name; const wchar_t* vendor; DWORD type; bool counts; } cases[] = {
        {"Exact", L"Orvel", kCameraType, true}, {"Capitals", L"ORVEL", kCameraType, true},
        {"LongerText", L"Orvel Imaging GmbH", kCameraType, true}, {"TooShort", L"Orve", kCameraType, false},
        {"Prefixed", L"XOrvel", kCameraType, false}, {"NoVendor", nullptr, kCameraType, false},
        {"Scanner", L"Orvel", (1u << 16) | 7, false}, {"OtherSubtype", L"Orvel", (2u << 16) | 6, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const SimStiDevice devices[] = {device(L"dev0", c.vendor, L"Brivant 350", L"p", c.type)};
        simStiSetDevices(devices, 1);
        char list[64];
        std::memset(list, 0xab, sizeof list);
        DWORD count = 99;
        ASSERT_EQ(S_OK, bv::enumerateUsbModels(stiModule(), list, sizeof list, &count));
        // The name and the list's end, or two zero bytes and nothing more.
        const std::string expected = c.counts ? std::string("Brivant 350\0", 13) : std::string("\0\0\xab", 3);
        EXPECT_EQ(c.counts ? 1u : 0u, count);
        EXPECT_EQ(expected, std::string(list, expected.size()));
        EXPECT_FALSE(bv::isStiInstanceSet()) << "an instance created for the list is released";
    }
}

TEST_F(StiTransportTest, ModelListSkipsWhatDoesNotFitAndKeepsAnOpenInstance) {
    const SimStiDevice devices[] = {
        device(L"a", L"Orvel", L"Brivant 350", L"p"),
        device(L"b", L"Orvel", L"Brivant 1000 Professional", L"p"),
        device(L"c", L"Orvel", L"B2", L"p"),
    };
    simStiSetDevices(devices, 3);
    openCamera();
    const wchar_t* description = bv::stiState().selectedDevice.pszDeviceDescription;
    // 17 bytes: "Brivant 350" takes 12, the long name does not fit, "B2" needs
    // 12 + 3 and the list's end 1.
    char list[17];
    DWORD count = 0;
    ASSERT_EQ(S_OK, bv::enumerateUsbModels(stiModule(), list, sizeof list, &count));
    EXPECT_EQ(2u, count);
    EXPECT_EQ(std::string("Brivant 350\0B2\0", 16), std::string(list, 16));
    EXPECT_TRUE(bv::isStiInstanceSet()) << "the open connection's instance stays";
    EXPECT_EQ(description, bv::stiState().selectedDevice.pszDeviceDescription);
    EXPECT_STREQ(L"Brivant 350", description) << "the open device's texts outlive the list fetched again";

    simFailNth("sti.create", 1, 0);
    bv::releaseStiObjects();
    EXPECT_TRUE(FAILED(bv::enumerateUsbModels(stiModule(), list, sizeof list, &count)));
}

}  // namespace
