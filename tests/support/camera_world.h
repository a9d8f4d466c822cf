// What the suites that drive the library against the stand-ins share: the
// machine registry with the installed camera models, the stand-ins and
// their step log, and the fixtures of the exported table.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/product_library.h"
#include "tests/support/registry_fixture.h"

namespace bvtest {

// The models that the installer's models file installs.
constexpr DWORD kId350 = 0x70333036, kId200 = 0x70323030, kId500 = 0x70353030;
// The virtual camera's model and the port of its still-image device.
constexpr char kModelName[] = "Brivant 350";
constexpr char kDevicePort[] = "\\\\.\\Usbscan0";

// The machine registry of the tests' Wine prefix, where the library reads
// its models and ports.
RegistryWriter machine();
// Brivant 350 (serial and USB), Brivant 200 (serial) and Brivant 500 (USB)
// under keys named like them ("Brivant350"), and the library's own keys.
void installModels();

bvlCameraPort usbPort(DWORD modelID, const char* deviceName = "");
std::vector<BYTE> pattern(DWORD size);
// The regular files of a host folder, by name, with their bytes.
using HostFiles = std::map<std::string, std::vector<BYTE>>;
HostFiles folderFiles(const std::filesystem::path& folder);

// The raw message table of the bvcl2sti.dll loaded now.
const bvlNewFactryAPI& messageTable();

// A table row's call of the library, given the base table, the camera word
// and a stream; BV_CALL writes one from an expression of a, c and s.
using LibraryCall = std::function<DWORD(const bvlBaseAPI&, DWORD camera, bvlStream*)>;
#define BV_CALL(expression) \
    [&](const bvlBaseAPI& a, DWORD c, bvlStream* s) -> DWORD { return (void)a, (void)c, (void)s, (expression); }

// Whether a stand-in reached the step since the last simReset.
bool reached(const char* step);

// One entry of a recorded run ("sti.rawRead", "progress 42"): its step is
// the text before the first blank, nth counts the calls of that step from 1.
struct StepCall {
    std::string step;
    int nth;
    // "RawRead2" for the second "sti.rawRead", "Progress1" for the first
    // "progress": a test case's name ("GoodRunRecorded" for no step).
    std::string name() const;
};
std::vector<StepCall> numberCalls(const std::vector<std::string>& run);
// The stand-in step calls that run made, numbered, when it returned 0;
// otherwise one call without a step, which a matrix built from the
// recording reports as a failure.
std::vector<StepCall> recordGoodRun(const std::function<DWORD()>& run);

// For its lifetime: an empty machine registry, the factory camera, Sti.dll
// loaded (the stand-in, when the program runs beside it with
// WINEDLLOVERRIDES=sti=n) and the DLL search pointed at the serial
// stand-in's folder. The destructor undoes all of it.
class StandIns {
public:
    StandIns();
    ~StandIns();
    StandIns(const StandIns&) = delete;
    StandIns& operator=(const StandIns&) = delete;
    HMODULE stillImage() const { return stillImage_; }
    bool stillImageIsStandIn() const { return stillImage_ && simCounter("sti.library") != 0; }

private:
    HMODULE stillImage_;
};

}  // namespace bvtest

// The library loaded afresh for each test, the way an application loads
// it, against a reset camera; at the end the serial library must not have
// outlived the product.
class FrontDispatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        simReset();
        ASSERT_FALSE(bvtest::serialLibraryLoaded()) << "an earlier test left BVCLL.DLL loaded";
        load(bvtest::SerialLibrary::Present);
    }
    void TearDown() override {
        product_.reset();
        EXPECT_FALSE(bvtest::serialLibraryLoaded()) << "BVCLL.DLL outlived bvcl2sti.dll";
        EXPECT_EQ(0, simCounter("serial.library"));
    }
    void load(bvtest::SerialLibrary serial) {
        product_.reset();
        product_ = std::make_unique<bvtest::ProductLibrary>(serial);
        ASSERT_TRUE(product_->loaded()) << "bvcl2sti.dll or its table is missing";
    }
    void unload() { product_.reset(); }  // FreeLibrary, as an application does
    const bvlBaseAPI& api() const { return product_->api(); }
    // Opens COMn on the serial stand-in and returns the camera word.
    DWORD openSerial(BYTE number = 1);
    // Number of calls of a base slot that reached the serial stand-in.
    static size_t callsOfSlot(DWORD slot);

private:
    std::unique_ptr<bvtest::ProductLibrary> product_;
};

// The same with the machine registry emptied before and after each test.
class MachineTest : public FrontDispatchTest {
protected:
    void SetUp() override {
        bvtest::machine().clear();
        FrontDispatchTest::SetUp();
    }
    void TearDown() override {
        FrontDispatchTest::TearDown();
        bvtest::machine().clear();
    }
};

// The USB road: the models installed, the Still Image stand-in's camera,
// and at the end no device lock or device left.
class UsbRoadTest : public MachineTest {
protected:
    void SetUp() override {
        MachineTest::SetUp();
        bvtest::installModels();
    }
    // A camera closed by the test already is no longer open: closing it
    // again does nothing.
    void TearDown() override {
        api().baseCloseCameraComm(camera_);
        EXPECT_EQ(0, simCounter("sti.locks")) << "a device lock outlived the test";
        EXPECT_EQ(0, simCounter("sti.devices")) << "a still-image device outlived the close";
        EXPECT_EQ(0, simCounter("sti.afterRelease")) << "a device called or released after its last release";
        MachineTest::TearDown();
    }
    void openUsb(bvlNotifyCB callback = nullptr, UINT_PTR context = 0) {
        bvlCameraPort port = bvtest::usbPort(bvtest::kId350);
        ASSERT_EQ(0u, api().baseOpenCameraComm(&port, callback, context, &camera_));
    }
    // Index of the last command block with this code that reached the
    // camera (MAXDWORD for none), and the payload of a command block.
    static DWORD lastCommand(DWORD command);
    static std::string payload(DWORD index);

    DWORD camera_ = 0;
};
