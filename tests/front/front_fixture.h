// Fixture for the tests that drive bvcl2sti.dll through its exported table:
// a freshly loaded library per test, a freshly reset virtual camera, and a
// check at the end that the serial library did not outlive the product.
#pragma once

#include <gtest/gtest.h>

#include <memory>

#include "tests/support/product_library.h"

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

    const bvlBaseAPI& api() const { return product_->api(); }

    // Opens COMn on the serial stand-in and returns the camera word.
    DWORD openSerial(BYTE number = 1) {
        bvlCameraPort port = bvtest::serialPort(number);
        DWORD camera = 0;
        EXPECT_EQ(0u, api().baseOpenCameraComm(&port, nullptr, 0, &camera));
        return camera;
    }

    // Number of calls of a base slot that reached the serial stand-in.
    size_t callsOfSlot(DWORD slot) const {
        size_t n = 0;
        for (const SimSerialCall& c : bvtest::serialCalls()) n += (c.table == 0 && c.slot == slot);
        return n;
    }

private:
    std::unique_ptr<bvtest::ProductLibrary> product_;
};
