// Fixture for the communication settings dialog run straight from the
// product's objects linked into the test, as the port request runs it
// (gathered and probed by front), with the module's resources, against
// the stand-ins of tests/support/camera_world.h.
#pragma once

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <memory>

#include "tests/support/camera_world.h"
#include "front/comm_port_dialog.h"
#include "tests/support/dialog_driver.h"
#include "ui/ui_private.h"

namespace commtest {

using bvtest::comboItems, bvtest::DialogDriver, bvtest::itemText, bvtest::kId200, bvtest::kId350, bvtest::machine;
constexpr char kCaption[] = "Kommunikationseinstellungen";
// What the dialog works with: the scratch registry, the factory camera and
// the stand-ins.
using CommDialogWorld = bvtest::StandIns;

// The installer's models, Brivant 350 with COM1 stored as its last port.
inline void installModels() {
    bvtest::installModels();
    const bvlCameraPort com1 = bvtest::serialPort(1);
    machine().setModelValue("Brivant350", "lastPort", &com1, sizeof com1);
}

inline void storeKinds(DWORD lastModel, DWORD defaultModel) {
    machine().setLibraryValue("", "lastModel", &lastModel, 4, REG_DWORD);
    machine().setLibraryValue("", "defaultModel", &defaultModel, 4, REG_DWORD);
}

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
        const bv::CommDialogRequest request = {offered, &port_, modelChoice, givenModel, world_->stillImage()};
        return driver_.run([&] { return bv::runCommDialog(GetModuleHandleA(nullptr), nullptr, request); },
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
