// Fixture for the communication settings dialog run straight from the
// product's objects linked into the test, with the module's resources:
// a scratch machine registry, the Still Image stand-in for the USB model
// list and the serial stand-in in the folder the camera search looks in.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "tests/support/dialog_driver.h"
#include "tests/support/product_library.h"
#include "tests/support/registry_fixture.h"
#include "ui/ui_private.h"

namespace commtest {

using bvtest::comboItems;
using bvtest::DialogDriver;
using bvtest::itemText;

constexpr char kCaption[] = "Kommunikationseinstellungen";
constexpr DWORD kId350 = 0x70333036, kId200 = 0x70323030;

inline bvtest::RegistryWriter machine() { return bvtest::RegistryWriter(HKEY_LOCAL_MACHINE); }

// Brivant 350 (both kinds, with a stored serial port) and Brivant 200
// (serial only, nothing stored), as the installer's models file has them.
inline void installModels() {
    const DWORD both = 3, serial = 1;
    machine().addModel("Brivant350", &kId350, "Brivant 350", &both);
    machine().addModel("Brivant200", &kId200, "Brivant 200", &serial);
    const bvlCameraPort com1 = bvtest::serialPort(1);
    machine().setModelValue("Brivant350", "lastPort", &com1, sizeof com1);
    machine().addLibraryKeys();
}

inline void storeKinds(DWORD lastModel, DWORD defaultModel) {
    machine().setLibraryValue("", "lastModel", &lastModel, 4, REG_DWORD);
    machine().setLibraryValue("", "defaultModel", &defaultModel, 4, REG_DWORD);
}

// What the dialog works with, for the lifetime of the object: an empty
// scratch machine registry, the factory camera, the Still Image stand-in
// for the USB model list and the serial stand-in's folder for the search.
class CommDialogWorld {
public:
    CommDialogWorld() {
        machine().clear();
        simReset();
        stillImage_ = LoadLibraryA("Sti.dll");
        SetDllDirectoryW((bvtest::executableFolder() + L"serial").c_str());
    }
    ~CommDialogWorld() {
        if (stillImage_) FreeLibrary(stillImage_);
        SetDllDirectoryW(nullptr);
        machine().clear();
    }
    CommDialogWorld(const CommDialogWorld&) = delete;
    CommDialogWorld& operator=(const CommDialogWorld&) = delete;
    HMODULE stillImage() const { return stillImage_; }

private:
    HMODULE stillImage_ = nullptr;
};

class CommDialogTest : public ::testing::Test {
protected:
    using Scenario = std::function<void(DialogDriver& d, HWND dialog)>;

    void SetUp() override {
        if (!bvtest::hasDisplay()) GTEST_SKIP() << "the dialog needs a display";
        world_ = std::make_unique<CommDialogWorld>();
    }

    void TearDown() override {
        world_.reset();
        EXPECT_FALSE(GetModuleHandleA("bvcll.dll")) << "the camera search left the serial library loaded";
        EXPECT_EQ(0, simCounter("sti.instances"));
    }

    // Runs the dialog and hands it to the scenario once it is up; the port
    // starts as 0xcc bytes. The driver answers the search's message boxes;
    // a dialog the scenario leaves open is cancelled.
    INT_PTR run(DWORD offered, const Scenario& scenario, WORD modelChoice = 1, DWORD givenModel = 0) {
        std::memset(&port_, 0xcc, sizeof port_);
        bv::CommDialogRequest request;
        request.offeredPortKinds = offered;
        request.editedPort = &port_;
        request.modelChoiceFlag = modelChoice;
        request.givenModelID = givenModel;
        request.stillImageLibrary = world_->stillImage();
        return driver_.run([&] { return bv::runCommSettingsDialog(GetModuleHandleA(nullptr), nullptr, request); },
                           [&](DialogDriver& d) {
                               HWND dialog = d.waitForDialog(kCaption);
                               ASSERT_NE(nullptr, dialog);
                               scenario(d, dialog);
                               if (IsWindow(dialog)) d.click(dialog, IDC_COMM_CANCEL);
                           });
    }

    const BYTE* portBytes() const { return reinterpret_cast<const BYTE*>(&port_); }

    std::unique_ptr<CommDialogWorld> world_;
    bvlCameraPort port_;
    DialogDriver driver_;
};

}  // namespace commtest
