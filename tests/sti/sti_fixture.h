// Fixture for the still-image transport: the Still Image stand-in loaded
// beside the test program, a freshly reset virtual camera, and at the end
// a check that no service object, device lock or transfer buffer is left.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "sim/camera/bvsim.h"
#include "sti/sti_private.h"
#include "tests/support/heap_blocks.h"

class StiTransportTest : public ::testing::Test {
protected:
    static constexpr const char* kModel = "Brivant 350";

    void SetUp() override {
        simReset();
        module_ = LoadLibraryW(L"Sti.dll");
        if (!module_ || simCounter("sti.library") == 0)
            GTEST_SKIP() << "the Still Image stand-in is not the Sti.dll loaded "
                            "(run with WINEDLLOVERRIDES=sti=n beside Sti.dll)";
        chunkBlocks_ = bvtest::liveGuardedBlocks(bv::kChunkSize + bv::kBufferPadding);
    }

    void TearDown() override {
        if (!module_) return;
        if (simCounter("sti.library") != 0) {
            EXPECT_EQ(0, simCounter("sti.locks")) << "a device lock outlived the test";
            EXPECT_EQ(chunkBlocks_, bvtest::liveGuardedBlocks(bv::kChunkSize + bv::kBufferPadding))
                << "a transfer buffer was not released";
            bv::releaseStiObjects();
            EXPECT_EQ(0, simCounter("sti.instances"));
            EXPECT_EQ(0, simCounter("sti.devices"));
        }
        FreeLibrary(module_);
    }

    HMODULE stiModule() const { return module_; }

    void openCamera() { ASSERT_EQ(0u, bv::openDeviceByModel(module_, kModel)); }

    // Whether the named stand-in step was reached since the last reset.
    static bool reached(const std::string& step) {
        for (DWORD i = 0; i < simStepCount(); ++i)
            if (step == simStepName(i)) return true;
        return false;
    }

    static std::vector<BYTE> pattern(DWORD size) {
        std::vector<BYTE> data(size);
        for (DWORD i = 0; i < size; ++i) data[i] = static_cast<BYTE>(i * 7 + i / 251);
        return data;
    }

    static std::vector<BYTE> writtenToDevice() {
        std::vector<BYTE> data(simWrittenBulk(nullptr, 0));
        simWrittenBulk(data.data(), static_cast<DWORD>(data.size()));
        return data;
    }

private:
    HMODULE module_ = nullptr;
    size_t chunkBlocks_ = 0;
};
